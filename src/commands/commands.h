// What each of the window's events does, decided apart from the window: what
// to show, what to ask the system, what to open and when to end. The window
// carries the decisions out through MainView.
#pragma once

#include <string>
#include <vector>

#include "drive/drive_report.h"
#include "platform/services.h"

namespace quorvel {

// The parts of the window that the commands change.
class MainView {
 public:
  virtual ~MainView() = default;

  // The owner's message box: its text (UTF-8), and whether it lies over the
  // report.
  virtual void SetMessageText(const std::string& text) = 0;
  virtual void SetMessageVisible(bool visible) = 0;
  // The report list, emptied and filled with `lines` in order.
  virtual void SetReportLines(const std::vector<std::string>& lines) = 0;
  // The whole window, off the screen.
  virtual void HideWindow() = 0;
};

class Commands {
 public:
  Commands(const Services& services, MainView& view) : services_(services), view_(view) {}

  // At start: the owner's message into the message box, or nothing.
  void LoadMessage();
  // "Mensagem": the message over the report again.
  void ShowMessage();
  // "Informações": the report of the drive that holds the program, shown in
  // place of the message; `name_type` names the drive type.
  void ReportDrive(const DriveTypeNamer& name_type);
  // "Abrir Pen": the window hidden, the program's folder in the file browser,
  // then the end.
  void OpenDrive();
  // "Fechar": the end, at once.
  void Close();

 private:
  // The program's folder; without it neither the report nor the folder to
  // open can be had, and the program ends through the fatal-error box.
  std::string ProgramFolder() const;

  const Services& services_;
  MainView& view_;
};

}  // namespace quorvel
