#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace text {

namespace {

unsigned char byte_at(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

bool is_continuation(std::string_view bytes, std::size_t i, unsigned char low = 0x80,
                     unsigned char high = 0xBF) {
  if (i >= bytes.size()) return false;
  const unsigned char b = byte_at(bytes, i);
  return b >= low && b <= high;
}

// Length of the longest prefix of `bytes` that could start a well-formed
// sequence; used to size the part that one U+FFFD replaces.
std::size_t maximal_ill_formed_part(std::string_view bytes) {
  const unsigned char lead = byte_at(bytes, 0);
  std::size_t expected = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    expected = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    expected = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    expected = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  std::size_t length = 1;
  if (!is_continuation(bytes, 1, low, high)) return length;
  ++length;
  while (length < expected && is_continuation(bytes, length)) ++length;
  return length;
}

}  // namespace

std::size_t utf8_sequence_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const unsigned char lead = byte_at(bytes, 0);
  if (lead < 0x80) return 1;
  const std::size_t part = maximal_ill_formed_part(bytes);
  const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  return part == expected && lead >= 0xC2 && lead <= 0xF4 ? expected : 0;
}

bool is_valid_utf8(std::string_view bytes) {
  // Runs of ASCII, by far the most common text, are checked eight bytes at
  // a time.
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (i + 8 <= bytes.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + i, sizeof word);
      if ((word & kHighBits) == 0) {
        i += 8;
        continue;
      }
    }
    if (byte_at(bytes, i) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = utf8_sequence_length(bytes.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string utf8_lossy(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = utf8_sequence_length(bytes.substr(i));
    if (length > 0) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      i += maximal_ill_formed_part(bytes.substr(i));
    }
  }
  return out;
}

char32_t decode_utf8(std::string_view sequence) {
  const auto byte = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(sequence[i]));
  };
  switch (sequence.size()) {
    case 1:
      return byte(0);
    case 2:
      return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
      return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
      return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
             (byte(3) & 0x3F);
  }
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace text
