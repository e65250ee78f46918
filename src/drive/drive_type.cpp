#include "drive/drive_type.h"

#include <array>
#include <cstddef>

namespace quorvel {

const std::string& DriveTypeName(const std::string& code_text) {
  // Indexed by the type code; searched in this order.
  static const std::array<std::string, 7> kNames = {
      "Tipo Desconhecido", "Não Existe",   "Drive Removivel", "Drive Fixa",
      "Drive Remota",      "Drive CD-ROM", "Drive RAM",
  };
  static const std::string kUndetermined = "Não Determinado!";

  // Whole-text comparison with the single digit of each code: no trimming and
  // no reading as a number, so "02" or " 2" are not type 2.
  for (std::size_t code = 0; code < kNames.size(); ++code) {
    if (code_text.size() == 1 && code_text[0] == static_cast<char>('0' + code)) {
      return kNames[code];
    }
  }
  return kUndetermined;
}

}  // namespace quorvel
