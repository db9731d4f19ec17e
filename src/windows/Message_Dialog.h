// The message dialog: a text, up to three picture buttons numbered 1 to 3
// (an empty button text hides that button), and for questions that want a
// line of text, a text field. The dialog is a model: its skin and texts in,
// keys, text and clicks in, the button chosen (0 for Escape) and the text
// out. It paints itself; showing it is the modal window's business.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "package/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "windows/Dialog_Field.h"
#include "windows/Dialog_Paint.h"
#include "windows/Modal_Window.h"

namespace tavrin {

// A font as games set it: a name, a size in points, a colour (0xBBGGRR) and
// a style (0 normal, 1 bold, 2 italic, 3 both).
struct RMessageFont {
  std::string name = "Arial";
  int points = 8;
  int32_t color = 0xFFFFFF;
  int style = 0;
  int charset = 1;
};

// The look the game gave the dialog; it keeps whatever the game set last.
struct RMessageSkin {
  TBitmap32 background;                // empty: the built-in panel
  bool backgroundKeyed = false;        // its bottom-left colour is see-through
  std::array<TBitmap32, 3> buttons;    // normal, mouse over, pressed; empty: the built-in ones
  bool buttonsMasked = false;          // their bottom-left colour is not drawn
  RMessageFont text, button{"Arial", 8, 0xFFFFFF, 1, 1}, input;
  int32_t mouseColor = 0xFFFFFF;       // button text while the mouse is over it
  int32_t inputColor = 0x3C3C3C;       // the text field's background
  double alpha = 1.0;
  int left = -1, top = -1;             // below 0: centred on the screen
  int width = -1, height = -1;         // below 1: from the background and the text
  bool caption = false;                // a border with a title bar
  std::string captionText;
};
RMessageSkin& Message_Skin();

class CMessageDialog final : public IModalWindow {
 public:
  // `text` as shown (line breaks are CR or LF). With `input`, the text field
  // holds `inputText`, all of it selected.
  CMessageDialog(const RMessageSkin& skin, std::string text, const std::array<std::string, 3>& buttons, bool input,
                 std::string inputText = {});

  // What the player does, as the window hears it.
  void Event(const RPlatformEvent& e) override;
  bool Done() const override { return m_done; }
  int Result() const { return m_result; }
  const std::string& InputText() const { return m_field.Text(); }
  const CTextField& Field() const { return m_field; }
  bool ButtonVisible(int n) const { return !m_buttons[size_t(n - 1)].empty(); }
  char32_t Shortcut(int n) const { return m_shortkey[size_t(n - 1)]; }

  // An answer of the answers file: "" when it fits (the dialog is then
  // closed), else why it does not. No answer (`answer` null) takes the
  // default button.
  std::string Answer(const std::string* answer) override;
  // How the dialog is named in messages: its kind and the start of its text.
  std::string Description() const override;
  RModalRecord Record() const override;

  // The layout, in client coordinates.
  int Width() override;
  int Height() override;
  RPaintRect ButtonRect(int n);
  RPaintRect FieldRect();
  TBitmap32 Paint() override;

 private:
  void Layout();
  void Choose(int n);
  int FirstVisible() const;
  bool ChooseByShortcut(char32_t c);
  RPaintFont Font(const RMessageFont& f, int32_t color) const;

  const RMessageSkin& m_skin;
  std::string m_text;
  std::array<std::string, 3> m_buttons;
  std::array<char32_t, 3> m_shortkey{};
  bool m_input;
  CTextField m_field;
  bool m_done = false;
  int m_result = 0;
  RModifierKeys m_keys;
  int m_inside = 0, m_down = 0;  // the button the mouse is over, and the one pressed on
  bool m_laidOut = false;
  int m_width = 0, m_height = 0, m_buttonW = 80, m_buttonH = 25, m_fieldH = 0;
  std::vector<std::string> m_lines;
};

// The built-in look: the 320 x 140 panel and the three 80 x 25 buttons.
TBitmap32 Message_DefaultBackground();
TBitmap32 Message_DefaultButton(int state);

}  // namespace tavrin
