#include "platform/qt/designer_window_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "custom/pet_designer.h"

namespace pawlane {

namespace {

constexpr int kLabelWidth = 92;

QHBoxLayout* row(QVBoxLayout* stack, const char* label, int spacing = 8) {
    auto* line = new QHBoxLayout;
    line->setSpacing(spacing);
    auto* text = new QLabel(QString::fromUtf8(label));
    text->setFixedWidth(kLabelWidth);
    line->addWidget(text);
    stack->addLayout(line);
    return line;
}

QColor toQColor(ColorF c) { return QColor::fromRgbF(float(c.r), float(c.g), float(c.b)); }

}  // namespace

ColorWell::ColorWell(QWidget* parent) : QPushButton(parent) {
    setFixedSize(44, 24);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColorWell::choose);
    setColor({0, 0, 0, 1});
}

void ColorWell::setColor(ColorF c) {
    color_ = c;
    setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid palette(mid); border-radius: 3px; }")
                      .arg(toQColor(c).name()));
}

void ColorWell::choose() {
    const QColor picked = QColorDialog::getColor(toQColor(color_), window());
    if (!picked.isValid()) return;
    const QColor srgb = picked.toRgb();
    setColor({srgb.redF(), srgb.greenF(), srgb.blueF(), 1});
    emit colorPicked();
}

DesignerWindow::DesignerWindow(PetDesigner& presenter) : presenter_(presenter) {
    setWindowTitle(QStringLiteral("Design My Pet"));
    setFixedSize(360, 520);

    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(10);
    stack->setContentsMargins(16, 16, 16, 16);
    stack->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    petPopup_ = new QComboBox;
    row(stack, "Pet:")->addWidget(petPopup_, 1);

    nameField_ = new QLineEdit;
    nameField_->setPlaceholderText(QStringLiteral("Pet name"));
    nameField_->setFixedWidth(180);
    auto* nameRow = row(stack, "Name:");
    nameRow->addWidget(nameField_);
    nameRow->addStretch(1);

    shapePopup_ = new QComboBox;
    shapePopup_->addItems({QStringLiteral("Dog"), QStringLiteral("Corgi"), QStringLiteral("Cat")});
    row(stack, "Base:")->addWidget(shapePopup_);

    const char* wellLabels[] = {"Body:", "Ears & Tail:", "Chest:"};
    for (int i = 0; i < 4; ++i) wells_[i] = new ColorWell;
    for (int i = 0; i < 3; ++i) {
        auto* line = row(stack, wellLabels[i]);
        line->addWidget(wells_[i]);
        line->addStretch(1);
    }

    const char* checkTitles[] = {"Eye Patch", "White Socks", "Spots", "Chest Patch", "Collar"};
    for (int i = 0; i < 5; ++i) checks_[i] = new QCheckBox(QString::fromUtf8(checkTitles[i]));
    auto* marks1 = row(stack, "Markings:", 8);
    auto* pair1 = new QHBoxLayout;
    pair1->setSpacing(12);
    pair1->addWidget(checks_[0]);
    pair1->addWidget(checks_[1]);
    marks1->addLayout(pair1);
    marks1->addStretch(1);
    auto* marks2 = row(stack, "");
    auto* pair2 = new QHBoxLayout;
    pair2->setSpacing(12);
    pair2->addWidget(checks_[2]);
    pair2->addWidget(checks_[3]);
    marks2->addLayout(pair2);
    marks2->addStretch(1);
    auto* collar = row(stack, "Collar:");
    collar->addWidget(checks_[4]);
    collar->addWidget(wells_[3]);
    collar->addStretch(1);

    preview_ = new QLabel;
    preview_->setFixedSize(360 - 32 - 32, 130);
    preview_->setAlignment(Qt::AlignCenter);
    stack->addWidget(preview_, 0, Qt::AlignHCenter);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    deleteButton_ = new QPushButton(QStringLiteral("Delete"));
    copyCodeButton_ = new QPushButton(QStringLiteral("Copy Pet Code"));
    saveButton_ = new QPushButton(QStringLiteral("Save Pet"));
    for (auto* b : {deleteButton_, copyCodeButton_}) b->setAutoDefault(false);
    saveButton_->setDefault(true);
    saveButton_->setAutoDefault(true);
    buttons->addWidget(deleteButton_);
    buttons->addWidget(copyCodeButton_);
    buttons->addStretch(1);
    buttons->addWidget(saveButton_);
    stack->addLayout(buttons);

    // User actions only: programmatic updates from the presenter must not echo back.
    connect(petPopup_, &QComboBox::activated, this, [this] { presenter_.petPicked(); });
    connect(nameField_, &QLineEdit::textEdited, this, [this] { presenter_.controlChanged(); });
    connect(shapePopup_, &QComboBox::activated, this, [this] { presenter_.controlChanged(); });
    for (auto* w : wells_) connect(w, &ColorWell::colorPicked, this, [this] { presenter_.controlChanged(); });
    for (auto* c : checks_) connect(c, &QCheckBox::clicked, this, [this] { presenter_.controlChanged(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { presenter_.deletePet(); });
    connect(copyCodeButton_, &QPushButton::clicked, this, [this] { presenter_.copyPetCode(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { presenter_.savePet(); });
    // Return saves from anywhere in the window; a plain window has no default-button handling.
    for (int key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                [this] { saveButton_->animateClick(); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void DesignerWindow::setPetRows(const std::vector<PetListRow>& rows) {
    petPopup_->clear();
    for (const auto& r : rows)
        petPopup_->addItem(QString::fromStdString(r.title),
                           r.petId ? QVariant(QString::fromStdString(*r.petId)) : QVariant());
}

void DesignerWindow::selectPetRow(int index) { petPopup_->setCurrentIndex(index); }
int DesignerWindow::selectedPetRow() const { return petPopup_->currentIndex(); }
void DesignerWindow::setName(const std::string& text) { nameField_->setText(QString::fromStdString(text)); }
std::string DesignerWindow::name() const { return nameField_->text().toStdString(); }
void DesignerWindow::setShapeIndex(int index) { shapePopup_->setCurrentIndex(index); }
int DesignerWindow::shapeIndex() const { return shapePopup_->currentIndex(); }
void DesignerWindow::setWellColor(DesignerWell well, ColorF color) { wells_[int(well)]->setColor(color); }
ColorF DesignerWindow::wellColor(DesignerWell well) const { return wells_[int(well)]->color(); }
void DesignerWindow::setChecked(DesignerCheck box, bool on) { checks_[int(box)]->setChecked(on); }
bool DesignerWindow::isChecked(DesignerCheck box) const { return checks_[int(box)]->isChecked(); }
void DesignerWindow::setDeleteVisible(bool visible) { deleteButton_->setVisible(visible); }
void DesignerWindow::setCopyTitle(const std::string& title) { copyCodeButton_->setText(QString::fromStdString(title)); }

void DesignerWindow::setPreview(const Image& image, double pointWidth, double pointHeight) {
    if (image.isNull()) return;
    QImage img(image.data(), image.width(), image.height(), image.width() * 4, QImage::Format_RGBA8888_Premultiplied);
    QImage copy = img.copy();
    // Shrink proportionally only when the picture would not fit.
    const double fit = std::min({1.0, preview_->width() / pointWidth, preview_->height() / pointHeight});
    copy.setDevicePixelRatio(image.width() / (pointWidth * fit));
    preview_->setPixmap(QPixmap::fromImage(copy));
}

void DesignerWindow::bringToFront() {
    show();
    raise();
    activateWindow();
}

std::unique_ptr<DesignerView> makeDesignerView(PetDesigner& presenter) {
    auto window = std::make_unique<DesignerWindow>(presenter);
    return window;
}

}  // namespace pawlane
