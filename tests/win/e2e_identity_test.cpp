// The built executable as the system sees it before it runs: header, imports,
// resources, version block and the application icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <imagehlp.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "win/program_under_test.h"

namespace quorvel::testing {
namespace {

// A little-endian value at `offset`, bounds-checked.
template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  if (bytes.size() < sizeof(T) || offset > bytes.size() - sizeof(T)) throw std::out_of_range("");
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The executable loaded as data, so that none of its code runs.
HMODULE Module() {
  static const HMODULE module =
      LoadLibraryExW(BuiltProgramPath().c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) throw std::runtime_error("LoadLibraryExW failed");
  return module;
}

// One resource's bytes; "" when there is none.
std::string Resource(LPCWSTR type, WORD id, WORD language) {
  const HRSRC found = FindResourceExW(Module(), type, MAKEINTRESOURCEW(id), language);
  const void* data = found ? LockResource(LoadResource(Module(), found)) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(Module(), found)) : "";
}

// Every resource as type, name and language; a named one shows as its address.
using Entry = std::array<std::uintptr_t, 3>;
BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR found) {
  reinterpret_cast<std::set<Entry>*>(found)->insert(
      {reinterpret_cast<std::uintptr_t>(type), reinterpret_cast<std::uintptr_t>(name), language});
  return TRUE;
}
BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  return EnumResourceLanguagesW(module, type, name, OnLanguage, found);
}
BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR found) {
  return EnumResourceNamesW(module, type, OnName, found);
}

TEST(IdentityTest, ResourcesAreTheVersionBlockAndTheCommittedIcon) {
  std::set<Entry> found;
  ASSERT_TRUE(EnumResourceTypesW(Module(), OnType, reinterpret_cast<LONG_PTR>(&found)));
  // RT_VERSION in U.S. English (1033); RT_GROUP_ICON, RT_ICON and
  // RT_MANIFEST neutral.
  std::set<Entry> expected = {{16, 1, 1033}, {14, 1, 0}, {24, 1, 0}};
  for (std::uintptr_t id = 30001; id <= 30009; ++id) expected.insert({3, id, 0});
  EXPECT_EQ(found, expected);

  // The icon images are the committed icon's, byte for byte.
  ASSERT_NE(Environment("QUORVEL_ICO"), "");
  const std::string ico = ReadFileBytes(UnixToWindows(Environment("QUORVEL_ICO")));
  const std::string group = Resource(RT_GROUP_ICON, 1, 0);
  ASSERT_EQ(group.size(), 6u + 14u * 9u);
  ASSERT_EQ(At<WORD>(ico, 4), 9u);
  EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));  // reserved, type, count
  for (std::size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const std::size_t file_entry = 6 + 16 * i, group_entry = 6 + 14 * i;
    // The entries agree up to the byte count; the file's offset becomes the id.
    EXPECT_EQ(group.substr(group_entry, 12), ico.substr(file_entry, 12));
    EXPECT_EQ(At<WORD>(group, group_entry + 12), 30001 + i);
    const std::string image =
        ico.substr(At<DWORD>(ico, file_entry + 12), At<DWORD>(ico, file_entry + 8));
    EXPECT_TRUE(Resource(RT_ICON, static_cast<WORD>(30001 + i), 0) == image);
  }
}

TEST(IdentityTest, ManifestAsksOnlyToRunAsTheUser) {
  std::string manifest = Resource(RT_MANIFEST, 1, 0);
  // Its elements, without attributes or text, and the one attribute that counts.
  std::string elements;
  for (std::size_t at = manifest.find('<'); at != std::string::npos;
       at = manifest.find('<', at + 1)) {
    elements += manifest.substr(at, manifest.find_first_of(" />", at + 2) - at) + ">";
  }
  EXPECT_EQ(elements,
            "<?xml><assembly><trustInfo><security><requestedPrivileges><requestedExecutionLevel>"
            "</requestedPrivileges></security></trustInfo></assembly>");
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

const std::pair<std::wstring, std::wstring> kVersionStrings[] = {
    {L"Comments", L"Quorvel - PT"},
    {L"CompanyName", L"The Quorvel developers"},
    {L"FileDescription", L"Quorvel inicia quando a USB Pen \u00E9 inserida"},
    {L"LegalCopyright", L"Copyright \u00A9 2026 The Quorvel developers"},
    {L"LegalTrademarks", L"Quorvel is not a registered trademark"},
    {L"ProductName", L"Quorvel"},
    {L"FileVersion", L"2.00.0002"},
    {L"ProductVersion", L"2.00.0002"},
    {L"InternalName", L"Quorvel"},
    {L"OriginalFilename", L"Quorvel.exe"},
};

// Every node's path in the raw version block, in order.
void WalkVersion(const std::string& block, std::size_t at, std::wstring path,
                 std::vector<std::wstring>* paths) {
  const auto align = [](std::size_t offset) { return (offset + 3) & ~std::size_t{3}; };
  const std::size_t end = at + At<WORD>(block, at);
  if (end < at + 6 || end > block.size()) throw std::out_of_range("version node overruns");
  // A text value's length counts UTF-16 units, a binary one's bytes.
  const std::size_t value_bytes = At<WORD>(block, at + 2) * (At<WORD>(block, at + 4) == 1 ? 2 : 1);
  for (path += L'\\', at += 6; At<WORD>(block, at) != 0; at += 2) path += At<wchar_t>(block, at);
  paths->push_back(path);
  for (at = align(align(at + 2) + value_bytes); at < end; at = align(at + At<WORD>(block, at))) {
    WalkVersion(block, at, path, paths);
  }
}

TEST(IdentityTest, VersionBlockAnswersThroughTheSystemAndHoldsOneStringTable) {
  const std::wstring path = BuiltProgramPath();
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  void* value = nullptr;
  UINT length = 0;
  const auto query = [&](const std::wstring& key) {
    value = nullptr;
    return VerQueryValueW(block.data(), key.c_str(), &value, &length) && value != nullptr;
  };

  std::array<DWORD, 13> fixed{};
  ASSERT_TRUE(query(L"\\"));
  ASSERT_EQ(length, sizeof fixed);
  std::memcpy(fixed.data(), value, sizeof fixed);
  // Signature, struct version, file and product version 2.0.0.2, flags mask,
  // flags, OS, type, subtype, date.
  EXPECT_EQ(fixed, (std::array<DWORD, 13>{0xFEEF04BD, 0x10000, 0x20000, 2, 0x20000, 2, 0, 0,
                                          VOS__WINDOWS32, VFT_APP, 0, 0, 0}));

  ASSERT_TRUE(query(L"\\VarFileInfo\\Translation"));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(std::memcmp(value, "\x09\x04\xB0\x04", 4), 0);  // 0x0409, 1200

  for (const auto& [key, text] : kVersionStrings) {
    ASSERT_TRUE(query(L"\\StringFileInfo\\040904B0\\" + key)) << Utf8(key);
    EXPECT_EQ(static_cast<const wchar_t*>(value), text);
  }
  for (const wchar_t* key :
       {L"041604B0\\ProductName", L"081604B0\\ProductName", L"040904E4\\ProductName",
        L"000004B0\\ProductName", L"040904B0\\PrivateBuild", L"040904B0\\SpecialBuild"}) {
    EXPECT_FALSE(query(std::wstring(L"\\StringFileInfo\\") + key)) << Utf8(key);
  }

  // The system's reader ignores a second string table; only a walk sees one.
  const std::wstring root = L"\\VS_VERSION_INFO", table = root + L"\\StringFileInfo\\040904B0";
  std::vector<std::wstring> paths,
      expected = {root, root + L"\\VarFileInfo", root + L"\\VarFileInfo\\Translation",
                  root + L"\\StringFileInfo", table};
  for (const auto& string : kVersionStrings) expected.push_back(table + L"\\" + string.first);
  WalkVersion(Resource(RT_VERSION, 1, 1033), 0, L"", &paths);
  EXPECT_EQ(paths, expected);
}

TEST(IdentityTest, HeaderIsAWindowed32BitProgramImportingOnlySystemLibraries) {
  const std::string exe = ReadFileBytes(BuiltProgramPath());
  const std::size_t nt_at = At<IMAGE_DOS_HEADER>(exe, 0).e_lfanew;
  const auto nt = At<IMAGE_NT_HEADERS32>(exe, nt_at);
  ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
  EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(nt.OptionalHeader.MajorImageVersion, 2);
  EXPECT_EQ(nt.OptionalHeader.MinorImageVersion, 0);
  // Copied to the page file when started from a pen or a share, so that a
  // pulled pen leaves no code to be read from it.
  const WORD run_from_swap = IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP | IMAGE_FILE_NET_RUN_FROM_SWAP;
  EXPECT_EQ(nt.FileHeader.Characteristics & run_from_swap, run_from_swap);
  DWORD stored = 0, computed = 1;
  ASSERT_EQ(MapFileAndCheckSumW(BuiltProgramPath().c_str(), &stored, &computed), CHECKSUM_SUCCESS);
  EXPECT_EQ(stored, computed) << "the header's checksum was not brought up to date";

  const std::size_t sections =
      nt_at + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  const auto file_offset = [&](DWORD rva) -> std::size_t {
    for (std::size_t i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
      const auto s = At<IMAGE_SECTION_HEADER>(exe, sections + i * sizeof(IMAGE_SECTION_HEADER));
      if (rva - s.VirtualAddress < s.SizeOfRawData)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    throw std::out_of_range("address outside every section");
  };
  // Libraries that the system loads from its own folder, never from the drive.
  const std::set<std::string> known = {"kernel32.dll", "user32.dll", "gdi32.dll",    "advapi32.dll",
                                       "shell32.dll",  "ole32.dll",  "oleaut32.dll", "msvcrt.dll"};
  std::size_t at =
      file_offset(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  ASSERT_NE(At<IMAGE_IMPORT_DESCRIPTOR>(exe, at).Name, 0u) << "no imports";
  for (IMAGE_IMPORT_DESCRIPTOR d; (d = At<IMAGE_IMPORT_DESCRIPTOR>(exe, at)).Name != 0;
       at += sizeof d) {
    std::string name = exe.c_str() + file_offset(d.Name);
    CharLowerA(name.data());
    EXPECT_EQ(known.count(name), 1u) << name << " is not a known system library";
  }
}

}  // namespace
}  // namespace quorvel::testing
