#include <windows.h>

#include <string>

#include "platform/os_error.h"
#include "platform/wide_path_windows.h"

namespace platform {

namespace {

// The system's own text for `code`, in the user's language, without the
// line break that ends it. (GCC 12's std::system_category has its own,
// shorter texts for a few codes, which are not what Windows says.)
std::string system_text(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return "Unknown error";
  std::wstring_view text(buffer, length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.remove_suffix(1);
  std::string message = text_from_wide(text);
  LocalFree(buffer);
  return message;
}

}  // namespace

common::RunError os_error(int code) {
  return common::plain_error(system_text(static_cast<DWORD>(code)) + " (os error " +
                             std::to_string(code) + ")");
}

common::RunError last_os_error() { return os_error(static_cast<int>(GetLastError())); }

}  // namespace platform
