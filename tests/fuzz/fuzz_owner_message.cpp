// Any bytes as the owner's message file, cut by the read limit or not: the
// message box's text must be clean; if not, a trap, and libFuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fake/fake_services.h"
#include "message/owner_message.h"

namespace {

// Strict UTF-8 (shortest forms, no surrogates, nothing past U+10FFFF) without
// NULs, with CR and LF only in pairs; checked apart from the program's decoder.
bool IsCleanText(std::string_view text) {
  static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0, n; i < text.size(); i += n) {
    const auto lead = static_cast<unsigned char>(text[i]);
    n = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (n == 0 || text.size() - i < n || lead == 0) return false;
    if (lead == '\r' && text.substr(i, 2) != "\r\n") return false;
    if (lead == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    char32_t code = n == 1 ? lead : lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    if (code < kSmallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const quorvel::FakeServices services;  // the ANSI code page as Latin-1
  const auto ansi = [&](std::string_view bytes, bool cut) {
    return services.DecodeAnsi(bytes, cut);
  };
  for (const bool cut : {false, true}) {
    const std::string text = quorvel::DecodeMessage(
        std::string_view(reinterpret_cast<const char*>(data), size), cut, ansi);
    if (!IsCleanText(text)) __builtin_trap();
  }
  return 0;
}
