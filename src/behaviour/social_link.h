#pragma once
// What the pets need of the social service: whether friends' pets may visit,
// and a sync when the user comes back.
#include <string>

namespace pawlane {

class SocialLink {
public:
    virtual ~SocialLink() = default;
    virtual bool isSignedIn() const = 0;
    // Starts a sync in the background; returns at once, the outcome is not awaited.
    virtual void syncNow() = 0;
    // Queues the deletion of a custom pet's cloud copy (done by a later sync).
    virtual void markPetDeleted(const std::string& /*localId*/) {}
};

// For builds without a backend: never signed in, nothing to sync.
class NoSocial final : public SocialLink {
public:
    bool isSignedIn() const override { return false; }
    void syncNow() override {}
};

}  // namespace pawlane
