#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/file_name.h"
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
};

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLargestWrite = 1u << 30;  // WriteFile counts in 32 bits
constexpr int kNameAttempts = 100;
// Virus scanners, indexers and sync clients open a fresh file for a moment;
// the final move waits for them this long in all, in growing steps.
constexpr DWORD kMoveRetryBudgetMs = 1000;
constexpr DWORD kFirstMoveRetryMs = 10;
// FileRenameInfoEx and its flags (Windows 10 1709), which the headers
// offer only to builds that require that version.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

HANDLE open_for_writing(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
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
// handle. Commit takes the mark off just before the move.
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
// the target for a moment (a sharing violation, or access denied while it
// is being deleted or scanned).
bool move_into_place(HANDLE handle, const std::wstring& target) {
  DWORD waited = 0;
  for (DWORD step = kFirstMoveRetryMs;; step *= 2) {
    if (rename_over(handle, target)) return true;
    const DWORD code = GetLastError();
    if ((code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) ||
        waited >= kMoveRetryBudgetMs) {
      return false;
    }
    const DWORD wait = std::min(step, kMoveRetryBudgetMs - waited);
    Sleep(wait);
    waited += wait;
  }
}

}  // namespace

common::Result<OutputFile> OutputFile::create_native(const std::string& path) {
  const auto in_place = [](HANDLE handle) {
    return OutputFile(std::make_unique<State>(State{handle, L"", L""}));
  };
  const std::wstring typed = native_path(path);
  // Opening what is there, without truncating it, checks that it may be
  // written, follows its links and tells a file from a device (NUL, CON, a
  // pipe), which is written in place. A directory fails here with the
  // system's error.
  const HANDLE existing = open_for_writing(typed, OPEN_EXISTING);
  const bool exists = existing != INVALID_HANDLE_VALUE;
  if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return std::unexpected(last_os_error());
  if (exists && GetFileType(existing) != FILE_TYPE_DISK) return in_place(existing);
  if (names_a_stream(path)) {
    if (exists) CloseHandle(existing);
    return std::unexpected(stream_refused());
  }
  // A file with several hard links is written in place, so that every
  // link sees the new document.
  if (exists && link_count(existing) > 1) {
    if (!SetEndOfFile(existing)) {
      common::RunError error = last_os_error();
      CloseHandle(existing);
      return std::unexpected(std::move(error));
    }
    return in_place(existing);
  }
  // Replacing the file that a link names keeps the link pointing at it.
  std::wstring target = exists ? final_path_of(existing) : std::wstring();
  if (exists) CloseHandle(existing);
  if (target.empty()) target = within_path_limit(full_path(wide_text(path)));

  Temporary temporary = create_temporary_beside(target);
  if (temporary.handle == INVALID_HANDLE_VALUE) {
    const common::RunError error = os_error(static_cast<int>(temporary.error));
    // A writable file in a folder that takes no new files is still written,
    // in place; any other failure leaves it as it was.
    if (!exists || temporary.error != ERROR_ACCESS_DENIED) return std::unexpected(error);
    const HANDLE truncated = open_for_writing(typed, TRUNCATE_EXISTING);
    if (truncated == INVALID_HANDLE_VALUE) return std::unexpected(error);
    return in_place(truncated);
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
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (!WriteFile(state_->handle, bytes.data(), chunk, &written, nullptr)) {
      return std::unexpected(last_os_error());
    }
    bytes.remove_prefix(written);
  }
  return {};
}

common::Result<void> OutputFile::commit() {
  State& s = *state_;
  if (s.target.empty()) {
    if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE))) {
      return std::unexpected(last_os_error());
    }
    return {};
  }
  // The data must be on disk before the name points at it. On failure the
  // destructor marks the temporary again and it goes with the handle.
  if (!FlushFileBuffers(s.handle) || !mark_for_deletion(s.handle, false) ||
      !move_into_place(s.handle, s.target)) {
    return std::unexpected(last_os_error());
  }
  // The document is in place; closing cannot take it back.
  CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE));
  return {};
}

}  // namespace platform
