#include "platform/wide_path_windows.h"

#include <windows.h>

#include "text/wtf8.h"

namespace platform {

namespace {

constexpr std::wstring_view kVerbatimPrefix = LR"(\\?\)";
constexpr std::wstring_view kDevicePrefix = LR"(\\.\)";
constexpr std::wstring_view kNetworkPrefix = LR"(\\)";

bool is_verbatim_or_device(std::wstring_view path) {
  return path.starts_with(kVerbatimPrefix) || path.starts_with(kDevicePrefix);
}

}  // namespace

std::wstring wide_text(std::string_view text) {
  const std::u16string units = text::utf16_from_wtf8(text);
  return std::wstring(units.begin(), units.end());
}

std::string text_from_wide(std::wstring_view text) {
  return text::wtf8_from_utf16(std::u16string(text.begin(), text.end()));
}

std::wstring full_path(const std::wstring& path) {
  // A verbatim path means "no normalisation": a trailing dot or space, or
  // a "..", is part of the name.
  if (is_verbatim_or_device(path)) return path;
  // Asked once for the size, then for the path; a path that grows in
  // between (another thread changing the working directory) is not ours.
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

std::wstring within_path_limit(const std::wstring& full) {
  if (full.size() < MAX_PATH || is_verbatim_or_device(full)) return full;
  if (full.starts_with(kNetworkPrefix)) {
    return std::wstring(kVerbatimPrefix) + L"UNC\\" + full.substr(kNetworkPrefix.size());
  }
  return std::wstring(kVerbatimPrefix) + full;
}

std::wstring native_path(std::string_view path) {
  std::wstring wide = wide_text(path);
  if (is_verbatim_or_device(wide)) return wide;
  const std::wstring full = full_path(wide);
  return full.size() < MAX_PATH ? wide : within_path_limit(full);
}

}  // namespace platform
