#include "custom/pet_designer.h"

#include "behaviour/social_link.h"
#include "custom/pet_codes.h"
#include "custom/text_cleaning.h"
#include "platform/clipboard.h"
#include "platform/main_queue.h"
#include "settings/settings.h"
#include "sprites/custom_species.h"

namespace pawlane {

namespace {

PetDesigner* sharedDesigner = nullptr;

ColorF wellColorOf(const std::string& hex) {
    const Rgb c = rgbFromHex(hex);
    return {c.r / 255.0, c.g / 255.0, c.b / 255.0, 1};
}

constexpr const char* kCopyTitle = "Copy Pet Code";

}  // namespace

PetDesigner::PetDesigner(const PetDesignerDeps& deps) : d_(deps) {}
PetDesigner::~PetDesigner() = default;

PetDesigner& PetDesigner::createShared(const PetDesignerDeps& deps) {
    static PetDesigner designer(deps);
    sharedDesigner = &designer;
    return designer;
}

PetDesigner& PetDesigner::shared() { return *sharedDesigner; }

void PetDesigner::show(DesignerHost* host) {
    host_ = host;
    if (!view_) view_ = d_.makeView(*this);
    reloadPetPopup();
    loadNewPet();
    view_->bringToFront();
}

void PetDesigner::reloadPetPopup() {
    rows_ = petListRows(d_.settings.customPets());
    if (view_) view_->setPetRows(rows_);
}

void PetDesigner::loadNewPet() {
    def = CustomPetDef();
    editingExisting = false;
    int row = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!rows_[i].petId) {
            row = int(i);
            break;
        }
    if (view_) view_->selectPetRow(row);
    syncControls();
}

void PetDesigner::syncControls() {
    if (!view_) return;
    view_->setName(def.name);
    int shape = 0;
    for (int i = 0; i < 3; ++i)
        if (def.shape == SHAPES[i]) shape = i;
    view_->setShapeIndex(shape);
    view_->setWellColor(DesignerWell::Body, wellColorOf(def.bodyHex));
    view_->setWellColor(DesignerWell::Accent, wellColorOf(def.accentHex));
    view_->setWellColor(DesignerWell::Chest, wellColorOf(def.chestHex));
    view_->setWellColor(DesignerWell::Collar, wellColorOf(def.collarHex));
    view_->setChecked(DesignerCheck::EyePatch, def.eyePatch);
    view_->setChecked(DesignerCheck::Socks, def.socks);
    view_->setChecked(DesignerCheck::Spots, def.spots);
    view_->setChecked(DesignerCheck::ChestPatch, def.chestPatch);
    view_->setChecked(DesignerCheck::Collar, def.collar);
    view_->setDeleteVisible(editingExisting);
    renderPreview();
}

void PetDesigner::controlChanged() {
    if (!view_) return;
    def.name = view_->name();
    const int shape = view_->shapeIndex();
    def.shape = SHAPES[shape >= 0 && shape < 3 ? shape : 0];
    def.bodyHex = hexFrom(view_->wellColor(DesignerWell::Body));
    def.accentHex = hexFrom(view_->wellColor(DesignerWell::Accent));
    def.chestHex = hexFrom(view_->wellColor(DesignerWell::Chest));
    def.collarHex = hexFrom(view_->wellColor(DesignerWell::Collar));
    def.eyePatch = view_->isChecked(DesignerCheck::EyePatch);
    def.socks = view_->isChecked(DesignerCheck::Socks);
    def.spots = view_->isChecked(DesignerCheck::Spots);
    def.chestPatch = view_->isChecked(DesignerCheck::ChestPatch);
    def.collar = view_->isChecked(DesignerCheck::Collar);
    renderPreview();
}

void PetDesigner::renderPreview() {
    if (!view_) return;
    const Image big = scaledUp(speciesFrom(def).runImages().front(), 6, 0.93);
    view_->setPreview(big, big.width() / 2.0, big.height() / 2.0);
}

void PetDesigner::petPicked() {
    if (!view_) return;
    const int row = view_->selectedPetRow();
    if (row >= 0 && row < int(rows_.size()) && rows_[row].petId) {
        for (const auto& pet : d_.settings.customPets())
            if (pet.id == *rows_[row].petId) {
                def = pet;
                editingExisting = true;
                syncControls();
                return;
            }
    }
    loadNewPet();
}

void PetDesigner::selectRowOf(const std::string& id) {
    int row = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].petId == id) {
            row = int(i);
            break;
        }
    if (view_) view_->selectPetRow(row);
}

void PetDesigner::savePet() {
    def.name = cleanPetName(view_ ? view_->name() : def.name);
    d_.settings.saveCustomPet(def);
    d_.social.syncNow();
    editingExisting = true;
    reloadPetPopup();
    selectRowOf(def.id);
    if (view_) view_->setDeleteVisible(true);
    if (host_) {
        host_->rebuildPets();
        host_->rebuildMenu();
    }
}

void PetDesigner::deletePet() {
    if (!editingExisting) return;
    d_.settings.deleteCustomPet(def.id);
    d_.social.markPetDeleted(def.id);
    reloadPetPopup();
    loadNewPet();
    if (host_) {
        host_->rebuildPets();
        host_->rebuildMenu();
    }
}

void PetDesigner::copyPetCode() {
    controlChanged();
    const auto code = petCode(def);
    if (!code) return;
    d_.clipboard.setText(*code);
    if (!view_) return;
    view_->setCopyTitle("Copied!");
    std::weak_ptr<int> alive = alive_;
    d_.queue.postAfter(1.6, [this, alive] {
        if (!alive.expired() && view_) view_->setCopyTitle(kCopyTitle);
    });
}

}  // namespace pawlane
