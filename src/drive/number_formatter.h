// Whole numbers written the way the user's regional settings ask for.
#pragma once

#include <cstdint>
#include <string>

#include "platform/number_format_settings.h"

namespace quorvel {

// `value` with no decimals, grouped and signed as `format` says.
std::string FormatWholeNumber(std::int64_t value, const NumberFormat& format);

// Bytes in kilobytes: bytes / 1024 rounded to a whole number, exact halves
// away from zero.
std::int64_t KilobytesRounded(std::uint64_t bytes);

}  // namespace quorvel
