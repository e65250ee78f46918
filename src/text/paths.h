// Windows paths as text: what separates their parts, the prefixes that tell
// the system how to read them, and the forms in which the system gives the
// program's own path and takes the paths of its files. Narrow paths are UTF-8,
// as the program keeps them; wide paths are UTF-16, as Windows speaks them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// MAX_PATH: how long, in UTF-16 units with the terminating NUL, a path
// without the long-path prefix may be.
inline constexpr std::size_t kMaxPath = 260;

// Windows takes either slash between the parts of a path.
constexpr bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}
constexpr bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// Whether `text` starts with `prefix`, ASCII letters matching in either case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// What the first four characters of a path tell the system. After the
// long-path prefix "\\?\" it takes the rest as it stands, at any length; after
// the device prefix "\\.\" (or "\\?\" written with a forward slash) it reads
// the rest as a device path. Either way the real path follows, "E:\..." or
// "UNC\server\share\...".
enum class PathPrefix { kNone, kDevice, kLongPath };
inline constexpr std::size_t kPathPrefixLength = 4;
PathPrefix PrefixOf(std::string_view path);
PathPrefix PrefixOf(std::wstring_view path);

// The plain form of the path that the system gives for the program's own
// executable: "\\?\E:\x" becomes "E:\x" and "\\?\UNC\server\share\x" becomes
// "\\server\share\x", so that the drive part of the path can be found. Wine
// gives a program started from a share the path "UNC\server\share\x", which
// no module can have as a relative path; it becomes "\\server\share\x" too.
// Files are opened through ExtendedLengthPath, so long paths lose nothing.
std::wstring PlainModulePath(std::wstring_view path);

// The folder part of a module's full path: no trailing separator, except at a
// drive root ("E:\", "\\?\E:\").
std::wstring FolderOfPath(std::wstring_view path);

// A path that Windows accepts at any length: absolute paths too long for the
// plain form get the "\\?\" prefix.
std::wstring ExtendedLengthPath(std::wstring_view path);

// What one call that writes a text into a buffer reports, the way
// GetModuleFileNameW does.
struct BufferFill {
  std::size_t written = 0;   // characters written; 0 when the call failed
  bool did_not_fit = false;  // the call said that the text was cut short
};

// Fills buffers through `fill`, each twice as large as the one before, until
// the whole text fits, which it does when `fill` writes less than the buffer
// holds and does not say otherwise. Nothing when `fill` fails or the text
// outgrows any path.
std::optional<std::wstring> ReadGrowingText(
    const std::function<BufferFill(wchar_t* buffer, std::size_t size)>& fill);

}  // namespace quorvel
