// WTF-8: UTF-8 stretched to carry lone UTF-16 surrogates, each in the
// three-byte form that UTF-8 would give its value. Windows file names are
// UTF-16 that need not be valid; carried as WTF-8 they travel through the
// program's UTF-8 strings and come back as the very same name. Valid UTF-16
// gives plain UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace text {

// `text` as UTF-16: code points past U+FFFF as surrogate pairs, a lone
// surrogate's three bytes as that surrogate. Each byte that is not part of
// a WTF-8 sequence (which no path from the command line or a case file
// holds) becomes U+FFFD.
std::u16string utf16_from_wtf8(std::string_view text);

// `text` as WTF-8: pairs as four-byte UTF-8, lone surrogates in their
// three-byte form.
std::string wtf8_from_utf16(std::u16string_view text);

// `text` for display: valid UTF-8 unchanged, each lone surrogate as one
// U+FFFD, any other ill-formed part as utf8_lossy shows it.
std::string wtf8_lossy(std::string_view text);

}  // namespace text
