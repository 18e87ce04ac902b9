// Full Unicode lower-case mapping, by which material codes and brand
// references are looked up in the catalogs.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Every character of `text` (UTF-8) replaced by its lower-case mapping:
// "İ" becomes "i̇" and a capital sigma that ends a word becomes "ς".
// Bytes that are not UTF-8 are kept as they are.
std::string to_lower_unicode(std::string_view text);

}  // namespace text
