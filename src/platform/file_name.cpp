#include "platform/file_name.h"

#include <vector>

namespace platform {

namespace {

// The prefix and components of a path, as offsets into it.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

struct Components {
  std::size_t prefix_length = 0;
  bool verbatim = false;
  bool has_root = false;
  std::vector<Span> parts;  // ordinary names, "..", and a leading "."
};

bool is_separator(char c, PathRules rules, bool verbatim) {
  if (c == '\\') return rules == PathRules::Windows;
  return c == '/' && !verbatim;
}

bool is_drive(std::string_view path) {
  const bool letter =
      !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path.size() >= 2 && path[1] == ':';
}

// Length of the component that starts at `from`, up to the next separator.
std::size_t component_end(std::string_view path, std::size_t from, bool verbatim) {
  while (from < path.size() && !is_separator(path[from], PathRules::Windows, verbatim)) ++from;
  return from;
}

// Windows prefixes: \\?\UNC\server\share, \\?\C:, \\?\name, \\.\device,
// \\server\share and C:.
std::size_t windows_prefix_length(std::string_view path, bool& verbatim) {
  verbatim = false;
  if (path.starts_with("\\\\?\\")) {
    verbatim = true;
    if (path.substr(4).starts_with("UNC\\")) {
      const std::size_t server_end = component_end(path, 8, true);
      if (server_end >= path.size()) return server_end;
      return component_end(path, server_end + 1, true);
    }
    return component_end(path, 4, true);
  }
  if (path.starts_with("\\\\.\\")) return component_end(path, 4, false);
  if (path.size() > 2 && is_separator(path[0], PathRules::Windows, false) &&
      is_separator(path[1], PathRules::Windows, false)) {
    const std::size_t server_end = component_end(path, 2, false);
    if (server_end == 2 || server_end >= path.size()) return 0;
    const std::size_t share_end = component_end(path, server_end + 1, false);
    return share_end == server_end + 1 ? 0 : share_end;
  }
  return is_drive(path) ? 2 : 0;
}

Components split(std::string_view path, PathRules rules) {
  Components out;
  if (rules == PathRules::Windows) out.prefix_length = windows_prefix_length(path, out.verbatim);
  std::size_t i = out.prefix_length;
  if (i < path.size() && is_separator(path[i], rules, out.verbatim)) {
    out.has_root = true;
    ++i;
  }
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !is_separator(path[end], rules, out.verbatim)) ++end;
    const std::string_view part = path.substr(i, end - i);
    const bool leading = out.parts.empty() && !out.has_root && i == out.prefix_length;
    if (!part.empty() && (part != "." || leading || out.verbatim)) out.parts.push_back({i, end});
    i = end + 1;
  }
  return out;
}

std::string_view text_of(std::string_view path, Span span) {
  return path.substr(span.begin, span.end - span.begin);
}

}  // namespace

std::optional<std::string_view> final_name(std::string_view path, PathRules rules) {
  const Components components = split(path, rules);
  if (components.parts.empty()) return std::nullopt;
  const std::string_view last = text_of(path, components.parts.back());
  if (last == ".." || (last == "." && !components.verbatim)) return std::nullopt;
  return last;
}

std::string_view stem(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::size_t last_component_start(std::string_view path, PathRules rules) {
  bool verbatim = false;
  const std::size_t prefix =
      rules == PathRules::Windows ? windows_prefix_length(path, verbatim) : 0;
  for (std::size_t i = path.size(); i > prefix; --i) {
    if (is_separator(path[i - 1], rules, verbatim)) return i;
  }
  return prefix;
}

std::string_view parent(std::string_view path, PathRules rules) {
  const Components components = split(path, rules);
  if (components.parts.size() >= 2) {
    return path.substr(0, components.parts[components.parts.size() - 2].end);
  }
  return path.substr(0, components.prefix_length + (components.has_root ? 1 : 0));
}

std::string join(std::string_view directory, std::string_view name, PathRules rules) {
  const char separator = rules == PathRules::Windows ? '\\' : '/';
  const Components dir = split(directory, rules);
  const Components joined = split(name, rules);
  if (joined.prefix_length > 0 || (rules == PathRules::Posix && joined.has_root)) {
    return std::string(name);
  }
  if (joined.has_root)
    return std::string(directory.substr(0, dir.prefix_length)) + std::string(name);
  std::string out(directory);
  const bool only_drive =
      dir.prefix_length == directory.size() && is_drive(directory) && directory.size() == 2;
  if (!directory.empty() && !is_separator(directory.back(), rules, dir.verbatim) && !only_drive) {
    out += separator;
  }
  out += name;
  return out;
}

std::optional<std::string> replace_extension(std::string_view path, std::string_view extension,
                                             PathRules rules) {
  const auto name = final_name(path, rules);
  if (!name) return std::nullopt;
  const std::string_view name_stem = stem(*name);
  const auto stem_end = static_cast<std::size_t>(name_stem.data() + name_stem.size() - path.data());
  std::string out(path.substr(0, stem_end));
  out += '.';
  out += extension;
  return out;
}

}  // namespace platform
