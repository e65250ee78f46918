// The window at a display scale above 100 %, as a user sees it on screen:
// the table's client area scaled, and each picture filling its box, drawn
// from the 96-pixel art rather than blown up from the 48-pixel one. ctest
// runs it with the prefix at 120, 144 and 192 DPI; at 96 DPI the window test
// checks every pixel instead.
#include <cstdlib>

#include "win/screen_pictures.h"

namespace quorvel::testing {
namespace {

using ScaledWindowTest = PenDriveTest;

// `square` on the button face at `size`, each pixel the mean of the source
// pixels whose centres fall within it, or the nearest where none does: plain
// area sampling.
Square Resampled(const Square& square, int size) {
  Square out{size, std::vector<COLORREF>(size * size)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int sums[3] = {}, count = 0;
      for (int sy = y * square.size / size; sy * size < (y + 1) * square.size; ++sy) {
        for (int sx = x * square.size / size; sx * size < (x + 1) * square.size; ++sx) {
          COLORREF pixel = square.at(sx, sy);
          if (pixel == kMagenta) pixel = GetSysColor(COLOR_BTNFACE);
          sums[0] += GetRValue(pixel), sums[1] += GetGValue(pixel), sums[2] += GetBValue(pixel);
          ++count;
        }
      }
      out.pixels[y * size + x] = RGB(sums[0] / count, sums[1] / count, sums[2] / count);
    }
  }
  return out;
}

// The mean difference per channel between two squares of one size.
double MeanDifference(const Square& a, const Square& b) {
  double total = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    total += std::abs(GetRValue(a.pixels[i]) - GetRValue(b.pixels[i])) +
             std::abs(GetGValue(a.pixels[i]) - GetGValue(b.pixels[i])) +
             std::abs(GetBValue(a.pixels[i]) - GetBValue(b.pixels[i]));
  }
  return total / (3.0 * a.pixels.size());
}

TEST_F(ScaledWindowTest, KeepsTheTablesClientAreaAndFillsEachPictureBoxFromTheDoubleArt) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  if (dpi == 96) GTEST_SKIP() << "for the scales above 100 %";
  const auto pixels = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const ProgramUnderTest program;
  RECT client;
  GetClientRect(program.window(), &client);
  EXPECT_NEAR(client.right, 385 * dpi / 96.0, 1);
  EXPECT_NEAR(client.bottom, 240 * dpi / 96.0, 1);

  const int size = pixels(720);
  for (int n = 1; n <= 4; ++n) {  // imageN on ImageN
    SCOPED_TRACE(n);
    RECT place;
    GetWindowRect(program.Control(kImage1 + n - 1), &place);
    ASSERT_EQ(place.right - place.left, size);
    ASSERT_EQ(place.bottom - place.top, size);
    const Square shown = Grab(screen, place.left, place.top, size);
    const std::string name = "image" + std::to_string(n);
    const Square from_double = Resampled(DecodedArt(name + "@2x.gif", 96), size);
    const Square from_natural = Resampled(DecodedArt(name + ".gif", 48), size);
    ASSERT_EQ(from_double.size, size);
    // The whole box, close to the double art's drawing at that size, and
    // clearly closer to it than the 48-pixel picture enlarged could come.
    const double off_double = MeanDifference(shown, from_double);
    const double off_natural = MeanDifference(shown, from_natural);
    EXPECT_LT(off_double, 6.0);
    EXPECT_LT(off_double * 1.5, off_natural) << off_double << " against " << off_natural;
  }
  CoUninitialize();
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace quorvel::testing
