// The main window as data: the form's own settings and its eleven controls, in
// the order they are created, which is also their stacking (earlier lies
// above). Places are in twips (1/1440 inch), relative to the container.
#pragma once

#include <array>
#include <cstdint>

namespace quorvel {

enum class ControlKind : std::uint8_t { kFrame, kTextBox, kListBox, kLabel, kPicture };

enum class ControlFont : std::uint8_t {
  kNone,        // the frame has no text to draw
  kDefaultGui,  // the system's default control font
  kTahoma,      // Tahoma 8.25 pt, normal weight
  kTahomaBold,  // Tahoma 8.25 pt, bold
};

// Control identifiers; another process finds the controls by them.
enum ControlId : int {
  kFormId = 0,
  kFrame1 = 1001,
  kText1 = 1002,
  kList1 = 1003,
  kLabel1Index0 = 1010,
  kLabel1Index1 = 1011,
  kLabel1Index2 = 1012,
  kLabel1Index3 = 1013,
  kImage1 = 1021,
  kImage2 = 1022,
  kImage3 = 1023,
  kImage4 = 1024,
};

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlSpec {
  int id;
  const char* name;  // as the code and the tests call it
  ControlKind kind;
  int container;  // kFormId or the id of the frame
  TwipsRect place;
  const char* text;     // caption, UTF-8; "" for none; a picture's is its name
  const char* tooltip;  // UTF-8; nullptr for none
  ControlFont font;
  bool tab_stop;
  int picture;  // 1 to 4 for the picture buttons, 0 otherwise
};

struct FormSpec {
  const char* caption;
  int client_width;  // twips
  int client_height;
};

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDesignDpi = 96;
inline constexpr int kTahomaPointsTimes100 = 825;
// The system's default control font (DEFAULT_GUI_FONT): 11 pixels at 96 DPI.
inline constexpr int kDefaultGuiPointsTimes100 = 800;

const FormSpec& MainForm();
const std::array<ControlSpec, 11>& MainControls();

// The control with `id`, or nullptr.
const ControlSpec* FindControl(int id);

// Twips as pixels on a screen of `dpi` dots per inch, rounded to nearest.
int TwipsToPixels(int twips, int dpi);

// The height of a font of `points_times_100` / 100 points in logical units, as
// LOGFONT wants it (negative: the character height).
int FontHeightForPoints(int points_times_100, int dpi);

}  // namespace quorvel
