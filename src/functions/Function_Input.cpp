// The keyboard, mouse, joystick and io functions of game code: the step's
// keys and buttons, the keyboard as it is this moment, the key map, keys put
// into the input stream, waiting for a key or a button, and the joysticks.
//
// Key codes and buttons out of their ranges read as 0 and change nothing.
// Joystick ids: 2 is the second joystick, any other the first; a joystick
// that is not there reads as its defaults (0, 101, -1 or "").
#include "functions/Function_Input.h"

#include "platform/Platform.h"
#include "script/Code_Function.h"
#include "world/Input_State.h"

namespace tavrin {

namespace {

int32_t Arg(const RValue& v) { return Real_ToInt32(v.AsReal()); }

// keyboard_check and its pressed and released forms: 0 asks for no key
// held, 1 for any (codes 0..255 both), 2..255 for that key.
double CheckKey(const std::array<bool, kKeyCount>& keys, int32_t k) {
  if (k == 0 || k == 1) {
    bool any = false;
    for (bool held : keys) any = any || held;
    return (k == 1) == any ? 1 : 0;
  }
  return k > 1 && k < kKeyCount && keys[size_t(k)] ? 1 : 0;
}

// The mouse alike: -1 any button, 0 none, 1..3 that button.
double CheckButton(const std::array<bool, 4>& buttons, int32_t b) {
  const bool any = buttons[1] || buttons[2] || buttons[3];
  if (b == -1) return any ? 1 : 0;
  if (b == 0) return any ? 0 : 1;
  return b >= 1 && b <= 3 && buttons[size_t(b)] ? 1 : 0;
}

FUNCTION_ROUTINE(F_KeyboardCheck) { result.SetReal(CheckKey(g_Input.keyHeld, Arg(a[0]))); }
FUNCTION_ROUTINE(F_KeyboardCheckPressed) { result.SetReal(CheckKey(g_Input.keyPressed, Arg(a[0]))); }
FUNCTION_ROUTINE(F_KeyboardCheckReleased) { result.SetReal(CheckKey(g_Input.keyReleased, Arg(a[0]))); }

// The keyboard this moment, whatever the step saw and the key map says: a
// key asked for without its side (16, 17, 18) is down when either side is.
FUNCTION_ROUTINE(F_KeyboardCheckDirect) {
  const int32_t k = Arg(a[0]);
  if (k < 0 || k >= kKeyCount) return;
  const auto& down = g_Input.keyDirect;
  bool held = down[size_t(k)];
  if (k >= 16 && k <= 18) held = held || down[size_t(160 + 2 * (k - 16))] || down[size_t(161 + 2 * (k - 16))];
  result.SetReal(held ? 1 : 0);
}

FUNCTION_ROUTINE(F_KeyboardGetNumlock) {
  result.SetReal(Platform_Installed() && Platform().Key_NumLock() ? 1 : 0);
}

void SendKey(int32_t key, bool down) {
  RPlatformEvent e;
  e.type = down ? RPlatformEvent::KeyDown : RPlatformEvent::KeyUp;
  e.key = key;
  Input_Inject(e);
}

constexpr int32_t kNumLockKey = 144;

FUNCTION_ROUTINE(F_KeyboardSetNumlock) {
  const bool on = a[0].AsReal() >= 0.5;
  if (!Platform_Installed() || Platform().Key_NumLock() == on) return;
  Platform().Key_SetNumLock(on);
  SendKey(kNumLockKey, true);
  SendKey(kNumLockKey, false);
}

FUNCTION_ROUTINE(F_KeyboardKeyPress) { SendKey(Arg(a[0]), true); }
FUNCTION_ROUTINE(F_KeyboardKeyRelease) { SendKey(Arg(a[0]), false); }

FUNCTION_ROUTINE(F_KeyboardSetMap) {
  const int32_t k = Arg(a[0]);
  if (k >= 0 && k < kKeyCount) g_Input.keyMap[size_t(k)] = Arg(a[1]);
}
FUNCTION_ROUTINE(F_KeyboardGetMap) {
  const int32_t k = Arg(a[0]);
  result.SetReal(k >= 0 && k < kKeyCount ? g_Input.keyMap[size_t(k)] : k);
}
FUNCTION_ROUTINE(F_KeyboardUnsetMap) { g_Input.keyMap = Input_IdentityKeyMap(); }

FUNCTION_ROUTINE(F_KeyboardClear) {
  IO_ProcessMessages();
  const int32_t k = Arg(a[0]);
  if (k < 0 || k >= kKeyCount) return;
  g_Input.keyHeld[size_t(k)] = g_Input.keyPressed[size_t(k)] = g_Input.keyReleased[size_t(k)] = false;
}

FUNCTION_ROUTINE(F_KeyboardWait) { Input_WaitForKey(); }

FUNCTION_ROUTINE(F_MouseCheckButton) { result.SetReal(CheckButton(g_Input.buttonHeld, Arg(a[0]))); }
FUNCTION_ROUTINE(F_MouseCheckButtonPressed) { result.SetReal(CheckButton(g_Input.buttonPressed, Arg(a[0]))); }
FUNCTION_ROUTINE(F_MouseCheckButtonReleased) { result.SetReal(CheckButton(g_Input.buttonReleased, Arg(a[0]))); }
FUNCTION_ROUTINE(F_MouseWheelUp) { result.SetReal(g_Input.wheelUp ? 1 : 0); }
FUNCTION_ROUTINE(F_MouseWheelDown) { result.SetReal(g_Input.wheelDown ? 1 : 0); }

FUNCTION_ROUTINE(F_MouseClear) {
  IO_ProcessMessages();
  const int32_t b = Arg(a[0]);
  if (b < 1 || b > 3) return;
  g_Input.buttonHeld[size_t(b)] = g_Input.buttonPressed[size_t(b)] = g_Input.buttonReleased[size_t(b)] = false;
}

FUNCTION_ROUTINE(F_MouseWait) { Input_WaitForButton(); }

FUNCTION_ROUTINE(F_IoClear) {
  IO_ProcessMessages();
  IO_ClearAll();
}
FUNCTION_ROUTINE(F_IoHandle) { IO_ProcessMessages(); }

// --- joysticks ---

int JoystickId(const RValue& v) { return Arg(v) == 2 ? 2 : 1; }

bool JoystickState(const RValue& id, RJoystickState& s) {
  return Platform_Installed() && Platform().Joystick_State(JoystickId(id), s);
}
bool JoystickCaps(const RValue& id, RJoystickCaps& c) {
  return Platform_Installed() && Platform().Joystick_Caps(JoystickId(id), c);
}

FUNCTION_ROUTINE(F_JoystickExists) {
  RJoystickState s;
  result.SetReal(JoystickState(a[0], s) ? 1 : 0);
}

// The direction as the keypad key laid out like it: 97..105, 101 centred.
FUNCTION_ROUTINE(F_JoystickDirection) {
  RJoystickState s;
  if (!JoystickState(a[0], s)) {
    result.SetReal(101);
    return;
  }
  const int row = s.axes[1] < 20000 ? 6 : s.axes[1] > 44000 ? 0 : 3;
  const int column = s.axes[0] < 20000 ? 1 : s.axes[0] > 44000 ? 3 : 2;
  result.SetReal(96 + row + column);
}

FUNCTION_ROUTINE(F_JoystickName) {
  RJoystickCaps c;
  result.SetString(RString(JoystickCaps(a[0], c) ? c.name : std::string()));
}
FUNCTION_ROUTINE(F_JoystickAxes) {
  RJoystickCaps c;
  result.SetReal(JoystickCaps(a[0], c) ? c.axes : 0);
}
FUNCTION_ROUTINE(F_JoystickButtons) {
  RJoystickCaps c;
  result.SetReal(JoystickCaps(a[0], c) ? c.buttons : 0);
}
FUNCTION_ROUTINE(F_JoystickHasPov) {
  RJoystickCaps c;
  result.SetReal(JoystickCaps(a[0], c) && c.hasPov ? 1 : 0);
}

FUNCTION_ROUTINE(F_JoystickCheckButton) {
  RJoystickState s;
  const int32_t b = Arg(a[1]);
  if (b < 1 || b > 32 || !JoystickState(a[0], s)) return;
  result.SetReal((s.buttons >> (b - 1)) & 1u);
}

// An axis from -1 (0) through 0 (32767, at rest) to just above 1 (65535).
template <size_t Axis>
FUNCTION_ROUTINE(F_JoystickAxis) {
  RJoystickState s;
  if (JoystickState(a[0], s)) result.SetReal(s.axes[Axis] / 32767.0 - 1);
}

FUNCTION_ROUTINE(F_JoystickPov) {
  RJoystickState s;
  if (!JoystickState(a[0], s) || s.pov / 100.0 > 360) {
    result.SetReal(-1);
    return;
  }
  result.SetReal(s.pov / 100.0);
}

}  // namespace

void Function_RegisterInput() {
  static const RFunctionRoutine kRoutines[] = {
      {"keyboard_check", F_KeyboardCheck},
      {"keyboard_check_pressed", F_KeyboardCheckPressed},
      {"keyboard_check_released", F_KeyboardCheckReleased},
      {"keyboard_check_direct", F_KeyboardCheckDirect},
      {"keyboard_get_numlock", F_KeyboardGetNumlock},
      {"keyboard_set_numlock", F_KeyboardSetNumlock},
      {"keyboard_key_press", F_KeyboardKeyPress},
      {"keyboard_key_release", F_KeyboardKeyRelease},
      {"keyboard_set_map", F_KeyboardSetMap},
      {"keyboard_get_map", F_KeyboardGetMap},
      {"keyboard_unset_map", F_KeyboardUnsetMap},
      {"keyboard_clear", F_KeyboardClear},
      {"keyboard_wait", F_KeyboardWait},
      {"mouse_check_button", F_MouseCheckButton},
      {"mouse_check_button_pressed", F_MouseCheckButtonPressed},
      {"mouse_check_button_released", F_MouseCheckButtonReleased},
      {"mouse_wheel_up", F_MouseWheelUp},
      {"mouse_wheel_down", F_MouseWheelDown},
      {"mouse_clear", F_MouseClear},
      {"mouse_wait", F_MouseWait},
      {"io_clear", F_IoClear},
      {"io_handle", F_IoHandle},
      {"joystick_exists", F_JoystickExists},
      {"joystick_direction", F_JoystickDirection},
      {"joystick_name", F_JoystickName},
      {"joystick_axes", F_JoystickAxes},
      {"joystick_buttons", F_JoystickButtons},
      {"joystick_has_pov", F_JoystickHasPov},
      {"joystick_check_button", F_JoystickCheckButton},
      {"joystick_xpos", F_JoystickAxis<0>},
      {"joystick_ypos", F_JoystickAxis<1>},
      {"joystick_zpos", F_JoystickAxis<2>},
      {"joystick_rpos", F_JoystickAxis<3>},
      {"joystick_upos", F_JoystickAxis<4>},
      {"joystick_vpos", F_JoystickAxis<5>},
      {"joystick_pov", F_JoystickPov},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
