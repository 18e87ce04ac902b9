#include "qfm/material_code.h"

#include <array>

namespace qfm {

namespace {

constexpr std::array<MaterialLongName, 8> kLongNames = {{
    {"RESIN", "3DP"},
    {"COMPOSITE", "CR"},
    {"ZIRCONIUM", "ZR"},
    {"GLASS_CERAMIC", "GC"},
    {"ACRYLIC_RESIN", "PMMA"},
    {"HYBRID_CERAMIC", "HC"},
    {"LITHIUM_DISILICATE", "LD"},
    {"FELDSPATHIC_CERAMIC", "FC"},
}};

}  // namespace

std::span<const MaterialLongName> material_long_names() { return kLongNames; }

std::string material_code(std::string material) {
  for (const auto& [long_name, code] : kLongNames) {
    if (material == long_name) return std::string(code);
  }
  return material;
}

}  // namespace qfm
