// STL files far beyond a restoration's mesh, made by the test: one over the
// size limit is refused before it is read, one under it is read within a
// small multiple of its size. Each reading runs in a child process that
// measures its own time and peak memory (scripts/huge-inputs.sh).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "measured_child.h"
#include "mesh/read_stl.h"
#include "mesh/tolerances.h"
#include "temporary_folder.h"

namespace {

namespace fs = std::filesystem;
constexpr std::size_t kMiB = 1024 * 1024;

#if defined(__OPTIMIZE__)
constexpr bool kOptimized = true;
#else
constexpr bool kOptimized = false;
#endif

std::string stl_outcome(const fs::path& path) {
  const auto mesh = mesh::read_stl(path.string());
  if (!mesh) return "error: " + mesh.error().message;
  return std::to_string(mesh->facet_count) + " facets, " + std::to_string(mesh->open_edges) +
         " open edges";
}

class HugeStl : public testing_support::TemporaryFolderTest {
 protected:
  // An ASCII STL of about `bytes`: the same facet again and again, each
  // facet's edges shared with no other (three open edges a facet).
  std::size_t write_ascii(std::size_t bytes) {
    const std::string facet =
        "facet normal 0 0 1\n outer loop\n  vertex 0 0 0\n  vertex 1 0 0\n  vertex 0 1 0\n"
        " endloop\nendfacet\n";
    std::string block;
    while (block.size() < kMiB) block += facet;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << "solid huge\n";
    std::size_t written = 0;
    for (; written < bytes; written += block.size()) out << block;
    out << "endsolid huge\n";
    return written;
  }

  std::string measure(const char* name, std::size_t bytes, double multiple) {
    const auto report = testing_support::run_measured([this] { return stl_outcome(path_); });
    EXPECT_TRUE(report.finished) << name << " crashed";
    std::printf("[huge] %s: input %.1f MiB, peak %.1f MiB, %.2f s\n", name,
                static_cast<double>(bytes) / kMiB, static_cast<double>(report.peak_bytes) / kMiB,
                report.seconds);
    if (!testing_support::memory_is_instrumented()) {
      EXPECT_LE(report.peak_bytes,
                static_cast<std::size_t>(multiple * static_cast<double>(bytes)) + 16 * kMiB);
    }
    return report.outcome;
  }

  fs::path path() const { return path_; }
  void SetUp() override {
    TemporaryFolderTest::SetUp();
    path_ = dir_ / "huge.stl";
  }

 private:
  fs::path path_;
};

TEST_F(HugeStl, AnAsciiStlOfAGigabyteIsRefusedUnread) {
  const std::size_t bytes = write_ascii(1024 * kMiB);
  EXPECT_EQ(measure("ASCII STL of 1 GiB", bytes, 0.01),
            "error: larger than 256 MiB, more than a restoration's mesh: not read");
}

TEST_F(HugeStl, AnAsciiStlUnderTheLimitIsRead) {
  if (!kOptimized) GTEST_SKIP() << "too slow unoptimized; scripts/huge-inputs.sh runs it";
  const std::size_t bytes = write_ascii(100 * kMiB);
  const std::string outcome = measure("ASCII STL of 100 MiB", bytes, 3);
  EXPECT_NE(outcome.find(" facets, "), std::string::npos) << outcome;
}

}  // namespace
