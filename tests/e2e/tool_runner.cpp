// What every platform's runner shares: files, fixtures and the comparison
// of error reports.
#include "tool_runner.h"

#include <fstream>
#include <sstream>

namespace e2e {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path utf8_path(std::string_view text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string native(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '/') c = kSeparator;
  }
  return out;
}

::testing::AssertionResult is_report(std::string_view report, std::string_view head,
                                     const SystemError& error) {
  const std::string start = std::string(head) + "\n\nCaused by:\n    ";
  const std::string end = " (os error " + std::to_string(error.code) + ")\n";
  if (!error.text.empty()) {
    const std::string expected = start + std::string(error.text) + end;
    if (report == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "report:\n" << report << "expected:\n" << expected;
  }
  const bool matches =
      report.size() > start.size() + end.size() && report.starts_with(start) &&
      report.ends_with(end) &&
      report.substr(start.size(), report.size() - start.size() - end.size()).find('\n') ==
          std::string_view::npos;
  if (matches) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "report:\n"
                                       << report << "expected:\n"
                                       << start << "<the system's text>" << end;
}

void ToolTest::copy_fixture(const std::string& name) {
  const fs::path source = fs::path(DAZ_FIXTURES_DIR) / name;
  fs::copy(source, dir_ / fs::path(name).filename(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

}  // namespace e2e
