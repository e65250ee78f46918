// The built executable as the system sees it before it runs: its header and
// imports, its resources, the version block that the file's properties show,
// and the application icon, which must be the committed window icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>
#include <winver.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "win/pen_drive_test.h"
#include "win/program_under_test.h"

namespace quorvel::testing {
namespace {

std::string FileBytes(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + Utf8(path));
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok || read != bytes.size()) throw std::runtime_error("cannot read " + Utf8(path));
  return bytes;
}

// The committed icon file, from QUORVEL_ICO (a Unix path).
std::wstring CommittedIconPath() {
  const char* unix_path = std::getenv("QUORVEL_ICO");
  if (unix_path == nullptr) throw std::runtime_error("QUORVEL_ICO is not set");
  std::wstring path = L"Z:" + Utf16(unix_path);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// A little-endian number read from `bytes` at `offset`, bounds-checked.
std::uint32_t Number(const std::string& bytes, std::size_t offset, int size) {
  if (offset > bytes.size() || static_cast<std::size_t>(size) > bytes.size() - offset) {
    throw std::out_of_range("read past the end at " + std::to_string(offset));
  }
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

// The executable loaded as data: its resources can be read, none of its code
// runs.
class ResourceModule {
 public:
  ResourceModule()
      : module_(LoadLibraryExW(BuiltProgramPath().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (module_ == nullptr) throw std::runtime_error("LoadLibraryExW failed");
  }
  ResourceModule(const ResourceModule&) = delete;
  ResourceModule& operator=(const ResourceModule&) = delete;
  ~ResourceModule() { FreeLibrary(module_); }

  HMODULE get() const { return module_; }

  // The bytes of one resource; "" when there is none.
  std::string Bytes(LPCWSTR type, WORD id, WORD language) const {
    const HRSRC found = FindResourceExW(module_, type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }

 private:
  HMODULE module_;
};

// A resource's type or name: "#n" for a number, else the text.
std::wstring ResourceName(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

using ResourceEntry = std::tuple<std::wstring, std::wstring, WORD>;  // type, name, language

struct ResourceWalk {
  std::set<ResourceEntry> found;
  std::wstring type;
  std::wstring name;
};

BOOL CALLBACK OnResourceLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  auto* walk = reinterpret_cast<ResourceWalk*>(param);
  walk->found.emplace(walk->type, walk->name, language);
  return TRUE;
}

BOOL CALLBACK OnResourceName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  reinterpret_cast<ResourceWalk*>(param)->name = ResourceName(name);
  return EnumResourceLanguagesW(module, type, name, OnResourceLanguage, param);
}

BOOL CALLBACK OnResourceType(HMODULE module, LPWSTR type, LONG_PTR param) {
  reinterpret_cast<ResourceWalk*>(param)->type = ResourceName(type);
  return EnumResourceNamesW(module, type, OnResourceName, param);
}

// Every resource as type, name and language.
std::set<ResourceEntry> AllResources(HMODULE module) {
  ResourceWalk walk;
  if (!EnumResourceTypesW(module, OnResourceType, reinterpret_cast<LONG_PTR>(&walk))) {
    throw std::runtime_error("EnumResourceTypesW failed");
  }
  return walk.found;
}

constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr WORD kUsEnglish = 1033;

TEST(IdentityTest, ResourcesHoldOnlyTheVersionBlockAndTheApplicationIcon) {
  const ResourceModule module;
  std::set<ResourceEntry> expected = {{L"#16", L"#1", kUsEnglish}, {L"#14", L"#1", kNeutral}};
  for (int id = 30001; id <= 30009; ++id)
    expected.emplace(L"#3", L"#" + std::to_wstring(id), kNeutral);
  EXPECT_EQ(AllResources(module.get()), expected);
}

TEST(IdentityTest, ApplicationIconIsTheCommittedIconByteForByte) {
  const std::string ico = FileBytes(CommittedIconPath());
  const ResourceModule module;
  const std::string group = module.Bytes(RT_GROUP_ICON, 1, kNeutral);
  ASSERT_EQ(group.size(), 6u + 14u * 9u);
  // Reserved, type and count are the file's.
  EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));
  ASSERT_EQ(Number(ico, 4, 2), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const std::size_t file_entry = 6 + 16 * i;
    const std::size_t group_entry = 6 + 14 * i;
    // Width, height, colour count, reserved, planes, bit count and size agree;
    // the file's image offset becomes the resource identifier.
    EXPECT_EQ(group.substr(group_entry, 12), ico.substr(file_entry, 12));
    const WORD id = static_cast<WORD>(Number(group, group_entry + 12, 2));
    EXPECT_EQ(id, 30001 + i);
    const std::string image = module.Bytes(RT_ICON, id, kNeutral);
    const std::string committed =
        ico.substr(Number(ico, file_entry + 12, 4), Number(ico, file_entry + 8, 4));
    EXPECT_EQ(image.size(), committed.size());
    EXPECT_TRUE(image == committed);
  }
}

// A node of the raw version block: its key, its value's bytes, its children.
struct VersionNode {
  std::wstring key;
  std::string value;
  bool is_text = false;
  std::vector<VersionNode> children;
};

std::size_t Align4(std::size_t offset) {
  return (offset + 3) & ~std::size_t{3};
}

VersionNode ParseVersionNode(const std::string& block, std::size_t offset) {
  const std::size_t length = Number(block, offset, 2);
  const std::size_t value_length = Number(block, offset + 2, 2);
  VersionNode node;
  node.is_text = Number(block, offset + 4, 2) == 1;
  const std::size_t end = offset + length;
  if (length < 6 || end > block.size()) throw std::out_of_range("version node overruns");
  std::size_t at = offset + 6;
  for (wchar_t c; (c = static_cast<wchar_t>(Number(block, at, 2))) != 0; at += 2) node.key += c;
  at = Align4(at + 2);
  // A text value's length counts UTF-16 code units, a binary one's bytes.
  const std::size_t value_bytes = node.is_text ? 2 * value_length : value_length;
  if (at + value_bytes > end) throw std::out_of_range("version value overruns");
  node.value = block.substr(at, value_bytes);
  for (at = Align4(at + value_bytes); at < end; at = Align4(at + Number(block, at, 2))) {
    node.children.push_back(ParseVersionNode(block, at));
  }
  return node;
}

std::wstring TextValue(const VersionNode& node) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < node.value.size(); i += 2) {
    const auto c = static_cast<wchar_t>(Number(node.value, i, 2));
    if (c == 0) break;
    text += c;
  }
  return text;
}

struct VersionString {
  const wchar_t* key;
  const wchar_t* value;
};

const VersionString kVersionStrings[] = {
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

TEST(IdentityTest, RawVersionBlockHoldsOneTranslationAndTenStringsInOrder) {
  const ResourceModule module;
  const VersionNode root = ParseVersionNode(module.Bytes(RT_VERSION, 1, kUsEnglish), 0);
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  EXPECT_EQ(root.value.size(), 52u);
  ASSERT_EQ(root.children.size(), 2u);

  const VersionNode& var = root.children[0];
  EXPECT_EQ(var.key, L"VarFileInfo");
  ASSERT_EQ(var.children.size(), 1u);
  EXPECT_EQ(var.children[0].key, L"Translation");
  EXPECT_EQ(var.children[0].value, std::string("\x09\x04\xB0\x04", 4));

  const VersionNode& strings = root.children[1];
  EXPECT_EQ(strings.key, L"StringFileInfo");
  ASSERT_EQ(strings.children.size(), 1u);
  const VersionNode& table = strings.children[0];
  EXPECT_EQ(table.key, L"040904B0");
  ASSERT_EQ(table.children.size(), std::size(kVersionStrings));
  for (std::size_t i = 0; i < table.children.size(); ++i) {
    EXPECT_EQ(table.children[i].key, kVersionStrings[i].key);
    EXPECT_TRUE(table.children[i].is_text) << Utf8(table.children[i].key);
    // The value is UTF-16, with its terminator.
    EXPECT_EQ(TextValue(table.children[i]), kVersionStrings[i].value);
    EXPECT_EQ(table.children[i].value.size(), 2 * (wcslen(kVersionStrings[i].value) + 1));
  }
}

class VersionInfo {
 public:
  VersionInfo() {
    const std::wstring path = BuiltProgramPath();
    DWORD ignored = 0;
    block_.resize(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (block_.empty() ||
        !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block_.size()), block_.data())) {
      throw std::runtime_error("GetFileVersionInfoW failed");
    }
  }

  // The value under `path` and its length; false when nothing answers.
  bool Query(const std::wstring& path, void** value, UINT* length) {
    *value = nullptr;
    *length = 0;
    return VerQueryValueW(block_.data(), path.c_str(), value, length) && *value != nullptr;
  }

 private:
  std::vector<char> block_;
};

TEST(IdentityTest, VersionBlockAnswersThroughTheSystem) {
  VersionInfo info;
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(info.Query(L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, value, sizeof fixed);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0x00000002u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
  EXPECT_EQ(fixed.dwFileDateMS, 0u);
  EXPECT_EQ(fixed.dwFileDateLS, 0u);

  ASSERT_TRUE(info.Query(L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  WORD translation[2];
  std::memcpy(translation, value, sizeof translation);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  for (const VersionString& string : kVersionStrings) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + string.key;
    ASSERT_TRUE(info.Query(path, &value, &length)) << Utf8(path);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), string.value) << Utf8(path);
  }

  // No other language, code page or key answers.
  for (const wchar_t* path :
       {L"\\StringFileInfo\\041604B0\\ProductName", L"\\StringFileInfo\\081604B0\\ProductName",
        L"\\StringFileInfo\\040904E4\\ProductName", L"\\StringFileInfo\\000004B0\\ProductName",
        L"\\StringFileInfo\\040904B0\\PrivateBuild", L"\\StringFileInfo\\040904B0\\SpecialBuild",
        L"\\StringFileInfo\\040904B0\\Quorvel"}) {
    EXPECT_FALSE(info.Query(path, &value, &length)) << Utf8(path);
  }
}

// The names of the DLLs that the executable imports at load time, read from
// its header.
struct ExecutableHeader {
  IMAGE_FILE_HEADER file;
  IMAGE_OPTIONAL_HEADER32 optional;
  std::vector<std::string> imports;
};

ExecutableHeader ReadExecutableHeader(const std::string& image) {
  if (image.compare(0, 2, "MZ") != 0) throw std::runtime_error("no MZ signature");
  const std::size_t pe = Number(image, 0x3C, 4);
  if (Number(image, pe, 4) != IMAGE_NT_SIGNATURE) throw std::runtime_error("no PE signature");
  ExecutableHeader header;
  const std::size_t optional_at = pe + 4 + sizeof header.file;
  Number(image, optional_at, sizeof header.optional);  // bounds
  std::memcpy(&header.file, image.data() + pe + 4, sizeof header.file);
  std::memcpy(&header.optional, image.data() + optional_at, sizeof header.optional);
  if (header.optional.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) throw std::runtime_error("not PE32");

  std::vector<IMAGE_SECTION_HEADER> sections(header.file.NumberOfSections);
  const std::size_t sections_at = optional_at + header.file.SizeOfOptionalHeader;
  Number(image, sections_at, sizeof(IMAGE_SECTION_HEADER) * sections.size());  // bounds
  std::memcpy(sections.data(), image.data() + sections_at,
              sizeof(IMAGE_SECTION_HEADER) * sections.size());
  const auto file_offset = [&](std::uint32_t rva) -> std::size_t {
    for (const IMAGE_SECTION_HEADER& s : sections) {
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    throw std::out_of_range("address outside every section");
  };

  const IMAGE_DATA_DIRECTORY& directory =
      header.optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return header;
  for (std::size_t at = file_offset(directory.VirtualAddress);;
       at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const std::uint32_t name_rva = Number(image, at + 12, 4);  // the descriptor's Name
    if (name_rva == 0) break;
    const std::size_t name_at = file_offset(name_rva);
    const std::size_t name_end = image.find('\0', name_at);
    if (name_end == std::string::npos) throw std::out_of_range("unterminated DLL name");
    header.imports.push_back(image.substr(name_at, name_end - name_at));
  }
  return header;
}

TEST(IdentityTest, ExecutableIsAWindowed32BitProgramImportingOnlySystemLibraries) {
  const ExecutableHeader header = ReadExecutableHeader(FileBytes(BuiltProgramPath()));
  EXPECT_EQ(header.file.Machine, IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(header.file.Characteristics & IMAGE_FILE_DLL, 0);
  EXPECT_EQ(header.optional.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(header.optional.MajorImageVersion, 2);
  EXPECT_EQ(header.optional.MinorImageVersion, 0);

  // Libraries that the system always loads from its own folder, so that none
  // can be planted on the drive beside the program.
  const std::set<std::string> known = {"kernel32.dll", "user32.dll", "gdi32.dll",    "advapi32.dll",
                                       "shell32.dll",  "ole32.dll",  "oleaut32.dll", "msvcrt.dll"};
  EXPECT_FALSE(header.imports.empty());
  for (std::string name : header.imports) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(known.count(name), 1u) << name << " is not a known system library";
  }
}

using ThreadTest = PenDriveTest;

TEST_F(ThreadTest, ProgramRunsOnOneThread) {
  ProgramUnderTest& program = Start();
  Sleep(500);  // let anything that start-up might leave behind get going
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
  int threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == program.process_id()) ++threads;
  }
  CloseHandle(snapshot);
  EXPECT_EQ(threads, 1);
}

}  // namespace
}  // namespace quorvel::testing
