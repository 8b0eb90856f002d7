#include "behaviour/strip_view.h"

#include <algorithm>
#include <cmath>

#include "behaviour/world.h"

namespace pawlane {

StripView::~StripView() { cancelHoldTimer(); }

void StripView::cancelHoldTimer() {
    if (holdTimer) world_.deps().queue.cancel(*holdTimer);
    holdTimer.reset();
}

void StripView::endGesture() {
    activePet.reset();
    didDrag = false;
    isPetting = false;
    cancelHoldTimer();
}

void StripView::mouseDown(PointF p, int clickCount) {
    endGesture();
    const std::shared_ptr<Pet> pet = world_.petAt(p);
    activePet = pet;
    downPoint = p;
    if (pet && clickCount <= 1 && !world_.paused) {
        std::weak_ptr<Pet> weak = pet;
        holdTimer = world_.deps().queue.postAfter(kHoldSeconds, [this, weak] { holdFired(weak); });
    }
}

void StripView::holdFired(const std::weak_ptr<Pet>& weak) {
    holdTimer.reset();
    const std::shared_ptr<Pet> pet = weak.lock();
    if (!pet || pet != activePet.lock() || didDrag) return;
    if (!pet->state.isFree()) {
        isPetting = false;
        return;
    }
    pet->state = Pet::State::petted();
    pet->socialPartner.reset();
    pet->lastPetEmoteAt = 0;
    pet->frameClock = 0;
    pet->frameIdx = 0;
    isPetting = true;
}

void StripView::mouseDragged(PointF p) {
    const std::shared_ptr<Pet> pet = activePet.lock();
    if (!pet) return;
    const double t = isPetting ? kPettingDragThreshold : kDragThreshold;
    if (!didDrag) {
        if (std::abs(p.x - downPoint.x) <= t && std::abs(p.y - downPoint.y) <= t) return;
        // Any state may be picked up, a fetch or an encounter included.
        cancelHoldTimer();
        didDrag = true;
        isPetting = false;
        pet->state = Pet::State::dragged();
        pet->socialPartner.reset();
        pet->frameClock = 0;
        pet->frameIdx = 0;
    }
    // Centred under the pointer, kept 8 points inside the screen edges.
    const RectF frame = world_.deps().desktop.screenFrame();
    const double sw = pet->spriteWidth();
    pet->x = std::max(frame.x + 8, std::min(p.x - sw / 2, frame.x + frame.w - 8 - sw));
}

void StripView::mouseUp(PointF p, int clickCount) {
    cancelHoldTimer();
    if (const std::shared_ptr<Pet> pet = activePet.lock()) {
        if (didDrag) {
            pet->endDrag();
        } else if (isPetting) {
            // A pause may already have ended the petting.
            if (pet->state.is(Pet::State::Kind::Petted)) {
                const double now = world_.deps().clock.now();
                pet->jumpUntil = now + 0.4;
                pet->resumeRunning(now, false);
            }
        } else if (clickCount < 2) {
            pet->clickReaction();
        } else {
            world_.startFetch(pet, p);
        }
    }
    endGesture();
}

}  // namespace pawlane
