#include "constructioninfo/background_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace constructioninfo {
namespace {

namespace fs = std::filesystem;

std::string content_of(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether the document is foreseen short (written on the caller's thread)
// or long (written on a thread of its own), and whatever it turns out to
// be, its bytes reach the file whole and in order.
TEST(BackgroundWriter, WritesEveryBufferInOrder) {
  const fs::path path = fs::temp_directory_path() / "background_writer_test.txt";
  struct Row {
    std::size_t expected_bytes;
    int buffers;
  };
  const Row rows[] = {{0, 1}, {0, 2}, {0, 300}, {1 << 30, 1}, {1 << 30, 2}, {1 << 30, 300}};
  for (const auto& [expected_bytes, buffers] : rows) {
    SCOPED_TRACE(testing::Message() << "expected " << expected_bytes << ", buffers " << buffers);
    auto file = platform::OutputFile::create(path.string());
    ASSERT_TRUE(file);
    std::string expected;
    {
      BackgroundWriter writer(*file, expected_bytes);
      std::string buffer;
      for (int i = 0; i < buffers; ++i) {
        buffer = std::to_string(i) + std::string(static_cast<std::size_t>(i % 7) * 3000, 'x') + ";";
        expected += buffer;
        ASSERT_TRUE(writer.hand_over(buffer));
        EXPECT_TRUE(buffer.empty());
      }
      ASSERT_TRUE(writer.finish());
    }
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(content_of(path), expected);
  }
  fs::remove(path);
}

}  // namespace
}  // namespace constructioninfo
