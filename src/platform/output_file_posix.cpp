#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <expected>
#include <utility>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_name.h"
#include "platform/interruptions_held.h"
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
  // A terminal, pipe or device: `descriptor` is the output itself.
  bool in_place = false;
  // A file that must keep its identity (several hard links, a folder that
  // takes no new files), opened without truncating it: the document goes
  // to the temporary first and is copied over this only once it is whole.
  int copy_over = -1;
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
  for (int hops = 0;; ++hops) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    if (hops == kMaxLinkHops) return std::unexpected(os_error(ELOOP));
    auto link = read_link(current);
    if (!link) return std::unexpected(link.error());
    current = link->starts_with('/') ? *link : directory_of(current) + *link;
  }
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
  return ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC,
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
    state.descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (state.descriptor >= 0) {
      state.temporary = std::move(name);
      remove_on_fatal_signal(state.temporary);
      return {};
    }
    code = errno;
  }
  return std::unexpected(code);
}

// The mode bits a document takes over from the file it replaces: who may
// read and write it, and no more. A document is no program, so the
// set-user-ID, set-group-ID and sticky bits are never carried: a run (as
// root, say) over such a file would otherwise hand its privileges to
// whatever the document holds.
constexpr mode_t kPermissionBits = 0777;

// An existing file keeps its owner and group (where the system lets us)
// and its permissions; chown first, as it may clear set-id bits. A user
// who may not give the file away keeps it as their own: not a failure.
void take_over_identity(int descriptor, const struct stat& existing) {
  [[maybe_unused]] const int owner_status = ::fchown(descriptor, existing.st_uid, existing.st_gid);
  (void)::fchmod(descriptor, existing.st_mode & kPermissionBits);
}

// A file copied over drops its set-id and sticky bits before its content
// changes, as it would if it were replaced. Where the system refuses
// (another user's file), a writer without privileges has them cleared by
// the write itself.
void drop_set_id_bits(int output) {
  struct stat status {};
  if (::fstat(output, &status) == 0 && (status.st_mode & ~(S_IFMT | kPermissionBits)) != 0) {
    (void)::fchmod(output, status.st_mode & kPermissionBits);
  }
}

common::Result<int> open_in_place(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (descriptor < 0) return std::unexpected(last_os_error());
  return descriptor;
}

common::Result<int> open_without_truncating(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0) return std::unexpected(last_os_error());
  return descriptor;
}

// A file that another is mounted over (a bind mount of one file), which
// no rename can replace: found before anything is written, so that its
// document is staged in memory and no named temporary is ever made for
// it. Kernels before 5.8 cannot say so of a mount from the same file
// system; a mount from another one lies on another device than its folder.
bool is_mount_point(const std::string& path) {
  struct statx status {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS, &status) != 0) return false;
  if ((status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
    return (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }
  auto target = follow_links(path);
  if (!target) return false;
  const std::string directory = directory_of(*target);
  struct stat folder {};
  return ::stat(directory.empty() ? "." : directory.c_str(), &folder) == 0 &&
         (status.stx_dev_major != major(folder.st_dev) ||
          status.stx_dev_minor != minor(folder.st_dev));
}

// The temporary of a document that is copied over its output at the end:
// a file in memory, which nothing outlives, wherever the system offers one
// (the limit on file sizes applies to it as to the output); else one
// beside the output.
std::expected<void, int> open_staging(OutputFile::State& state) {
  state.descriptor = ::memfd_create("daz-document", MFD_CLOEXEC);
  if (state.descriptor >= 0) return {};
  return open_temporary(state);
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

// Room for `size` bytes in `output`, its length and content unchanged: a
// full disk fails here, before a byte is overwritten. File systems that
// cannot reserve ahead are written without.
common::Result<void> reserve(int output, off_t size) {
  if (size == 0 || ::fallocate(output, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return {};
  if (errno == EOPNOTSUPP || errno == ENOSYS) return {};
  return std::unexpected(last_os_error());
}

// Replaces the content of `output` with the whole of `source`, keeping the
// file itself (its links, its place in a folder that takes no new files).
// Runs that copy over the same file take turns, each holding the file's
// lock until it is closed. Only a kill that cannot be held (SIGKILL, a
// power cut) during the copy itself leaves the output part new, part old.
common::Result<void> copy_over(int source, int output) {
  struct stat status {};
  if (::fstat(source, &status) != 0) return std::unexpected(last_os_error());
  if (auto locked = lock_exclusively(output, kOutputLockBound); !locked) return locked;
  if (auto reserved = reserve(output, status.st_size); !reserved) return reserved;
  drop_set_id_bits(output);
  const InterruptionsHeld held;
  if (::lseek(output, 0, SEEK_SET) < 0) return std::unexpected(last_os_error());
  std::vector<char> buffer(std::size_t{1} << 20);
  for (off_t offset = 0; offset < status.st_size;) {
    const ssize_t count = ::pread(source, buffer.data(), buffer.size(), offset);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::unexpected(last_os_error());
    if (count == 0) return std::unexpected(os_error(EIO));  // the temporary shrank
    auto written =
        write_all(output, std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    if (!written) return written;
    offset += count;
  }
  if (::ftruncate(output, status.st_size) != 0 || ::fsync(output) != 0) {
    return std::unexpected(last_os_error());
  }
  return {};
}

// For a target that cannot be renamed over (a mount point): the finished
// temporary is copied over it.
common::Result<void> copy_into_place(const std::string& from, const std::string& target) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return std::unexpected(last_os_error());
  auto output = open_without_truncating(target);
  common::Result<void> copied =
      output ? copy_over(source, *output) : common::Result<void>(std::unexpected(output.error()));
  if (output && ::close(*output) != 0 && copied) copied = std::unexpected(last_os_error());
  ::close(source);
  return copied;
}

// Names the unnamed temporary `name`; false with errno set when it cannot.
bool link_unnamed_as(int descriptor, const std::string& name) {
  std::string self = "/proc/self/fd/";
  self.append(std::to_string(descriptor));
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Gives the unnamed temporary a name beside the target, trying fresh
// names while one is taken. Signals are watched before the name exists, so
// that nothing stands between the naming and the rename that follows.
common::Result<std::string> link_unnamed(int descriptor, const std::string& target) {
  watch_fatal_signals();
  for (int i = 0; i < kNameAttempts; ++i) {
    std::string name = temporary_name_for(target);
    if (link_unnamed_as(descriptor, name)) return name;
    if (errno != EEXIST) return std::unexpected(last_os_error());
  }
  return std::unexpected(os_error(EEXIST));
}

// The document goes to a temporary and is copied over `path`, which is
// opened now, without truncating it, so that a failure before the copy
// leaves it as it was.
common::Result<std::unique_ptr<OutputFile::State>> copied_over(const std::string& path,
                                                               int refused = 0) {
  auto output = open_without_truncating(path);
  if (!output) return std::unexpected(refused != 0 ? os_error(refused) : output.error());
  auto state = std::make_unique<OutputFile::State>();
  state->target = path;
  state->copy_over = *output;
  if (auto opened = open_staging(*state); !opened) {
    ::close(*output);
    return std::unexpected(os_error(opened.error()));
  }
  return state;
}

}  // namespace

common::Result<OutputFile> OutputFile::create_native(const std::string& path) {
  const auto adopt_or_fail =
      [](common::Result<std::unique_ptr<State>> state) -> common::Result<OutputFile> {
    if (!state) return std::unexpected(std::move(state.error()));
    return OutputFile(std::move(*state));
  };
  auto state = std::make_unique<State>();
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return std::unexpected(last_os_error());

  // A terminal, pipe or device is written in place (a directory fails to
  // open here).
  if (exists && !S_ISREG(existing.st_mode)) {
    auto descriptor = open_in_place(path);
    if (!descriptor) return std::unexpected(descriptor.error());
    return OutputFile(std::make_unique<State>(State{*descriptor, path, "", true}));
  }
  // A file with several hard links keeps its identity, so that every link
  // sees the new document; a mount point cannot be renamed over.
  if (exists && (existing.st_nlink > 1 || is_mount_point(path))) {
    return adopt_or_fail(copied_over(path));
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
    // written, copied over; any other failure leaves it as it was.
    const int code = opened.error();
    if (!exists || (code != EACCES && code != EPERM)) return std::unexpected(os_error(code));
    return adopt_or_fail(copied_over(path, code));
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
  if (state_->copy_over >= 0) ::close(state_->copy_over);
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
  if (s.copy_over >= 0) {
    const int output = std::exchange(s.copy_over, -1);
    common::Result<void> copied = copy_over(descriptor, output);
    if (::close(output) != 0 && copied) copied = std::unexpected(last_os_error());
    ::close(descriptor);
    return copied;  // the destructor removes a named temporary
  }
  // The data must be on disk before a name points at it. A new output is
  // the unnamed file linked under the output's own name: no temporary ever
  // has a name. One that replaces a file is named beside it and renamed
  // over it at once, the descriptor still open: a kill between the two is
  // the one moment that leaves the whole document under the temporary's
  // name. Once synced, closing cannot lose the document.
  common::Result<void> done;
  if (::fsync(descriptor) != 0) done = std::unexpected(last_os_error());
  if (done && s.temporary.empty() && link_unnamed_as(descriptor, s.target)) {
    ::close(descriptor);
    return {};
  }
  if (done && s.temporary.empty()) {
    auto name = link_unnamed(descriptor, s.target);
    if (name) {
      s.temporary = std::move(*name);
      remove_on_fatal_signal(s.temporary);
    } else {
      done = std::unexpected(name.error());
    }
  }
  if (done && ::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
    done =
        errno == EBUSY ? copy_into_place(s.temporary, s.target) : std::unexpected(last_os_error());
    if (done) ::unlink(s.temporary.c_str());
  }
  ::close(descriptor);
  if (!done) return done;  // the destructor removes the temporary
  s.temporary.clear();
  forget_on_fatal_signal();
  return {};
}

}  // namespace platform
