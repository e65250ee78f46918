#include "text/paths.h"

#include <vector>

#include "text/unicode.h"

namespace quorvel {

namespace {

template <typename Char>
Char AsciiUpper(Char c) {
  return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

template <typename Char>
bool StartsWithNoCaseIn(std::basic_string_view<Char> text, std::basic_string_view<Char> prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
  }
  return true;
}

template <typename Char>
PathPrefix PrefixIn(std::basic_string_view<Char> path) {
  if (path.size() < kPathPrefixLength || !IsSeparator(path[0]) || !IsSeparator(path[1]) ||
      (path[2] != '?' && path[2] != '.') || !IsSeparator(path[3])) {
    return PathPrefix::kNone;
  }
  const bool as_it_stands = path[0] == '\\' && path[1] == '\\' && path[2] == '?' && path[3] == '\\';
  return as_it_stands ? PathPrefix::kLongPath : PathPrefix::kDevice;
}

}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return StartsWithNoCaseIn(text, prefix);
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return StartsWithNoCaseIn(text, prefix);
}

PathPrefix PrefixOf(std::string_view path) {
  return PrefixIn(path);
}

PathPrefix PrefixOf(std::wstring_view path) {
  return PrefixIn(path);
}

std::wstring PlainModulePath(std::wstring_view path) {
  if (PrefixOf(path) == PathPrefix::kLongPath) {
    const std::wstring_view rest = path.substr(kPathPrefixLength);
    if (StartsWithNoCase(rest, L"UNC\\")) return L"\\\\" + std::wstring(rest.substr(4));
    if (rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\') return std::wstring(rest);
  } else if (StartsWithNoCase(path, L"UNC\\")) {
    return L"\\\\" + std::wstring(path.substr(4));
  }
  return std::wstring(path);
}

std::wstring FolderOfPath(std::wstring_view path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  if (end == 0) return std::wstring(path);
  const std::wstring_view folder = path.substr(0, end);  // ends in its separator
  // Keep the separator only at a drive root: "E:\" or "\\?\E:\".
  const std::wstring_view drive =
      PrefixOf(folder) == PathPrefix::kLongPath ? folder.substr(kPathPrefixLength) : folder;
  const bool drive_root = drive.size() == 3 && drive[1] == L':';
  return std::wstring(drive_root ? folder : folder.substr(0, end - 1));
}

std::wstring ExtendedLengthPath(std::wstring_view path) {
  constexpr std::size_t kPlainLimit = kMaxPath - 12;  // room for a file name on CreateFile
  if (Utf16Length(path) < kPlainLimit || PrefixOf(path) == PathPrefix::kLongPath) {
    return std::wstring(path);
  }
  if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) {
    return L"\\\\?\\" + std::wstring(path);
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
  }
  return std::wstring(path);
}

std::optional<std::wstring> ReadGrowingText(
    const std::function<BufferFill(wchar_t* buffer, std::size_t size)>& fill) {
  // 32,767 characters is the longest path Windows has; the loop stops well
  // past it in case a caller's text is longer.
  constexpr std::size_t kLargest = std::size_t{1} << 20;
  for (std::size_t size = kMaxPath; size <= kLargest; size *= 2) {
    std::vector<wchar_t> buffer(size);
    const BufferFill filled = fill(buffer.data(), size);
    if (filled.written == 0) return std::nullopt;
    if (filled.written < size && !filled.did_not_fit) {
      return std::wstring(buffer.data(), filled.written);
    }
  }
  return std::nullopt;
}

}  // namespace quorvel
