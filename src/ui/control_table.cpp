#include "ui/control_table.h"

namespace quorvel {

namespace {

constexpr FormSpec kMainForm = {"Quorvel", 5775, 3600};

// Left to right along the bottom: Image2 "Mensagem", Image4 "Abrir Pen", Image3
// "Informações", Image1 "Fechar", each caption centred under its picture. Each
// picture has its caption as its own text too, which no one sees but a screen
// reader names it by.
constexpr std::array<ControlSpec, 11> kMainControls = {{
    {kFrame1,
     "Frame1",
     ControlKind::kFrame,
     kFormId,
     {120, 0, 5535, 2535},
     "",
     nullptr,
     ControlFont::kNone,
     false,
     0},
    {kText1,
     "Text1",
     ControlKind::kTextBox,
     kFrame1,
     {120, 240, 5295, 2175},
     "",
     nullptr,
     ControlFont::kDefaultGui,
     true,
     0},
    {kList1,
     "List1",
     ControlKind::kListBox,
     kFrame1,
     {120, 240, 5295, 2205},
     "",
     nullptr,
     ControlFont::kTahoma,
     true,
     0},
    {kLabel1Index3,
     "Label1(3)",
     ControlKind::kLabel,
     kFormId,
     {4680, 3360, 975, 255},
     "Fechar",
     nullptr,
     ControlFont::kTahomaBold,
     false,
     0},
    {kLabel1Index2,
     "Label1(2)",
     ControlKind::kLabel,
     kFormId,
     {3120, 3360, 1215, 255},
     "Informações",
     nullptr,
     ControlFont::kTahomaBold,
     false,
     0},
    {kLabel1Index1,
     "Label1(1)",
     ControlKind::kLabel,
     kFormId,
     {1680, 3360, 975, 255},
     "Abrir Pen",
     nullptr,
     ControlFont::kTahomaBold,
     false,
     0},
    {kLabel1Index0,
     "Label1(0)",
     ControlKind::kLabel,
     kFormId,
     {120, 3360, 975, 255},
     "Mensagem",
     nullptr,
     ControlFont::kTahomaBold,
     false,
     0},
    {kImage4,
     "Image4",
     ControlKind::kPicture,
     kFormId,
     {1800, 2640, 720, 720},
     "Abrir Pen",
     "Abrir Pen",
     ControlFont::kNone,
     false,
     4},
    {kImage3,
     "Image3",
     ControlKind::kPicture,
     kFormId,
     {3360, 2640, 720, 720},
     "Informações",
     "Especificações da pen",
     ControlFont::kNone,
     false,
     3},
    {kImage2,
     "Image2",
     ControlKind::kPicture,
     kFormId,
     {240, 2640, 720, 720},
     "Mensagem",
     "Mensagem do dono",
     ControlFont::kNone,
     false,
     2},
    {kImage1,
     "Image1",
     ControlKind::kPicture,
     kFormId,
     {4800, 2640, 720, 720},
     "Fechar",
     "Sair",
     ControlFont::kNone,
     false,
     1},
}};

// Rounds a / b to nearest for positive b, halves away from zero.
int DivideRounded(long long a, long long b) {
  return static_cast<int>(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
}

}  // namespace

const FormSpec& MainForm() {
  return kMainForm;
}

const std::array<ControlSpec, 11>& MainControls() {
  return kMainControls;
}

const ControlSpec* FindControl(int id) {
  for (const ControlSpec& control : kMainControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

int TwipsToPixels(int twips, int dpi) {
  return DivideRounded(static_cast<long long>(twips) * dpi, kTwipsPerInch);
}

int FontHeightForPoints(int points_times_100, int dpi) {
  return -DivideRounded(static_cast<long long>(points_times_100) * dpi, 72 * 100);
}

}  // namespace quorvel
