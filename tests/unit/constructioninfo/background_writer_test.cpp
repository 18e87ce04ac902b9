#include "constructioninfo/background_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "temporary_folder.h"

namespace constructioninfo {
namespace {

namespace fs = std::filesystem;

std::string content_of(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether the document is small (written on the caller's thread) or takes
// hundreds of buffers (written on a thread of their own), its bytes reach
// the file whole and in order.
using BackgroundWriterTest = testing_support::TemporaryFolderTest;

TEST_F(BackgroundWriterTest, WritesEveryBufferInOrder) {
  const fs::path path = dir_ / "out.txt";
  for (const int buffers : {1, 2, 300}) {
    SCOPED_TRACE(buffers);
    auto file = platform::OutputFile::create(path.string());
    ASSERT_TRUE(file);
    std::string expected;
    {
      BackgroundWriter writer(*file);
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
}

}  // namespace
}  // namespace constructioninfo
