#include <windows.h>

#include "platform/file_identity.h"
#include "platform/wide_path_windows.h"

namespace platform {

std::optional<FileIdentity> identity_of(const std::string& path) {
  // Opened for its attributes only, sharing everything: another program
  // that holds the file is not disturbed, and no program is kept out.
  const HANDLE handle = CreateFileW(native_path(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                     GetFileInformationByHandle(handle, &info) != 0 &&
                     (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace platform
