// The drive part of a path: "E:" for E:\Pen, "\\server\share" for a folder on
// a share, "" when the path names no drive.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

std::string DriveNameOf(std::string_view path);

}  // namespace quorvel
