// The contact sheet: every picture at 1x and enlarged, on a light and on a dark background.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

namespace quorvel::art {

struct SheetEntry {
  std::string label;
  Picture picture;
};

void WriteContactSheet(const std::string& path, const std::vector<SheetEntry>& entries);

}  // namespace quorvel::art
