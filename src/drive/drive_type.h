// The Portuguese names of the drive types, looked up by the type code written
// in decimal.
#pragma once

#include <string>

namespace quorvel {

// The name for `code_text`: "0" to "6" name their types; any other text, even
// one that reads as the same number ("02", " 2"), is "Não Determinado!".
const std::string& DriveTypeName(const std::string& code_text);

}  // namespace quorvel
