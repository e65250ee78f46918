#include "drive/drive_name.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(DriveNameOf, LettersSharesAndPathsWithoutADrive) {
  EXPECT_EQ(DriveNameOf("E:\\Pen"), "E:");
  EXPECT_EQ(DriveNameOf("E:"), "E:");
  EXPECT_EQ(DriveNameOf("e:/x"), "e:");
  EXPECT_EQ(DriveNameOf("\\\\?\\E:\\Pen"), "E:");
  EXPECT_EQ(DriveNameOf("\\\\server\\share\\folder\\x"), "\\\\server\\share");
  EXPECT_EQ(DriveNameOf("//server/share"), "\\\\server\\share");
  EXPECT_EQ(DriveNameOf("\\\\?\\UNC\\server\\share\\x"), "\\\\server\\share");
  for (const char* path :
       {"", "E", "1:\\x", "Pen\\x", "\\Pen", "\\\\server", "\\\\server\\", "\\\\\\share", "\\\\?\\",
        "\\\\?\\UNC\\server", "\\\\?\\UNC\\?\\share"}) {
    EXPECT_EQ(DriveNameOf(path), "") << path;
  }
}

}  // namespace
}  // namespace quorvel
