#include "platform/qt/tray_status_item.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>

#include <cstdlib>

#include "platform/qt/qt_screens.h"
#include "platform/qt/x11_native.h"
#include "sprites/icons.h"

namespace pawlane {
namespace {

// The status area's own text colour when the tray tells it; otherwise a guess
// from the desktop: GNOME-family panels are dark, others follow the palette.
QColor panelTextColour() {
    if (auto advertised = x11::trayForeground()) return *advertised;
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP").toLower();
    for (const char* dark : {"gnome", "unity", "pantheon", "budgie", "cinnamon"})
        if (desktop.contains(dark)) return QColor(0xf2, 0xf2, 0xf2);
    return QGuiApplication::palette().color(QPalette::WindowText);
}

void fill(QMenu& menu, const Menu& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            menu.addSeparator();
            continue;
        }
        const QString title = QString::fromStdString(entry.title);
        if (!entry.submenu.empty()) {
            QMenu* sub = menu.addMenu(title);
            sub->setEnabled(entry.enabled);
            fill(*sub, entry.submenu);
            continue;
        }
        QAction* action = menu.addAction(title);
        if (entry.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        action->setEnabled(entry.enabled && entry.action);
        if (entry.keyEquivalent)
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(QChar(entry.keyEquivalent).toUpper().unicode())));
        if (entry.action) QObject::connect(action, &QAction::triggered, &menu, entry.action);
    }
}

}  // namespace

TrayStatusItem::TrayStatusItem() : menu_(new QMenu) {
    // Created even without a tray: one may appear later, and it costs nothing.
    tray_ = new QSystemTrayIcon(this);
    tray_->setToolTip(QStringLiteral("Pawlane"));
    tray_->setContextMenu(menu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // A left click on the icon opens the menu too, as a status-bar item would.
        if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
    });
    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] { refreshIcon(); });
}

TrayStatusItem::~TrayStatusItem() { delete menu_; }

void TrayStatusItem::setIcon(const Species& species) {
    species_ = species;
    refreshIcon();
}

void TrayStatusItem::refreshIcon() {
    if (!species_) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = screen ? screen->devicePixelRatio() : 1.0;
    const QColor colour = panelTextColour();
    const Image image = menuBarIcon(*species_, scale, Rgb{std::uint8_t(colour.red()), std::uint8_t(colour.green()),
                                                          std::uint8_t(colour.blue())});
    if (image.isNull()) return;
    QImage qimage = QImage(image.data(), image.width(), image.height(), image.width() * 4,
                           QImage::Format_RGBA8888_Premultiplied)
                        .copy();
    QPixmap pixmap = QPixmap::fromImage(qimage);
    pixmap.setDevicePixelRatio(scale);
    tray_->setIcon(QIcon(pixmap));
    if (!tray_->isVisible()) tray_->show();
}

void TrayStatusItem::setMenu(const Menu& entries) {
    // A new menu rather than clearing the old: the rebuild often runs inside
    // one of the old menu's own actions.
    auto* next = new QMenu;
    fill(*next, entries);
    tray_->setContextMenu(next);
    menu_->deleteLater();
    menu_ = next;
}

void TrayStatusItem::popUpMenu(PointF at) { menu_->popup(qtFromGlobal(at)); }

}  // namespace pawlane
