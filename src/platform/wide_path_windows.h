// Paths and texts as the Win32 API takes them. The program carries paths as
// WTF-8 (see wtf8.h); the API takes UTF-16, and paths longer than the
// classic limit of 260 characters only in their "\\?\" form, which every
// Windows version reads whatever its long-path setting.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `text` (WTF-8) as UTF-16, and back.
std::wstring wide_text(std::string_view text);
std::string text_from_wide(std::wstring_view text);

// The full form of `path` (GetFullPathNameW): absolute, with "\" only and
// "." and ".." resolved, as the system itself resolves a relative path;
// `path` unchanged if the system cannot make one, and a verbatim ("\\?\")
// or device ("\\.\") path unchanged always.
std::wstring full_path(const std::wstring& path);

// `full` (a full path) as the file functions take it: unchanged while it
// fits the classic limit; past it, in the "\\?\" form ("\\?\UNC\" for a
// network path). Device paths ("\\.\") stay as they are.
std::wstring within_path_limit(const std::wstring& full);

// `path` (WTF-8, as typed) for CreateFileW: as typed while its full form
// fits the classic limit, else that full form made to fit.
std::wstring native_path(std::string_view path);

}  // namespace platform
