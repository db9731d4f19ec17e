// The error window: every error reported while the game runs, in a
// scrolling memo that keeps the run's messages until the player clears it,
// with Abort (the default), Ignore (only for errors the game may go on
// after), Copy (all of the messages to the clipboard) and Clear. Closing it
// with its close box aborts, like Abort.
//
// The window is a model (the message and what may be done in, keys and
// clicks in, the answer out) that paints itself; Error_ShowWindow shows it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "windows/Dialog_Memo.h"
#include "windows/Modal_Window.h"

namespace tavrin {

enum class EErrorAnswer { NotShown, Ignore, Abort };
inline constexpr const char* kErrorCaption = "Error Messages";

class CErrorWindow final : public IModalWindow {
 public:
  enum EButton { kAbort, kIgnore, kCopy, kClear, kButtons };
  static constexpr int kWidth = 499, kHeight = 361;

  // `memo` holds the messages shown before (the run's memo, Error_Memo);
  // `copy` puts a text on the clipboard.
  CErrorWindow(CMemo& memo, std::function<void(const std::string&)> copy);
  // Adds the message to the memo under a rule of underscores, one memo
  // line per CR of the message (LF characters are dropped), and scrolls to
  // its end.
  void Begin(std::string_view message, bool canIgnore);

  void Event(const RPlatformEvent& e) override;
  bool Done() const override { return m_answer != EErrorAnswer::NotShown; }
  // Ignore, or Abort for everything else (the window closed, the run asked
  // to end while it waited).
  EErrorAnswer Result() const { return m_answer == EErrorAnswer::Ignore ? m_answer : EErrorAnswer::Abort; }
  bool ButtonVisible(EButton b) const { return b != kIgnore || m_canIgnore; }
  // The button that has the keyboard (Tab and Shift+Tab move it through the
  // memo and the buttons); -1 while the memo has it.
  int Focus() const { return m_focus; }
  static RPaintRect ButtonRect(EButton b);

  int Width() override { return kWidth; }
  int Height() override { return kHeight; }
  TBitmap32 Paint() override;
  // "error: ignore" or "error: abort".
  std::string Answer(const std::string* answer) override;
  std::string Description() const override;
  RModalRecord Record() const override;

 private:
  void Press(EButton b);
  void MoveFocus(bool back);

  CMemo& m_memo;
  std::function<void(const std::string&)> m_copy;
  std::string m_message;
  bool m_canIgnore = true;
  EErrorAnswer m_answer = EErrorAnswer::NotShown;
  RModifierKeys m_keys;
  int m_focus = -1;  // the button Tab moved to; -1: the memo
  int m_inside = -1, m_down = -1;  // the button the mouse is over, and the one pressed on
};

// The run's memo of error messages.
CMemo& Error_Memo();
// Whether an answers-file line is meant for the error window ("error: ...").
bool Error_IsAnswer(std::string_view line);

// Shows the error window for `message` on a desktop. Headless runs (and
// runs without windows) show it only when the next line of the answers file
// is meant for it (Error_IsAnswer); otherwise the answer is NotShown.
EErrorAnswer Error_ShowWindow(std::string_view message, bool canIgnore);

}  // namespace tavrin
