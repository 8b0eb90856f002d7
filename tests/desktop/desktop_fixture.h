#pragma once
// A real pawlane on the test's X server, with throw-away XDG folders, plus the
// stand-in windows around it (a panel, a coloured backdrop that reports clicks).
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "child.h"
#include "x_session.h"

namespace desktop {

// The backdrop's colour: nothing the pets are drawn in.
inline constexpr Rgb BACKDROP{40, 160, 90};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the preferences file the app reads at launch (a JSON object's members).
    void writePreferences(const std::string& members);
    std::map<std::string, std::string> appEnv() const;
    // Starts pawlane with extra arguments (and environment); not waiting for anything.
    std::unique_ptr<Child> startApp(const std::vector<std::string>& args = {}, const std::string& name = "app",
                                    const std::map<std::string, std::string>& extraEnv = {});
    // Waits for the app's full-width strip window; nothing after the time.
    std::optional<Rect> waitForStrip(Child& app, int timeoutMs = 5000);
    // Waits until the strip stands at `expected`; the last place seen otherwise.
    Rect waitForStripAt(Child& app, const Rect& expected, int timeoutMs = 4000);
    std::unique_ptr<Child> startDock(int height);
    std::unique_ptr<Child> startBackdrop();
    // The usual start: a backdrop, one slow shiba, the app's strip, half a
    // second to settle. No strip: `strip` stays empty (the app's stderr says why).
    struct SlowShiba {
        std::unique_ptr<Child> backdrop, app;
        std::optional<Rect> strip;
    };
    SlowShiba startSlowShiba();
    // Pixels of the strip that are not the backdrop, as their bounding box.
    std::optional<Rect> drawnBox(const Shot& shot);
    // Points at the walking pet, finds it again after it moved on, and clicks
    // `button` on its centre; false when no pet shows.
    bool clickPet(const Rect& strip, int button);

    std::string dir_;
    std::unique_ptr<XSession> x_;
};

}  // namespace desktop
