// The plain form of the path that the system gives for the program's own
// executable.
#pragma once

#include <string>

namespace quorvel {

// "\\?\E:\x" becomes "E:\x" and "\\?\UNC\server\share\x" becomes
// "\\server\share\x", so that the drive part of the path can be found. Wine
// gives a program started from a share the path "UNC\server\share\x", which
// no module can have as a relative path; it becomes "\\server\share\x" too.
// Files are opened through ExtendedLengthPath, so long paths lose nothing.
std::wstring PlainModulePath(const std::wstring& path);

}  // namespace quorvel
