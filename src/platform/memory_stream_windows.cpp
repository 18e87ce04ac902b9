#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/memory_stream.h"
#include "platform/os_error.h"

namespace platform {

namespace {

// Writes `bytes` whole through `handle`.
bool write_all(HANDLE handle, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, piece, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

common::Result<MemoryStream> open_memory_stream(std::string_view bytes) {
  // The C library here has no fmemopen. A temporary file marked temporary
  // (kept in the cache, not written out while memory lasts), open for this
  // process alone and deleted by the system when its last handle closes.
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return std::unexpected(last_os_error());
  wchar_t name[MAX_PATH + 1];
  if (GetTempFileNameW(folder, L"daz", 0, name) == 0) return std::unexpected(last_os_error());
  const HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const auto error = last_os_error();
    DeleteFileW(name);
    return std::unexpected(error);
  }
  if (!write_all(handle, bytes) || SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != 0) {
    const auto error = last_os_error();
    CloseHandle(handle);
    return std::unexpected(error);
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    return std::unexpected(os_error(ERROR_TOO_MANY_OPEN_FILES));
  }
  std::FILE* stream = _fdopen(descriptor, "rb");
  if (stream == nullptr) {
    _close(descriptor);
    return std::unexpected(os_error(ERROR_TOO_MANY_OPEN_FILES));
  }
  return MemoryStream(stream);
}

}  // namespace platform
