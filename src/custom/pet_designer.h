#pragma once
// The "Design My Pet" window's logic: edits one custom pet at a time, previews
// it, saves and deletes it, and copies its pet code.
#include <functional>
#include <memory>
#include <string>

#include "custom/custom_pet_def.h"
#include "custom/designer_view.h"

namespace pawlane {

class Settings;
class Clipboard;
class MainQueue;
class SocialLink;

// The application object as the designer uses it.
class DesignerHost {
public:
    virtual ~DesignerHost() = default;
    virtual void rebuildPets() = 0;
    virtual void rebuildMenu() = 0;
};

struct PetDesignerDeps {
    Settings& settings;
    Clipboard& clipboard;
    MainQueue& queue;
    SocialLink& social;
    std::function<std::unique_ptr<DesignerView>(PetDesigner&)> makeView = makeDesignerView;
};

class PetDesigner {
public:
    static constexpr const char* SHAPES[3] = {"dog", "corgi", "cat"};

    explicit PetDesigner(const PetDesignerDeps& deps);
    ~PetDesigner();
    PetDesigner(const PetDesigner&) = delete;
    PetDesigner& operator=(const PetDesigner&) = delete;

    // The app's one designer; createShared runs once at launch.
    static PetDesigner& createShared(const PetDesignerDeps& deps);
    static PetDesigner& shared();

    // Opens the window (built on first use) on a fresh "New Pet…".
    void show(DesignerHost* host);

    void reloadPetPopup();
    void loadNewPet();
    void syncControls();
    void controlChanged();
    void renderPreview();

    void petPicked();
    void savePet();
    void deletePet();
    void copyPetCode();

    CustomPetDef def;
    bool editingExisting = false;
    DesignerView* view() const { return view_.get(); }

private:
    void selectRowOf(const std::string& id);

    PetDesignerDeps d_;
    DesignerHost* host_ = nullptr;
    std::unique_ptr<DesignerView> view_;
    std::vector<PetListRow> rows_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace pawlane
