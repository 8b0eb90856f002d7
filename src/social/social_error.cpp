#include "social/social_error.h"

namespace pawlane {

SocialError SocialError::notConfigured() {
    return {Kind::notConfigured, "Social features aren't set up in this build.", 0, {}};
}

}  // namespace pawlane
