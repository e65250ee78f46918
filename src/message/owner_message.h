// The owner's message: the text file that the drive's owner left beside the
// program, read once at start and shown in the message box.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/services.h"

namespace quorvel {

inline constexpr char kMessageFileName[] = "mensagem.txt";

// Only this much of the file is read: a message is a note, and a huge or
// endless file must not stall the start.
inline constexpr std::size_t kMessageReadLimit = 1048576;

// The message file in `folder`, with exactly one separator between them.
std::string MessagePath(std::string_view folder);

enum class TextEncoding { kUtf8WithMark, kUtf16Le, kUtf16Be, kUtf8, kAnsi };

// A byte-order mark decides; without one, valid UTF-8 with at least one
// non-ASCII byte is UTF-8, and anything else is the ANSI code page. When
// `truncated`, a character cut short at the end does not count against UTF-8.
TextEncoding DetectEncoding(std::string_view bytes, bool truncated);

// Turns text in the system's ANSI code page into UTF-8.
using AnsiDecoder = std::function<std::string(std::string_view bytes, bool truncated)>;

// The file's bytes as UTF-8 for the message box: NULs dropped, every line
// break (CR LF, LF or CR) written as CR LF, a character cut short by the read
// limit dropped, and invalid sequences in marked text shown as U+FFFD.
std::string DecodeMessage(std::string_view bytes, bool truncated, const AnsiDecoder& decode_ansi);

// The owner's message from the program's folder, or "" when there is none or
// it cannot be read.
std::string LoadOwnerMessage(const Services& services);

}  // namespace quorvel
