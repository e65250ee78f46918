#include "platform/file_attributes.h"

#include <gtest/gtest.h>

#include <utility>

namespace quorvel {
namespace {

// Attributes and reparse tag as the open handle gives them.
TEST(IsPlainDiskFile, ReadsAFileWhoseBytesLieOnTheDiskUnlessItStandsForAnotherName) {
  using Facts = std::pair<std::uint32_t, std::uint32_t>;
  constexpr std::uint32_t kCloud = 0x9000001A;
  // Plain; read-only, hidden, system and archived; synced by OneDrive and on
  // the disk; compressed by compact /exe.
  for (const auto& [attributes, tag] :
       {Facts{0, 0}, {0x27, 0}, {0x420, kCloud}, {0x400, 0x80000017}})
    EXPECT_TRUE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  // A folder; a symbolic link; a junction or mount point, by its tag alone.
  for (const auto& [attributes, tag] : {Facts{0x10, 0}, {0x400, 0xA000000C}, {0x400, 0xA0000003}})
    EXPECT_FALSE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  // Offline; cloud placeholders to be fetched on opening or on reading.
  for (const auto& [attributes, tag] : {Facts{0x1000, 0}, {0x40400, kCloud}, {0x400420, kCloud}})
    EXPECT_FALSE(IsPlainDiskFile(attributes, tag, true)) << std::hex << attributes << " " << tag;
  EXPECT_FALSE(IsPlainDiskFile(0, 0, false)) << "a device or a pipe";
}

}  // namespace
}  // namespace quorvel
