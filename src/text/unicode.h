// Small, strict Unicode helpers for text kept as UTF-8 inside the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends `code` as UTF-8; a surrogate or a value past U+10FFFF appends U+FFFD.
void AppendUtf8(std::string& out, char32_t code);

// Where the next character starts in UTF-8 text and what it is.
struct Utf8Step {
  enum class Kind { kCharacter, kInvalid, kIncomplete } kind;
  char32_t code;       // the character, for kCharacter
  std::size_t length;  // bytes taken: the character, one invalid byte, or the incomplete rest
};

// Decodes the character at the start of `bytes` (which must not be empty).
// Overlong forms, surrogates and values past U+10FFFF are invalid; a sequence
// cut short by the end of `bytes` is incomplete.
Utf8Step NextUtf8(std::string_view bytes);

// UTF-16 code units, in the byte order given, as UTF-8. An odd last byte is
// dropped. A surrogate that has no partner becomes U+FFFD, except a high
// surrogate at the very end when `drop_cut_tail`, which is dropped.
std::string Utf16BytesToUtf8(std::string_view bytes, bool big_endian, bool drop_cut_tail);

// The code page in which text that is neither UTF-8 nor UTF-16 is read: the
// system's ANSI code page, except where that is UTF-8 itself (Windows' option
// "Use Unicode UTF-8 for worldwide language support"). There such text can
// only have been saved in the code page that the user's locale had before:
// the one Windows names for it (`utf8_legacy_code_page`, which older versions
// do not know), else the locale's ANSI code page (which the option may itself
// turn to UTF-8), else Windows-1252. Nothing or 0 is an answer not known.
unsigned LegacyTextCodePage(unsigned ansi_code_page, std::optional<unsigned> utf8_legacy_code_page,
                            std::optional<unsigned> locale_ansi_code_page);

// The length of `text` in UTF-16 units, as Windows counts it: a wchar_t is one
// UTF-16 unit on Windows, and a whole character elsewhere.
std::size_t Utf16Length(std::wstring_view text);

}  // namespace quorvel
