// Any bytes as the owner's message file, cut short by the read limit or not:
// the text for the message box must be clean UTF-8 with CR LF line breaks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "message/owner_message.h"

namespace {

// The ANSI code page as Latin-1: every byte is the character of that number.
std::string DecodeLatin1(std::string_view bytes, bool /*truncated*/) {
  std::string text;
  for (const unsigned char byte : bytes) {
    if (byte < 0x80) {
      text += static_cast<char>(byte);
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

// Strict UTF-8, checked here on its own rather than with the program's decoder:
// shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

void Check(std::string_view bytes, bool truncated) {
  const quorvel::TextEncoding encoding = quorvel::DetectEncoding(bytes, truncated);
  FUZZ_REQUIRE(
      encoding == quorvel::TextEncoding::kUtf8WithMark ||
      encoding == quorvel::TextEncoding::kUtf16Le || encoding == quorvel::TextEncoding::kUtf16Be ||
      encoding == quorvel::TextEncoding::kUtf8 || encoding == quorvel::TextEncoding::kAnsi);

  const std::string text = quorvel::DecodeMessage(bytes, truncated, DecodeLatin1);
  FUZZ_REQUIRE(IsValidUtf8(text));
  FUZZ_REQUIRE(text.find('\0') == std::string::npos);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') FUZZ_REQUIRE(i + 1 < text.size() && text[i + 1] == '\n');
    if (text[i] == '\n') FUZZ_REQUIRE(i > 0 && text[i - 1] == '\r');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes, false);
  Check(bytes, true);
  return 0;
}
