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

// The bit of a reparse tag that marks a name surrogate, as
// IsReparseTagNameSurrogate tests it: the tag stands for another name (a
// symbolic link, a junction, a mount point).
inline constexpr std::uint32_t kReparseTagNameSurrogate = 0x20000000;

// A file on a disk, whose bytes lie there. Not a device or a folder, nor a
// file whose bytes must first be fetched from elsewhere (offline, or a cloud
// placeholder not wholly on the disk). Never a name surrogate, which is
// opened as itself and not followed: on an NTFS pen one could lead to a share
// on another host, and reaching it would make Windows offer that host the
// user's credentials. Under any other reparse tag such a file is read (one
// that OneDrive has synced, one compressed by compact /exe). `reparse_tag`
// counts only with the reparse point attribute.
constexpr bool IsPlainDiskFile(std::uint32_t attributes, std::uint32_t reparse_tag, bool on_disk) {
  constexpr std::uint32_t kNotPlain = kAttributeDirectory | kAttributeOffline |
                                      kAttributeRecallOnOpen | kAttributeRecallOnDataAccess;
  const bool name_surrogate =
      (attributes & kAttributeReparsePoint) != 0 && (reparse_tag & kReparseTagNameSurrogate) != 0;
  return on_disk && (attributes & kNotPlain) == 0 && !name_surrogate;
}

}  // namespace quorvel
