#include "devtools/selftest.h"

#include <ostream>

#include "custom/pet_codes.h"
#include "custom/pet_list.h"
#include "sprites/catalogue.h"
#include "sprites/custom_species.h"

namespace pawlane {

namespace {

constexpr const char* kPass = "\u2705 ";
constexpr const char* kFail = "\u274C ";

struct Checker {
    std::ostream& out;
    int failures = 0;
    void check(const char* name, bool ok) {
        out << (ok ? kPass : kFail) << name << '\n';
        if (!ok) ++failures;
    }
    void fail(const std::string& name) {
        out << kFail << name << '\n';
        ++failures;
    }
};

bool rowsAligned(const PixelMap& map) {
    const int width = mapWidth(map);
    for (const auto& row : map)
        if (int(row.size()) != width) return false;
    return true;
}

}  // namespace

int selfTest(std::ostream& out) { return selfTest(out, ALL_SPECIES); }

int selfTest(std::ostream& out, const std::vector<Species>& catalogue) {
    Checker c{out};

    CustomPetDef luna;
    luna.name = "Luna";
    luna.shape = "corgi";
    luna.bodyHex = "#F2EFE9";
    luna.accentHex = "#4A3728";
    luna.eyePatch = true;
    luna.socks = true;
    luna.collarHex = "#2277CC";

    const auto code = petCode(luna);
    if (!code) {
        out << kFail << "encoding failed" << std::endl;
        return 1;
    }
    c.check("code has prefix", code->starts_with(PET_CODE_PREFIX));

    const auto back = petDef(*code);
    if (!back) {
        out << kFail << "decoding failed" << std::endl;
        return 1;
    }
    c.check("name survives", back->name == "Luna");
    c.check("shape survives", back->shape == "corgi");
    c.check("colors survive",
            back->bodyHex == "#F2EFE9" && back->accentHex == "#4A3728" && back->collarHex == "#2277CC");
    c.check("markings survive", back->eyePatch && back->socks);
    c.check("imported pet gets a fresh id", back->id != luna.id);
    c.check("sprite renders", speciesFrom(*back).runMaps.size() == 4);

    const std::string messy = "  " + code->substr(0, 20) + "\n" + code->substr(20) + "  ";
    const auto fromMessy = petDef(messy);
    c.check("tolerates pasted whitespace", fromMessy && fromMessy->name == "Luna");
    c.check("rejects garbage", !petDef("hello world"));
    c.check("rejects bad base64", !petDef(std::string(PET_CODE_PREFIX) + "!!!!"));
    c.check("rejects prefix not at the start", !petDef("x" + *code));

    const std::string future = R"({"name":"Rex","shape":"cat","spots":true,"futureField":42})";
    if (const auto compat = petDef(std::string(PET_CODE_PREFIX) + base64Encode(future))) {
        c.check("forward/backward compatible decode",
                compat->name == "Rex" && compat->shape == "cat" && compat->spots);
        c.check("missing fields fall back to defaults",
                compat->bodyHex == CustomPetDef().bodyHex && !compat->id.empty());
    } else {
        c.fail("forward/backward compatible decode");
    }

    CustomPetDef hostile;
    hostile.name = std::string(400, 'A');
    hostile.shape = "dragon";
    hostile.bodyHex = "not-a-color";
    const auto hostileCode = petCode(hostile);
    const auto hostileBack = hostileCode ? petDef(*hostileCode) : std::nullopt;
    if (hostileBack) {
        const Species s = speciesFrom(*hostileBack);
        c.check("unknown shape still renders", s.runMaps.size() == 4);
        c.check("invalid hex does not crash", s.idleMaps.size() == 2);
    } else {
        c.fail("hostile code round-trips");
    }

    CustomPetDef rex1, rex2;
    rex1.name = rex2.name = "Rex";
    const auto rows = petListRows({rex1, rex2});
    c.check("same-named pets keep separate rows", rows.size() == 3);
    std::vector<std::string> ids;
    for (const auto& row : rows)
        if (row.petId) ids.push_back(*row.petId);
    c.check("each row maps to its own pet", ids == std::vector<std::string>{rex1.id, rex2.id});

    bool anyMisaligned = false;
    for (const auto& species : catalogue) {
        bool aligned = true;
        for (const auto* maps : {&species.runMaps, &species.idleMaps})
            for (const auto& map : *maps) aligned = aligned && rowsAligned(map);
        if (!aligned) {
            c.fail(species.id + " pixel rows aligned");
            anyMisaligned = true;
        }
    }
    if (!anyMisaligned) out << kPass << "all species pixel rows aligned" << '\n';

    if (c.failures == 0)
        out << "\nAll self-tests passed." << std::endl;
    else
        out << '\n' << c.failures << " failure(s)." << std::endl;
    return c.failures;
}

}  // namespace pawlane
