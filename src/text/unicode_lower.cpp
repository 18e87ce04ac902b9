#include "text/unicode_lower.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/utf8.h"

namespace text {

namespace {

struct LowerRun {
  std::uint32_t first;
  std::uint32_t last;
  std::uint32_t stride;
  std::int32_t offset;
};

constexpr LowerRun kRuns[] = {
#include "text/lower_case_table.inc"
};

constexpr char32_t kCapitalSigma = 0x03A3;
constexpr char32_t kSmallSigma = 0x03C3;
constexpr char32_t kFinalSigma = 0x03C2;
constexpr char32_t kCapitalIWithDot = 0x0130;

char32_t lower_single(char32_t c) {
  const auto run =
      std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                       [](char32_t value, const LowerRun& r) { return value < r.first; });
  if (run == std::begin(kRuns)) return c;
  const LowerRun& found = *(run - 1);
  if (c > found.last || (c - found.first) % found.stride != 0) return c;
  return static_cast<char32_t>(static_cast<std::int64_t>(c) + found.offset);
}

// Letters with case, as far as telling where a word ends for the final
// sigma needs: capitals of every script, small Latin, Greek and Cyrillic.
bool is_cased(char32_t c) {
  return lower_single(c) != c || (c >= 'a' && c <= 'z') || (c >= 0xDF && c <= 0x24F && c != 0xF7) ||
         (c >= 0x3AC && c <= 0x3CE) || (c >= 0x430 && c <= 0x45F);
}

}  // namespace

std::string to_lower_unicode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char32_t previous = 0;  // 0: none, which is not cased
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character decoded = text::decode_utf8_character(text.substr(i));
    if (!decoded.well_formed) {
      out += text[i++];
      previous = 0;
      continue;
    }
    const char32_t c = decoded.code_point;
    i += decoded.length;
    if (c == kCapitalIWithDot) {
      out += "i\xCC\x87";
    } else if (c == kCapitalSigma) {
      const Utf8Character next = text::decode_utf8_character(text.substr(i));
      const bool ends_word = is_cased(previous) && !(next.well_formed && is_cased(next.code_point));
      text::append_utf8(out, ends_word ? kFinalSigma : kSmallSigma);
    } else {
      text::append_utf8(out, lower_single(c));
    }
    previous = c;
  }
  return out;
}

}  // namespace text
