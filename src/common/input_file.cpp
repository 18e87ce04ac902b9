#include "common/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "common/os_error.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace common {

namespace {

#ifdef _WIN32
std::wstring widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}
int open_read_only(const std::string& path) {
  return _wopen(widen(path).c_str(), _O_RDONLY | _O_BINARY);
}
int close_descriptor(int descriptor) { return _close(descriptor); }
long long read_descriptor(int descriptor, char* buffer, std::size_t size) {
  return _read(descriptor, buffer, static_cast<unsigned>(size));
}
RunError errno_error() { return os_error(std::error_code(errno, std::generic_category())); }
#else
int open_read_only(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
int close_descriptor(int descriptor) { return ::close(descriptor); }
long long read_descriptor(int descriptor, char* buffer, std::size_t size) {
  return ::read(descriptor, buffer, size);
}
RunError errno_error() { return last_os_error(); }
#endif

}  // namespace

Result<InputFile> InputFile::open(const std::string& path) {
  const int descriptor = open_read_only(path);
  if (descriptor < 0) return std::unexpected(errno_error());
  InputFile file(descriptor);
  struct stat status {};
  if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    return std::unexpected(os_error(std::make_error_code(std::errc::is_a_directory)));
  }
  return file;
}

InputFile::InputFile(InputFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  std::swap(descriptor_, other.descriptor_);
  return *this;
}

InputFile::~InputFile() {
  if (descriptor_ >= 0) close_descriptor(descriptor_);
}

Result<std::size_t> InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const long long count = read_descriptor(descriptor_, buffer, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return std::unexpected(errno_error());
  }
}

Result<std::string> read_whole_file(const std::string& path) {
  auto file = InputFile::open(path);
  if (!file) return std::unexpected(file.error());
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    auto count = file->read(buffer, sizeof buffer);
    if (!count) return std::unexpected(count.error());
    if (*count == 0) return content;
    content.append(buffer, *count);
  }
}

}  // namespace common
