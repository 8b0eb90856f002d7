// The interactive app for the desktop measurement, with a stand-in for a
// signed-in social service so friends' pets can visit: 10 of the user's own
// plus PAWLANE_BENCH_FRIEND_PETS visitors make the largest pack there is.
#include <cstdlib>
#include <string>

#include "behaviour/social_link.h"
#include "platform/qt/app_runner.h"
#include "settings/settings.h"

namespace {

class SignedIn final : public pawlane::SocialLink {
public:
    bool isSignedIn() const override { return true; }
    void syncNow() override {}
};

}  // namespace

int main(int argc, char** argv) {
    using namespace pawlane;
    const char* friends = std::getenv("PAWLANE_BENCH_FRIEND_PETS");
    const int count = friends ? std::atoi(friends) : 0;
    std::vector<FriendPetEntry> visitors;
    for (int i = 0; i < count; ++i) {
        FriendPetEntry entry;
        entry.petName = "Visitor " + std::to_string(i + 1);
        entry.ownerName = "Bench";
        entry.ownerId = "00000000-0000-4000-8000-000000000001";
        entry.def.name = entry.petName;
        visitors.push_back(entry);
    }
    Settings::shared().setFriendPets(visitors);
    SignedIn social;
    return runApplication(argc, argv, {}, &social);
}
