// Reading the rows of margin-line-cases.tsv, which the margin line reader's
// tests and the case checker's tests share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace margin_rows {

// A row's file text with its escapes (\n, \r, \t, \xHH, \\) turned into
// the bytes they stand for.
inline std::string unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    const char kind = text[++i];
    if (kind == 'x') {
      bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
    }
  }
  return bytes;
}

// The parts of `text` between `separator`s, an empty last part included.
inline std::vector<std::string> split(const std::string& text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto at = text.find(separator, start);
    parts.push_back(text.substr(start, at - start));
    if (at == std::string::npos) return parts;
    start = at + separator.size();
  }
}

}  // namespace margin_rows
