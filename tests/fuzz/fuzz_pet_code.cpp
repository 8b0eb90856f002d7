// libFuzzer entry for the pet-code parser: any pasted text must be survivable.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "custom/pet_codes.h"
#include "sprites/custom_species.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto def = pawlane::petDef(text)) {
        // Whatever decodes must also draw and encode again.
        (void)pawlane::speciesFrom(*def).runImages();
        (void)pawlane::petCode(*def);
    }
    return 0;
}
