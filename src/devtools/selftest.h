#pragma once
#include <iosfwd>
#include <vector>

#include "sprites/species.h"

namespace pawlane {

// Checks pet codes, tolerant decoding, hostile data, the designer's pet list and
// the built-in art; prints one line per check and returns the number of failures
// (1 when the suite has to stop early).
int selfTest(std::ostream& out);
// The same over another catalogue (tests feed it broken art).
int selfTest(std::ostream& out, const std::vector<Species>& catalogue);

}  // namespace pawlane
