#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "common/os_error.h"
#include "common/output_file.h"

namespace common {

struct OutputFile::State {
  int descriptor = -1;
  std::string target;
  std::string temporary;  // empty when writing in place
};

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file

std::string temporary_name_for(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// Where the bytes finally go: the file a symbolic link points to, so that
// replacing it keeps the link.
std::string final_target(const std::string& path) {
  struct stat link_status {};
  if (::lstat(path.c_str(), &link_status) != 0 || !S_ISLNK(link_status.st_mode)) return path;
  std::error_code error;
  const auto resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved.string();
}

}  // namespace

Result<OutputFile> OutputFile::create_native(const std::string& path) {
  struct stat status {};
  const bool exists = ::stat(path.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) {
    // A directory fails here; a terminal, pipe or device is written in place.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) return std::unexpected(last_os_error());
    return OutputFile(std::make_unique<State>(State{descriptor, path, ""}));
  }
  if (exists) {
    // Opening without truncating checks that the file may be written.
    const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) return std::unexpected(last_os_error());
    ::close(probe);
  }
  const std::string target = final_target(path);
  const std::string temporary = temporary_name_for(target);
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (descriptor < 0) {
    const RunError error = last_os_error();
    // A writable file in a folder that takes no new files is still written,
    // in place.
    if (!exists) return std::unexpected(error);
    const int in_place = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (in_place < 0) return std::unexpected(error);
    return OutputFile(std::make_unique<State>(State{in_place, path, ""}));
  }
  if (exists) ::fchmod(descriptor, status.st_mode & 07777);
  return OutputFile(std::make_unique<State>(State{descriptor, target, temporary}));
}

OutputFile::OutputFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept = default;

OutputFile::~OutputFile() {
  if (!state_ || state_->descriptor < 0) return;
  ::close(state_->descriptor);
  if (!state_->temporary.empty()) ::unlink(state_->temporary.c_str());
}

Result<void> OutputFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(state_->descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(last_os_error());
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

Result<void> OutputFile::commit() {
  State& s = *state_;
  if (s.temporary.empty()) {
    const int descriptor = std::exchange(s.descriptor, -1);
    if (::close(descriptor) != 0) return std::unexpected(last_os_error());
    return {};
  }
  // The data must be on disk before the name points at it.
  if (::fsync(s.descriptor) != 0) return std::unexpected(last_os_error());
  const int descriptor = std::exchange(s.descriptor, -1);
  if (::close(descriptor) != 0 || ::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
    RunError error = last_os_error();
    ::unlink(s.temporary.c_str());
    return std::unexpected(std::move(error));
  }
  return {};
}

}  // namespace common
