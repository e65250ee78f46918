// The drive report: a heading and nine facts about one drive, as the lines that
// the list box shows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "drive/number_format.h"
#include "platform/drive_info.h"

namespace quorvel {

// Gives the name of a drive type from its code written in decimal.
using DriveTypeNamer = std::function<std::string(const std::string& code_text)>;

// The ten report lines for `drive`, reading each fact as its line is built. A
// fact that cannot be read shows as "(indisponível)" after its literal.
std::vector<std::string> BuildDriveReport(const DriveInfo& drive, const NumberFormat& format,
                                          const DriveTypeNamer& name_type);

}  // namespace quorvel
