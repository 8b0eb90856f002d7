#include "custom/uuid.h"

#include <sys/random.h>

#include <cctype>
#include <cstdio>
#include <random>

namespace pawlane {

std::string newUuid() {
    // Straight from the kernel: OpenSSL's generator would set up most of
    // libcrypto (megabytes of memory) at launch for one id.
    unsigned char b[16];
    if (getrandom(b, sizeof b, 0) != ssize_t(sizeof b)) {
        // The OS generator failing is near impossible; a weaker id beats none.
        std::random_device rd;
        for (auto& x : b) x = static_cast<unsigned char>(rd());
    }
    b[6] = (b[6] & 0x0F) | 0x40;
    b[8] = (b[8] & 0x3F) | 0x80;
    char out[37];
    std::snprintf(out, sizeof out, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return out;
}

bool isUuidText(std::string_view t) {
    if (t.size() != 36) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? t[i] != '-' : !std::isxdigit(static_cast<unsigned char>(t[i]))) return false;
    }
    return true;
}

}  // namespace pawlane
