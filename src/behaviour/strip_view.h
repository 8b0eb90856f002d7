#pragma once
// The strip's pointer gestures: click, double-click (fetch), press-and-hold
// (petting) and drag, applied to the pet under the pointer. The toolkit's view
// forwards its primary-button events here, in strip coordinates (origin at the
// strip's bottom-left, y upward) with the platform's click count.
#include <memory>
#include <optional>

#include "platform/layer.h"
#include "platform/main_queue.h"

namespace pawlane {

class Pet;
class World;

class StripView {
public:
    static constexpr double kHoldSeconds = 0.35;
    static constexpr double kDragThreshold = 11;
    static constexpr double kPettingDragThreshold = 26;

    explicit StripView(World& world) : world_(world) {}
    ~StripView();
    StripView(const StripView&) = delete;
    StripView& operator=(const StripView&) = delete;

    void mouseDown(PointF p, int clickCount);
    void mouseDragged(PointF p);
    void mouseUp(PointF p, int clickCount);
    // Forgets the gesture and cancels the hold timer.
    void endGesture();

    std::weak_ptr<Pet> activePet;
    PointF downPoint;
    bool didDrag = false;
    bool isPetting = false;
    std::optional<MainQueue::TaskId> holdTimer;

private:
    void cancelHoldTimer();
    void holdFired(const std::weak_ptr<Pet>& pet);

    World& world_;
};

}  // namespace pawlane
