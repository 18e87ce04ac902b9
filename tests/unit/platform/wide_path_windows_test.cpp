#include "platform/wide_path_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace platform {
namespace {

TEST(WidePath, MakesLongFullPathsFitTheLimit) {
  const std::wstring name(300, L'n');
  const struct {
    std::wstring full;
    std::wstring fitted;
  } cases[] = {
      {L"C:\\cases\\case.json", L"C:\\cases\\case.json"},
      {L"C:\\cases\\" + name, L"\\\\?\\C:\\cases\\" + name},
      {L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
      {L"\\\\?\\C:\\cases\\" + name, L"\\\\?\\C:\\cases\\" + name},
      {L"\\\\.\\pipe\\" + name, L"\\\\.\\pipe\\" + name},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(within_path_limit(c.full), c.fitted) << c.full.size();
  }
}

TEST(WidePath, KeepsShortPathsAsTypedAndResolvesLongOnes) {
  const std::wstring directory = full_path(L".");
  const std::string long_name(300, 'n');
  EXPECT_EQ(native_path("case.json"), L"case.json");
  EXPECT_EQ(native_path("cases/case.json"), L"cases/case.json");
  EXPECT_EQ(native_path("NUL"), L"NUL");
  // The "\\?\" form takes no "/" and no "..": they are resolved first.
  EXPECT_EQ(native_path("cases/../" + long_name),
            L"\\\\?\\" + directory + L"\\" + std::wstring(long_name.begin(), long_name.end()));
}

TEST(WidePath, CarriesNamesThatAreNotValidUtf16) {
  const std::wstring name = {L'a', static_cast<wchar_t>(0xD800), L'.', L'j'};
  EXPECT_EQ(text_from_wide(name), "a\xED\xA0\x80.j");
  EXPECT_EQ(wide_text(text_from_wide(name)), name);
}

}  // namespace
}  // namespace platform
