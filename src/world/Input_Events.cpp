// The step's interaction events: keyboard, key press and key release, the
// joysticks, the mouse; and the names of keys and mouse events.
#include "graphics/Graphics_Display.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"

namespace tavrin {

namespace {

// Key codes below 8 are no keys of a keyboard: they raise no key events.
constexpr int32_t kFirstEventKey = 8;
constexpr int32_t kNoKey = 0, kAnyKey = 1;

// The event on every instance whose object has it, each as its own other.
void Raise(int32_t type, int32_t number) {
  Event_ForEachHolder(type, number, [&](CInstance* inst, int32_t obj) {
    Event_PerformObject(inst, inst, obj, type, number);
  });
}

// One kind of key event: each key that qualifies, then no key or any key.
template <class Qualifies>
void RaiseKeys(int32_t type, Qualifies qualifies) {
  bool any = false;
  for (int32_t k = kFirstEventKey; k < kKeyCount; ++k) {
    if (!qualifies(size_t(k))) continue;
    any = true;
    Raise(type, k);
  }
  Raise(type, any ? kAnyKey : kNoKey);
}

enum : int32_t {
  kMouseNoButton = 3, kMouseEnter = 10, kMouseLeave = 11, kGlobalPress = 12, kGlobalRelease = 13,
  kWheelUp = 60, kWheelDown = 61,
};

// The mouse event on the instances under the mouse (precise shapes).
void RaiseUnderMouse(int32_t number) {
  const double x = g_Input.mouseRoomX, y = g_Input.mouseRoomY;
  Event_ForEachHolder(EV_MOUSE, number, [&](CInstance* inst, int32_t obj) {
    if (Collision_Point(*inst, x, y, true)) Event_PerformObject(inst, inst, obj, EV_MOUSE, number);
  });
}

// Entering (leaving): under the mouse now and not a step before (or the
// other way round).
void RaiseCrossing(int32_t number, bool entering) {
  const RInputState& in = g_Input;
  Event_ForEachHolder(EV_MOUSE, number, [&](CInstance* inst, int32_t obj) {
    const bool now = Collision_Point(*inst, in.mouseRoomX, in.mouseRoomY, true);
    const bool before = Collision_Point(*inst, in.prevMouseRoomX, in.prevMouseRoomY, true);
    if (entering ? (now && !before) : (before && !now)) Event_PerformObject(inst, inst, obj, EV_MOUSE, number);
  });
}

// A stick counts as pushed beyond these, on the 0..65535 scale.
constexpr uint32_t kStickLow = 20000, kStickHigh = 44000;

void RaiseJoystick(int32_t id, int32_t firstDirection, int32_t firstButton) {
  RJoystickState s;
  if (!Platform_Installed() || !Platform().Joystick_State(id, s)) return;
  if (s.axes[0] < kStickLow) Raise(EV_MOUSE, firstDirection);
  if (s.axes[0] > kStickHigh) Raise(EV_MOUSE, firstDirection + 1);
  if (s.axes[1] < kStickLow) Raise(EV_MOUSE, firstDirection + 2);
  if (s.axes[1] > kStickHigh) Raise(EV_MOUSE, firstDirection + 3);
  for (int32_t b = 0; b < 8; ++b)
    if ((s.buttons >> b) & 1u) Raise(EV_MOUSE, firstButton + b);
}

}  // namespace

void Handle_Keyboard_Events() {
  const RInputState& in = g_Input;
  RaiseKeys(EV_KEYBOARD, [&](size_t k) { return in.keyHeld[k] || in.keyPressed[k]; });
  if (Run_ChangePending()) return;
  RaiseKeys(EV_KEYPRESS, [&](size_t k) { return in.keyPressed[k]; });
  if (Run_ChangePending()) return;
  RaiseKeys(EV_KEYRELEASE, [&](size_t k) { return in.keyReleased[k]; });
}

void Handle_Joystick_Events() {
  RaiseJoystick(1, 16, 21);
  if (Run_ChangePending()) return;
  RaiseJoystick(2, 31, 36);
}

void Handle_Mouse_Events() {
  RInputState& in = g_Input;
  in.prevMouseRoomX = in.mouseRoomX;
  in.prevMouseRoomY = in.mouseRoomY;
  const auto [x, y] = Display_MouseInRoom();
  in.mouseRoomX = x;
  in.mouseRoomY = y;

  bool any = false;
  for (int32_t b = 1; b <= 3; ++b) {
    if (!in.buttonHeld[size_t(b)] && !in.buttonPressed[size_t(b)]) continue;
    any = true;
    RaiseUnderMouse(b - 1);
    Raise(EV_MOUSE, 49 + b);
  }
  if (!any) RaiseUnderMouse(kMouseNoButton);
  for (int32_t b = 1; b <= 3; ++b) {
    if (!in.buttonPressed[size_t(b)]) continue;
    RaiseUnderMouse(b + 3);
    Raise(EV_MOUSE, kGlobalPress);
    Raise(EV_MOUSE, 52 + b);
  }
  for (int32_t b = 1; b <= 3; ++b) {
    if (!in.buttonReleased[size_t(b)]) continue;
    RaiseUnderMouse(b + 6);
    Raise(EV_MOUSE, kGlobalRelease);
    Raise(EV_MOUSE, 55 + b);
  }
  RaiseCrossing(kMouseEnter, true);
  RaiseCrossing(kMouseLeave, false);
  if (in.wheelUp) Raise(EV_MOUSE, kWheelUp);
  if (in.wheelDown) Raise(EV_MOUSE, kWheelDown);
}

// ------------------------------------------------------------ names

std::string Key_Name(int32_t key) {
  switch (key) {
    case 0: return "<no key>";
    case 1: return "<any key>";
    case 8: return "<Backspace>";
    case 9: return "<Tab>";
    case 13: return "<Enter>";
    case 16: return "<Shift>";
    case 17: return "<Ctrl>";
    case 18: return "<Alt>";
    case 27: return "<Escape>";
    case 32: return "<Space>";
    case 33: return "<Page Up>";
    case 34: return "<Page Down>";
    case 35: return "<End>";
    case 36: return "<Home>";
    case 37: return "<Left>";
    case 38: return "<Up>";
    case 39: return "<Right>";
    case 40: return "<Down>";
    case 45: return "<Insert>";
    case 46: return "<Delete>";
    case 106: return "Keypad *";
    case 107: return "Keypad +";
    case 109: return "Keypad -";
    case 110: return "Keypad .";
    case 111: return "Keypad /";
    default: break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key)) + "-key";
  if (key >= 96 && key <= 105) return "Keypad " + std::to_string(key - 96);
  if (key >= 112 && key <= 123) return "F" + std::to_string(key - 111);
  return "<unknown>";
}

std::string Mouse_EventName(int32_t n) {
  static const char* const kFirst[] = {
      "Left Button",  "Right Button",    "Middle Button",  "No Button",     "Left Pressed",  "Right Pressed",
      "Middle Pressed", "Left Released", "Right Released", "Middle Released", "Mouse Enter", "Mouse Leave"};
  static const char* const kDirections[] = {"Left", "Right", "Up", "Down"};
  static const char* const kGlobal[] = {"Glob Left Button",   "Glob Right Button",   "Glob Middle Button",
                                        "Glob Left Pressed",  "Glob Right Pressed",  "Glob Middle Pressed",
                                        "Glob Left Released", "Glob Right Released", "Glob Middle Released"};
  if (n >= 0 && n < 12) return kFirst[n];
  for (int32_t j = 0; j < 2; ++j) {
    const int32_t base = 16 + 15 * j;
    const std::string stick = "Joystick " + std::to_string(j + 1) + " ";
    if (n >= base && n < base + 4) return stick + kDirections[n - base];
    if (n >= base + 5 && n < base + 13) return stick + "Button " + std::to_string(n - base - 4);
  }
  if (n >= 50 && n <= 58) return kGlobal[n - 50];
  if (n == kWheelUp) return "Mouse Wheel Up";
  if (n == kWheelDown) return "Mouse Wheel Down";
  return "<unknown>";
}

}  // namespace tavrin
