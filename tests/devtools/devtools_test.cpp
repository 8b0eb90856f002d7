#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "devtools/export.h"
#include "devtools/selftest.h"
#include "platform/canvas.h"
#include "sprites/catalogue.h"

using namespace pawlane;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("pawlane-test-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(std::rand()));
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

using Px = std::array<std::uint8_t, 4>;

}  // namespace

TEST(CommandLine, SwitchPrecedence) {
    using K = Command::Kind;
    struct Case {
        std::vector<std::string> args;
        K kind;
        std::string path;
    };
    const Case cases[] = {
        {{"pawlane"}, K::Interactive, ""},
        {{"pawlane", "--dump-frames", "out", "--selftest"}, K::SelfTest, ""},
        {{"pawlane", "--dump-frames"}, K::Interactive, ""},
        {{"pawlane", "--dump-frames", "--make-icon"}, K::DumpFrames, "--make-icon"},
        {{"pawlane", "--make-icon", "icons", "--dump-frames"}, K::MakeIcon, "icons"},
        {{"pawlane", "--make-icon", "a", "--make-icon", "b"}, K::MakeIcon, "a"},
        {{"pawlane", "--SELFTEST", "-selftest"}, K::Interactive, ""},
    };
    for (const auto& c : cases) {
        const Command cmd = parseCommandLine(c.args);
        EXPECT_EQ(cmd.kind, c.kind) << c.args.size();
        EXPECT_EQ(cmd.path, c.path);
    }
    const Command urls = parseCommandLine({"pawlane", "pawlane://auth-callback?code=x", "https://x", "PAWLANE://y"});
    EXPECT_EQ(urls.urls, std::vector<std::string>{"pawlane://auth-callback?code=x"});
}

TEST(SelfTest, PassingRunPrintsEighteenChecksAndTheSummary) {
    std::ostringstream out;
    EXPECT_EQ(selfTest(out), 0);
    const std::string text = out.str();
    const std::string names[] = {"code has prefix", "name survives", "shape survives", "colors survive",
                                 "markings survive", "imported pet gets a fresh id", "sprite renders",
                                 "tolerates pasted whitespace", "rejects garbage", "rejects bad base64",
                                 "rejects prefix not at the start", "forward/backward compatible decode",
                                 "missing fields fall back to defaults", "unknown shape still renders",
                                 "invalid hex does not crash", "same-named pets keep separate rows",
                                 "each row maps to its own pet", "all species pixel rows aligned"};
    std::string expected;
    for (const auto& n : names) expected += "\u2705 " + n + "\n";
    expected += "\nAll self-tests passed.\n";
    EXPECT_EQ(text, expected);
}

TEST(SelfTest, MisalignedArtIsCountedAndReported) {
    std::vector<Species> catalogue = ALL_SPECIES;
    catalogue[9].idleMaps[1][3].pop_back();  // penguin
    std::ostringstream out;
    EXPECT_EQ(selfTest(out, catalogue), 1);
    const std::string text = out.str();
    EXPECT_NE(text.find("\u274C penguin pixel rows aligned\n\n1 failure(s).\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("all species pixel rows aligned"), std::string::npos);
}

TEST(DumpFrames, WritesEveryPictureIntoNestedFolders) {
    TempDir tmp;
    const std::string dir = (tmp.path / "a/b/c").string();
    std::ostringstream out;
    dumpFrames(dir, out);
    EXPECT_EQ(out.str(), "frames written to " + dir + "\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 71);

    const Image shiba = readPng(dir + "/shiba_run_0.png");
    EXPECT_EQ(shiba.width(), 192);
    EXPECT_EQ(shiba.height(), 112);
    EXPECT_EQ(shiba.pixel(20 * 8 + 3, 4 * 8 + 3), (Px{44, 34, 26, 255}));  // the eye
    EXPECT_EQ(shiba.pixel(0, 0), (Px{237, 237, 237, 255}));              // transparent map pixel
    const Image ball = readPng(dir + "/ball.png");
    EXPECT_EQ(ball.width(), 32);
    EXPECT_EQ(ball.pixel(12, 12), (Px{160, 196, 54, 255}));
    const Image sheet = readPng(dir + "/all.png");
    EXPECT_EQ(sheet.width(), 2496);
    EXPECT_EQ(sheet.height(), 160);
    // The shiba's first column of coat stands on the common base line 16 px above the bottom.
    EXPECT_EQ(sheet.pixel(16 + 3 * 8, 160 - 16 - 1), (Px{146, 90, 42, 255}));
    EXPECT_EQ(sheet.pixel(16 + 3 * 8, 160 - 16), (Px{237, 237, 237, 255}));
    EXPECT_EQ(readPng(dir + "/custom_demo.png").width(), 192);

    // A second export over the first replaces the pictures.
    std::ostringstream again;
    dumpFrames(dir, again);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 71);
}

TEST(DumpFrames, ShortRowsAreReportedAndUnwritableFoldersStillFinish) {
    TempDir tmp;
    std::vector<Species> catalogue = {ALL_SPECIES[0]};
    catalogue[0].runMaps[1][5].pop_back();
    std::ostringstream out;
    dumpFrames((tmp.path / "x").string(), out, catalogue);
    EXPECT_EQ(out.str(), "\u26A0\uFE0F shiba frame 1 row 5: len 23 != 24\nframes written to " +
                             (tmp.path / "x").string() + "\n");

    std::ofstream(tmp.path / "file") << "not a folder";
    const std::string blocked = (tmp.path / "file" / "sub").string();
    std::ostringstream blockedOut;
    dumpFrames(blocked, blockedOut);
    EXPECT_EQ(blockedOut.str(), "frames written to " + blocked + "\n");
    std::ostringstream iconOut;
    makeIcon(blocked, iconOut);
    EXPECT_EQ(iconOut.str(), "iconset written to " + blocked + "\n");
}

TEST(MakeIcon, WritesTheTenSizes) {
    TempDir tmp;
    std::ostringstream out;
    makeIcon(tmp.path.string(), out);
    ASSERT_EQ(ICON_SET.size(), 10u);
    for (const auto& entry : ICON_SET) {
        const Image img = readPng((tmp.path / (std::string(entry.fileName) + ".png")).string());
        EXPECT_EQ(img.width(), entry.pixels) << entry.fileName;
        EXPECT_EQ(img.height(), entry.pixels) << entry.fileName;
    }
    EXPECT_EQ(out.str(), "iconset written to " + tmp.path.string() + "\n");
}
