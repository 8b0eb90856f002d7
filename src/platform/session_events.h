#pragma once
// What the system says about the user leaving and coming back.
#include <functional>

namespace pawlane {

enum class SessionEvent {
    WillSleep,       // the machine is about to sleep
    DidWake,         // the machine woke up
    SessionResigned, // another user's session became the active one
    SessionActive,   // this session is active again
    ScreenLocked,    // lock screen or screen saver up
    ScreenUnlocked,
    TestAway,        // developer signals, only when enabled at launch
    TestReturn,
};

class SessionEvents {
public:
    virtual ~SessionEvents() = default;
    // Starts delivering events on the main thread. A bus that is not there
    // simply delivers nothing.
    virtual void observe(std::function<void(SessionEvent)> handler, bool withTestSignals) = 0;
};

}  // namespace pawlane
