#include "drive/number_formatter.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace quorvel {

namespace {

// How the digits left of the decimal separator are grouped, from the right.
struct DigitGrouping {
  std::vector<int> sizes;    // the first groups, rightmost first
  bool repeat_last = false;  // whether the last size repeats to the left
};

// Reads the locale's grouping text: sizes from 1 to 9 separated by ';', where a
// final 0 repeats the size before it. "3;0" is 3 repeated, "3" one group of 3
// and then the rest ungrouped, "3;2;0" the Indian 3 then 2s, "0" or "" no
// grouping. The text comes from the system, so anything else ends the list
// where it stands rather than being guessed at.
DigitGrouping ParseGrouping(std::string_view text) {
  DigitGrouping grouping;
  while (true) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view field = text.substr(0, end);
    if (field.size() != 1 || field[0] < '0' || field[0] > '9') break;
    const int size = field[0] - '0';
    if (size == 0) {
      grouping.repeat_last = !grouping.sizes.empty();
      break;
    }
    grouping.sizes.push_back(size);
    if (end == text.size()) break;
    text.remove_prefix(end + 1);
  }
  return grouping;
}

std::string GroupDigits(const std::string& digits, const DigitGrouping& grouping,
                        const std::string& separator) {
  // Cut the digits into groups from the right, then join them left to right.
  std::vector<std::string_view> groups;
  std::string_view rest = digits;
  std::size_t index = 0;
  while (!rest.empty()) {
    std::size_t size = rest.size();
    if (index < grouping.sizes.size()) {
      size = static_cast<std::size_t>(grouping.sizes[index]);
    } else if (grouping.repeat_last) {
      size = static_cast<std::size_t>(grouping.sizes.back());
    }
    size = std::min(size, rest.size());
    groups.push_back(rest.substr(rest.size() - size));
    rest.remove_suffix(size);
    ++index;
  }

  std::string out;
  for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
    if (!out.empty()) out += separator;
    out += *group;
  }
  return out;
}

}  // namespace

std::string FormatWholeNumber(std::int64_t value, const NumberFormat& format) {
  const bool negative = value < 0;
  // Negate in unsigned arithmetic so that INT64_MIN has a magnitude too.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::string number = GroupDigits(std::to_string(magnitude), ParseGrouping(format.grouping),
                                         format.thousand_separator);
  if (!negative) return number;

  switch (format.negative_order) {
    case 0:
      return "(" + number + ")";
    case 2:
      return "- " + number;
    case 3:
      return number + "-";
    case 4:
      return number + " -";
    default:  // 1, and whatever else the system says
      return "-" + number;
  }
}

std::int64_t KilobytesRounded(std::uint64_t bytes) {
  // Integer arithmetic keeps every byte count exact; the largest result,
  // (2^64 - 1) / 1024 + 1, still fits.
  const std::uint64_t whole = bytes / 1024;
  const std::uint64_t rest = bytes % 1024;
  return static_cast<std::int64_t>(rest >= 512 ? whole + 1 : whole);
}

}  // namespace quorvel
