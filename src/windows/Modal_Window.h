// What every modal window of the runner is to the one routine that shows it
// (Modal_Run, windows/Dialog_Modal.h): a model that hears the player's
// events, paints itself, takes an answer of the answers file in headless
// runs, and describes itself for messages and the transcript.
#pragma once

#include <string>

#include "package/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "platform/Platform_Transcript.h"

namespace tavrin {

// Where and how the window shows on a desktop.
struct RModalLook {
  std::string caption;
  bool border = true;          // a title bar with a close box
  int left = -1, top = -1;     // below 0: centred on the screen
  double alpha = 1.0;
  bool keyed = false;          // the picture's bottom-left colour is see-through
};

// Shift, Ctrl and Alt as a window's own key events leave them (a window
// hears only what happens while it is open).
struct RModifierKeys {
  bool shift = false, ctrl = false, alt = false;
  // Notes a press or release of one of them (either side's key code, or the
  // plain one); other events change nothing.
  void Track(const RPlatformEvent& e) {
    if (e.type != RPlatformEvent::KeyDown && e.type != RPlatformEvent::KeyUp) return;
    const bool down = e.type == RPlatformEvent::KeyDown;
    if (e.key == 16 || e.key == 160 || e.key == 161) shift = down;
    if (e.key == 17 || e.key == 162 || e.key == 163) ctrl = down;
    if (e.key == 18 || e.key == 164 || e.key == 165) alt = down;
  }
};

class IModalWindow {
 public:
  virtual ~IModalWindow() = default;
  virtual void Event(const RPlatformEvent& e) = 0;
  virtual bool Done() const = 0;
  virtual int Width() = 0;
  virtual int Height() = 0;
  virtual TBitmap32 Paint() = 0;
  // An answer of the answers file: "" when it fits (the window is then
  // done), else why it does not. No answer (`answer` null): the default.
  virtual std::string Answer(const std::string* answer) = 0;
  // How the window is named in messages: its kind and the start of its text.
  virtual std::string Description() const = 0;
  // Kind, caption, text, buttons and the answer given, for the transcript
  // (`by` is filled in by Modal_Run).
  virtual RModalRecord Record() const = 0;
};

}  // namespace tavrin
