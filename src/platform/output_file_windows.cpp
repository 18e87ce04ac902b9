#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_name.h"
#include "platform/interruptions_held.h"
#include "platform/os_error.h"
#include "platform/output_file.h"
#include "platform/temporary_name.h"
#include "platform/wide_path_windows.h"

namespace platform {

struct OutputFile::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  // The file that the temporary replaces, as a full path with every link
  // followed; empty when writing in place.
  std::wstring target;
  std::wstring temporary;  // its name, only to remove it if its mark fails
  // A file that must keep its identity (several hard links, a folder that
  // takes no new files): `handle` is that file, opened without truncating
  // it, and the document is gathered here and copied over it only once it
  // is whole.
  bool copy_over = false;
  std::string document{};
};

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLargestWrite = 1u << 30;  // WriteFile counts in 32 bits
constexpr int kNameAttempts = 100;
// Virus scanners, indexers and sync clients open a fresh file for a moment;
// the first open of the output and the final move wait for them this long
// in all, in growing steps.
constexpr DWORD kHeldRetryBudgetMs = 1000;
constexpr DWORD kFirstHeldRetryMs = 10;
// FileRenameInfoEx and its flags (Windows 10 1709), which the headers
// offer only to builds that require that version.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

HANDLE open_for_writing(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Tries `attempt` until it succeeds, or fails otherwise than by another
// program holding the file (a sharing violation, or access denied while it
// is being deleted or scanned), or the retry budget is spent. The last
// error stays set for the caller.
template <typename Attempt>
bool retried_while_held(Attempt attempt) {
  DWORD waited = 0;
  for (DWORD step = kFirstHeldRetryMs;; step *= 2) {
    if (attempt()) return true;
    const DWORD code = GetLastError();
    if ((code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) ||
        waited >= kHeldRetryBudgetMs) {
      return false;
    }
    const DWORD wait = std::min(step, kHeldRetryBudgetMs - waited);
    Sleep(wait);
    waited += wait;
    SetLastError(code);
  }
}

// A folder or a read-only file: access denied there is no passing hold.
bool never_writable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
}

// Opens what is at `path` for writing without truncating it, waiting out
// another program that holds it for a moment, as the final move does.
HANDLE open_existing_for_writing(const std::wstring& path) {
  HANDLE handle = open_for_writing(path, OPEN_EXISTING);
  const DWORD code = GetLastError();
  const bool held =
      handle == INVALID_HANDLE_VALUE &&
      (code == ERROR_SHARING_VIOLATION || (code == ERROR_ACCESS_DENIED && !never_writable(path)));
  SetLastError(code);
  if (!held) return handle;
  retried_while_held([&] {
    handle = open_for_writing(path, OPEN_EXISTING);
    return handle != INVALID_HANDLE_VALUE;
  });
  return handle;
}

bool mark_for_deletion(HANDLE handle, bool marked) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = marked ? TRUE : FALSE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                    sizeof disposition) != 0;
}

// The temporary file, shared with no other program while this one holds
// it, and marked for deletion while it is written: if the process ends
// before commit (Ctrl+C, a kill), the system removes it with the last
// handle. The move takes the mark off only for each attempt.
HANDLE create_temporary(const std::wstring& name) {
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) mark_for_deletion(handle, true);
  return handle;
}

struct Temporary {
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::wstring name;
  DWORD error = ERROR_FILE_EXISTS;  // when there is no handle
};

// A temporary under a fresh name in the folder of `target` (a full path),
// trying other names while one is taken.
Temporary create_temporary_beside(const std::wstring& target) {
  const std::string target_text = text_from_wide(target);
  Temporary temporary;
  for (int i = 0; i < kNameAttempts && temporary.error == ERROR_FILE_EXISTS; ++i) {
    temporary.name = within_path_limit(wide_text(temporary_name_for(target_text)));
    temporary.handle = create_temporary(temporary.name);
    if (temporary.handle != INVALID_HANDLE_VALUE) return temporary;
    temporary.error = GetLastError();
  }
  return temporary;
}

// The file an open handle finally reaches, every symbolic link and
// junction on the way followed ("\\?\C:\..."); empty if the system cannot
// say.
std::wstring final_path_of(HANDLE handle) {
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), size, flags);
  if (length == 0 || length >= size) return {};
  path.resize(length);
  return path;
}

DWORD link_count(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(handle, &info) ? info.nNumberOfLinks : 1;
}

// A ":" in the final name names an alternate data stream of a file. A
// stream cannot be replaced whole (the temporary would be another file),
// and writing it in place would create its file before anything is
// known to succeed, so such an output is refused.
bool names_a_stream(const std::string& path) {
  const auto name = final_name(path, PathRules::Windows);
  return name && name->find(':') != std::string_view::npos;
}

common::RunError stream_refused() {
  return common::RunError{
      "An alternate data stream (a ':' in the file name) cannot be written as an output", {}};
}

// The temporary, through the handle still held, takes the target's name,
// replacing the file there: no other program can open the temporary
// between its last write and the move. POSIX semantics (Windows 10
// 1709 and later, NTFS) let the move replace a file that another program
// has open; elsewhere the plain form is used.
bool rename_over(HANDLE handle, const std::wstring& target) {
  const std::size_t name_offset = offsetof(FILE_RENAME_INFO, FileName);
  const std::size_t name_bytes = target.size() * sizeof(wchar_t);
  // Zeroed, so the name ends in a NUL, which some versions look for.
  std::vector<std::byte> buffer(name_offset + name_bytes + sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name_bytes);
  std::memcpy(buffer.data() + name_offset, target.data(), name_bytes);
  const auto ask = [&](FILE_INFO_BY_HANDLE_CLASS kind, DWORD flags) {
    // ReplaceIfExists and the flags share their first bytes.
    std::memcpy(buffer.data(), &flags, sizeof flags);
    return SetFileInformationByHandle(handle, kind, info, static_cast<DWORD>(buffer.size())) != 0;
  };
  if (ask(kFileRenameInfoEx, kRenameReplaceIfExists | kRenamePosixSemantics)) {
    return true;
  }
  const DWORD code = GetLastError();
  if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED &&
      code != ERROR_INVALID_FUNCTION && code != ERROR_CALL_NOT_IMPLEMENTED) {
    return false;
  }
  return ask(FileRenameInfo, TRUE);
}

// Moves the temporary into place, waiting out another program that holds
// the target for a moment. The delete mark is off only for each attempt,
// so that a kill while waiting still takes the temporary away.
bool move_into_place(HANDLE handle, const std::wstring& target) {
  return retried_while_held([&] {
    if (!mark_for_deletion(handle, false)) return false;
    if (rename_over(handle, target)) return true;
    const DWORD code = GetLastError();
    mark_for_deletion(handle, true);
    SetLastError(code);
    return false;
  });
}

// Room for `size` bytes in the file behind `handle`, its length and content
// unchanged: a full disk fails here, before a byte is overwritten. File
// systems that cannot reserve ahead are written without.
bool reserve(HANDLE handle, std::size_t size) {
  LARGE_INTEGER current{};
  if (!GetFileSizeEx(handle, &current)) return false;
  FILE_ALLOCATION_INFO allocation{};
  // Less than the file's length would cut it.
  allocation.AllocationSize.QuadPart =
      std::max<LONGLONG>(current.QuadPart, static_cast<LONGLONG>(size));
  if (SetFileInformationByHandle(handle, FileAllocationInfo, &allocation, sizeof allocation)) {
    return true;
  }
  const DWORD code = GetLastError();
  return code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED ||
         code == ERROR_INVALID_FUNCTION || code == ERROR_CALL_NOT_IMPLEMENTED;
}

bool write_whole(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The document over the start of the file behind `handle`, the file cut
// to its length and flushed.
bool overwrite(HANDLE handle, std::string_view document) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !write_whole(handle, document)) {
    return false;
  }
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(document.size());
  return SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end) &&
         FlushFileBuffers(handle);
}

// Replaces the content of the file behind `handle` with `document`,
// keeping the file itself. Runs that copy over the same file take turns,
// each holding the file's lock until its handle is closed; Ctrl+C,
// Ctrl+Break and closing the console wait for the copy to end. Only a kill
// during the copy itself leaves the file part new, part old.
common::Result<void> copy_over(HANDLE handle, std::string_view document) {
  if (auto locked = lock_exclusively(reinterpret_cast<NativeFile>(handle), kOutputLockBound);
      !locked) {
    return locked;
  }
  if (!reserve(handle, document.size())) return std::unexpected(last_os_error());
  const InterruptionsHeld held;
  if (!overwrite(handle, document)) return std::unexpected(last_os_error());
  return {};
}

}  // namespace

common::Result<OutputFile> OutputFile::create_native(const std::string& path) {
  const auto in_place = [](HANDLE handle) {
    return OutputFile(std::make_unique<State>(State{handle, L"", L""}));
  };
  const auto copied_over = [](HANDLE handle) {
    return OutputFile(std::make_unique<State>(State{handle, L"", L"", true, {}}));
  };
  const std::wstring typed = native_path(path);
  // Opening what is there, without truncating it, checks that it may be
  // written, follows its links and tells a file from a device (NUL, CON, a
  // pipe), which is written in place. A directory fails here with the
  // system's error.
  const HANDLE existing = open_existing_for_writing(typed);
  const bool exists = existing != INVALID_HANDLE_VALUE;
  if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return std::unexpected(last_os_error());
  if (exists && GetFileType(existing) != FILE_TYPE_DISK) return in_place(existing);
  if (names_a_stream(path)) {
    if (exists) CloseHandle(existing);
    return std::unexpected(stream_refused());
  }
  // A file with several hard links keeps its identity, so that every link
  // sees the new document.
  if (exists && link_count(existing) > 1) return copied_over(existing);
  // Replacing the file that a link names keeps the link pointing at it.
  std::wstring target = exists ? final_path_of(existing) : std::wstring();
  if (exists) CloseHandle(existing);
  if (target.empty()) target = within_path_limit(full_path(wide_text(path)));

  Temporary temporary = create_temporary_beside(target);
  if (temporary.handle == INVALID_HANDLE_VALUE) {
    const common::RunError error = os_error(static_cast<int>(temporary.error));
    // A writable file in a folder that takes no new files is still written,
    // copied over; any other failure leaves it as it was.
    if (!exists || temporary.error != ERROR_ACCESS_DENIED) return std::unexpected(error);
    const HANDLE output = open_existing_for_writing(typed);
    if (output == INVALID_HANDLE_VALUE) return std::unexpected(error);
    return copied_over(output);
  }
  return OutputFile(
      std::make_unique<State>(State{temporary.handle, target, std::move(temporary.name)}));
}

OutputFile::OutputFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept = default;

// The temporary goes with the handle, by its mark; only if the mark could
// not be set is it removed by name.
OutputFile::~OutputFile() {
  if (!state_ || state_->handle == INVALID_HANDLE_VALUE) return;
  const bool marked = !state_->target.empty() && mark_for_deletion(state_->handle, true);
  CloseHandle(state_->handle);
  if (!state_->target.empty() && !marked) DeleteFileW(state_->temporary.c_str());
}

common::Result<void> OutputFile::write(std::string_view bytes) {
  if (state_->copy_over) {
    state_->document += bytes;
    return {};
  }
  if (!write_whole(state_->handle, bytes)) return std::unexpected(last_os_error());
  return {};
}

common::Result<void> OutputFile::commit() {
  State& s = *state_;
  if (s.copy_over) {
    if (auto copied = copy_over(s.handle, s.document); !copied) {
      CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE));
      return copied;
    }
  }
  if (s.target.empty()) {
    if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE))) {
      return std::unexpected(last_os_error());
    }
    return {};
  }
  // The data must be on disk before the name points at it. On failure the
  // temporary is still marked and goes with the handle.
  if (!FlushFileBuffers(s.handle) || !move_into_place(s.handle, s.target)) {
    return std::unexpected(last_os_error());
  }
  // The document is in place; closing cannot take it back.
  CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE));
  return {};
}

}  // namespace platform
