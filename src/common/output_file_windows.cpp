#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "common/os_error.h"
#include "common/output_file.h"
#include "common/wide_path_windows.h"

namespace common {

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

HANDLE open_for_writing(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring temporary_name_for(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  return target + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(counter++);
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

Result<OutputFile> OutputFile::create_native(const std::string& path) {
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
  const std::wstring temporary = within_path_limit(temporary_name_for(full));
  const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const RunError error = last_os_error();
    // A writable file in a folder that takes no new files is still written,
    // in place.
    if (!exists) return std::unexpected(error);
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

Result<void> OutputFile::write(std::string_view bytes) {
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

Result<void> OutputFile::commit() {
  State& s = *state_;
  if (s.temporary.empty()) {
    if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE))) {
      return std::unexpected(last_os_error());
    }
    return {};
  }
  // The data must be on disk before the name points at it.
  if (!FlushFileBuffers(s.handle)) return std::unexpected(last_os_error());
  if (!CloseHandle(std::exchange(s.handle, INVALID_HANDLE_VALUE)) ||
      !move_into_place(s.temporary, s.target, s.replaces)) {
    RunError error = last_os_error();
    DeleteFileW(s.temporary.c_str());
    return std::unexpected(std::move(error));
  }
  return {};
}

}  // namespace common
