// The colour chooser of get_color: a palette of basic colours, a preview of
// the colour chosen so far, its red, green and blue parts as numbers to
// type, and OK and Cancel. It works from the keyboard alone: Tab and
// Shift+Tab move through the palette, the three numbers and the buttons,
// the arrow keys move in the palette (and step a number up or down), Enter
// takes the colour unless Cancel has the keyboard, Escape cancels.
//
// The chooser is a model (the starting colour in, keys, text and clicks in,
// the colour or "cancelled" out) that paints itself; Modal_Run shows it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "windows/Dialog_Field.h"
#include "windows/Dialog_Paint.h"
#include "windows/Modal_Window.h"

namespace tavrin {

inline constexpr const char* kColorCaption = "Colour";

class CColorChooser final : public IModalWindow {
 public:
  // Where the keyboard is, in Tab order.
  enum EFocus { kPalette, kRed, kGreen, kBlue, kOk, kCancel, kFocusCount };
  static constexpr int kColumns = 8, kRows = 6;
  static constexpr int kWidth = 320, kHeight = 300;

  // `start` as games write colours (0xBBGGRR; higher bits are ignored).
  explicit CColorChooser(int32_t start);

  void Event(const RPlatformEvent& e) override;
  bool Done() const override { return m_done; }
  // The colour taken (0xBBGGRR), or -1 when the chooser was cancelled.
  int32_t Result() const { return m_done && !m_cancelled ? int32_t(m_color) : -1; }
  uint32_t Color() const { return m_color; }
  int Focus() const { return m_focus; }
  // The palette cell of the colour shown, -1 when it is none of them.
  int Cell() const { return m_cell; }
  static uint32_t PaletteColor(int cell);

  // "ok" or "default" (the starting colour), "cancel" or "escape",
  // "color: R, G, B" or "color: #RRGGBB".
  std::string Answer(const std::string* answer) override;
  std::string Description() const override { return "the colour chooser"; }
  RModalRecord Record() const override;

  int Width() override { return kWidth; }
  int Height() override { return kHeight; }
  static RPaintRect CellRect(int cell);
  static RPaintRect FieldRect(int part);  // 0 red, 1 green, 2 blue
  static RPaintRect ButtonRect(bool cancel);
  TBitmap32 Paint() override;

 private:
  void SetColor(uint32_t color);  // fields and palette cell follow
  void FieldEdited(int part);     // the colour follows the field
  void Finish(bool cancelled);
  void Press(int focus);

  uint32_t m_color = 0;
  int m_cell = -1;
  int m_focus = kPalette;
  std::array<CTextField, 3> m_fields;
  RModifierKeys m_keys;
  int m_inside = -1, m_down = -1;  // buttons under the mouse, pressed with it
  bool m_done = false, m_cancelled = false;
};

}  // namespace tavrin
