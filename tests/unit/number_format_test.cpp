#include "drive/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace quorvel {
namespace {

std::string Format(std::int64_t value, std::string thousands, std::string grouping,
                   int negative_order = 1) {
  return FormatWholeNumber(value,
                           {".", std::move(thousands), std::move(grouping), 1, negative_order});
}

TEST(KilobytesRounded, NearestWholeKilobyteExactForAnySize) {
  EXPECT_EQ(KilobytesRounded(1000), 1);
  EXPECT_EQ(KilobytesRounded(1536), 2);  // an exact half goes up
  // Past what a double holds exactly.
  EXPECT_EQ(KilobytesRounded((std::uint64_t{1} << 60) + 511), std::int64_t{1} << 50);
  EXPECT_EQ(KilobytesRounded(std::numeric_limits<std::uint64_t>::max()), std::int64_t{1} << 54);
}

TEST(FormatWholeNumber, GroupsAsTheLocaleSays) {
  EXPECT_EQ(Format(1024, ",", "3;0"), "1,024");  // en-US
  EXPECT_EQ(Format(1024, ",", "0"), "1024");
  EXPECT_EQ(Format(1234567, ".", "3;0"), "1.234.567");  // de-DE
  const std::string nbsp = "\xC2\xA0";                  // pt-PT
  EXPECT_EQ(Format(1234567, nbsp, "3;0"), "1" + nbsp + "234" + nbsp + "567");
  EXPECT_EQ(Format(123456789, ",", "3;2;0"), "12,34,56,789");  // hi-IN
  EXPECT_EQ(Format(1234567, ",", "3"), "1234,567");
  EXPECT_EQ(Format(123456789, ",", "3;2"), "1234,56,789");
  // Junk from the system stops the grouping where it stands.
  EXPECT_EQ(Format(1234567, ",", ""), "1234567");
  EXPECT_EQ(Format(1234567, ",", "3;x;0"), "1234,567");
}

TEST(FormatWholeNumber, NegativeForms) {
  EXPECT_EQ(Format(-1234, ",", "3;0", 0), "(1,234)");
  EXPECT_EQ(Format(-1234, ",", "3;0", 1), "-1,234");
  EXPECT_EQ(Format(-1234, ".", "3;0", 2), "- 1.234");
  EXPECT_EQ(Format(-1234, " ", "3;0", 3), "1 234-");
  EXPECT_EQ(Format(-1234, ",", "3;0", 4), "1,234 -");
  EXPECT_EQ(Format(-5, ",", "3;0", 9), "-5");
  EXPECT_EQ(Format(std::numeric_limits<std::int64_t>::min(), ",", "3;0", 0),
            "(9,223,372,036,854,775,808)");
}

}  // namespace
}  // namespace quorvel
