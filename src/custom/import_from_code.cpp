#include "custom/import_from_code.h"

#include <algorithm>

#include "custom/pet_codes.h"
#include "custom/pet_designer.h"
#include "custom/text_cleaning.h"
#include "platform/clipboard.h"
#include "settings/settings.h"

namespace pawlane {

namespace {

std::string uniqueName(const std::string& name, const std::vector<CustomPetDef>& pets) {
    auto taken = [&](const std::string& n) {
        return std::any_of(pets.begin(), pets.end(), [&](const CustomPetDef& p) { return p.name == n; });
    };
    if (!taken(name)) return name;
    for (int n = 2;; ++n) {
        std::string candidate = name + " " + std::to_string(n);
        if (!taken(candidate)) return candidate;
    }
}

}  // namespace

std::optional<std::string> importFromCode(DesignerHost* host, const ImportDeps& d) {
    CodePrompt prompt;
    const std::string clip = trimmed(d.clipboard.text());
    if (hasPetCodePrefix(clip)) prompt.prefill = clip;

    const auto typed = d.dialogs.askForCode(prompt);
    if (!typed) return std::nullopt;

    auto def = petDef(*typed);
    if (!def) {
        d.dialogs.showMessage("That code didn't work",
                              "Pet codes start with PAWLANE- and are copied from the Design My Pet window.");
        return std::nullopt;
    }

    Settings& s = d.settings;
    def->name = cleanPetName(def->name);
    if (def->shape != "dog" && def->shape != "corgi" && def->shape != "cat") def->shape = "dog";
    def->name = uniqueName(def->name, s.customPets());

    bool packWasFull = false;
    if (s.totalPets() >= MAX_PETS) {
        packWasFull = true;
        for (const auto& [id, count] : s.petCounts())
            if (count >= 1) {
                s.setCount(count - 1, id);
                break;
            }
    }
    s.saveCustomPet(*def);
    if (host) {
        host->rebuildPets();
        host->rebuildMenu();
    }
    d.dialogs.showMessage(def->name + " joined your pack!",
                          packWasFull ? "Your pack was full, so one pet stepped aside. Adjust the numbers under "
                                        "Animals in the menu."
                                      : "You'll find them under Animals in the menu.");
    return def->id;
}

}  // namespace pawlane
