// The clipboard through QGuiApplication's.
#include <QClipboard>
#include <QGuiApplication>

#include "platform/clipboard.h"

namespace pawlane {
namespace {

class QtClipboard final : public Clipboard {
public:
    std::string text() const override {
        if (!QGuiApplication::instance()) return {};
        return QGuiApplication::clipboard()->text().toStdString();
    }
    void setText(const std::string& text) override {
        if (!QGuiApplication::instance()) return;
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
};

}  // namespace

Clipboard& systemClipboard() {
    static QtClipboard clipboard;
    return clipboard;
}

}  // namespace pawlane
