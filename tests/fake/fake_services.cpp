#include "fake/fake_services.h"

#include "text/unicode.h"

namespace quorvel {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes map to themselves,
// as MultiByteToWideChar does. The rest of the code page is Latin-1.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::optional<FileBytes> FakeServices::ReadWholeFile(const std::string& path,
                                                     std::size_t max_bytes) const {
  const auto found = files.find(path);
  if (found == files.end()) return std::nullopt;
  FileBytes result;
  result.truncated = found->second.size() > max_bytes;
  result.bytes = found->second.substr(0, max_bytes);
  return result;
}

std::string FakeServices::DecodeAnsi(std::string_view bytes, bool /*truncated*/) const {
  std::string text;
  for (const unsigned char byte : bytes) {
    const char32_t code = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
    AppendUtf8(text, code);
  }
  return text;
}

}  // namespace quorvel
