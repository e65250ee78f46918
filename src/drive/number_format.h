// Whole numbers written the way the user's regional settings ask for. The
// parameters are the locale's own (as GetLocaleInfoEx gives them), so that the
// formatting itself is portable and testable with any locale.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

struct NumberFormat {
  std::string decimal_separator = ".";   // LOCALE_SDECIMAL, UTF-8
  std::string thousand_separator = ",";  // LOCALE_STHOUSAND, UTF-8
  std::string grouping = "3;0";          // LOCALE_SGROUPING, as the locale writes it
  int leading_zero = 1;                  // LOCALE_ILZERO
  int negative_order = 1;                // LOCALE_INEGNUMBER, 0 to 4
};

// `value` with no decimals, grouped and signed as `format` says.
std::string FormatWholeNumber(std::int64_t value, const NumberFormat& format);

// Bytes in kilobytes: bytes / 1024 rounded to a whole number, exact halves
// away from zero.
std::int64_t KilobytesRounded(std::uint64_t bytes);

}  // namespace quorvel
