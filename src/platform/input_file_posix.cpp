#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/input_file.h"
#include "platform/os_error.h"

namespace platform {

namespace {

int descriptor_of(NativeFile file) { return static_cast<int>(file); }

// What a file that is not regular is, for the refusal.
std::string_view kind_of(mode_t mode) {
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "a special file";
}

}  // namespace

common::Result<InputFile> InputFile::open_native(const std::string& path, Accept accept) {
  // Opening a FIFO waits for a writer; a file that must be regular is
  // opened without waiting, so that the check below comes first.
  const bool regular_only = accept == Accept::RegularFileOnly;
  const int descriptor =
      ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regular_only ? O_NONBLOCK : 0));
  if (descriptor < 0) return std::unexpected(last_os_error());
  InputFile file(descriptor);
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return std::unexpected(last_os_error());
  // A directory opens for reading here, but holds no bytes to read.
  if (S_ISDIR(status.st_mode)) return std::unexpected(os_error(EISDIR));
  if (S_ISREG(status.st_mode)) file.size_at_open_ = static_cast<std::size_t>(status.st_size);
  if (accept == Accept::AnyReadable) return file;
  if (accept == Accept::RegularFileOrPipe) {
    if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode)) return file;
    return std::unexpected(not_regular(kind_of(status.st_mode)));
  }
  if (!S_ISREG(status.st_mode)) return std::unexpected(not_regular(kind_of(status.st_mode)));
  // O_NONBLOCK changes nothing for a regular file (its reads wait for the
  // disk either way), so it stays set: clearing it would cost two system
  // calls on every file a case names, a tenth of a small case's calls.
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

std::size_t InputFile::size_hint() const { return size_at_open_; }

std::size_t file_size_hint(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<std::size_t>(status.st_size);
}

}  // namespace platform
