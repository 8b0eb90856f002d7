#pragma once
// One animated creature on the strip: its layers, its place and facing, and
// the behaviour state that decides each frame how it moves and what it shows.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/layer.h"
#include "platform/random.h"
#include "sprites/species.h"

namespace pawlane {

class Settings;
class World;

// What every pet reads: the preferences (never cached), the time and chance.
struct PetEnv {
    Settings& settings;
    const Clock& clock;
    Random& random;
};

// Emote colours.
inline constexpr ColorF HEART_RED{0.88, 0.30, 0.38, 1};
inline constexpr ColorF PURR_PURPLE{0.55, 0.50, 0.75, 1};
inline constexpr ColorF ALARM_ORANGE{0.95, 0.60, 0.20, 1};

class Pet {
public:
    // The behaviour state; only the fields of the current kind mean anything.
    struct State {
        enum class Kind {
            Resting,       // standing, idle animation, until `until`
            Napping,       // sleeping with sleep marks, until `until`
            FetchWait,     // short pause after the ball is thrown, until `until`
            FetchReturn,   // carrying the ball back to `toX`
            SocialLead,    // runs ahead of a follower, until `until`
            SocialFollow,  // runs behind the partner at `speedMul`, until `until`
            Fleeing,       // runs away from the partner, until `until`
            Sniffing,      // stands facing `face`, until `until`
            Greeting,      // runs to the pointer and greets, until `until`
            Running,       // the normal roaming state
            Dragged,       // held by the pointer
            FetchChase,    // running after the ball
            Petted,        // the pointer is held on it
        };
        Kind kind = Kind::Running;
        double until = 0;
        double toX = 0;
        double speedMul = 1;
        bool heartOnEnd = false;
        double face = 1;

        static State resting(double until) { return {Kind::Resting, until}; }
        static State napping(double until) { return {Kind::Napping, until}; }
        static State fetchWait(double until) { return {Kind::FetchWait, until}; }
        static State fetchReturn(double toX) { return {Kind::FetchReturn, 0, toX}; }
        static State socialLead(double until) { return {Kind::SocialLead, until}; }
        static State socialFollow(double until, double speedMul, bool heartOnEnd) {
            return {Kind::SocialFollow, until, 0, speedMul, heartOnEnd};
        }
        static State fleeing(double until) { return {Kind::Fleeing, until}; }
        static State sniffing(double until, double face) { return {Kind::Sniffing, until, 0, 1, false, face}; }
        static State greeting(double until) { return {Kind::Greeting, until}; }
        static State running() { return {Kind::Running}; }
        static State dragged() { return {Kind::Dragged}; }
        static State fetchChase() { return {Kind::FetchChase}; }
        static State petted() { return {Kind::Petted}; }

        bool is(Kind k) const { return kind == k; }
        // Only from these may a click, fetch, petting or greeting start.
        bool isFree() const { return kind == Kind::Running || kind == Kind::Resting || kind == Kind::Napping; }
        bool isFetching() const {
            return kind == Kind::FetchWait || kind == Kind::FetchReturn || kind == Kind::FetchChase;
        }
    };

    // Creates the pet and its four layers; the caller hangs them in the strip.
    Pet(const Species& species, double scale, double startX, World* world, const PetEnv& env);
    Pet(const Pet&) = delete;
    Pet& operator=(const Pet&) = delete;

    void tick(double dt, double now, double minX, double maxX, bool paused, std::optional<double> mouseX,
              double cursorX);
    void syncNameTag(bool hovered);
    void clickReaction();
    void endDrag();
    bool startGreeting(double now);
    void resumeRunning(double now, bool flip);
    // Draws the next break time from now.
    void runRestTimer(double now);
    void popEmote(std::string_view text, ColorF color, double duration);

    // Sprite size in sprite pixels, and in points.
    int w() const { return w_; }
    int h() const { return h_; }
    double spriteWidth() const { return scale * w_; }
    double spriteHeight() const { return scale * h_; }
    double centreX() const { return x + spriteWidth() / 2; }
    // Unique to this pet object for its lifetime.
    std::uint64_t identity() const { return identity_; }
    bool isCustom() const { return species.id.starts_with("custom:"); }

    const Species species;
    ImageLayer layer;
    TextLayer zzz;
    TextLayer emote;
    TextLayer nameTag;
    const double scale;
    double speedJitter;
    double followOffset;
    World* world;  // cleared when the world goes; may be absent
    const std::vector<Image> runImages;
    const std::vector<Image> idleImages;
    double x;
    double dir = 1;
    State state;
    std::weak_ptr<Pet> socialPartner;
    bool sniffHeart = false;
    double nextRestAt = 0;
    double frameClock = 0;
    int frameIdx = 0;
    double hopPhase = 0;
    double jumpUntil = 0;
    double emoteUntil = 0;
    double fetchDeadline = 0;
    int homeSide = 0;
    double nextExcursionAt = 0;
    bool greetPopped = false;
    std::string tagText;
    double lastPetEmoteAt = 0;
    double emoteDuration = 0.9;

private:
    struct Frame {
        const Image* image;
        double lift;
    };
    double speed() const;
    Frame idleFrame(double interval);
    Frame runFrameOnly(double dtScaled);
    Frame idleImage0() const { return {&idleImages[0], 0}; }
    void patrolStep(double k);
    bool approachStep(double target, double k);
    Frame chaseBall(double now);
    Frame greet(double now, double cursorX);
    Frame run(double now, std::optional<double> mouseX);
    void draw(const Frame& f, bool zzzShown, double now);
    void placeTag();

    const PetEnv env_;
    const int w_;
    const int h_;
    const std::uint64_t identity_;
    // Per-tick inputs the steps share.
    double dt_ = 0;
    double minX_ = 0;
    double maxX_ = 0;
    double speed_ = 0;
};

}  // namespace pawlane
