#include "drive/drive_name.h"

#include <cstddef>

#include "text/paths.h"

namespace quorvel {

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "E:" when `path` starts with a letter and a colon.
std::string LetterDrive(std::string_view path) {
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
    return std::string(path.substr(0, 2));
  }
  return {};
}

// The text up to the next separator, taken off the front of `rest`.
std::string_view TakeComponent(std::string_view& rest) {
  std::size_t end = 0;
  while (end < rest.size() && !IsSeparator(rest[end])) ++end;
  const std::string_view component = rest.substr(0, end);
  rest.remove_prefix(end);
  return component;
}

// "\\server\share" from "server\share\...", or "" when either is missing.
std::string ShareDrive(std::string_view rest) {
  const std::string_view server = TakeComponent(rest);
  // "?" and "." are no servers: "\\?\" and "\\.\" would read as prefixes.
  if (server.empty() || server == "?" || server == "." || rest.empty()) return {};
  rest.remove_prefix(1);  // the separator after the server
  const std::string_view share = TakeComponent(rest);
  if (share.empty()) return {};
  std::string name = "\\\\";
  name += server;
  name += '\\';
  name += share;
  return name;
}

}  // namespace

std::string DriveNameOf(std::string_view path) {
  const bool starts_unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  if (!starts_unc) return LetterDrive(path);

  // A long-path prefix (\\?\) or a device prefix (\\.\) is followed by the
  // real path: "E:\..." or "UNC\server\share\...".
  if (PrefixOf(path) != PathPrefix::kNone) {
    const std::string_view rest = path.substr(kPathPrefixLength);
    if (StartsWithNoCase(rest, "UNC") && rest.size() > 3 && IsSeparator(rest[3])) {
      return ShareDrive(rest.substr(4));
    }
    return LetterDrive(rest);
  }
  return ShareDrive(path.substr(2));
}

}  // namespace quorvel
