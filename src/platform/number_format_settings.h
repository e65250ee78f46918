// How the user's regional settings ask for whole numbers to be written, in the
// locale's own terms (as GetLocaleInfoEx gives them), so that the formatting
// itself is portable and testable with any locale.
#pragma once

#include <string>

namespace quorvel {

struct NumberFormat {
  std::string thousand_separator = ",";  // LOCALE_STHOUSAND, UTF-8
  std::string grouping = "3;0";          // LOCALE_SGROUPING, as the locale writes it
  int negative_order = 1;                // LOCALE_INEGNUMBER, 0 to 4
};

}  // namespace quorvel
