// The main window at a given DPI: the control table's twips as pixels, each
// caption widened where its text needs more room than its box, and which
// rendition of a picture, cursor or icon to draw at what size. At the design
// DPI every place is the table's, exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/control_table.h"

namespace quorvel {

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
};

struct PixelSize {
  int width;
  int height;
};

// The form's client area at `dpi`.
PixelSize ClientSizeAt(int dpi);

// `control`'s place in its container at `dpi`. A caption whose text is
// `text_width` pixels wide, wider than its box, grows by the same number of
// pixels on each side, so that its centre stays where the table puts it.
// At the design DPI the boxes keep their exact size.
PixelRect ControlRectAt(const ControlSpec& control, int dpi, int text_width = 0);

// The button pictures come drawn at 48 pixels, shown at their natural size at
// the design DPI, and at twice that, scaled to fill the box at any other.
enum class PictureArt : std::uint8_t { kNatural, kDouble };

inline constexpr int kNaturalPictureSize = 48;

struct PictureDrawing {
  PictureArt art;
  int size;  // the side of the square drawn, in pixels
};

PictureDrawing PictureDrawingAt(int dpi);

// Of renditions `sizes` pixels wide (ascending), the one to show at `wanted`:
// the smallest that is not smaller, which is scaled down, or else the largest.
std::size_t RenditionFor(std::span<const int> sizes, int wanted);

}  // namespace quorvel
