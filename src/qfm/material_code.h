// The long material names that a case file may give in place of a material
// code, and the code each stands for.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace qfm {

struct MaterialLongName {
  std::string_view long_name;  // "ZIRCONIUM"
  std::string_view code;       // "ZR"
};

// The eight long names, in the order the case format lists them.
std::span<const MaterialLongName> material_long_names();

// The code of `material` when it is one of the long names (compared
// exactly, case included); any other text unchanged.
std::string material_code(std::string material);

}  // namespace qfm
