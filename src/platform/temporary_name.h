// The name of the temporary file that an output is written to before it
// takes the output's name. One rule for every platform, so that what fits
// on one fits on the others.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_name.h"

namespace platform {

// A name beside `target` (its folder part kept as written): "." and the
// first 32 bytes of the target's name, cut back to a whole character, then
// "-", ten letters or digits from `random_bits` and ".tmp". The short
// prefix keeps it within every system's name limit; the random part keeps
// an old leftover or another process from colliding; the ".tmp" ending
// keeps anything watching the folder from taking it for a finished
// document. `target` is UTF-8 (WTF-8 on Windows); a cut that would split
// one character's bytes (or a surrogate pair, once the name is UTF-16)
// would name a different file or none.
std::string temporary_name_for(std::string_view target, std::uint64_t random_bits,
                               PathRules rules = kHostPathRules);

// The same with fresh random bits.
std::string temporary_name_for(std::string_view target);

}  // namespace platform
