#pragma once
// The "Design My Pet" window: widgets only; every decision is the presenter's.
#include <QPushButton>
#include <QWidget>

#include "custom/designer_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace pawlane {

// A colour swatch that opens a colour dialog and reports sRGB.
class ColorWell : public QPushButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget* parent = nullptr);
    ColorF color() const { return color_; }
    void setColor(ColorF c);
signals:
    void colorPicked();

private:
    void choose();
    ColorF color_;
};

class DesignerWindow final : public QWidget, public DesignerView {
    Q_OBJECT
public:
    explicit DesignerWindow(PetDesigner& presenter);

    void setPetRows(const std::vector<PetListRow>& rows) override;
    void selectPetRow(int index) override;
    int selectedPetRow() const override;
    void setName(const std::string& text) override;
    std::string name() const override;
    void setShapeIndex(int index) override;
    int shapeIndex() const override;
    void setWellColor(DesignerWell well, ColorF color) override;
    ColorF wellColor(DesignerWell well) const override;
    void setChecked(DesignerCheck box, bool on) override;
    bool isChecked(DesignerCheck box) const override;
    void setDeleteVisible(bool visible) override;
    void setCopyTitle(const std::string& title) override;
    void setPreview(const Image& image, double pointWidth, double pointHeight) override;
    void bringToFront() override;

private:
    PetDesigner& presenter_;
    QComboBox* petPopup_;
    QLineEdit* nameField_;
    QComboBox* shapePopup_;
    ColorWell* wells_[4];
    QCheckBox* checks_[5];
    QLabel* preview_;
    QPushButton* deleteButton_;
    QPushButton* copyCodeButton_;
    QPushButton* saveButton_;
};

}  // namespace pawlane
