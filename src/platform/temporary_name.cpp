#include "platform/temporary_name.h"

#include <random>

namespace platform {

namespace {

constexpr std::size_t kPrefixBytes = 32;
constexpr int kRandomLetters = 10;

bool is_continuation_byte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// How many bytes the character that starts with `lead` takes; 1 for a byte
// that starts none.
std::size_t sequence_length(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  return byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

// At most `limit` bytes of `name`, never ending inside a character. Bytes
// that belong to no character (invalid UTF-8 on POSIX systems) are cut
// where the limit falls.
std::string_view whole_characters(std::string_view name, std::size_t limit) {
  if (name.size() <= limit) return name;
  std::size_t start = limit;  // of the character that the cut falls in
  while (start > 0 && limit - start < 3 && is_continuation_byte(name[start])) --start;
  const bool splits = start + sequence_length(name[start]) > limit;
  return name.substr(0, splits ? start : limit);
}

}  // namespace

std::string temporary_name_for(std::string_view target, std::uint64_t random_bits,
                               PathRules rules) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  const std::size_t name_start = last_component_start(target, rules);
  std::string name(target.substr(0, name_start));
  name += '.';
  name += whole_characters(target.substr(name_start), kPrefixBytes);
  name += '-';
  for (int i = 0; i < kRandomLetters; ++i, random_bits /= 36) name += kDigits[random_bits % 36];
  return name + ".tmp";
}

std::string temporary_name_for(std::string_view target) {
  static std::mt19937_64 random{std::random_device{}()};
  return temporary_name_for(target, random());
}

}  // namespace platform
