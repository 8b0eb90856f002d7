#include <gtest/gtest.h>

#include "behaviour/social_link.h"
#include "custom/import_from_code.h"
#include "custom/pet_codes.h"
#include "custom/pet_designer.h"
#include "platform/clipboard.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/manual_main_queue.h"
#include "platform/headless/memory_preferences_store.h"
#include "settings/settings.h"

using namespace pawlane;

namespace {

struct FakeView final : DesignerView {
    std::vector<PetListRow> rows;
    int row = -1;
    std::string nameText;
    int shape = -1;
    ColorF wells[4];
    bool checks[5] = {};
    bool deleteVisible = true;
    std::string copyTitle = "Copy Pet Code";
    Image preview;
    double previewW = 0, previewH = 0;
    int raised = 0;

    void setPetRows(const std::vector<PetListRow>& r) override { rows = r; }
    void selectPetRow(int i) override { row = i; }
    int selectedPetRow() const override { return row; }
    void setName(const std::string& t) override { nameText = t; }
    std::string name() const override { return nameText; }
    void setShapeIndex(int i) override { shape = i; }
    int shapeIndex() const override { return shape; }
    void setWellColor(DesignerWell w, ColorF c) override { wells[int(w)] = c; }
    ColorF wellColor(DesignerWell w) const override { return wells[int(w)]; }
    void setChecked(DesignerCheck b, bool on) override { checks[int(b)] = on; }
    bool isChecked(DesignerCheck b) const override { return checks[int(b)]; }
    void setDeleteVisible(bool v) override { deleteVisible = v; }
    void setCopyTitle(const std::string& t) override { copyTitle = t; }
    void setPreview(const Image& img, double w, double h) override {
        preview = img;
        previewW = w;
        previewH = h;
    }
    void bringToFront() override { ++raised; }
};

struct FakeClipboard final : Clipboard {
    std::string value;
    std::string text() const override { return value; }
    void setText(const std::string& t) override { value = t; }
};

struct FakeSocial final : SocialLink {
    int syncs = 0;
    std::vector<std::string> deleted;
    bool isSignedIn() const override { return false; }
    void syncNow() override { ++syncs; }
    void markPetDeleted(const std::string& id) override { deleted.push_back(id); }
};

struct FakeHost final : DesignerHost {
    int pets = 0, menus = 0;
    void rebuildPets() override { ++pets; }
    void rebuildMenu() override { ++menus; }
};

struct FakeDialogs final : ImportDialogs {
    std::optional<std::string> answer;
    CodePrompt asked;
    std::vector<std::pair<std::string, std::string>> messages;
    std::optional<std::string> askForCode(const CodePrompt& p) override {
        asked = p;
        return answer;
    }
    void showMessage(const std::string& t, const std::string& e) override { messages.emplace_back(t, e); }
};

struct DesignerFixture : ::testing::Test {
    MemoryPreferencesStore store;
    Settings settings{store};
    FakeClipboard clipboard;
    ManualClock clock;
    ManualMainQueue queue{clock};
    FakeSocial social;
    FakeHost host;
    FakeView* view = nullptr;
    PetDesigner designer{{settings, clipboard, queue, social, [this](PetDesigner&) {
                              auto v = std::make_unique<FakeView>();
                              view = v.get();
                              return v;
                          }}};
    FakeDialogs dialogs;

    CustomPetDef stored(const std::string& name) {
        CustomPetDef d;
        d.name = name;
        settings.saveCustomPet(d);
        return d;
    }
    std::optional<std::string> runImport(const std::string& code) {
        dialogs.answer = code;
        return importFromCode(&host, {settings, clipboard, dialogs});
    }
};

}  // namespace

TEST_F(DesignerFixture, EveryOpeningStartsAFreshDefaultPet) {
    designer.show(&host);
    const std::string firstId = designer.def.id;
    EXPECT_EQ(view->rows.front().title, "New Pet\u2026");
    EXPECT_EQ(view->row, 0);
    EXPECT_EQ(view->nameText, "Buddy");
    EXPECT_EQ(view->shape, 0);
    EXPECT_TRUE(view->checks[int(DesignerCheck::Collar)]);
    EXPECT_FALSE(view->deleteVisible);
    EXPECT_NEAR(view->wells[int(DesignerWell::Body)].r, 0xE0 / 255.0, 1e-9);
    // Preview: first run frame 6x over grey, shown at half size.
    EXPECT_EQ(view->preview.width(), 144);
    EXPECT_DOUBLE_EQ(view->previewW, 72);
    EXPECT_DOUBLE_EQ(view->previewH, 42);

    designer.show(&host);
    EXPECT_NE(designer.def.id, firstId);
    EXPECT_EQ(view->raised, 2);
}

TEST_F(DesignerFixture, SavingCleansTheNameAndSelectsThePet) {
    designer.show(&host);
    std::string dogs;
    for (int i = 0; i < 24; ++i) dogs += "\U0001F436";
    struct Case {
        std::string typed, stored;
    };
    const Case cases[] = {{"     ", "My Pet"},
                          {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd", "ABCDEFGHIJKLMNOPQRSTUVWX"},
                          {"  Rex \n", "Rex"},
                          {dogs + "XY", dogs}};  // characters, not bytes
    for (const auto& c : cases) {
        designer.loadNewPet();
        view->nameText = c.typed;
        designer.savePet();
        EXPECT_EQ(settings.customPets().back().name, c.stored);
        EXPECT_EQ(view->nameText, c.typed);  // the field keeps what was typed
        EXPECT_TRUE(view->deleteVisible);
        EXPECT_EQ(view->rows[view->row].petId, designer.def.id);
    }
    EXPECT_EQ(social.syncs, 4);
    EXPECT_EQ(host.pets, 4);
    EXPECT_EQ(host.menus, 4);
}

TEST_F(DesignerFixture, SavingIntoAFullPackStoresCountZero) {
    store.setDictionary(keys::petCounts, {{"shiba", 10}});
    designer.show(&host);
    designer.savePet();
    EXPECT_EQ(settings.petCounts().at(customPetKey(designer.def.id)), 0);
    EXPECT_EQ(view->row, 1);
    EXPECT_TRUE(designer.editingExisting);
}

TEST_F(DesignerFixture, SameNamedPetsEachEditTheirOwn) {
    const auto first = stored("Rex");
    auto second = stored("Rex");
    designer.show(&host);
    EXPECT_EQ(view->rows[1].title, "\U0001F43E Rex");
    EXPECT_EQ(view->rows[2].title, "\U0001F43E Rex (2)");
    view->row = 2;
    designer.petPicked();
    EXPECT_EQ(designer.def.id, second.id);
    EXPECT_TRUE(view->deleteVisible);
    view->row = 0;
    designer.petPicked();
    EXPECT_FALSE(designer.editingExisting);
    EXPECT_NE(designer.def.id, first.id);
}

TEST_F(DesignerFixture, UnknownShapeIsKeptUntilAControlChanges) {
    CustomPetDef dragon;
    dragon.shape = "dragon";
    settings.saveCustomPet(dragon);
    designer.show(&host);
    view->row = 1;
    designer.petPicked();
    EXPECT_EQ(view->shape, 0);
    designer.savePet();
    EXPECT_EQ(settings.customPets().front().shape, "dragon");
    view->checks[int(DesignerCheck::Spots)] = true;
    designer.controlChanged();
    designer.savePet();
    EXPECT_EQ(settings.customPets().front().shape, "dog");
    EXPECT_TRUE(settings.customPets().front().spots);
}

TEST_F(DesignerFixture, CopyPetCodePutsAValidCodeAndRestoresTheTitle) {
    designer.show(&host);
    view->nameText = "  Unsaved  ";
    view->wells[int(DesignerWell::Body)] = {1.0, 0.5, 0.0, 1};
    designer.copyPetCode();
    const auto back = petDef(clipboard.value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "  Unsaved  ");
    EXPECT_EQ(back->bodyHex, "#FF7F00");
    EXPECT_EQ(view->copyTitle, "Copied!");
    queue.advance(1.5);
    EXPECT_EQ(view->copyTitle, "Copied!");
    queue.advance(0.2);
    EXPECT_EQ(view->copyTitle, "Copy Pet Code");
    EXPECT_TRUE(settings.customPets().empty());
}

TEST_F(DesignerFixture, DeleteRemovesThePetAndQueuesTheCloudDeletion) {
    const auto rex = stored("Rex");
    designer.show(&host);
    designer.deletePet();  // a new pet: nothing to delete
    EXPECT_EQ(settings.customPets().size(), 1u);
    view->row = 1;
    designer.petPicked();
    designer.deletePet();
    EXPECT_TRUE(settings.customPets().empty());
    EXPECT_FALSE(settings.petCounts().count(customPetKey(rex.id)));
    EXPECT_EQ(social.deleted, std::vector<std::string>{rex.id});
    EXPECT_FALSE(designer.editingExisting);
    EXPECT_EQ(view->rows.size(), 1u);
}

TEST_F(DesignerFixture, ImportPrefillsOnlyFromACodeOnTheClipboard) {
    CustomPetDef d;
    d.name = "Luna";
    const std::string code = *petCode(d);
    clipboard.value = "  pawlane-" + code.substr(8) + "\n";
    dialogs.answer = std::nullopt;  // cancelled
    EXPECT_FALSE(importFromCode(&host, {settings, clipboard, dialogs}));
    EXPECT_EQ(dialogs.asked.prefill, "pawlane-" + code.substr(8));
    EXPECT_EQ(dialogs.asked.placeholder, "PAWLANE-\u2026");
    EXPECT_TRUE(settings.customPets().empty());

    clipboard.value = "hello PAWLANE-xyz";
    runImport(dialogs.asked.prefill.empty() ? code : dialogs.asked.prefill);
    EXPECT_EQ(dialogs.asked.prefill, "");
}

TEST_F(DesignerFixture, ImportCleansNamesShapesAndMakesRoom) {
    stored("Rex");
    stored("Rex 2");
    auto code = [](const std::string& name, const std::string& shape) {
        CustomPetDef d;
        d.name = name;
        d.shape = shape;
        return *petCode(d);
    };
    const auto rex3 = runImport(code("Rex", "corgi"));
    ASSERT_TRUE(rex3);
    EXPECT_EQ(settings.customPets().back().name, "Rex 3");
    EXPECT_EQ(dialogs.messages.back(),
              std::make_pair(std::string("Rex 3 joined your pack!"),
                             std::string("You'll find them under Animals in the menu.")));
    EXPECT_EQ(settings.customPets().back().shape, "corgi");

    runImport(code(std::string(30, ' '), "dragon"));
    EXPECT_EQ(settings.customPets().back().name, "My Pet");
    EXPECT_EQ(settings.customPets().back().shape, "dog");

    // The same code twice: two pets, two ids, the second renamed.
    const std::string luna = code("Luna", "cat");
    const auto a = runImport(luna), b = runImport(luna);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(settings.customPets().back().name, "Luna 2");

    // Full pack: one kind steps aside, the total stays at the limit.
    store.setDictionary(keys::petCounts, {{"cat", 4}, {"shiba", 6}});
    const auto added = runImport(code("Max", "dog"));
    EXPECT_EQ(settings.totalPets(), MAX_PETS);
    EXPECT_EQ(settings.petCounts().at(customPetKey(*added)), 1);
    EXPECT_EQ(settings.petCounts().at("cat"), 3);
    EXPECT_EQ(dialogs.messages.back().second,
              "Your pack was full, so one pet stepped aside. Adjust the numbers under Animals in the menu.");
    EXPECT_EQ(host.pets, 5);
}

TEST_F(DesignerFixture, ImportRejectsTextBeforeThePrefix) {
    CustomPetDef d;
    const auto before = store.snapshot();
    EXPECT_FALSE(runImport("see: " + *petCode(d)));
    EXPECT_EQ(dialogs.messages.back(),
              std::make_pair(std::string("That code didn't work"),
                             std::string("Pet codes start with PAWLANE- and are copied from the Design My Pet "
                                         "window.")));
    EXPECT_EQ(store.snapshot(), before);
    EXPECT_EQ(host.pets, 0);
}
