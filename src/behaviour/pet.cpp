#include "behaviour/pet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "behaviour/ball.h"
#include "behaviour/world.h"
#include "settings/settings.h"

namespace pawlane {
namespace {

// Frame lists are never empty for a well-formed species; a blank frame keeps
// a malformed one drawable instead of indexing past the end.
std::vector<Image> nonEmpty(std::vector<Image> images) {
    if (images.empty()) images.emplace_back();
    return images;
}

std::uint64_t nextIdentity() {
    static std::uint64_t counter = 0;
    return ++counter;
}

// Characters, not bytes: a label's width follows what the reader sees.
std::size_t characterCount(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void setUpText(TextLayer& t, std::string_view text, ColorF color, double fontSize, double scale) {
    t.setString(text);
    t.setColor(color);
    t.setFontSize(fontSize);
    t.setBounds({scale * 30, scale * 8});
    t.setHidden(true);
}

}  // namespace

Pet::Pet(const Species& species_, double scale_, double startX, World* world_, const PetEnv& env)
    : species(species_),
      scale(scale_),
      speedJitter(1),
      followOffset(0),
      world(world_),
      runImages(nonEmpty(species_.runImages())),
      idleImages(nonEmpty(species_.idleImages())),
      x(startX),
      tagText(species_.name),
      env_(env),
      w_(species_.pixelW()),
      h_(species_.runMaps.empty() ? 0 : static_cast<int>(species_.runMaps.front().size())),
      identity_(nextIdentity()) {
    const double now = env_.clock.now();
    dir = env_.random.coin() ? 1 : -1;
    nextExcursionAt = now + env_.random.uniform(90, 240);
    speedJitter = env_.random.uniform(0.85, 1.2);
    followOffset = env_.random.uniform(-90, 90);

    layer.setContents(runImages[0]);
    layer.setNearestFilter(true);
    layer.setBounds({spriteWidth(), spriteHeight()});
    layer.setAnchor({0.5, 0});
    layer.setPosition({startX + spriteWidth() / 2, 0});

    setUpText(zzz, "z Z", {0.35, 0.35, 0.35, 0.9}, std::max(5 * scale, 13.0), scale);
    setUpText(emote, "♥", HEART_RED, std::max(5 * scale, 14.0), scale);
    setUpText(nameTag, species.name, {0.25, 0.25, 0.25, 0.95}, std::max(4 * scale, 11.0), scale);

    runRestTimer(now);
}

double Pet::speed() const {
    const Settings& s = env_.settings;
    return s.baseSpeed() * species.speedFactor * speedJitter * s.mode().speedMul;
}

void Pet::runRestTimer(double now) {
    const Settings& s = env_.settings;
    nextRestAt = now + env_.random.uniform(6, 15) * s.restMultiplier() * s.mode().restIntervalMul;
}

void Pet::popEmote(std::string_view text, ColorF color, double duration) {
    emote.setString(text);
    emote.setColor(color);
    emoteDuration = duration;
    emoteUntil = env_.clock.now() + duration;
}

Pet::Frame Pet::idleFrame(double interval) {
    const int n = static_cast<int>(idleImages.size());
    frameClock += dt_;
    if (frameClock >= interval) {
        frameClock = 0;
        frameIdx = (frameIdx + 1) % n;
    }
    return {&idleImages[static_cast<std::size_t>(frameIdx % n)], 0};
}

Pet::Frame Pet::runFrameOnly(double dtScaled) {
    const int n = static_cast<int>(runImages.size());
    if (species.hopper) {
        hopPhase += 9 * dtScaled;
        const double lift = scale * 3.5 * std::abs(std::sin(hopPhase));
        const int i = (lift > 1.5 * scale ? 1 : 0) % n;
        return {&runImages[static_cast<std::size_t>(i)], lift};
    }
    frameClock += dtScaled;
    if (frameClock >= species.frameTime) {
        frameClock = 0;
        frameIdx = (frameIdx + 1) % n;
    }
    const auto& bob = species.runBob;
    const double lift = bob.empty() ? 0 : bob[static_cast<std::size_t>(frameIdx) % bob.size()] * scale / 3;
    return {&runImages[static_cast<std::size_t>(frameIdx % n)], lift};
}

void Pet::patrolStep(double k) {
    x += dt_ * speed_ * k * dir;
    if (x <= minX_) {
        x = minX_;
        dir = 1;
    }
    if (x >= maxX_) {
        x = maxX_;
        dir = -1;
    }
}

bool Pet::approachStep(double target, double k) {
    dir = x < target ? 1 : -1;
    const double step = dt_ * speed_ * k;
    double next = x + step * dir;
    const bool arrived = std::abs(next - target) < step + 3;
    if (arrived) next = target;
    x = std::max(minX_, std::min(next, maxX_));
    return arrived;
}

void Pet::tick(double dt, double now, double minX, double maxX, bool paused, std::optional<double> mouseX,
               double cursorX) {
    dt_ = dt;
    minX_ = minX;
    maxX_ = maxX;
    Frame f = idleImage0();
    bool zzzShown = false;

    if (state.is(State::Kind::Dragged)) {
        f = {&idleImages[0], 3 * scale};
    } else if (paused) {
        // Timers keep running on the wall clock; an expired state ends on the first tick after.
        f = idleImage0();
    } else {
        speed_ = speed();
        switch (state.kind) {
        case State::Kind::Resting:
            f = idleFrame(0.35);
            if (now >= state.until) resumeRunning(now, true);
            break;
        case State::Kind::Napping:
            f = idleFrame(0.8);
            zzzShown = true;
            if (now >= state.until) resumeRunning(now, true);
            break;
        case State::Kind::FetchWait:
            f = idleImage0();
            if (now >= state.until) state = State::fetchChase();
            break;
        case State::Kind::FetchChase:
            f = chaseBall(now);
            break;
        case State::Kind::FetchReturn: {
            const bool arrived = approachStep(state.toX - spriteWidth() / 2, 1.4);
            f = runFrameOnly(dt * 1.3);
            if (arrived || now >= fetchDeadline) {
                if (world && world->ball) {
                    world->ball->carried = false;
                    world->ballDespawnAt = env_.clock.now() + 1.5;
                }
                popEmote("♥", HEART_RED, 0.9);
                state = State::resting(now + 1.8);
                frameClock = 0;
                frameIdx = 0;
            }
            break;
        }
        case State::Kind::SocialLead:
            patrolStep(1.25);
            f = runFrameOnly(dt * 1.25);
            if (now >= state.until) {
                popEmote("♥", HEART_RED, 0.9);
                state = State::resting(now + 2.0);
                frameClock = 0;
                frameIdx = 0;
            }
            break;
        case State::Kind::SocialFollow: {
            const std::shared_ptr<Pet> partner = socialPartner.lock();
            if (partner && now < state.until) {
                // The spot twelve of this pet's sprite pixels behind the partner.
                approachStep(partner->x - 12 * scale * partner->dir, state.speedMul);
                f = runFrameOnly(dt * state.speedMul);
            } else {
                if (state.heartOnEnd) popEmote("♥", HEART_RED, 0.9);
                state = State::resting(now + 1.5);
                socialPartner.reset();
                f = idleImage0();
                frameClock = 0;
                frameIdx = 0;
            }
            break;
        }
        case State::Kind::Fleeing:
            if (const std::shared_ptr<Pet> partner = socialPartner.lock()) dir = x >= partner->x ? 1 : -1;
            patrolStep(1.6);
            f = runFrameOnly(dt * 1.6);
            if (now >= state.until) {
                state = State::resting(now + 1.5);
                socialPartner.reset();
                frameClock = 0;
                frameIdx = 0;
            }
            break;
        case State::Kind::Sniffing:
            dir = state.face;
            f = idleFrame(0.3);
            if (now >= state.until) {
                if (sniffHeart) popEmote("♥", HEART_RED, 0.9);
                resumeRunning(now, false);
            }
            break;
        case State::Kind::Greeting:
            f = greet(now, cursorX);
            break;
        case State::Kind::Running:
            f = run(now, mouseX);
            break;
        case State::Kind::Dragged:  // handled above, before the pause
            break;
        case State::Kind::Petted:
            dir = centreX() <= cursorX ? 1 : -1;
            f = idleFrame(0.5);
            if (now - lastPetEmoteAt > 0.9) {
                lastPetEmoteAt = now;
                if (species.family == "cat")
                    popEmote("♪", PURR_PURPLE, 0.9);
                else
                    popEmote("♥", HEART_RED, 0.9);
            }
            break;
        }
    }

    // The arc always assumes 0.45 s, so a shorter jump starts partway in.
    if (now < jumpUntil) f.lift += std::sin(std::numbers::pi * (1 - (jumpUntil - now) / 0.45)) * 5 * scale;
    draw(f, zzzShown, now);
}

Pet::Frame Pet::run(double now, std::optional<double> mouseX) {
    if (mouseX) {
        // Gathering at the pointer; the rest timer waits meanwhile.
        const double target = std::max(minX_, std::min(*mouseX + followOffset - spriteWidth() / 2, maxX_));
        if (std::abs(x - target) < 14) {
            Frame f = idleFrame(0.4);
            f.lift = 0;
            return f;
        }
        dir = x < target ? 1 : -1;
        x += dt_ * speed_ * dir;
        return runFrameOnly(dt_);
    }
    patrolStep(1);
    const Frame f = runFrameOnly(dt_);
    if (now >= nextRestAt) {
        frameClock = 0;
        frameIdx = 0;
        const ModeParams& mode = env_.settings.mode();
        const double r = env_.random.uniform(0, 1);
        if (r < mode.napBias)
            state = State::napping(now + env_.random.uniform(8, 16) * mode.napDurMul);
        else
            state = State::resting(now + env_.random.uniform(2.5, 5.5) * mode.restDurMul);
    }
    return f;
}

Pet::Frame Pet::greet(double now, double cursorX) {
    const double target = std::max(minX_, std::min(cursorX + followOffset - spriteWidth() / 2, maxX_));
    Frame f = idleImage0();
    if (std::abs(x - target) > 24) {
        approachStep(target, 1.5);
        f = runFrameOnly(dt_ * 1.4);
    } else {
        dir = centreX() <= cursorX ? 1 : -1;
        if (!greetPopped) {
            greetPopped = true;
            jumpUntil = now + 0.45;
            popEmote("♥", HEART_RED, 1.2);
        }
        f = idleFrame(0.3);
        f.lift = 0;
    }
    if (now >= state.until) resumeRunning(now, false);
    return f;
}

Pet::Frame Pet::chaseBall(double now) {
    Ball* ball = world ? world->ball.get() : nullptr;
    if (!ball || now >= fetchDeadline) {
        if (world && world->ball) world->ballDespawnAt = env_.clock.now() + 0.5;
        resumeRunning(now, false);
        return idleImage0();
    }
    approachStep(ball->x - spriteWidth() / 2, 1.5);
    const Frame f = runFrameOnly(dt_ * 1.4);
    const double mouth = x + spriteWidth() * (dir > 0 ? 0.9 : 0.1);
    if (std::abs(mouth - ball->x) < 6 * scale && ball->y < spriteHeight()) {
        if (species.family == "cat") {
            ball->vx = dir * 340;
            ball->vy = 150;
            world->ballDespawnAt = env_.clock.now() + 2.5;
            popEmote("!", ALARM_ORANGE, 0.9);
            state = State::resting(now + 1.2);
        } else {
            // The deadline set at the throw still bounds the way back.
            ball->carried = true;
            state = State::fetchReturn(world->fetchOrigin);
        }
    }
    return f;
}

void Pet::draw(const Frame& f, bool zzzShown, double now) {
    const double sw = spriteWidth(), sh = spriteHeight();
    layer.setContents(*f.image);
    layer.setPosition({x + sw / 2, f.lift});
    layer.setMirrored(dir < 0);

    zzz.setHidden(!zzzShown);
    if (zzzShown) {
        zzz.setPosition({x + 0.65 * sw, sh + 4 * scale + 2 * std::sin(1.6 * now)});
        zzz.setOpacity(0.55 + 0.4 * std::sin(2.2 * now));
    }

    if (now >= emoteUntil) {
        emote.setHidden(true);
    } else {
        // Rises nine sprite pixels while it fades out.
        const double t = 1 - (emoteUntil - now) / emoteDuration;
        emote.setHidden(false);
        emote.setPosition({x + sw / 2, f.lift + sh + 9 * scale * t});
        emote.setOpacity(1 - t);
    }
}

void Pet::clickReaction() {
    const double now = env_.clock.now();
    if (state.isFree()) {
        state = State::running();
        runRestTimer(now);
    }
    jumpUntil = now + 0.45;
    popEmote("♥", HEART_RED, 0.9);
}

void Pet::endDrag() {
    state = State::running();
    dir = env_.random.coin() ? 1 : -1;
    runRestTimer(env_.clock.now());
}

bool Pet::startGreeting(double now) {
    if (!state.isFree()) return false;
    state = State::greeting(now + 4.5);
    greetPopped = false;
    socialPartner.reset();
    frameClock = 0;
    frameIdx = 0;
    if (isCustom()) {
        nameTag.setString(species.name + " missed you!");
        nameTag.setBounds({scale * 78, scale * 8});
        placeTag();
        nameTag.setHidden(false);
    }
    return true;
}

void Pet::resumeRunning(double now, bool flip) {
    state = State::running();
    socialPartner.reset();
    frameClock = 0;
    frameIdx = 0;
    runRestTimer(now);
    if (flip && env_.random.coin()) dir = -dir;
}

void Pet::placeTag() { nameTag.setPosition({centreX(), 2 * scale + spriteHeight()}); }

void Pet::syncNameTag(bool hovered) {
    if (!isCustom()) return;
    if (state.is(State::Kind::Greeting)) {
        placeTag();
        nameTag.setHidden(false);
        return;
    }
    if (nameTag.string() != tagText) {
        nameTag.setString(tagText);
        const double chars = static_cast<double>(characterCount(tagText));
        nameTag.setBounds({scale * std::max(4 * chars, 30.0), scale * 8});
    }
    nameTag.setHidden(!hovered);
    if (hovered) placeTag();
}

}  // namespace pawlane
