#pragma once
// Errors of the social layer. Each carries a description that can be shown to
// the user as is; it never contains a token or a code.
#include <string>

namespace pawlane {

struct SocialError {
    enum class Kind {
        notConfigured,  // the build has no backend configuration
        network,        // the request never got an answer (offline, timeout, TLS)
        server,         // the server answered with an error status
        decoding,       // the answer was not what the program expects
        auth,           // no session, a bad callback, a sign-in that timed out
        storage,        // the session files could not be written
    };

    Kind kind = Kind::server;
    std::string description;
    int status = 0;    // HTTP status when the server answered, else 0
    std::string code;  // the server's error code ("otp_expired", "PGRST116", "P0001"), if any

    static SocialError notConfigured();
};

}  // namespace pawlane
