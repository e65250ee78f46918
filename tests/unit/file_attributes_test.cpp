#include "platform/file_attributes.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(IsPlainDiskFile, ReadsOnlyAPlainFileWhoseBytesLieOnTheDisk) {
  constexpr std::uint32_t kReadOnlyHiddenSystemArchive = 0x1 | 0x2 | 0x4 | 0x20;
  EXPECT_TRUE(IsPlainDiskFile(0, true));
  EXPECT_TRUE(IsPlainDiskFile(kReadOnlyHiddenSystemArchive, true));
  EXPECT_FALSE(IsPlainDiskFile(0, false)) << "a device or a pipe";
  // A folder; a symbolic link or junction, also to a folder; an offline file;
  // cloud placeholders.
  for (const std::uint32_t attributes :
       {0x10u, 0x400u, 0x420u, 0x410u, 0x1000u, 0x40000u, 0x400000u, 0x400020u}) {
    EXPECT_FALSE(IsPlainDiskFile(attributes, true)) << std::hex << attributes;
  }
}

}  // namespace
}  // namespace quorvel
