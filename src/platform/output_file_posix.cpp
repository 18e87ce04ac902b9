#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <expected>
#include <utility>

#include "platform/file_name.h"
#include "platform/os_error.h"
#include "platform/output_file.h"
#include "platform/signal_cleanup.h"
#include "platform/temporary_name.h"

namespace platform {

struct OutputFile::State {
  int descriptor = -1;
  std::string target;
  // The temporary's name while it has one; empty for an unnamed temporary
  // (until commit links it) and when writing in place.
  std::string temporary;
  bool in_place = false;
};

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file
constexpr int kMaxLinkHops = 40;       // the kernel's own limit for one path
constexpr int kNameAttempts = 100;

// The directory part of `path` with its final "/", or "" for a bare name.
std::string directory_of(const std::string& path) {
  return path.substr(0, last_component_start(path, PathRules::Posix));
}

common::Result<std::string> read_link(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return std::unexpected(last_os_error());
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// Where the bytes finally go: through every symbolic link, to the file
// that is (or, for a dangling link, will be) there. Replacing that file
// keeps the links pointing at it.
common::Result<std::string> follow_links(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    auto link = read_link(current);
    if (!link) return std::unexpected(link.error());
    current = link->starts_with('/') ? *link : directory_of(current) + *link;
  }
  return std::unexpected(os_error(ELOOP));
}

// A file without a name in the target's folder: nothing is left behind
// whatever ends the process, even SIGKILL. Linked under a name only at
// commit. -1 with errno set where the system or the file system has none.
int open_unnamed(const std::string& target) {
#ifdef O_TMPFILE
  // Linking it later goes through /proc; without /proc a named one is used.
  if (::access("/proc/self/fd", X_OK) != 0) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const std::string directory = directory_of(target);
  return ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                kNewFileMode);
#else
  errno = EOPNOTSUPP;
  return -1;
#endif
}

bool unnamed_unsupported(int code) {
  return code == EOPNOTSUPP || code == EISDIR || code == EINVAL || code == ENOENT;
}

mode_t current_umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The temporary file: unnamed where possible, else named. Fills `state`;
// on failure gives the system's error code.
std::expected<void, int> open_temporary(OutputFile::State& state) {
  state.descriptor = open_unnamed(state.target);
  if (state.descriptor >= 0) return {};
  if (!unnamed_unsupported(errno)) return std::unexpected(errno);
  int code = EEXIST;
  for (int i = 0; i < kNameAttempts && code == EEXIST; ++i) {
    std::string name = temporary_name_for(state.target);
    state.descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (state.descriptor >= 0) {
      state.temporary = std::move(name);
      remove_on_fatal_signal(state.temporary);
      return {};
    }
    code = errno;
  }
  return std::unexpected(code);
}

// An existing file keeps its owner and group (where the system lets us)
// and its mode; chown first, as it may clear set-id bits. A user who may
// not give the file away keeps it as their own: not a failure.
void take_over_identity(int descriptor, const struct stat& existing) {
  [[maybe_unused]] const int owner_status = ::fchown(descriptor, existing.st_uid, existing.st_gid);
  (void)::fchmod(descriptor, existing.st_mode & 07777);
}

common::Result<int> open_in_place(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (descriptor < 0) return std::unexpected(last_os_error());
  return descriptor;
}

common::Result<void> write_all(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(last_os_error());
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// For a target that cannot be renamed over (a mount point): its content is
// replaced from the finished temporary instead.
common::Result<void> copy_into_place(const std::string& from, const std::string& target) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return std::unexpected(last_os_error());
  auto destination = open_in_place(target);
  common::Result<void> copied;
  if (!destination) copied = std::unexpected(destination.error());
  char buffer[64 * 1024];
  while (copied) {
    const ssize_t count = ::read(source, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) copied = std::unexpected(last_os_error());
    if (count <= 0) break;
    copied = write_all(*destination, std::string_view(buffer, static_cast<std::size_t>(count)));
  }
  if (copied && ::fsync(*destination) != 0) copied = std::unexpected(last_os_error());
  if (destination && ::close(*destination) != 0 && copied) {
    copied = std::unexpected(last_os_error());
  }
  ::close(source);
  return copied;
}

// Gives the unnamed temporary a name beside the target, trying fresh
// names while one is taken.
common::Result<std::string> link_unnamed(int descriptor, const std::string& target) {
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
  for (int i = 0; i < kNameAttempts; ++i) {
    std::string name = temporary_name_for(target);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return name;
    }
    if (errno != EEXIST) return std::unexpected(last_os_error());
  }
  return std::unexpected(os_error(EEXIST));
}

}  // namespace

common::Result<OutputFile> OutputFile::create_native(const std::string& path) {
  auto state = std::make_unique<State>();
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return std::unexpected(last_os_error());

  // A terminal, pipe or device is written in place (a directory fails to
  // open here); so is a file with several hard links, so that every link
  // sees the new document.
  if (exists && (!S_ISREG(existing.st_mode) || existing.st_nlink > 1)) {
    auto descriptor = open_in_place(path);
    if (!descriptor) return std::unexpected(descriptor.error());
    return OutputFile(std::make_unique<State>(State{*descriptor, path, "", true}));
  }
  if (exists) {
    // Opening without truncating checks that the file may be written.
    const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) return std::unexpected(last_os_error());
    ::close(probe);
  }
  auto target = follow_links(path);
  if (!target) return std::unexpected(target.error());
  state->target = std::move(*target);

  if (auto opened = open_temporary(*state); !opened) {
    // A writable file in a folder that takes no new files is still
    // written, in place; any other failure leaves it as it was.
    const int code = opened.error();
    if (!exists || (code != EACCES && code != EPERM)) return std::unexpected(os_error(code));
    auto descriptor = open_in_place(path);
    if (!descriptor) return std::unexpected(os_error(code));
    return OutputFile(std::make_unique<State>(State{*descriptor, path, "", true}));
  }
  if (exists) {
    take_over_identity(state->descriptor, existing);
  } else if (!state->temporary.empty()) {
    // A named temporary starts private; the document gets a new file's mode.
    (void)::fchmod(state->descriptor, kNewFileMode & ~current_umask());
  }
  return OutputFile(std::move(state));
}

OutputFile::OutputFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept = default;

OutputFile::~OutputFile() {
  if (!state_) return;
  if (state_->descriptor >= 0) ::close(state_->descriptor);
  if (!state_->temporary.empty()) {
    ::unlink(state_->temporary.c_str());
    forget_on_fatal_signal();
  }
}

common::Result<void> OutputFile::write(std::string_view bytes) {
  return write_all(state_->descriptor, bytes);
}

common::Result<void> OutputFile::commit() {
  State& s = *state_;
  const int descriptor = std::exchange(s.descriptor, -1);
  if (s.in_place) {
    if (::close(descriptor) != 0) return std::unexpected(last_os_error());
    return {};
  }
  // The data must be on disk before a name points at it.
  common::Result<void> done;
  if (::fsync(descriptor) != 0) done = std::unexpected(last_os_error());
  if (done && s.temporary.empty()) {
    auto name = link_unnamed(descriptor, s.target);
    if (name) {
      s.temporary = std::move(*name);
      remove_on_fatal_signal(s.temporary);
    } else {
      done = std::unexpected(name.error());
    }
  }
  if (::close(descriptor) != 0 && done) done = std::unexpected(last_os_error());
  if (done && ::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
    done =
        errno == EBUSY ? copy_into_place(s.temporary, s.target) : std::unexpected(last_os_error());
    if (done) ::unlink(s.temporary.c_str());
  }
  if (!done) return done;  // the destructor removes the temporary
  s.temporary.clear();
  forget_on_fatal_signal();
  return {};
}

}  // namespace platform
