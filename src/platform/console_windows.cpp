#include <windows.h>

#include <algorithm>

#include "platform/console.h"
#include "platform/os_error.h"
#include "platform/wide_path_windows.h"

namespace platform {

namespace {

// Consoles of older Windows versions take only so much in one call.
constexpr std::size_t kConsoleChunk = 8192;
constexpr std::size_t kFileChunk = 1u << 30;

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A console shows UTF-16; the UTF-8 bytes would show in the console's code
// page, which mangles every non-ASCII letter of a path.
bool write_console(HANDLE handle, std::string_view text) {
  const std::wstring wide = wide_text(text);
  std::wstring_view rest = wide;
  while (!rest.empty()) {
    std::size_t chunk = std::min(rest.size(), kConsoleChunk);
    // A surrogate pair stays in one piece.
    if (chunk < rest.size() && rest[chunk - 1] >= 0xD800 && rest[chunk - 1] <= 0xDBFF) --chunk;
    DWORD written = 0;
    if (!WriteConsoleW(handle, rest.data(), static_cast<DWORD>(chunk), &written, nullptr) ||
        written == 0) {
      return false;
    }
    rest.remove_prefix(written);
  }
  return true;
}

// Files and pipes get the bytes as they are: UTF-8 with line feeds only.
bool write_bytes(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(text.size(), kFileChunk));
    if (!WriteFile(handle, text.data(), chunk, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

bool write_to(DWORD stream, std::string_view text) {
  const HANDLE handle = GetStdHandle(stream);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  return is_console(handle) ? write_console(handle, text) : write_bytes(handle, text);
}

}  // namespace

bool write_to_stdout(std::string_view text) { return write_to(STD_OUTPUT_HANDLE, text); }

common::Result<void> write_whole_to_stdout(std::string_view text) {
  SetLastError(ERROR_SUCCESS);
  if (write_to(STD_OUTPUT_HANDLE, text)) return {};
  const DWORD error = GetLastError();
  return std::unexpected(
      os_error(static_cast<int>(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error)));
}

void write_to_stderr(std::string_view text) { (void)write_to(STD_ERROR_HANDLE, text); }

bool stderr_is_terminal() {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && is_console(handle);
}

}  // namespace platform
