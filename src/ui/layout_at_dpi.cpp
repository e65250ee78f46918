#include "ui/layout_at_dpi.h"

namespace quorvel {

PixelSize ClientSizeAt(int dpi) {
  const FormSpec& form = MainForm();
  return {TwipsToPixels(form.client_width, dpi), TwipsToPixels(form.client_height, dpi)};
}

PixelRect ControlRectAt(const ControlSpec& control, int dpi, int text_width) {
  PixelRect rect = {TwipsToPixels(control.place.left, dpi), TwipsToPixels(control.place.top, dpi),
                    TwipsToPixels(control.place.width, dpi),
                    TwipsToPixels(control.place.height, dpi)};
  if (control.kind == ControlKind::kLabel && dpi != kDesignDpi && text_width > rect.width) {
    const int each_side = (text_width - rect.width + 1) / 2;
    rect.left -= each_side;
    rect.width += 2 * each_side;
  }
  return rect;
}

PictureDrawing PictureDrawingAt(int dpi) {
  const ControlSpec* picture = FindControl(kImage1);
  const int size = TwipsToPixels(picture->place.width, dpi);
  return {size == kNaturalPictureSize ? PictureArt::kNatural : PictureArt::kDouble, size};
}

std::size_t RenditionFor(std::span<const int> sizes, int wanted) {
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i] >= wanted) return i;
  }
  return sizes.empty() ? 0 : sizes.size() - 1;
}

}  // namespace quorvel
