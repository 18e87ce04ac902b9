#include <windows.h>

#include <string>

#include "temporary_folder.h"

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// Through the "\\?\" form: the C runtime's directory functions, which
// std::filesystem uses here, stop at the classic limit of 260 characters.
void remove_verbatim(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE found = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (found != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring_view name = entry.cFileName;
      if (name != L"." && name != L"..") remove_verbatim(path + L"\\" + entry.cFileName);
    } while (FindNextFileW(found, &entry));
    FindClose(found);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

int process_id() { return static_cast<int>(GetCurrentProcessId()); }

// Windows mounts nothing into a folder that a test makes.
void remove_tree(const fs::path& path) {
  if (path.empty()) return;
  remove_verbatim(L"\\\\?\\" + fs::absolute(path).wstring());
}

}  // namespace testing_support
