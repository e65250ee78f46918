#include "commands/commands.h"

#include "drive/drive_name.h"
#include "message/owner_message.h"
#include "text/paths.h"

namespace quorvel {

void Commands::LoadMessage() {
  view_.SetMessageText(LoadOwnerMessage(services_));
}

void Commands::ShowMessage() {
  view_.SetMessageVisible(true);
}

void Commands::ReportDrive(const DriveTypeNamer& name_type) {
  const std::string drive_name = DriveNameOf(ProgramFolder());
  // A folder whose drive part the program does not understand, such as
  // \\?\Volume{...}\, names no drive: the system would take "" for the current
  // directory's drive, whose facts are not this one's.
  const std::unique_ptr<DriveInfo> drive =
      drive_name.empty() ? std::make_unique<NoDrive>() : services_.QueryDrive(drive_name);
  view_.SetReportLines(BuildDriveReport(*drive, services_.UserNumberFormat(), name_type));
  // The list lies under the message box: hiding the box shows the report.
  view_.SetMessageVisible(false);
}

void Commands::OpenDrive() {
  std::string folder = ProgramFolder();
  // With its separator the request can only mean the folder, never a program
  // named like it beside it.
  if (!IsSeparator(folder.back())) folder += '\\';
  // The window goes at once; the file browser may take a while to come.
  view_.HideWindow();
  services_.OpenInShell(folder);
  services_.EndProgram();
}

void Commands::Close() {
  services_.EndProgram();
}

std::string Commands::ProgramFolder() const {
  auto folder = services_.ProgramFolder();
  if (!folder || folder->empty())
    services_.ReportFatalError("a pasta do programa não foi encontrada");
  return std::move(*folder);
}

}  // namespace quorvel
