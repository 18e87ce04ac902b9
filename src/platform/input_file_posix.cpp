#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/input_file.h"
#include "platform/os_error.h"

namespace platform {

namespace {

int descriptor_of(NativeFile file) { return static_cast<int>(file); }

}  // namespace

common::Result<InputFile> InputFile::open_native(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::unexpected(last_os_error());
  InputFile file(descriptor);
  struct stat status {};
  // A directory opens for reading here, but holds no bytes to read.
  if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    return std::unexpected(os_error(EISDIR));
  }
  return file;
}

InputFile::~InputFile() {
  if (file_ != kNoFile) ::close(descriptor_of(file_));
}

common::Result<std::size_t> InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(descriptor_of(file_), buffer, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return std::unexpected(last_os_error());
  }
}

std::size_t InputFile::size_hint() const {
  struct stat status {};
  if (::fstat(descriptor_of(file_), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<std::size_t>(status.st_size);
}

std::size_t file_size_hint(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<std::size_t>(status.st_size);
}

}  // namespace platform
