// File-name terms of a case: final name, stem, parent and
// joining, under two rule sets. Windows rules split at "\" and "/" after a
// drive or network prefix; POSIX rules split at "/" only. The program uses
// its host's rules; both are always compiled so that each can be tested
// anywhere. Results are views into the path as typed, so that an output
// path keeps everything the user wrote except what is replaced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class PathRules { Windows, Posix };

#ifdef _WIN32
inline constexpr PathRules kHostPathRules = PathRules::Windows;
#else
inline constexpr PathRules kHostPathRules = PathRules::Posix;
#endif

// The last component when it is an ordinary name; none for a path that ends
// in "..", is empty, or is only a root, a drive or a leading ".".
// Repeated and trailing separators and inner "." components are ignored.
std::optional<std::string_view> final_name(std::string_view path, PathRules rules);

// Where the last component of `path` begins: right after its last
// separator, or after its Windows prefix ("C:", "\\server\share"); 0 for a
// bare name. Purely textual, unlike final_name: a last component of "..",
// "." or nothing (a path that ends in a separator) counts as well.
std::size_t last_component_start(std::string_view path, PathRules rules);

// `name` without its last extension (the text after its last ".") and
// that "."; the whole name when its only "." is the first character or
// there is none.
std::string_view stem(std::string_view name);

// `path` without its final component (and the separators before it);
// empty for a bare file name.
std::string_view parent(std::string_view path, PathRules rules);

// `name` joined onto `directory`: a separator between them unless the
// directory is empty or already ends in one; a `name` that is absolute (or,
// under Windows rules, carries a drive or network prefix) replaces the
// directory, and one with a root alone keeps only the directory's prefix.
std::string join(std::string_view directory, std::string_view name, PathRules rules);

// `path` cut right after the stem of its final name, followed by "." and
// `extension`; none when the path has no final name.
std::optional<std::string> replace_extension(std::string_view path, std::string_view extension,
                                             PathRules rules);

}  // namespace platform
