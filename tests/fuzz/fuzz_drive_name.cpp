// Any text as the program's path: the drive name is "", a letter and a colon,
// or a share, and naming the drive of a drive name gives it back; else a trap.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "drive/drive_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name =
      quorvel::DriveNameOf(std::string_view(reinterpret_cast<const char*>(data), size));
  const bool letter =
      name.size() == 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
  const bool share = name.size() > 2 && name.compare(0, 2, "\\\\") == 0;
  if (!(name.empty() || letter || share) || quorvel::DriveNameOf(name) != name) __builtin_trap();
  return 0;
}
