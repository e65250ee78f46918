// The program's own path as the system gives it and the paths of its files as
// the system takes them, up to the lengths of a deeply nested pen drive.
#include "text/paths.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorvel {

// "E:\pastañ日\pastañ日\...x", `length` UTF-16 units long.
static std::wstring LongFolder(std::size_t length) {
  std::wstring folder = L"E:\\";
  while (folder.size() < length) folder += L"pasta\u00F1\u65E5\\";
  folder.resize(length);
  folder.back() = L'x';
  return folder;
}

TEST(Paths, PlainFolderAndExtendedLengthForms) {
  std::wstring astral = L"E:\\";  // 249 UTF-16 units in 126 characters
  for (int i = 0; i < 123; ++i) astral += L"\U0001F600";
  const auto plain = &PlainModulePath, folder = &FolderOfPath, extended = &ExtendedLengthPath;
  const std::tuple<decltype(plain), std::wstring, std::wstring> kCases[] = {
      {plain, L"\\\\?\\E:\\Quorvel.exe", L"E:\\Quorvel.exe"},
      {plain, L"\\\\?\\unc\\servidor\\pen\\Quorvel.exe", L"\\\\servidor\\pen\\Quorvel.exe"},
      {plain, L"UNC\\servidor\\pen\\Quorvel.exe", L"\\\\servidor\\pen\\Quorvel.exe"},  // Wine's
      {plain, L"\\\\?\\Volume{1}\\Quorvel.exe", L"\\\\?\\Volume{1}\\Quorvel.exe"},
      {plain, L"\\\\.\\E:\\Quorvel.exe", L"\\\\.\\E:\\Quorvel.exe"},
      {folder, L"E:\\Quorvel.exe", L"E:\\"},
      {folder, L"\\\\?\\E:\\Quorvel.exe", L"\\\\?\\E:\\"},
      {folder, L"\\\\.\\E:\\Quorvel.exe", L"\\\\.\\E:"},
      {folder, LongFolder(988) + L"\\Quorvel.exe", LongFolder(988)},
      // From 12 units short of 260, which leave room for a file name.
      {extended, LongFolder(247), LongFolder(247)},
      {extended, LongFolder(248), L"\\\\?\\" + LongFolder(248)},
      {extended, L"\\\\?\\" + LongFolder(988), L"\\\\?\\" + LongFolder(988)},
      {extended, L"\\\\servidor\\pen" + LongFolder(300).substr(2),
       L"\\\\?\\UNC\\servidor\\pen" + LongFolder(300).substr(2)},
      {extended, astral, L"\\\\?\\" + astral}};
  for (const auto& [function, path, expected] : kCases) EXPECT_EQ(function(path), expected);
}

TEST(Paths, ReadGrowingTextDoublesTheBufferUntilTheTextFits) {
  // The text's length; whether the reader keeps a place for the terminator and
  // says when the text did not fit (as GetModuleFileNameW does since Vista) or
  // only fills the buffer (as on XP); the buffers it takes. An empty text is a
  // failure, and two million characters are more than any path holds.
  const std::tuple<std::size_t, bool, int> kCases[] = {{0, true, 1},    {259, true, 1},
                                                       {260, true, 2},  {260, false, 2},
                                                       {1000, true, 3}, {2000000, true, 12}};
  for (const auto& [length, tells, buffers] : kCases) {
    const std::wstring text(length, L'a');
    int calls = 0;
    const auto read = ReadGrowingText([&](wchar_t* buffer, std::size_t size) {
      ++calls;
      const std::size_t room = tells ? size - 1 : size;
      return BufferFill{text.copy(buffer, room), tells && text.size() > room};
    });
    EXPECT_EQ(read, length > 0 && length < 2000000 ? std::optional(text) : std::nullopt);
    EXPECT_EQ(calls, buffers) << length;
  }
}

}  // namespace quorvel
