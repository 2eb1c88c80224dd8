// The window's fixed layout: one row per control, in tab order. The window layer builds
// every control from this table, so geometry, captions and lists live nowhere else.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "runscript/vocabulary.h"

namespace addmorvane {

// Control identifiers start above IDOK and IDCANCEL, so neither Enter nor Esc can ever be
// mistaken for a press of one of our buttons.
enum class ControlId : int {
  Command1 = 101,
  Command2,
  Frame1,
  Combo1,
  Combo2,
  Label1,
  Label2,
  Check1,
  Check2,
  Check3,
  Check4,
  Check5,
  Command3,
  Text1,
  Label3,
  Option1,
  Option2,
  Command4,
};

// The option flags' check boxes, in the order their switches are written into a command line.
inline constexpr std::array<ControlId, kFlagCount> kFlagControls = {
    ControlId::Check1, ControlId::Check2, ControlId::Check3, ControlId::Check4, ControlId::Check5};

// Each list and its caption label.
struct ListLabel {
  ControlId list;
  ControlId label;
};
inline constexpr std::array<ListLabel, 2> kListLabels = {
    {{ControlId::Combo1, ControlId::Label1}, {ControlId::Combo2, ControlId::Label2}}};

enum class ControlKind { PushButton, Frame, ComboBox, Label, CheckBox, TextBox, OptionButton };
enum class Container { Window, Frame1 };
enum class FontStyle { Bold, Regular };

// Twips: 1440 to the inch, 15 to a pixel at 96 dpi. Left and top are measured from the
// container's outer top-left corner.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlSpec {
  ControlId id;
  std::wstring_view name;
  ControlKind kind;
  Container container;
  std::wstring_view caption;
  TwipsRect rect;
  FontStyle font;
  std::span<const std::wstring_view> listEntries;
};

inline constexpr std::size_t kControlCount = 18;

// Every visible control, in tab order (index == tab index).
extern const std::array<ControlSpec, kControlCount> kLayout;

inline constexpr int kClientWidthTwips = 7185;
inline constexpr int kClientHeightTwips = 4065;

// Both fonts are 8.25 pt; the buttons, option buttons and the frame caption are bold.
inline constexpr std::wstring_view kFontFace = L"MS Sans Serif";
inline constexpr int kFontSizeHundredthsPt = 825;
inline constexpr int kBoldWeight = 700;
inline constexpr int kRegularWeight = 400;
inline constexpr int kCyrillicCharset = 204;

const ControlSpec& SpecOf(ControlId id);

// The control's slot in arrays kept for every control: its place in ControlId's order.
constexpr std::size_t ControlIndex(ControlId id) {
  return static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(ControlId::Command1));
}

// Rounded to the nearest pixel; exact at 96 dpi, where every layout value is a multiple of 15.
int TwipsToPixels(int twips, int dpi);

}  // namespace addmorvane
