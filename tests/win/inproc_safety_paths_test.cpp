// The program's folder when its path is longer than the old 260-character
// limit, as on a deeply nested pen drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/win32/win32_services.h"

namespace quorvel {
namespace {

std::wstring LongFolder(std::size_t length) {
  std::wstring folder = L"E:\\";
  while (folder.size() < length) folder += L"pasta\u00F1\u65E5\\";
  folder.resize(length);
  folder.back() = L'x';
  return folder;
}

// Reads `path` as GetModuleFileNameW gives it: cut short and terminated in a
// buffer too small, with its size returned and ERROR_INSUFFICIENT_BUFFER.
std::optional<std::wstring> ReadThroughBuffers(const std::wstring& path, int* calls) {
  return ReadGrowingText([&](wchar_t* buffer, DWORD size) {
    ++*calls;
    buffer[path.copy(buffer, std::min<std::size_t>(path.size(), size - 1))] = L'\0';
    if (path.size() >= size) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return std::min<DWORD>(path.size(), size);
  });
}

TEST(LongPath, ReadGrowingTextReadsPathsAroundAndFarBeyondTheBufferWhole) {
  // 259 characters fit in 260 with the terminator; 260 do not.
  // Buffers of 260, 520, then 1040 characters.
  for (const auto& [length, buffers] : {std::pair{259u, 1}, {260u, 2}, {261u, 2}, {1000u, 3}}) {
    const std::wstring path = LongFolder(length - 12) + L"\\Quorvel.exe";
    int calls = 0;
    EXPECT_EQ(ReadThroughBuffers(path, &calls), path) << length;
    EXPECT_EQ(calls, buffers) << length;
  }
  EXPECT_EQ(FolderOfPath(LongFolder(988) + L"\\Quorvel.exe"), LongFolder(988));
}

TEST(LongPath, FailuresAndEndlessTextsGiveNothingAndDoNotHang) {
  for (const DWORD error : {ERROR_ACCESS_DENIED, ERROR_INSUFFICIENT_BUFFER}) {
    int calls = 0;
    const auto reader = [&](wchar_t*, DWORD size) {
      ++calls;
      SetLastError(error);
      return error == ERROR_ACCESS_DENIED ? 0 : size;
    };
    EXPECT_EQ(ReadGrowingText(reader), std::nullopt) << error;
    EXPECT_LT(calls, 20);
  }
}

TEST(LongPath, FoldersAndLongFormsOfPaths) {
  EXPECT_EQ(FolderOfPath(L"E:\\Quorvel.exe"), L"E:\\");
  EXPECT_EQ(FolderOfPath(L"\\\\?\\E:\\Quorvel.exe"), L"\\\\?\\E:\\");
  EXPECT_EQ(FolderOfPath(L"\\\\servidor\\pen\\Quorvel.exe"), L"\\\\servidor\\pen");
  const std::wstring long_path = LongFolder(1000) + L"\\mensagem.txt";
  EXPECT_EQ(ExtendedLengthPath(L"E:\\Pen\\mensagem.txt"), L"E:\\Pen\\mensagem.txt");
  EXPECT_EQ(ExtendedLengthPath(long_path), L"\\\\?\\" + long_path);
  EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\" + long_path), L"\\\\?\\" + long_path);
  const std::wstring share_path = L"\\\\servidor\\pen\\" + std::wstring(400, L'a');
  EXPECT_EQ(ExtendedLengthPath(share_path), L"\\\\?\\UNC" + share_path.substr(1));
}

}  // namespace
}  // namespace quorvel
