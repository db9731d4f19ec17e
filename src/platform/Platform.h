// Everything the runner asks of the machine, in one interface: windows, the
// message pump and main-thread timers, the microsecond clock, message boxes,
// the cursor, the display, the process and the clipboard. The SDL
// implementation serves real desktops and headless runs alike; tests may
// install a fake.
//
// Everything here runs on the one GUI thread. Timers fire only where messages
// are pumped (the message loop or PumpMessages), never in the middle of game
// code.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform_Timers.h"

namespace tavrin {

class IGraphicsDevice;  // graphics/Graphics_Device.h

// A picture handed to a window: 0xAARRGGBB pixels, row-major, top row first.
struct RPixels {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

using WindowId = int32_t;  // 0 is no window

enum EWindowFlags : uint32_t {
  kWindowBorderless = 1u << 0,
  kWindowResizable = 1u << 1,
  kWindowOnTop = 1u << 2,
  // The window will show the frames of a graphics device
  // (Window_OpenDevice) instead of pictures given to Window_Present.
  kWindowGraphics = 1u << 3,
};

enum class EButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class EAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };
enum class EBoxIcon { None, Information, Warning, Error, Question };

struct RDisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // bytes per pixel x 8: a 24-bit desktop visual reports 32
  int refresh = 0;       // Hz, 0 when unknown
};

// What the player did, as the runner hears it. Keys carry the games' key
// codes (1..255, Platform_Keys.h), never the desktop's own.
struct RPlatformEvent {
  enum EType { Quit, WindowClose, FocusGained, FocusLost, KeyDown, KeyUp, Text, MouseMove, MouseDown, MouseUp, MouseWheel };
  EType type = Quit;
  WindowId window = 0;
  int key = 0;          // KeyDown, KeyUp: the key code, the sided one for Shift, Ctrl and Alt (160..165)
  bool repeat = false;  // KeyDown: the key was already down (auto-repeat)
  int button = 0;       // 1 left, 2 right, 3 middle
  int clicks = 1;       // MouseDown: 2 for the second press of a double click
  int x = 0, y = 0;     // client position; MouseWheel: y > 0 turned away from the player
  std::string text;     // Text: whole characters, UTF-8
};

// A joystick as games read it: six axes from 0 to 65535 with the centre at
// 32767 (x, y, z, r, u, v), up to 32 buttons as a mask (bit 0 is button 1),
// and the point-of-view hat in hundredths of a degree clockwise from
// forward, 65535 while it is centred.
struct RJoystickState {
  std::array<uint32_t, 6> axes{32767, 32767, 32767, 32767, 32767, 32767};
  uint32_t buttons = 0;
  uint32_t pov = 65535;
};
struct RJoystickCaps {
  std::string name;  // the product name, 32 characters at most
  int axes = 0;
  int buttons = 0;
  bool hasPov = false;
};

struct RPlatformConfig {
  bool headless = false;       // offscreen video, answers instead of people
  // Only virtual joysticks (replays, tests) count, so that a pad plugged
  // into the machine never changes a run that must repeat exactly. Headless
  // runs always ignore real joysticks.
  bool virtualJoysticksOnly = false;
  std::string answersFile;     // one answer per message box, e.g. "yes"
  std::string applicationTitle = "Tavrin";
};

class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // Windows are created hidden. Window_Present shows a software-drawn picture
  // in the window's client area (the runner's own windows are drawn so).
  virtual WindowId Window_Create(const std::string& title, int width, int height, uint32_t flags) = 0;
  virtual void Window_Destroy(WindowId window) = 0;
  virtual void Window_Show(WindowId window, bool visible) = 0;
  virtual void Window_SetBounds(WindowId window, int x, int y, int width, int height) = 0;
  virtual void Window_SetTitle(WindowId window, const std::string& title) = 0;
  // Translucency and colour keying where the desktop supports them; false
  // when it does not (the window then stays opaque).
  virtual bool Window_SetOpacity(WindowId window, float alpha) = 0;
  virtual bool Window_SetColorKey(WindowId window, RPixels shape, uint32_t keyColor) = 0;
  virtual void Window_Present(WindowId window, RPixels picture) = 0;
  // Opens the graphics device on a window made with kWindowGraphics: an
  // OpenGL 3.3 context whose back buffer is width x height pixels and whose
  // Present shows it in this window. Destroy the device before the window;
  // a device whose window has gone draws and shows nothing. Throws
  // std::runtime_error "could not start OpenGL 3.3: <reason>" when no device
  // can be made (this default: a platform without one).
  virtual std::unique_ptr<IGraphicsDevice> Window_OpenDevice(WindowId window, int width, int height);
  virtual void Window_SetBusyCursor(bool busy) = 0;

  // The game window's shape. These have defaults that only remember what was
  // asked, so that platforms without windows of that kind (and test fakes)
  // need not implement them.
  //
  // Border, resizing and stay-on-top together: kWindowBorderless,
  // kWindowResizable and kWindowOnTop of `flags`; other bits are ignored.
  virtual void Window_SetStyle(WindowId window, uint32_t flags);
  // Full screen covers the screen without a border. When a display mode was
  // asked for (Display_SetMode) the screen switches to it while the window is
  // full screen, and back when it leaves full screen or closes; otherwise the
  // desktop keeps its mode.
  virtual void Window_SetFullscreen(WindowId window, bool on);
  // The client area: its top-left in screen coordinates and its size. False
  // when the window does not exist.
  virtual bool Window_GetBounds(WindowId window, int& x, int& y, int& width, int& height);
  // The smallest client size the player may resize the window to (0 x 0: any).
  virtual void Window_SetMinimumSize(WindowId window, int width, int height);
  // The desktop's own number for the window, for games that hand it to
  // other programs: the X window on X11, otherwise the window's number in
  // this process. 0 when the window does not exist.
  virtual uint32_t Window_NativeHandle(WindowId window);

  // The mouse: whether the cursor shows over the runner's windows, where the
  // last mouse event put it (client coordinates of the window it was in;
  // window 0 when no mouse event came yet), and moving it to a position in a
  // window's client area (which then counts as its last position).
  virtual void Cursor_Show(bool visible);
  virtual WindowId Mouse_LastPosition(int& x, int& y);
  virtual void Mouse_Warp(WindowId window, int x, int y);

  // Joysticks 1 and 2: the first two devices in the order they were plugged
  // in (a device unplugged frees its number for the next). Devices that the
  // desktop knows as game controllers are read in one fixed layout: left
  // stick x and y, triggers z (left up, right down), right stick r (up and
  // down) and u (left and right); buttons A, B, X, Y, left and right
  // shoulder, back, start, left and right stick; the pad as the hat. Other
  // devices are read as they report themselves. False when there is no such
  // joystick (the defaults: none).
  virtual bool Joystick_State(int id, RJoystickState& state);
  virtual bool Joystick_Caps(int id, RJoystickCaps& caps);
  // Plays joystick `id` (1 or 2) through a virtual device of six axes, 32
  // buttons and a hat, plugged in at the first call: replays and tests drive
  // joysticks this way. `controller` makes the device a game controller
  // (15 buttons, its state then given in the controller layout above). False
  // when no virtual device can be had.
  virtual bool Joystick_SetVirtual(int id, const RJoystickState& state, bool controller = false);

  // Num Lock as the desktop has it (false where it cannot be told), and
  // switching it.
  virtual bool Key_NumLock();
  virtual void Key_SetNumLock(bool on);

  // Events, the loop and timers.
  virtual void SetEventHandler(std::function<void(const RPlatformEvent&)> handler) = 0;
  // Dispatches every pending message (and due timer), then returns.
  virtual void PumpMessages() = 0;
  // Dispatches messages and timers until QuitMessageLoop is called.
  virtual void RunMessageLoop() = 0;
  virtual void QuitMessageLoop() = 0;
  virtual CTimerQueue& Timers() = 0;
  // A modal window: shows `window`, then dispatches messages, asleep while
  // none come, until `done()` is true or the run is asked to quit. The
  // window's own events go to `handler`; input aimed at any other window is
  // dropped; a window that needs repainting (the modal one too) is handed
  // to `repaint`; the runner's timers keep firing. The window is hidden when
  // this returns. The default (platforms without windows, test fakes) only
  // pumps and sleeps.
  virtual void RunModal(WindowId window, const std::function<void(const RPlatformEvent&)>& handler,
                        const std::function<bool()>& done, const std::function<void(WindowId)>& repaint);

  // The clock: microseconds from an arbitrary start, never going back.
  virtual int64_t Clock_Microseconds() = 0;
  virtual void Sleep_Microseconds(int64_t microseconds) = 0;

  // A modal message box. Headless runs print the text to standard error and
  // take the answer from the answers file, else the default button.
  virtual EAnswer MessageBox(const std::string& text, EButtons buttons, EBoxIcon icon, int defaultButton = 0) = 0;

  virtual RDisplayMode Display_GetMode() = 0;
  // Asks for a display mode (fields of 0 unchanged); the result may be
  // applied when the game window goes full screen.
  virtual bool Display_SetMode(const RDisplayMode& mode) = 0;
  // Whether the screen offers a mode with the given fields (fields of 0 or
  // less match anything); nothing changes.
  virtual bool Display_TestMode(const RDisplayMode& mode);
  // Forgets the mode asked for: the screen keeps (or goes back to) the
  // desktop's own mode, even while a window is full screen.
  virtual void Display_RestoreMode();

  // The scheduling priority of the game thread, from -3 (the lowest: it
  // yields to everything else) through 0 (normal) to 3 (the highest); 1 is
  // above normal, 2 high. False when not permitted (ordinary users may lower
  // their priority but not raise it again).
  virtual bool Process_SetPriority(int level) = 0;

  // The program's name towards the desktop, and the caption of its message
  // boxes.
  virtual void Application_SetTitle(const std::string& title) = 0;

  // The system clipboard, plain UTF-8 text only. Clipboard_SetText is false
  // when the desktop offers no clipboard; Clipboard_GetText is false when the
  // clipboard holds no text.
  virtual bool Clipboard_SetText(const std::string& text) = 0;
  virtual bool Clipboard_GetText(std::string& text) = 0;

 private:
  std::array<int, 3> m_defaultMouse{};  // window, x, y: what the default mouse methods remember
};

// The platform the runner uses; installed once at start.
IPlatform& Platform();
void Platform_Install(std::unique_ptr<IPlatform> platform);
bool Platform_Installed();

// The SDL implementation. Throws std::runtime_error with a readable reason
// when the video system cannot start.
std::unique_ptr<IPlatform> Platform_CreateSDL(const RPlatformConfig& config);

// Short forms used throughout the runner.
inline void PumpMessages() { Platform().PumpMessages(); }

// The running executable's full path.
std::string Platform_ExecutablePath();

}  // namespace tavrin
