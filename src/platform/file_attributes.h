// What the program accepts as a file to read, from what the system says of
// it once it is open.
#pragma once

#include <cstdint>

namespace quorvel {

// File attribute bits, as Windows numbers them.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;
inline constexpr std::uint32_t kAttributeOffline = 0x1000;
inline constexpr std::uint32_t kAttributeRecallOnOpen = 0x40000;
inline constexpr std::uint32_t kAttributeRecallOnDataAccess = 0x400000;

// A plain file on a disk, whose bytes lie there. Not a device or a folder;
// never a symbolic link, junction or other reparse point, which is opened as
// itself and not followed: on an NTFS pen one could lead to a share on
// another host, and reaching it would make Windows offer that host the
// user's credentials. Nor a file whose bytes must first be fetched from
// elsewhere (offline, or a cloud placeholder).
constexpr bool IsPlainDiskFile(std::uint32_t attributes, bool on_disk) {
  constexpr std::uint32_t kNotPlain = kAttributeDirectory | kAttributeReparsePoint |
                                      kAttributeOffline | kAttributeRecallOnOpen |
                                      kAttributeRecallOnDataAccess;
  return on_disk && (attributes & kNotPlain) == 0;
}

}  // namespace quorvel
