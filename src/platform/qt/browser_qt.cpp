// The user's default browser through the desktop's URL handler.
#include <QDesktopServices>
#include <QUrl>

#include "platform/browser.h"

namespace pawlane {

namespace {

class QtBrowser final : public Browser {
public:
    bool open(const std::string& url) override {
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
    }
};

}  // namespace

Browser& systemBrowser() {
    static QtBrowser browser;
    return browser;
}

}  // namespace pawlane
