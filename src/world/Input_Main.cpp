// The input state filled from the window's events, the close button, and
// waiting for a key or a button.
#include <algorithm>

#include "graphics/Graphics_Display.h"
#include "package/Package_Data.h"
#include "platform/Platform_Quit.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"

namespace tavrin {

RInputState g_Input;

namespace {

bool (*g_WaitFeeder)() = nullptr;

constexpr int32_t kCloseButtonEvent = 30;

// Shift, Ctrl and Alt come from the desktop with their side; the game's
// events see the key without it, as keyboard_check(vk_shift) expects.
int32_t WithoutSide(int32_t key) {
  switch (key) {
    case 160: case 161: return 16;
    case 162: case 163: return 17;
    case 164: case 165: return 18;
    default: return key;
  }
}

// The incoming key as the key map has it; -1 when it is no key (a map to a
// code outside 0..255 disables the key).
int32_t Mapped(int32_t key) {
  const int32_t m = key >= 0 && key < kKeyCount ? g_Input.keyMap[size_t(key)] : key;
  return m >= 0 && m < kKeyCount ? m : -1;
}

// The control character a key types where it goes down: these keys type no
// text, yet games see them in keyboard_lastchar and keyboard_string.
uint32_t ControlCharacter(int32_t key) {
  switch (key) {
    case 8: case 9: case 13: case 27: return uint32_t(key);
    default: return 0;
  }
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

bool IsContinuation(char c) { return (uint8_t(c) & 0xC0) == 0x80; }

// Drops whole characters from the front until `cap` remain.
void KeepLastCharacters(std::string& s, size_t cap) {
  size_t count = 0;
  for (char c : s) count += !IsContinuation(c);
  if (count <= cap) return;
  size_t drop = count - cap, at = 0;
  while (drop > 0 && at < s.size()) {
    ++at;
    while (at < s.size() && IsContinuation(s[at])) ++at;
    --drop;
  }
  s.erase(0, at);
}

void RemoveLastCharacter(std::string& s) {
  size_t at = s.size();
  while (at > 0 && IsContinuation(s[at - 1])) --at;
  s.erase(at > 0 ? at - 1 : 0);
}

// Decodes one character of `utf8` at `at` (advancing it); U+FFFD for bytes
// that are no character, so text from anywhere stays whole.
uint32_t NextCharacter(std::string_view utf8, size_t& at) {
  const uint8_t b = uint8_t(utf8[at++]);
  int more = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (b >= 0x80 && more == 0) return 0xFFFD;
  uint32_t c = more == 3 ? b & 0x07 : more == 2 ? b & 0x0F : more == 1 ? b & 0x1F : b;
  for (; more > 0; --more) {
    if (at >= utf8.size() || !IsContinuation(utf8[at])) return 0xFFFD;
    c = (c << 6) | (uint8_t(utf8[at++]) & 0x3F);
  }
  return c > 0x10FFFF ? 0xFFFD : c;
}

bool IsGameWindow(WindowId w) { return w == 0 || w == g_Display.window; }

}  // namespace

// ------------------------------------------------------------ handlers

void FormKeyDown(int32_t key) {
  if (key >= 0 && key < kKeyCount) g_Input.keyDirect[size_t(key)] = true;
  const int32_t m = Mapped(WithoutSide(key));
  if (m < 0) return;
  g_Input.keyboard_lastkey = m;
  g_Input.keyboard_key = m;
  if (!g_Input.keyHeld[size_t(m)]) g_Input.keyPressed[size_t(m)] = true;
  g_Input.keyHeld[size_t(m)] = true;
}

void FormKeyUp(int32_t key) {
  if (key >= 0 && key < kKeyCount) g_Input.keyDirect[size_t(key)] = false;
  const int32_t m = Mapped(WithoutSide(key));
  if (m < 0) return;
  if (m == g_Input.keyboard_key) g_Input.keyboard_key = 0;
  g_Input.keyHeld[size_t(m)] = false;
  g_Input.keyReleased[size_t(m)] = true;
}

void FormKeyPress(uint32_t c) {
  g_Input.keyboard_lastchar.clear();
  AppendUtf8(g_Input.keyboard_lastchar, c);
  std::string& s = g_Input.keyboard_string;
  // The cap counts characters, so that it never cuts one in half.
  KeepLastCharacters(s, kKeyboardStringCap);
  if (c == 8) {
    if (!s.empty()) RemoveLastCharacter(s);
  } else if (c > 31) {
    AppendUtf8(s, c);
  }
}

void FormText(std::string_view utf8) {
  for (size_t at = 0; at < utf8.size();) FormKeyPress(NextCharacter(utf8, at));
}

void FormMouseDown(int32_t b) {
  if (b < 1 || b > 3) b = 1;
  g_Input.mouse_lastbutton = b;
  g_Input.mouse_button = b;
  g_Input.buttonHeld[size_t(b)] = true;
  g_Input.buttonPressed[size_t(b)] = true;
}

void FormMouseUp(int32_t b) {
  if (b < 1 || b > 3) b = 1;
  g_Input.mouse_button = 0;
  g_Input.buttonHeld[size_t(b)] = false;
  g_Input.buttonReleased[size_t(b)] = true;
}

void FormMouseWheel(bool up) { (up ? g_Input.wheelUp : g_Input.wheelDown) = true; }

// The close button never closes the window itself: the game hears it as its
// close-button event, or, as the settings may say, as the Escape key held
// down (not pressed: the runner's Escape key then ends the game).
void FormCloseQuery() {
  if (!g_PackageData.settings.opt_closeasesc) {
    Event_PerformAll(EV_OTHER, kCloseButtonEvent);
    return;
  }
  g_Input.keyHeld[27] = true;
  g_Input.keyboard_key = 27;
  g_Input.keyboard_lastkey = 27;
}

void Input_HandleEvent(const RPlatformEvent& e) {
  if (!IsGameWindow(e.window)) return;
  switch (e.type) {
    case RPlatformEvent::KeyDown:
      FormKeyDown(e.key);
      if (const uint32_t c = ControlCharacter(e.key)) FormKeyPress(c);
      break;
    case RPlatformEvent::KeyUp: FormKeyUp(e.key); break;
    case RPlatformEvent::Text: FormText(e.text); break;
    case RPlatformEvent::MouseDown: FormMouseDown(e.button); break;
    case RPlatformEvent::MouseUp: FormMouseUp(e.button); break;
    case RPlatformEvent::MouseWheel: FormMouseWheel(e.y > 0); break;
    case RPlatformEvent::WindowClose: FormCloseQuery(); break;
    case RPlatformEvent::FocusGained: g_Input.windowActive = true; break;
    case RPlatformEvent::FocusLost: g_Input.windowActive = false; break;
    case RPlatformEvent::MouseMove:
      // An injected move puts the mouse there, as the desktop's moves do.
      if (e.window == 0 && Platform_Installed()) Platform().Mouse_Warp(g_Display.window, e.x, e.y);
      break;
    case RPlatformEvent::Quit: break;
  }
}

void Input_Inject(const RPlatformEvent& e) { g_Input.injected.push_back(e); }

void IO_ProcessMessages() {
  if (Platform_Installed()) PumpMessages();
  // Taken one at a time: a handler may inject more.
  while (!g_Input.injected.empty()) {
    const RPlatformEvent e = std::move(g_Input.injected.front());
    g_Input.injected.pop_front();
    Input_HandleEvent(e);
  }
}

void IO_ClearAll() {
  g_Input.keyboard_string.clear();
  g_Input.keyboard_lastkey = g_Input.keyboard_key = 0;
  g_Input.keyboard_lastchar.clear();
  g_Input.keyHeld.fill(false);
  g_Input.keyPressed.fill(false);
  g_Input.keyReleased.fill(false);
  g_Input.mouse_lastbutton = g_Input.mouse_button = 0;
  g_Input.buttonHeld.fill(false);
  g_Input.buttonPressed.fill(false);
  g_Input.buttonReleased.fill(false);
  g_Input.wheelUp = g_Input.wheelDown = false;
}

void IO_ClearStep() {
  g_Input.keyPressed.fill(false);
  g_Input.keyReleased.fill(false);
  g_Input.buttonPressed.fill(false);
  g_Input.buttonReleased.fill(false);
  g_Input.wheelUp = g_Input.wheelDown = false;
}

// ------------------------------------------------------------ waiting

void Input_SetWaitFeeder(bool (*feeder)()) { g_WaitFeeder = feeder; }

namespace {

template <class Answered>
void WaitUntil(Answered answered) {
  constexpr int64_t kPass = 50000;  // 50 ms between passes
  for (;;) {
    IO_ProcessMessages();
    if (answered() || Quit_Requested()) return;
    const bool more = g_WaitFeeder ? g_WaitFeeder() : Platform_Installed();
    if (!more) return;
    IO_ProcessMessages();
    if (answered() || Quit_Requested()) return;
    if (Platform_Installed()) Platform().Sleep_Microseconds(kPass);
  }
}

}  // namespace

void Input_WaitForKey() {
  g_Input.keyboard_lastkey = 0;
  WaitUntil([] { return g_Input.keyboard_lastkey != 0; });
}

void Input_WaitForButton() {
  g_Input.mouse_lastbutton = 0;
  WaitUntil([] { return g_Input.mouse_lastbutton != 0; });
}

}  // namespace tavrin
