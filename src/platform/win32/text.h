// UTF-8 inside the program, UTF-16 at every call into Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// Narrow for the fatal-error path itself: nothing, rather than the fatal
// error, when the text cannot be converted.
std::optional<std::string> TryNarrow(std::wstring_view utf16);

}  // namespace quorvel
