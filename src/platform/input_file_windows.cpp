#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/input_file.h"
#include "platform/os_error.h"
#include "platform/wide_path_windows.h"

namespace platform {

namespace {

HANDLE handle_of(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

// ReadFile counts in 32 bits.
constexpr std::size_t kLargestRead = 1u << 30;

// What a file that is not on a disk is, for the refusal.
std::string_view kind_of(DWORD type) { return type == FILE_TYPE_PIPE ? "a pipe" : "a device"; }

}  // namespace

common::Result<InputFile> InputFile::open_native(const std::string& path, Accept accept) {
  // Other programs may go on reading, writing or renaming the file, as on
  // POSIX systems. A directory does not open without backup semantics: the
  // system refuses it with its own error ("access denied").
  const HANDLE handle =
      CreateFileW(native_path(path).c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::unexpected(last_os_error());
  InputFile file(reinterpret_cast<NativeFile>(handle));
  // Device names (AUX, COM1, CON) name devices in every folder; only a
  // file on a disk is taken where a regular file is expected.
  const DWORD type = GetFileType(handle);
  switch (accept) {
    case Accept::AnyReadable:
      break;
    case Accept::RegularFileOnly:
      if (type != FILE_TYPE_DISK) return std::unexpected(not_regular(kind_of(type)));
      break;
    case Accept::RegularFileOrPipe:
      if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) {
        return std::unexpected(not_regular(kind_of(type)));
      }
      break;
  }
  return file;
}

InputFile::~InputFile() {
  if (file_ != kNoFile) CloseHandle(handle_of(file_));
}

common::Result<std::size_t> InputFile::read(char* buffer, std::size_t size) {
  DWORD count = 0;
  if (ReadFile(handle_of(file_), buffer, static_cast<DWORD>(std::min(size, kLargestRead)), &count,
               nullptr)) {
    return count;
  }
  const DWORD error = GetLastError();
  // A pipe whose writer has closed it is at its end.
  if (error == ERROR_BROKEN_PIPE) return 0;
  return std::unexpected(os_error(static_cast<int>(error)));
}

std::size_t InputFile::size_hint() const {
  LARGE_INTEGER size{};
  if (GetFileType(handle_of(file_)) != FILE_TYPE_DISK || !GetFileSizeEx(handle_of(file_), &size)) {
    return 0;
  }
  return static_cast<std::size_t>(size.QuadPart);
}

std::size_t file_size_hint(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(native_path(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    return 0;
  }
  return (static_cast<std::size_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace platform
