#pragma once
// Unicode-aware trimming and shortening for names typed or pasted by users.
// Works on code points; bytes that are not UTF-8 pass through as single units.
#include <string>
#include <string_view>

namespace pawlane {

bool isUnicodeSpace(char32_t c);
// Drops white space and line breaks at both ends.
std::string trimmed(std::string_view text);
// Drops white space and line breaks wherever they stand.
std::string withoutWhiteSpace(std::string_view text);
// The first n characters, never cutting one in half.
std::string firstCharacters(std::string_view text, std::size_t n);
// A name as pets carry it: at most 24 characters, trimmed, "My Pet" when nothing is left.
std::string cleanPetName(std::string_view typed);

}  // namespace pawlane
