// The keyboard, the mouse and the joysticks as the game's code sees them.
//
// The window's events fill the state between steps (keys and buttons held,
// pressed and released, the last key and character, the text typed, the
// wheel); once per step the main loop turns it into the game's keyboard,
// key-press, key-release, joystick and mouse events, and at the end of the
// step forgets what lasts one step only (pressed, released, the wheel). The
// built-in variables and the input functions read and change it here.
//
// Key codes run from 0 to 255: 0 is no key, 1 any key. Mouse buttons are 1
// left, 2 right, 3 middle.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace tavrin {

inline constexpr int32_t kKeyCount = 256;
// keyboard_string keeps this many characters before a new one is typed.
inline constexpr size_t kKeyboardStringCap = 1024;

constexpr std::array<int32_t, kKeyCount> Input_IdentityKeyMap() {
  std::array<int32_t, kKeyCount> map{};
  for (int32_t k = 0; k < kKeyCount; ++k) map[size_t(k)] = k;
  return map;
}

struct RInputState {
  // --- keys, by the code after the key map
  std::array<bool, kKeyCount> keyHeld{}, keyPressed{}, keyReleased{};
  // The keys down on the keyboard now, before the key map, as the
  // keyboard_check_direct of a game sees them (not cleared by io_clear).
  std::array<bool, kKeyCount> keyDirect{};
  std::array<int32_t, kKeyCount> keyMap = Input_IdentityKeyMap();  // what each incoming key code counts as
  int32_t keyboard_key = 0;                 // the key down now, 0 once it went up
  int32_t keyboard_lastkey = 0;             // the last key that went down (auto-repeat too)
  std::string keyboard_lastchar;            // the last character typed (UTF-8), empty before any
  std::string keyboard_string;              // the text typed, with backspace applied (UTF-8)

  // --- the mouse
  std::array<bool, 4> buttonHeld{}, buttonPressed{}, buttonReleased{};  // [1..3]
  bool wheelUp = false, wheelDown = false;
  int32_t mouse_button = 0;      // the button down now, 0 after any went up
  int32_t mouse_lastbutton = 0;  // the last button that went down
  // The mouse in the room at this step's and the previous step's mouse
  // events: entering and leaving instances compare the two.
  int32_t mouseRoomX = 0, mouseRoomY = 0, prevMouseRoomX = 0, prevMouseRoomY = 0;

  // --- the window
  bool windowActive = true;  // false while another window has the focus
  // Events the game put into the input stream (keyboard_key_press): they
  // arrive the next time messages are processed, as the desktop's would.
  std::deque<RPlatformEvent> injected;

  // The state of a window just opened: nothing held, the identity key map.
  void Reset() { *this = RInputState(); }
};
extern RInputState g_Input;

// ------------------------------------------------------------ the window's events

// Routes one event of the game window (or one put into the input stream,
// window 0) to the handlers below; events of other windows are not the
// game's. The close button is served here too.
void Input_HandleEvent(const RPlatformEvent& e);
// Processes pending window messages: the platform's, then the injected ones.
void IO_ProcessMessages();
// Puts an event into the input stream; it arrives at the next processing.
void Input_Inject(const RPlatformEvent& e);

// The handlers, one per thing the player does.
void FormKeyDown(int32_t key);
void FormKeyUp(int32_t key);
void FormKeyPress(uint32_t character);  // a Unicode code point
void FormText(std::string_view utf8);   // each whole character in turn
void FormMouseDown(int32_t button);
void FormMouseUp(int32_t button);
void FormMouseWheel(bool up);
void FormCloseQuery();

// io_clear: keys, buttons, the last key, character and button, the text
// typed and the wheel are forgotten; the key map and the mouse samples stay.
void IO_ClearAll();
// The end of a step: what lasts one step (pressed, released, the wheel).
void IO_ClearStep();

// ------------------------------------------------------------ the step's events

// The keyboard, key-press and key-release events (each kind ending with its
// no-key or any-key event), the joystick events, and the mouse events (under
// the cursor, global, enter and leave, the wheel), in that order in a step.
void Handle_Keyboard_Events();
void Handle_Joystick_Events();
void Handle_Mouse_Events();

// Names in error headings: "<Left>", "A-key", "Keypad 5", "F1"...; the mouse
// events' "Left Button", "Mouse Enter", "Joystick 1 Up"...
std::string Key_Name(int32_t key);
std::string Mouse_EventName(int32_t number);

// ------------------------------------------------------------ waiting

// keyboard_wait and mouse_wait: processes messages until a key (a button)
// goes down, the game is asked to quit, or nothing can ever answer (see
// Input_SetWaitFeeder).
void Input_WaitForKey();
void Input_WaitForButton();
// What a wait does when a pass brought nothing: true when it gave input
// (a replay's next events) or a person may still answer, false when the wait
// must end. Without a feeder, a person may answer while a window is there.
void Input_SetWaitFeeder(bool (*feeder)());

}  // namespace tavrin
