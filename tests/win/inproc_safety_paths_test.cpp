// The program's folder when its path is longer than the old 260-character
// limit, as on a deeply nested pen drive.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/module_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_services.h"

namespace quorvel {
namespace {

// Behaves like GetModuleFileNameW on Windows 7 and later: when the buffer is
// too small it fills it with a truncated, terminated text, returns its size
// and sets ERROR_INSUFFICIENT_BUFFER.
struct FakeModuleFileName {
  std::wstring path;
  int calls = 0;

  DWORD operator()(wchar_t* buffer, DWORD size) {
    ++calls;
    if (path.size() < size) {
      path.copy(buffer, path.size());
      buffer[path.size()] = L'\0';
      return static_cast<DWORD>(path.size());
    }
    path.copy(buffer, size - 1);
    buffer[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
};

std::wstring LongFolder(std::size_t length) {
  std::wstring folder = L"E:\\";
  while (folder.size() < length) folder += L"pasta\u00F1\u65E5\\";
  folder.resize(length);
  if (folder.back() == L'\\') folder.back() = L'x';
  return folder;
}

TEST(LongPath, ReadGrowingTextReadsAThousandCharacterPathWhole) {
  const std::wstring folder = LongFolder(1000 - 12);
  FakeModuleFileName reader{folder + L"\\Quorvel.exe"};
  const std::wstring read =
      ReadGrowingText([&](wchar_t* buffer, DWORD size) { return reader(buffer, size); }, "test");
  EXPECT_EQ(read, reader.path);
  EXPECT_EQ(reader.calls, 3) << "260, 520, then 1040 characters";
  EXPECT_EQ(FolderOfPath(read), folder);
}

TEST(LongPath, PathsOfExactlyTheBufferSizeAreNotCutShort) {
  // 259 characters fit in 260 with the terminator; 260 do not.
  for (const std::size_t length : {259u, 260u, 261u, 520u}) {
    FakeModuleFileName reader{LongFolder(length - 12) + L"\\Quorvel.exe"};
    const std::wstring read =
        ReadGrowingText([&](wchar_t* buffer, DWORD size) { return reader(buffer, size); }, "test");
    EXPECT_EQ(read, reader.path) << length;
  }
}

TEST(LongPath, FailuresAndEndlessTextsAreErrorsNotHangs) {
  EXPECT_THROW(ReadGrowingText(
                   [](wchar_t*, DWORD) -> DWORD {
                     SetLastError(ERROR_ACCESS_DENIED);
                     return 0;
                   },
                   "test"),
               Win32Error);
  int calls = 0;
  EXPECT_THROW(ReadGrowingText(
                   [&](wchar_t*, DWORD size) {
                     ++calls;
                     SetLastError(ERROR_INSUFFICIENT_BUFFER);
                     return size;
                   },
                   "test"),
               Win32Error);
  EXPECT_LT(calls, 20);
}

TEST(LongPath, FolderOfPathKeepsTheSeparatorOnlyAtARoot) {
  EXPECT_EQ(FolderOfPath(L"E:\\Quorvel.exe"), L"E:\\");
  EXPECT_EQ(FolderOfPath(L"\\\\?\\E:\\Quorvel.exe"), L"\\\\?\\E:\\");
  EXPECT_EQ(FolderOfPath(L"E:\\Pen da Maria \u00F1 \u65E5\u672C \u2713\\Quorvel.exe"),
            L"E:\\Pen da Maria \u00F1 \u65E5\u672C \u2713");
  EXPECT_EQ(FolderOfPath(L"\\\\servidor\\pen\\Quorvel.exe"), L"\\\\servidor\\pen");
  EXPECT_EQ(FolderOfPath(L"\\\\?\\UNC\\servidor\\pen\\a\\Quorvel.exe"),
            L"\\\\?\\UNC\\servidor\\pen\\a");
}

TEST(LongPath, ModulePathsLoseTheirExtendedPrefix) {
  EXPECT_EQ(PlainModulePath(L"\\\\?\\E:\\Pen\\Quorvel.exe"), L"E:\\Pen\\Quorvel.exe");
  EXPECT_EQ(PlainModulePath(L"\\\\?\\unc\\servidor\\pen\\Quorvel.exe"),
            L"\\\\servidor\\pen\\Quorvel.exe");
  EXPECT_EQ(PlainModulePath(L"UNC\\servidor\\pen\\Quorvel.exe"), L"\\\\servidor\\pen\\Quorvel.exe");
  for (const wchar_t* plain : {L"E:\\Quorvel.exe", L"\\\\servidor\\pen\\Quorvel.exe",
                               L"E:\\UNC\\Quorvel.exe", L"\\\\?\\Volume{1}\\Quorvel.exe"}) {
    EXPECT_EQ(PlainModulePath(plain), plain);
  }
}

TEST(LongPath, ExtendedLengthPathPrefixesOnlyLongAbsolutePaths) {
  const std::wstring short_path = L"E:\\Pen\\mensagem.txt";
  EXPECT_EQ(ExtendedLengthPath(short_path), short_path);
  const std::wstring long_path = LongFolder(1000) + L"\\mensagem.txt";
  EXPECT_EQ(ExtendedLengthPath(long_path), L"\\\\?\\" + long_path);
  EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\" + long_path), L"\\\\?\\" + long_path);
  const std::wstring share = L"\\\\servidor\\pen\\" + std::wstring(400, L'a');
  EXPECT_EQ(ExtendedLengthPath(share), L"\\\\?\\UNC\\servidor\\pen\\" + std::wstring(400, L'a'));
}

}  // namespace
}  // namespace quorvel
