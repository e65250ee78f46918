#include "commands/commands.h"

#include <gtest/gtest.h>

#include "drive/drive_type.h"
#include "fake/fake_services.h"

namespace quorvel {
namespace {

// The window as the commands leave it.
struct FakeView final : MainView {
  explicit FakeView(const FakeServices& services) : services(services) {}

  std::string message_text = "(untouched)";
  bool message_visible = true;
  std::vector<std::string> report;
  const FakeServices& services;
  // When the window was hidden, how many folders had been opened; none while it shows.
  std::optional<std::size_t> opened_when_hidden;

  void SetMessageText(const std::string& text) override { message_text = text; }
  void SetMessageVisible(bool visible) override { message_visible = visible; }
  void SetReportLines(const std::vector<std::string>& lines) override { report = lines; }
  void HideWindow() override { opened_when_hidden = services.opened_in_shell.size(); }
};

struct CommandsTest : ::testing::Test {
  // How a command ended the program: "EndProgram", "ReportFatalError: ...",
  // or "returned" when it did not.
  std::string EndOf(const auto& command) try {
    command();
    return "returned";
  } catch (const FakeProgramEnded& ended) {
    return ended.what();
  }

  FakeServices services;
  FakeView view{services};
  Commands commands{services, view};
};

TEST_F(CommandsTest, ReportOfTheProgramsDriveCoversTheMessageWhichComesBackAsItWas) {
  services.program_folder = "F:\\Pen";
  services.files["F:\\Pen\\mensagem.txt"] = "Ol\xE1";
  commands.LoadMessage();
  EXPECT_EQ(view.message_text, "Ol\xC3\xA1");
  services.files.clear();  // the message is never read again

  for (int click = 0; click < 2; ++click) commands.ReportDrive(DriveTypeName);
  EXPECT_EQ(services.drives_queried, (std::vector<std::string>{"F:", "F:"}));
  ASSERT_EQ(view.report.size(), 10u) << "each report replaces the last";
  EXPECT_EQ(view.report[3], "Tipo de Pen: Drive Removivel");
  EXPECT_FALSE(view.message_visible);

  commands.ShowMessage();
  EXPECT_TRUE(view.message_visible);
  EXPECT_EQ(view.message_text, "Ol\xC3\xA1");
  EXPECT_EQ(view.report.size(), 10u);
}

TEST_F(CommandsTest, OpenDriveHidesTheWindowOpensTheFolderAsAFolderThenEndsAndCloseOnlyEnds) {
  EXPECT_EQ(EndOf([&] { commands.Close(); }), "EndProgram");
  EXPECT_FALSE(view.opened_when_hidden) << "the window still shows";
  for (const char* folder : {"E:\\Pen", "E:\\"}) {
    services.program_folder = folder;
    EXPECT_EQ(EndOf([&] { commands.OpenDrive(); }), "EndProgram");
  }
  // Close opened nothing, or there would be three.
  EXPECT_EQ(services.opened_in_shell, (std::vector<std::string>{"E:\\Pen\\", "E:\\"}));
  EXPECT_EQ(view.opened_when_hidden, 1u) << "each window hidden before its folder opened";
}

TEST_F(CommandsTest, AFolderThatNamesNoDriveReportsNoDrivesFacts) {
  services.program_folder = "\\\\?\\Volume{1b3b1146-4076-11e1-84aa-806e6f6e6963}\\Pen";
  commands.ReportDrive(DriveTypeName);
  EXPECT_TRUE(services.drives_queried.empty());
  // The report of a drive that is not there, not of the current one.
  ASSERT_EQ(view.report.size(), 10u);
  EXPECT_EQ(view.report[3], "Tipo de Pen: N\xC3\xA3o Existe");
  EXPECT_EQ(view.report[8], "Destino da Pen: (indispon\xC3\xADvel)");
}

TEST_F(CommandsTest, WithoutTheProgramsFolderTheMessageIsEmptyAndTheOtherCommandsAreFatal) {
  const std::string fatal = "ReportFatalError: a pasta do programa não foi encontrada";
  for (const auto& folder : {std::optional<std::string>(), std::optional<std::string>("")}) {
    services.program_folder = folder;
    commands.LoadMessage();
    EXPECT_EQ(view.message_text, "");
    EXPECT_EQ(EndOf([&] { commands.ReportDrive(DriveTypeName); }), fatal);
    EXPECT_EQ(EndOf([&] { commands.OpenDrive(); }), fatal);
  }
  EXPECT_TRUE(services.drives_queried.empty() && services.opened_in_shell.empty());
  EXPECT_TRUE(view.report.empty());
}

}  // namespace
}  // namespace quorvel
