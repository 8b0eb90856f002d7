#include "behaviour/world.h"

#include "settings/settings.h"
#include "sprites/catalogue.h"

namespace pawlane {

World::World(const WorldDeps& deps) : deps_(deps), stripView_(*this) {}

World::~World() {
    stripView_.endGesture();
    for (auto& pet : pets) pet->world = nullptr;
}

void World::trace(std::string_view message) { deps_.trace.trace(message); }

bool World::hasPet(const Pet* pet) const {
    for (const auto& p : pets)
        if (p.get() == pet) return true;
    return false;
}

std::shared_ptr<Pet> World::petAt(PointF p) const {
    for (auto it = pets.rbegin(); it != pets.rend(); ++it) {
        const Pet& pet = **it;
        if (p.x >= pet.x && p.x < pet.x + pet.spriteWidth() && p.y >= 0 && p.y < pet.spriteHeight() + 8)
            return *it;
    }
    return nullptr;
}

void World::setPaused(bool on) {
    if (on && !paused) {
        const double now = deps_.clock.now();
        for (auto& pet : pets)
            if (pet->state.is(Pet::State::Kind::Greeting) || pet->state.is(Pet::State::Kind::Petted))
                pet->resumeRunning(now, false);
    }
    paused = on;
}

void World::tick() {
    Settings& settings = deps_.settings;
    if (settings.d.boolean(keys::petsHidden)) return;

    if (friendRebuildPending && stripView_.activePet.expired() && !ball) {
        friendRebuildPending = false;
        rebuildPets();
    }

    const double now = deps_.clock.now();
    const RectF frame = deps_.desktop.screenFrame();
    const PointF pointer = deps_.desktop.pointer();
    std::optional<double> mouseX;
    if (settings.d.boolean(keys::followMouse)) mouseX = pointer.x;

    const std::shared_ptr<Pet> hovered = petAt(deps_.strip.fromScreen(pointer));
    hovered_ = hovered.get();
    const bool takeClicks = hovered || !stripView_.activePet.expired();
    if (takesClicks_ != takeClicks) {
        takesClicks_ = takeClicks;
        deps_.strip.setTakesClicks(takeClicks);
    }

    socialScan(now);

    if (ball) tickBall(frame, now);

    for (auto& pet : pets) {
        const XRange range = bounds(*pet, frame, now);
        pet->tick(kFrame, now, range.minX, range.maxX, paused, mouseX, pointer.x);
        pet->syncNameTag(pet.get() == hovered_);
    }
    deps_.strip.commit();
}

void World::tickBall(const RectF& frame, double now) {
    ball->tick(kFrame, frame.x + 4, frame.x + frame.w - 4);
    const std::shared_ptr<Pet> owner = ballOwner.lock();
    if (ball->carried && owner) {
        // The ball sits at the mouth.
        ball->x = owner->x + owner->spriteWidth() * (owner->dir > 0 ? 0.95 : 0.05);
        ball->y = 5 * owner->scale;
    }
    if (owner && !owner->state.isFetching() && !ballDespawnAt) {
        // The fetch was cut short (a drag): drop the ball and let it go.
        ball->carried = false;
        ballDespawnAt = now + 2.5;
    }
    ball->layer.setPosition({ball->x, ball->y});
    if (ballDespawnAt && now >= *ballDespawnAt) clearBall();
}

XRange World::bounds(Pet& pet, const RectF& frame, double now) {
    const double frameMaxX = frame.x + frame.w;
    const XRange full{frame.x + 8, frameMaxX - 8 - pet.spriteWidth()};
    using K = Pet::State::Kind;
    const bool roaming = pet.state.is(K::Running) || pet.state.is(K::Resting) || pet.state.is(K::Napping);
    if (!roaming || !deps_.settings.mode().edges || deps_.settings.d.boolean(keys::followMouse)) return full;

    if (pet.nextExcursionAt <= now) {
        pet.homeSide = 1 - pet.homeSide;
        pet.nextExcursionAt = now + deps_.random.uniform(120, 300);
    }
    const double zone = 0.24 * frame.w;
    const double lo = pet.homeSide == 1 ? frameMaxX - zone : full.minX;
    const double hi = pet.homeSide == 1 ? full.maxX : frame.x + zone;
    // One point of slack counts as home.
    if (pet.x >= lo - 1 && pet.x <= hi + 1) return {lo, hi};
    if (pet.state.is(K::Running)) pet.dir = pet.x < lo ? 1 : -1;
    return full;
}

void World::startFetch(const std::shared_ptr<Pet>& pet, PointF at) {
    if (!pet) return;
    const bool throwable = pet->species.family == "dog" || pet->species.family == "cat";
    if (paused || ball || !pet->state.isFree() || !throwable) {
        pet->clickReaction();
        return;
    }
    const double s = deps_.settings.scale();
    Random& random = deps_.random;
    const double vx = pet->dir * random.uniform(240, 360);
    const double vy = random.uniform(190, 260);
    ball = std::make_unique<Ball>(pet->centreX(), 8 * s, vx, vy, s);
    ball->layer.setPosition({ball->x, 8 * s});
    deps_.strip.rootLayer().addSublayer(ball->layer);  // above every pet
    ballOwner = pet;
    fetchOrigin = at.x;
    ballDespawnAt.reset();

    const double now = deps_.clock.now();
    pet->state = Pet::State::fetchWait(now + 0.35);
    pet->fetchDeadline = now + 14;
    pet->socialPartner.reset();
    pet->frameClock = 0;
    pet->frameIdx = 0;
}

void World::clearBall() {
    ball.reset();  // its layer leaves the strip with it
    ballOwner.reset();
    ballDespawnAt.reset();
}

}  // namespace pawlane
