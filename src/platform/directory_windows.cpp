#include <windows.h>

#include "platform/directory.h"
#include "platform/os_error.h"
#include "platform/wide_path_windows.h"

namespace platform {

common::Result<std::vector<DirectoryEntry>> list_directory(const std::string& path) {
  std::string pattern = path.empty() ? std::string(".") : path;
  if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(native_path(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::unexpected(last_os_error());
  std::vector<DirectoryEntry> entries;
  do {
    const std::string name = text_from_wide(found.cFileName);
    if (name == "." || name == "..") continue;
    // A junction or a link to a folder is not walked into: it could loop.
    const bool is_directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                              (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    entries.push_back({name, is_directory});
  } while (FindNextFileW(search, &found));
  const DWORD last = GetLastError();
  FindClose(search);
  if (last != ERROR_NO_MORE_FILES) return std::unexpected(os_error(static_cast<int>(last)));
  return entries;
}

}  // namespace platform
