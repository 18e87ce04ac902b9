#include <gtest/gtest.h>
#include <sys/stat.h>

#include "mesh/read_stl.h"
#include "temporary_folder.h"

namespace {

using ReadStlPosix = testing_support::TemporaryFolderTest;

// A FIFO named like an STL, with no writer: opening it the usual way would
// wait for ever.
TEST_F(ReadStlPosix, RefusesAFifoWithoutWaiting) {
  const std::string path = (dir_ / "x.stl").string();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const auto mesh = mesh::read_stl(path);
  ASSERT_FALSE(mesh);
  EXPECT_EQ(mesh.error().fault, mesh::StlFault::CannotOpen);
  EXPECT_EQ(mesh.error().message, "Not a regular file: a pipe");
}

TEST_F(ReadStlPosix, RefusesADevice) {
  const auto mesh = mesh::read_stl("/dev/zero");
  ASSERT_FALSE(mesh);
  EXPECT_EQ(mesh.error().fault, mesh::StlFault::CannotOpen);
}

}  // namespace
