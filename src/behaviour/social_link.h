#pragma once
// What the pets need of the social service: whether friends' pets may visit,
// and a sync when the user comes back.
namespace pawlane {

class SocialLink {
public:
    virtual ~SocialLink() = default;
    virtual bool isSignedIn() const = 0;
    // Starts a sync in the background; returns at once, the outcome is not awaited.
    virtual void syncNow() = 0;
};

// For builds without a backend: never signed in, nothing to sync.
class NoSocial final : public SocialLink {
public:
    bool isSignedIn() const override { return false; }
    void syncNow() override {}
};

}  // namespace pawlane
