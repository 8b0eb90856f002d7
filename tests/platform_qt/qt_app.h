#pragma once
// One QApplication for the whole test binary, made on first use.
#include <QApplication>

namespace pawlane {

inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}

}  // namespace pawlane
