#pragma once
// The status item as a QSystemTrayIcon with a QMenu built from menu entries.
// Without a system tray the menu still opens at the pointer (right-click on a pet).
#include <QObject>

#include <optional>

#include "platform/status_item.h"

class QMenu;
class QSystemTrayIcon;

namespace pawlane {

class TrayStatusItem final : public QObject, public StatusItem {
public:
    TrayStatusItem();
    ~TrayStatusItem() override;

    void setIcon(const Species& species) override;
    void setMenu(const Menu& menu) override;
    void popUpMenu(PointF at) override;

private:
    void refreshIcon();

    QMenu* menu_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    std::optional<Species> species_;
};

}  // namespace pawlane
