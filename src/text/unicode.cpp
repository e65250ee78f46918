#include "text/unicode.h"

namespace quorvel {

namespace {

bool IsSurrogate(char32_t code) {
  return code >= 0xD800 && code <= 0xDFFF;
}

// The characters past U+FFFF, which take two UTF-16 units each; none where a
// character type of 16 bits holds UTF-16 units already. A template, so that
// only the branch that applies is compiled.
template <typename Char>
std::size_t SupplementaryCharacters(std::basic_string_view<Char> text) {
  std::size_t count = 0;
  if constexpr (sizeof(Char) > 2) {
    for (const Char c : text) count += static_cast<char32_t>(c) > 0xFFFF ? 1 : 0;
  }
  return count;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t code) {
  if (IsSurrogate(code) || code > 0x10FFFF) code = kReplacementCharacter;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

Utf8Step NextUtf8(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return {Utf8Step::Kind::kCharacter, lead, 1};

  std::size_t length = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return {Utf8Step::Kind::kInvalid, 0, 1};
  }

  for (std::size_t i = 1; i < length; ++i) {
    if (i == bytes.size()) return {Utf8Step::Kind::kIncomplete, 0, i};
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) return {Utf8Step::Kind::kInvalid, 0, 1};
    code = (code << 6) | (next & 0x3F);
    // Overlong forms, surrogates and values past U+10FFFF show in the second
    // byte already, so that a tail cut after it is judged fairly too.
    if (i == 1) {
      const bool overlong = (length == 3 && lead == 0xE0 && next < 0xA0) ||
                            (length == 4 && lead == 0xF0 && next < 0x90);
      const bool surrogate = length == 3 && lead == 0xED && next >= 0xA0;
      const bool too_large = length == 4 && lead == 0xF4 && next >= 0x90;
      if (overlong || surrogate || too_large) return {Utf8Step::Kind::kInvalid, 0, 1};
    }
  }
  return {Utf8Step::Kind::kCharacter, code, length};
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool big_endian, bool drop_cut_tail) {
  const std::size_t units = bytes.size() / 2;
  auto unit_at = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    return big_endian ? (first << 8 | second) : (second << 8 | first);
  };

  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = unit_at(i);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == units) {
        if (!drop_cut_tail) AppendUtf8(out, kReplacementCharacter);
        break;
      }
      const char32_t low = unit_at(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, unit);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

unsigned LegacyTextCodePage(unsigned ansi_code_page, std::optional<unsigned> utf8_legacy_code_page,
                            std::optional<unsigned> locale_ansi_code_page) {
  constexpr unsigned kUtf8 = 65001;
  if (ansi_code_page != kUtf8) return ansi_code_page;
  for (const std::optional<unsigned> answer : {utf8_legacy_code_page, locale_ansi_code_page}) {
    if (answer.value_or(0) != 0 && *answer != kUtf8) return *answer;
  }
  return 1252;  // Windows-1252
}

std::size_t Utf16Length(std::wstring_view text) {
  return text.size() + SupplementaryCharacters(text);
}

}  // namespace quorvel
