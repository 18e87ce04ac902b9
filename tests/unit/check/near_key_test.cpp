#include "check/near_key.h"

#include <gtest/gtest.h>

#include <vector>

namespace check {
namespace {

TEST(NearKey, FindsTheKeyATypoStandsFor) {
  const std::vector<std::string> keys{"VHF_K5",    "VHF_K5P", "FORMLABS_F3B", "ASIGA_MAX", "color",
                                      "case_name", "zige",    "WNC",          "x"};
  const struct {
    std::string typed;
    std::optional<std::string> key;
  } rows[] = {
      {"vhf_k5", "VHF_K5"},  // letter case
      {"VHF-K5", "VHF_K5"},  // dash for underscore
      {"VHF K5", "VHF_K5"},  // space for underscore
      {"Formlabs F3B", "FORMLABS_F3B"},
      {"colour", "color"},         // one letter added
      {"case_nmae", "case_name"},  // two letters swapped
      {"acse_nmae", "case_name"},  // two swaps: two edits, four changes
      {"WNC ", "WNC"},             // a short key, in other spacing
      {"wnc", "WNC"},              // a short key, in other letter case
      {"X", "x"},
      {"WNCC", std::nullopt},  // a short key is no target of an edit
      {"xw", std::nullopt},
      {"zigee", "zige"},
      {"VHF_K5X", "VHF_K5"},       // nearest of two near keys
      {"ASUGA_MIX", "ASIGA_MAX"},  // two letters changed
      {"xyz", std::nullopt},       // too short for an edit
      {"", std::nullopt},
      {"stereolithography", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(near_key(row.typed, keys), row.key) << row.typed;
  }
}

TEST(NearKey, SaysNothingForTheKeyItself) {
  const std::vector<std::string> keys{"zige"};
  EXPECT_EQ(did_you_mean("zige", keys), "");
  EXPECT_EQ(did_you_mean("ZIGE", keys), "; did you mean \"zige\"?");
}

}  // namespace
}  // namespace check
