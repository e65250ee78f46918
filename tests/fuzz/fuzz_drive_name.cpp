// Any text as the program's path: the drive name must be "", a letter and a
// colon, or a share, and naming the drive of a drive name must give it back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "drive/drive_name.h"
#include "fuzz_check.h"

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const std::string name = quorvel::DriveNameOf(path);
  if (name.empty()) return 0;

  const bool letter = name.size() == 2 && IsAsciiLetter(name[0]) && name[1] == ':';
  const bool share = name.size() > 2 && name[0] == '\\' && name[1] == '\\';
  FUZZ_REQUIRE(letter || share);
  FUZZ_REQUIRE(quorvel::DriveNameOf(name) == name);
  return 0;
}
