#include "message/owner_message.h"

#include "text/paths.h"
#include "text/unicode.h"

namespace quorvel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// UTF-8 to UTF-8, with each invalid byte shown as U+FFFD.
std::string CleanUtf8(std::string_view bytes, bool truncated) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const Utf8Step step = NextUtf8(bytes);
    if (step.kind == Utf8Step::Kind::kCharacter) {
      out.append(bytes.data(), step.length);
    } else if (!(step.kind == Utf8Step::Kind::kIncomplete && truncated)) {
      AppendUtf8(out, kReplacementCharacter);
    }
    bytes.remove_prefix(step.length);
  }
  return out;
}

// Drops NULs and writes every line break as CR LF, which is the only break
// that a multi-line edit box shows.
std::string NormaliseForDisplay(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  bool after_cr = false;
  for (const char c : text) {
    if (c == '\0') continue;
    if (c == '\n') {
      if (!after_cr) out += "\r\n";
      after_cr = false;
      continue;
    }
    after_cr = c == '\r';
    if (after_cr) {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string MessagePath(std::string_view folder) {
  std::string path(folder);
  if (!path.empty() && !IsSeparator(path.back())) path += '\\';
  return path + kMessageFileName;
}

TextEncoding DetectEncoding(std::string_view bytes, bool truncated) {
  if (bytes.starts_with(kUtf8Mark)) return TextEncoding::kUtf8WithMark;
  if (bytes.starts_with(kUtf16LeMark)) return TextEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return TextEncoding::kUtf16Be;

  bool non_ascii = false;
  while (!bytes.empty()) {
    const Utf8Step step = NextUtf8(bytes);
    if (step.kind == Utf8Step::Kind::kInvalid) return TextEncoding::kAnsi;
    if (step.kind == Utf8Step::Kind::kIncomplete) {
      if (!truncated) return TextEncoding::kAnsi;
      break;
    }
    non_ascii = non_ascii || step.length > 1;
    bytes.remove_prefix(step.length);
  }
  return non_ascii ? TextEncoding::kUtf8 : TextEncoding::kAnsi;
}

std::string DecodeMessage(std::string_view bytes, bool truncated, const AnsiDecoder& decode_ansi) {
  std::string text;
  switch (DetectEncoding(bytes, truncated)) {
    case TextEncoding::kUtf8WithMark:
      text = CleanUtf8(bytes.substr(kUtf8Mark.size()), truncated);
      break;
    case TextEncoding::kUtf8:
      text = CleanUtf8(bytes, truncated);
      break;
    case TextEncoding::kUtf16Le:
      text = Utf16BytesToUtf8(bytes.substr(kUtf16LeMark.size()), false, truncated);
      break;
    case TextEncoding::kUtf16Be:
      text = Utf16BytesToUtf8(bytes.substr(kUtf16BeMark.size()), true, truncated);
      break;
    case TextEncoding::kAnsi:
      text = decode_ansi(bytes, truncated);
      break;
  }
  return NormaliseForDisplay(text);
}

std::string LoadOwnerMessage(const Services& services) {
  // Every step gives up quietly: a missing or unreadable message leaves the
  // box empty and the program running.
  const auto folder = services.ProgramFolder();
  if (!folder || folder->empty()) return {};

  const auto file = services.ReadWholeFile(MessagePath(*folder), kMessageReadLimit);
  if (!file) return {};
  return DecodeMessage(file->bytes, file->truncated, [&](std::string_view bytes, bool cut) {
    return services.DecodeAnsi(bytes, cut);
  });
}

}  // namespace quorvel
