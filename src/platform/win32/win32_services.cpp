#include "platform/win32/win32_services.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/file_attributes.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_error.h"
#include "text/paths.h"
#include "text/unicode.h"

namespace quorvel {

static_assert(kMaxPath == MAX_PATH);
static_assert(kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT &&
              kAttributeOffline == FILE_ATTRIBUTE_OFFLINE);
static_assert(IsReparseTagNameSurrogate(kReparseTagNameSurrogate) &&
              !IsReparseTagNameSurrogate(~kReparseTagNameSurrogate));

namespace {

// The facts about one drive, asked of the system each time one is wanted.
class Win32Drive final : public DriveInfo {
 public:
  explicit Win32Drive(const std::string& drive_name)
      : name_(drive_name), root_(Widen(drive_name) + L"\\") {}

  std::optional<std::string> VolumeName() const override {
    wchar_t label[kVolumeText] = {};
    if (!ReadVolume(label, nullptr, nullptr)) return std::nullopt;
    return Narrow(label);
  }

  std::optional<std::string> DriveLetter() const override {
    const bool lettered = name_.size() == 2 && name_[1] == ':';
    return lettered ? name_.substr(0, 1) : std::string();
  }

  int DriveType() const override { return static_cast<int>(GetDriveTypeW(root_.c_str())); }

  std::optional<std::string> FileSystem() const override {
    wchar_t file_system[kVolumeText] = {};
    if (!ReadVolume(nullptr, nullptr, file_system)) return std::nullopt;
    return Narrow(file_system);
  }

  std::optional<std::uint64_t> FreeSpace() const override {
    ULARGE_INTEGER total_free{};
    if (!GetDiskFreeSpaceExW(root_.c_str(), nullptr, nullptr, &total_free)) return std::nullopt;
    return total_free.QuadPart;
  }

  std::optional<std::uint64_t> TotalSize() const override {
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExW(root_.c_str(), nullptr, &total, nullptr)) return std::nullopt;
    return total.QuadPart;
  }

  std::optional<bool> IsReady() const override {
    // A drive is ready when its volume answers: a removable drive without its
    // medium, or a share out of reach, does not.
    return ReadVolume(nullptr, nullptr, nullptr);
  }

  std::optional<std::string> Path() const override { return name_; }

  std::optional<std::int32_t> SerialNumber() const override {
    DWORD serial = 0;
    if (!ReadVolume(nullptr, &serial, nullptr)) return std::nullopt;
    return static_cast<std::int32_t>(serial);
  }

 private:
  static constexpr DWORD kVolumeText = MAX_PATH + 1;

  // GetVolumeInformationW for the drive's root, into the parts that are asked
  // for (each text buffer kVolumeText long). Some systems, Wine among them,
  // answer it with made-up facts for a letter whose medium or folder has gone,
  // so the root itself must be reachable first.
  bool ReadVolume(wchar_t* label, DWORD* serial, wchar_t* file_system) const {
    if (GetFileAttributesW(root_.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return GetVolumeInformationW(root_.c_str(), label, label ? kVolumeText : 0, serial, nullptr,
                                 nullptr, file_system, file_system ? kVolumeText : 0) != FALSE;
  }

  std::string name_;
  std::wstring root_;
};

// LOCALE_IUSEUTF8LEGACYACP (winnls.h of Microsoft's SDK; MinGW's headers lack
// it): the ANSI code page that the user's locale has without the UTF-8
// option. A Windows too old to know it fails the request.
constexpr LCTYPE kLocaleUtf8LegacyAnsiCodePage = 0x666;

std::wstring LocaleText(LCTYPE type) {
  wchar_t text[32] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 32) == 0) return {};
  return text;
}

std::optional<int> LocaleNumber(LCTYPE type) {
  DWORD value = 0;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
                      reinterpret_cast<wchar_t*>(&value), sizeof value / sizeof(wchar_t)) == 0) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace

std::optional<std::string> Win32Services::ProgramFolder() const {
  const auto module_path = ReadGrowingText([](wchar_t* buffer, std::size_t size) {
    SetLastError(ERROR_SUCCESS);
    const DWORD written = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(size));
    return BufferFill{written, GetLastError() == ERROR_INSUFFICIENT_BUFFER};
  });
  if (!module_path) return std::nullopt;
  return Narrow(FolderOfPath(PlainModulePath(*module_path)));
}

std::optional<FileBytes> Win32Services::ReadWholeFile(const std::string& path,
                                                      std::size_t max_bytes) const {
  // Others may go on using the file. A reparse point is opened as itself:
  // no link is followed and no cloud file is fetched. Only a file whose bytes
  // lie on a disk is read, judged by the attributes and reparse tag of what
  // was opened; a file whose facts cannot be had is not read.
  FileHandle file(CreateFileW(ExtendedLengthPath(Widen(path)).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO facts;
  if (!file ||
      !GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &facts, sizeof facts) ||
      !IsPlainDiskFile(facts.FileAttributes, facts.ReparseTag,
                       GetFileType(file.get()) == FILE_TYPE_DISK)) {
    return std::nullopt;
  }

  // One byte past the limit tells whether the file goes on.
  FileBytes result;
  result.bytes.resize(max_bytes + 1);
  std::size_t filled = 0;
  while (filled < result.bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(result.bytes.size() - filled);
    DWORD got = 0;
    if (!::ReadFile(file.get(), result.bytes.data() + filled, wanted, &got, nullptr)) {
      return std::nullopt;
    }
    if (got == 0) break;
    filled += got;
  }
  result.truncated = filled > max_bytes;
  result.bytes.resize(result.truncated ? max_bytes : filled);
  return result;
}

std::string Win32Services::DecodeAnsi(std::string_view bytes, bool truncated) const {
  const auto code_page_of = [](LCTYPE type) -> std::optional<unsigned> {
    const std::optional<int> number = LocaleNumber(type);
    if (!number) return std::nullopt;
    return static_cast<unsigned>(*number);
  };
  const UINT code_page = LegacyTextCodePage(GetACP(), code_page_of(kLocaleUtf8LegacyAnsiCodePage),
                                            code_page_of(LOCALE_IDEFAULTANSICODEPAGE));
  if (truncated && !bytes.empty()) {
    // A lead byte of a double-byte code page cut from its trail byte is
    // dropped rather than shown as a wrong character.
    std::size_t i = 0;
    std::size_t last_start = 0;
    while (i < bytes.size()) {
      last_start = i;
      i += IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes[i])) ? 2 : 1;
    }
    if (i > bytes.size()) bytes = bytes.substr(0, last_start);
  }
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), length);
  return Narrow(wide);
}

std::unique_ptr<DriveInfo> Win32Services::QueryDrive(const std::string& drive_name) const {
  return std::make_unique<Win32Drive>(drive_name);
}

NumberFormat Win32Services::UserNumberFormat() const {
  // A setting that cannot be read keeps the plain default.
  NumberFormat format;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, nullptr, 0) != 0) {
    format.thousand_separator = Narrow(LocaleText(LOCALE_STHOUSAND));  // may well be empty
  }
  if (const std::wstring text = LocaleText(LOCALE_SGROUPING); !text.empty()) {
    format.grouping = Narrow(text);
  }
  format.negative_order = LocaleNumber(LOCALE_INEGNUMBER).value_or(format.negative_order);
  return format;
}

void Win32Services::OpenInShell(const std::string& path) const {
  // The shell is loaded for this one request, the program's last, so that
  // the start does not pay for it. A shell that cannot be had opens nothing,
  // as one that cannot open the folder: the outcome is not the program's to
  // report, and it ends either way.
  ModuleHandle shell = TryLoadSystemLibrary(L"shell32.dll");
  const auto shell_execute =
      OptionalFunction<decltype(&ShellExecuteExW)>(shell.get(), "ShellExecuteExW");
  if (shell_execute == nullptr) return;
  const std::wstring file = Widen(path);
  SHELLEXECUTEINFOW request = {};
  request.cbSize = sizeof request;
  // The program ends as soon as this returns. Without SEE_MASK_NOASYNC the
  // shell may still be handing the request on, and it would be lost with the
  // process (SHELLEXECUTEINFO, fMask, in Microsoft's documentation). Wine's
  // shell opens the folder before it returns, so only Windows shows this.
  // The shell's own box still reports a folder it cannot open.
  request.fMask = SEE_MASK_NOASYNC | SEE_MASK_CLASSNAME;
  // The folder class's own "open" verb, not the default verb of the path: for
  // a drive's root that is the drive's, which an autorun.inf's shell entries
  // can name where Windows still honours them (optical media, and the CD
  // partition that some pens carry). A class is a key under HKEY_CLASSES_ROOT
  // that holds shell verbs (SHELLEXECUTEINFO, lpClass).
  request.lpClass = L"Folder";
  request.lpVerb = L"open";
  request.lpFile = file.c_str();
  request.nShow = SW_SHOWNORMAL;
  shell_execute(&request);
  shell.release();  // the shell's windows may still use it until the end
}

void Win32Services::EndProgram() const {
  ExitProcess(0);
}

void Win32Services::ReportFatalError(const std::string& failure) const {
  ShowFatalErrorAndExit(failure);
}

}  // namespace quorvel
