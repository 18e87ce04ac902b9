#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>

#include "platform/os_error.h"
#include "platform/output_file.h"
#include "platform/wide_path_windows.h"

namespace platform {

struct OutputFile::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  // Full paths: ReplaceFileW does not resolve relative ones reliably.
  std::wstring target;
  std::wstring temporary;  // empty when writing in place
  bool replaces = false;   // a file was there when writing began
};

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLargestWrite = 1u << 30;  // WriteFile counts in 32 bits
constexpr int kNameAttempts = 100;

HANDLE open_for_writing(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A name beside `target` that no other file has yet: a short prefix from
// the target's name, so it stays within the name limit, and a random part,
// so a leftover or another process never collides. It does not end in the
// target's extension, so nothing watching the folder takes it for a
// finished document.
std::wstring temporary_name_for(const std::wstring& target) {
  static std::mt19937_64 random{std::random_device{}()};
  constexpr std::size_t kPrefixLength = 32;
  const std::size_t slash = target.find_last_of(L"\\/");
  const std::size_t name_start = slash == std::wstring::npos ? 0 : slash + 1;
  std::wstring name =
      target.substr(0, name_start) + L"." + target.substr(name_start, kPrefixLength) + L"-";
  static constexpr wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  std::uint64_t bits = random();
  for (int i = 0; i < 10; ++i, bits /= 36) name += kDigits[bits % 36];
  return name + L".tmp";
}

// The temporary file, marked for deletion while it is written: if the
// process ends before commit (Ctrl+C, a kill), the system removes it with
// the last handle. Commit takes the mark off just before the rename.
HANDLE create_temporary(const std::wstring& name) {
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return handle;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
  return handle;
}

bool keep_temporary(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = FALSE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                    sizeof disposition) != 0;
}

// The written file takes the target's name. ReplaceFileW keeps what the old
// file had besides its bytes (permissions, creation time), as the POSIX
// build keeps the mode; a new target, or one removed meanwhile, is a plain
// rename.
bool move_into_place(const std::wstring& temporary, const std::wstring& target, bool replaces) {
  if (replaces) {
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return true;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  }
  return MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

common::Result<OutputFile> OutputFile::create_native(const std::string& path) {
  const std::wstring typed = native_path(path);
  // Opening what is there, without truncating it, checks that it may be
  // written and tells a file from a device (NUL, CON, a pipe), which is
  // written in place. A directory fails here with the system's error.
  const HANDLE existing = open_for_writing(typed, OPEN_EXISTING);
  const bool exists = existing != INVALID_HANDLE_VALUE;
  if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return std::unexpected(last_os_error());
  if (exists && GetFileType(existing) != FILE_TYPE_DISK) {
    return OutputFile(std::make_unique<State>(State{existing, L"", L"", false}));
  }
  if (exists) CloseHandle(existing);

  const std::wstring full = full_path(wide_text(path));
  const std::wstring target = within_path_limit(full);
  std::wstring temporary;
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD code = ERROR_FILE_EXISTS;
  for (int i = 0; i < kNameAttempts && handle == INVALID_HANDLE_VALUE && code == ERROR_FILE_EXISTS;
       ++i) {
    temporary = within_path_limit(temporary_name_for(full));
    handle = create_temporary(temporary);
    if (handle == INVALID_HANDLE_VALUE) code = GetLastError();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    const common::RunError error = os_error(static_cast<int>(code));
    // A writable file in a folder that takes no new files is still written,
    // in place; any other failure leaves it as it was.
    if (!exists || code != ERROR_ACCESS_DENIED) return std::unexpected(error);
    const HANDLE in_place = open_for_writing(typed, TRUNCATE_EXISTING);
    if (in_place == INVALID_HANDLE_VALUE) return std::unexpected(error);
    return OutputFile(std::make_unique<State>(State{in_place, L"", L"", false}));
  }
  return OutputFile(std::make_unique<State>(State{handle, target, temporary, exists}));
}

OutputFile::OutputFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept = default;

OutputFile::~OutputFile() {
  if (!state_ || state_->handle == INVALID_HANDLE_VALUE) return;
  CloseHandle(state_->handle);
  if (!state_->temporary.empty()) DeleteFileW(state_->temporary.c_str());
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
  if (s.temporary.empty()) {
    if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE))) {
      return std::unexpected(last_os_error());
    }
    return {};
  }
  // The data must be on disk before the name points at it.
  if (!FlushFileBuffers(s.handle) || !keep_temporary(s.handle)) {
    return std::unexpected(last_os_error());
  }
  if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE)) ||
      !move_into_place(s.temporary, s.target, s.replaces)) {
    common::RunError error = last_os_error();
    DeleteFileW(s.temporary.c_str());
    return std::unexpected(std::move(error));
  }
  return {};
}

}  // namespace platform
