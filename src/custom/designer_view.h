#pragma once
// The designer window as its presenter sees it. The platform builds the widgets;
// every control reports back through the presenter's actions.
#include <memory>
#include <string>
#include <vector>

#include "custom/pet_list.h"
#include "platform/canvas.h"
#include "platform/image.h"

namespace pawlane {

class PetDesigner;

enum class DesignerWell { Body, Accent, Chest, Collar };
enum class DesignerCheck { EyePatch, Socks, Spots, ChestPatch, Collar };

class DesignerView {
public:
    virtual ~DesignerView() = default;
    virtual void setPetRows(const std::vector<PetListRow>& rows) = 0;
    virtual void selectPetRow(int index) = 0;
    virtual int selectedPetRow() const = 0;
    virtual void setName(const std::string& text) = 0;
    virtual std::string name() const = 0;
    // 0 "Dog", 1 "Corgi", 2 "Cat"; -1 when nothing is selected.
    virtual void setShapeIndex(int index) = 0;
    virtual int shapeIndex() const = 0;
    // sRGB, opaque.
    virtual void setWellColor(DesignerWell well, ColorF color) = 0;
    virtual ColorF wellColor(DesignerWell well) const = 0;
    virtual void setChecked(DesignerCheck box, bool on) = 0;
    virtual bool isChecked(DesignerCheck box) const = 0;
    virtual void setDeleteVisible(bool visible) = 0;
    virtual void setCopyTitle(const std::string& title) = 0;
    // The picture shown at `pointWidth` x `pointHeight` points.
    virtual void setPreview(const Image& image, double pointWidth, double pointHeight) = 0;
    // Raises the window as the key window, activating the app.
    virtual void bringToFront() = 0;
};

// The platform's window for `presenter`, built on first use.
std::unique_ptr<DesignerView> makeDesignerView(PetDesigner& presenter);

}  // namespace pawlane
