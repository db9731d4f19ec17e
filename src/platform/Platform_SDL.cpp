// The SDL implementation of the platform: real windows on a desktop, the
// offscreen video driver when headless.
#include <SDL.h>
#include <SDL_shape.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "platform/Platform.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Transcript.h"
#include "platform/Platform_GL.h"
#include "platform/Platform_Keys.h"
#include "platform/Platform_Quit.h"
#include "platform/Platform_Trace.h"

namespace tavrin {

uint32_t Platform_SDLNativeHandle(SDL_Window* window);  // Platform_SDLNative.cpp

namespace {

int64_t MonotonicMicroseconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

struct RButtonSet {
  std::vector<EAnswer> answers;
  std::vector<const char*> labels;
};

RButtonSet ButtonsOf(EButtons buttons) {
  switch (buttons) {
    case EButtons::Ok: return {{EAnswer::Ok}, {"OK"}};
    case EButtons::OkCancel: return {{EAnswer::Ok, EAnswer::Cancel}, {"OK", "Cancel"}};
    case EButtons::YesNo: return {{EAnswer::Yes, EAnswer::No}, {"Yes", "No"}};
    case EButtons::YesNoCancel: return {{EAnswer::Yes, EAnswer::No, EAnswer::Cancel}, {"Yes", "No", "Cancel"}};
    case EButtons::RetryCancel: return {{EAnswer::Retry, EAnswer::Cancel}, {"Retry", "Cancel"}};
    case EButtons::AbortRetryIgnore:
      return {{EAnswer::Abort, EAnswer::Retry, EAnswer::Ignore}, {"Abort", "Retry", "Ignore"}};
  }
  return {{EAnswer::Ok}, {"OK"}};
}

bool ParseAnswer(std::string word, EAnswer& out) {
  static const std::map<std::string, EAnswer> kWords = {
      {"ok", EAnswer::Ok},       {"cancel", EAnswer::Cancel}, {"yes", EAnswer::Yes},      {"no", EAnswer::No},
      {"abort", EAnswer::Abort}, {"retry", EAnswer::Retry},   {"ignore", EAnswer::Ignore}};
  std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  const auto it = kWords.find(word);
  if (it == kWords.end()) return false;
  out = it->second;
  return true;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

class CPlatformSDL final : public IPlatform {
 public:
  explicit CPlatformSDL(const RPlatformConfig& config) : m_config(config) {
    if (config.headless) {
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // The runner's own windows are painted in software; a plain framebuffer
    // is all they need, and it spares a graphics context per window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The runner's windows are many (most of them hidden): closing one is
    // never a request to quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Games read their joysticks whether or not their window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
      throw std::runtime_error(std::string("cannot open the display (") + SDL_GetError() +
                               "); run with --headless to play without one");
    m_realJoysticks = !config.headless && !config.virtualJoysticksOnly;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
      WriteTrace(std::string("Joysticks are not available: ") + SDL_GetError());
    std::string error;
    if (!config.answersFile.empty() && !Answers_Load(config.answersFile, error)) throw std::runtime_error(error);
    Answers_SetHeadless(config.headless);
  }

  ~CPlatformSDL() override {
    for (int id = 1; id <= 2; ++id) CloseJoystick(id);
    if (m_busyCursor) SDL_FreeCursor(m_busyCursor);
    for (auto& [id, w] : m_windows) {
      if (auto link = w.device.lock()) link->window = nullptr;
      SDL_DestroyWindow(w.window);
    }
    SDL_Quit();
  }

  // ------------------------------------------------------------ windows

  WindowId Window_Create(const std::string& title, int width, int height, uint32_t flags) override {
    RWindow w{nullptr, title, flags, {}, {}, false};
    if (flags & kWindowGraphics) GL_SetWindowAttributes();
    w.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, std::max(width, 1),
                                std::max(height, 1), SdlFlags(flags));
    if (!w.window && (flags & kWindowGraphics)) {
      // No OpenGL here: the window still opens, and opening the device on
      // it later says why it cannot.
      w.graphicsError = SDL_GetError();
      w.flags &= ~uint32_t(kWindowGraphics);
      w.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, std::max(width, 1),
                                  std::max(height, 1), SdlFlags(w.flags));
    }
    if (!w.window) throw std::runtime_error(std::string("cannot create a window: ") + SDL_GetError());
    const WindowId id = ++m_lastWindow;
    m_windows[id] = w;
    return id;
  }

  void Window_Destroy(WindowId id) override {
    if (RWindow* w = Find(id)) {
      if (auto link = w->device.lock()) link->window = nullptr;
      SDL_DestroyWindow(w->window);
      m_windows.erase(id);
    }
  }

  void Window_Show(WindowId id, bool visible) override {
    if (RWindow* w = Find(id)) visible ? SDL_ShowWindow(w->window) : SDL_HideWindow(w->window);
  }

  void Window_SetBounds(WindowId id, int x, int y, int width, int height) override {
    if (RWindow* w = Find(id)) {
      // Games may ask for any size; desktops take sides up to 32767 pixels.
      SDL_SetWindowSize(w->window, std::clamp(width, 1, 32767), std::clamp(height, 1, 32767));
      SDL_SetWindowPosition(w->window, x, y);
    }
  }

  void Window_SetTitle(WindowId id, const std::string& title) override {
    if (RWindow* w = Find(id)) {
      w->title = title;
      SDL_SetWindowTitle(w->window, title.c_str());
    }
  }

  bool Window_SetOpacity(WindowId id, float alpha) override {
    RWindow* w = Find(id);
    return w && SDL_SetWindowOpacity(w->window, std::clamp(alpha, 0.0f, 1.0f)) == 0;
  }

  bool Window_SetColorKey(WindowId id, RPixels shape, uint32_t key) override {
    RWindow* w = Find(id);
    if (!w || shape.width <= 0 || shape.height <= 0) return false;
    // Only shaped windows can be colour-keyed, and a window must be born
    // shaped: the plain window is replaced by a shaped one of the same kind.
    int x, y;
    SDL_GetWindowPosition(w->window, &x, &y);
    SDL_Window* shaped = SDL_CreateShapedWindow(w->title.c_str(), unsigned(x), unsigned(y), unsigned(shape.width),
                                                unsigned(shape.height), SdlFlags(w->flags));
    if (!shaped) return false;
    SDL_Surface* surface = Wrap(shape);
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeColorKey;
    mode.parameters.colorKey = SDL_Color{Uint8(key >> 16), Uint8(key >> 8), Uint8(key), 255};
    const bool ok = surface && SDL_SetWindowShape(shaped, surface, &mode) == 0;
    if (surface) SDL_FreeSurface(surface);
    if (!ok) {
      SDL_DestroyWindow(shaped);
      return false;
    }
    const bool shown = (SDL_GetWindowFlags(w->window) & SDL_WINDOW_SHOWN) != 0;
    // Made with the same flags, the new window can take the device's context.
    if (auto link = w->device.lock()) link->window = shaped;
    SDL_DestroyWindow(w->window);
    w->window = shaped;
    if (shown) SDL_ShowWindow(shaped);
    return true;
  }

  void Window_Present(WindowId id, RPixels picture) override {
    RWindow* w = Find(id);
    // A window that holds a graphics device shows the device's frames.
    if (!w || picture.width <= 0 || picture.height <= 0 || !w->device.expired()) return;
    SDL_Surface* target = SDL_GetWindowSurface(w->window);
    SDL_Surface* source = Wrap(picture);
    if (target && source) {
      SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
      SDL_BlitSurface(source, nullptr, target, nullptr);
      SDL_UpdateWindowSurface(w->window);
    }
    if (source) SDL_FreeSurface(source);
  }

  std::unique_ptr<IGraphicsDevice> Window_OpenDevice(WindowId id, int width, int height) override {
    RWindow* w = Find(id);
    const std::string prefix = "could not start OpenGL 3.3: ";
    if (!w) throw std::runtime_error(prefix + "no such window");
    if (!w->graphicsError.empty()) throw std::runtime_error(prefix + w->graphicsError);
    if (!(w->flags & kWindowGraphics)) throw std::runtime_error(prefix + "the window was not made for graphics");
    if (!w->device.expired()) throw std::runtime_error(prefix + "the window already holds a device");
    auto link = std::make_shared<RGLWindowLink>(RGLWindowLink{w->window});
    auto device = GL_OpenDevice(link, width, height);
    w->device = link;
    return device;
  }

  void Window_SetBusyCursor(bool busy) override {
    if (busy && !m_busyCursor) m_busyCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    if (busy && m_busyCursor) SDL_SetCursor(m_busyCursor);
    if (!busy) SDL_SetCursor(SDL_GetDefaultCursor());
  }

  void Window_SetStyle(WindowId id, uint32_t flags) override {
    RWindow* w = Find(id);
    if (!w) return;
    const uint32_t style = kWindowBorderless | kWindowResizable | kWindowOnTop;
    w->flags = (w->flags & ~style) | (flags & style);
    SDL_SetWindowBordered(w->window, (flags & kWindowBorderless) ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(w->window, (flags & kWindowResizable) ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(w->window, (flags & kWindowOnTop) ? SDL_TRUE : SDL_FALSE);
  }

  void Window_SetFullscreen(WindowId id, bool on) override {
    RWindow* w = Find(id);
    if (!w) return;
    w->fullscreen = on;
    ApplyFullscreen(*w);
  }

  bool Window_GetBounds(WindowId id, int& x, int& y, int& width, int& height) override {
    RWindow* w = Find(id);
    if (!w) return false;
    SDL_GetWindowPosition(w->window, &x, &y);
    SDL_GetWindowSize(w->window, &width, &height);
    return true;
  }

  uint32_t Window_NativeHandle(WindowId id) override {
    RWindow* w = Find(id);
    return w ? Platform_SDLNativeHandle(w->window) : 0;
  }

  void Window_SetMinimumSize(WindowId id, int width, int height) override {
    // The smallest limit a window takes is 1 x 1 (a limit of 0 is refused,
    // which would keep the old one).
    if (RWindow* w = Find(id))
      SDL_SetWindowMinimumSize(w->window, std::clamp(width, 1, 32767), std::clamp(height, 1, 32767));
  }

  void Cursor_Show(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

  WindowId Mouse_LastPosition(int& x, int& y) override {
    x = m_mouseX;
    y = m_mouseY;
    return m_mouseWindow;
  }

  void Mouse_Warp(WindowId id, int x, int y) override {
    RWindow* w = Find(id);
    if (!w) return;
    SDL_WarpMouseInWindow(w->window, x, y);
    m_mouseWindow = id;
    m_mouseX = x;
    m_mouseY = y;
  }

  // ------------------------------------------------------------ joysticks

  bool Joystick_State(int id, RJoystickState& state) override {
    const RJoystick* j = Joystick(id);
    if (!j) return false;
    state = RJoystickState();
    if (j->pad) {
      auto axis = [&](SDL_GameControllerAxis a) { return SDL_GameControllerGetAxis(j->pad, a); };
      auto button = [&](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(j->pad, b) != 0; };
      state.axes[0] = AxisToGame(axis(SDL_CONTROLLER_AXIS_LEFTX));
      state.axes[1] = AxisToGame(axis(SDL_CONTROLLER_AXIS_LEFTY));
      state.axes[2] = AxisToGame(std::clamp(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) - axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT),
                                            -32768, 32767));
      state.axes[3] = AxisToGame(axis(SDL_CONTROLLER_AXIS_RIGHTY));
      state.axes[4] = AxisToGame(axis(SDL_CONTROLLER_AXIS_RIGHTX));
      for (size_t b = 0; b < std::size(kPadButtons); ++b)
        if (button(kPadButtons[b])) state.buttons |= 1u << b;
      Uint8 hat = 0;
      if (button(SDL_CONTROLLER_BUTTON_DPAD_UP)) hat |= SDL_HAT_UP;
      if (button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) hat |= SDL_HAT_RIGHT;
      if (button(SDL_CONTROLLER_BUTTON_DPAD_DOWN)) hat |= SDL_HAT_DOWN;
      if (button(SDL_CONTROLLER_BUTTON_DPAD_LEFT)) hat |= SDL_HAT_LEFT;
      state.pov = HatToPov(hat);
      return true;
    }
    const int axes = std::min(SDL_JoystickNumAxes(j->joy), 6);
    for (int a = 0; a < axes; ++a) state.axes[size_t(a)] = AxisToGame(SDL_JoystickGetAxis(j->joy, a));
    const int buttons = std::min(SDL_JoystickNumButtons(j->joy), 32);
    for (int b = 0; b < buttons; ++b)
      if (SDL_JoystickGetButton(j->joy, b)) state.buttons |= 1u << b;
    if (SDL_JoystickNumHats(j->joy) > 0) state.pov = HatToPov(SDL_JoystickGetHat(j->joy, 0));
    return true;
  }

  bool Joystick_Caps(int id, RJoystickCaps& caps) override {
    const RJoystick* j = Joystick(id);
    if (!j) return false;
    const char* name = j->pad ? SDL_GameControllerName(j->pad) : SDL_JoystickName(j->joy);
    caps.name = FirstCharacters(name ? name : "", 32);
    if (j->pad) {
      caps.axes = 5;
      caps.buttons = int(std::size(kPadButtons));
      caps.hasPov = true;
    } else {
      caps.axes = std::min(SDL_JoystickNumAxes(j->joy), 6);
      caps.buttons = std::min(SDL_JoystickNumButtons(j->joy), 32);
      caps.hasPov = SDL_JoystickNumHats(j->joy) > 0;
    }
    return true;
  }

  bool Joystick_SetVirtual(int id, const RJoystickState& state, bool controller) override {
    if (id < 1 || id > 2) return false;
    RJoystick& j = m_joysticks[size_t(id - 1)];
    if (j.joy && !j.isVirtual) return false;
    if (!j.joy && !AttachVirtual(j, controller)) return false;
    if (j.pad) {
      auto setAxis = [&](SDL_GameControllerAxis a, int value) {
        const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForAxis(j.pad, a);
        if (bind.bindType == SDL_CONTROLLER_BINDTYPE_AXIS)
          SDL_JoystickSetVirtualAxis(j.joy, bind.value.axis, Sint16(std::clamp(value, -32768, 32767)));
      };
      auto setButton = [&](SDL_GameControllerButton b, bool down) {
        const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForButton(j.pad, b);
        if (bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON)
          SDL_JoystickSetVirtualButton(j.joy, bind.value.button, down ? 1 : 0);
      };
      setAxis(SDL_CONTROLLER_AXIS_LEFTX, AxisFromGame(state.axes[0]));
      setAxis(SDL_CONTROLLER_AXIS_LEFTY, AxisFromGame(state.axes[1]));
      // A trigger at rest is at the bottom of its axis.
      const int z = AxisFromGame(state.axes[2]);
      setAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, z < 0 ? -2 * z - 32768 : -32768);
      setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, z > 0 ? 2 * z - 32768 : -32768);
      setAxis(SDL_CONTROLLER_AXIS_RIGHTY, AxisFromGame(state.axes[3]));
      setAxis(SDL_CONTROLLER_AXIS_RIGHTX, AxisFromGame(state.axes[4]));
      for (size_t b = 0; b < std::size(kPadButtons); ++b) setButton(kPadButtons[b], (state.buttons >> b) & 1u);
      const Uint8 hat = PovToHat(state.pov);
      setButton(SDL_CONTROLLER_BUTTON_DPAD_UP, hat & SDL_HAT_UP);
      setButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, hat & SDL_HAT_RIGHT);
      setButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, hat & SDL_HAT_DOWN);
      setButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, hat & SDL_HAT_LEFT);
    } else {
      for (int a = 0; a < 6; ++a) SDL_JoystickSetVirtualAxis(j.joy, a, Sint16(AxisFromGame(state.axes[size_t(a)])));
      for (int b = 0; b < 32; ++b) SDL_JoystickSetVirtualButton(j.joy, b, (state.buttons >> b) & 1u);
      SDL_JoystickSetVirtualHat(j.joy, 0, PovToHat(state.pov));
    }
    // The new values count from now, as a real device's would after it sent them.
    SDL_JoystickUpdate();
    return true;
  }

  bool Key_NumLock() override { return (SDL_GetModState() & KMOD_NUM) != 0; }
  void Key_SetNumLock(bool on) override {
    const SDL_Keymod mod = SDL_GetModState();
    SDL_SetModState(on ? SDL_Keymod(mod | KMOD_NUM) : SDL_Keymod(mod & ~KMOD_NUM));
  }

  // ------------------------------------------------------------ events

  void SetEventHandler(std::function<void(const RPlatformEvent&)> handler) override { m_handler = std::move(handler); }

  void PumpMessages() override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Dispatch(e);
    m_timers.FireDue(Clock_Microseconds());
  }

  void RunMessageLoop() override {
    m_quit = false;
    while (!m_quit) {
      const int64_t wait = m_timers.TimeToNext(Clock_Microseconds());
      const int timeout = wait < 0 ? 100 : int(std::min<int64_t>((wait + 999) / 1000, 100));
      SDL_Event e;
      if (SDL_WaitEventTimeout(&e, timeout)) Dispatch(e);
      if (m_quit) break;
      PumpMessages();
    }
  }

  void RunModal(WindowId window, const std::function<void(const RPlatformEvent&)>& handler,
                const std::function<bool()>& done, const std::function<void(WindowId)>& repaint) override {
    Window_Show(window, true);
    if (RWindow* w = Find(window)) SDL_RaiseWindow(w->window);
    SDL_StartTextInput();
    while (!done() && !Quit_Requested()) {
      // Asleep until a message comes or the next timer is due.
      const int64_t wait = m_timers.TimeToNext(Clock_Microseconds());
      const int timeout = wait < 0 ? 100 : int(std::min<int64_t>((wait + 999) / 1000, 100));
      SDL_Event e;
      for (bool got = SDL_WaitEventTimeout(&e, timeout) != 0; got && !done(); got = SDL_PollEvent(&e) != 0) {
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
          repaint(IdOf(e.window.windowID));
          continue;
        }
        RPlatformEvent ev;
        if (!Translate(e, ev)) continue;
        if (ev.type == RPlatformEvent::Quit) Quit_Request();
        // Whatever the player does to the other windows waits for the modal
        // one to close, and is then forgotten.
        else if (ev.window == window) handler(ev);
      }
      m_timers.FireDue(Clock_Microseconds());
    }
    Window_Show(window, false);
  }

  void QuitMessageLoop() override { m_quit = true; }
  CTimerQueue& Timers() override { return m_timers; }

  int64_t Clock_Microseconds() override { return MonotonicMicroseconds(); }

  void Sleep_Microseconds(int64_t us) override {
    if (us <= 0) return;
    timespec ts{time_t(us / 1000000), long(us % 1000000) * 1000};
    // A quit signal wakes the sleep, and ends it.
    while (nanosleep(&ts, &ts) != 0 && !Quit_Requested()) {
    }
  }

  // ------------------------------------------------------------ dialogs

  EAnswer MessageBox(const std::string& text, EButtons buttons, EBoxIcon icon, int defaultButton) override {
    m_answeredBy = "player";
    const EAnswer answer = AskBox(text, buttons, icon, defaultButton);
    const RButtonSet set = ButtonsOf(buttons);
    RModalRecord record{"message box", m_config.applicationTitle, text, {}, {}, m_answeredBy};
    for (size_t i = 0; i < set.answers.size(); ++i) {
      record.buttons.push_back(set.labels[i]);
      if (set.answers[i] == answer) record.answer = set.labels[i];
    }
    Transcript_Record(record);
    return answer;
  }

  EAnswer AskBox(const std::string& text, EButtons buttons, EBoxIcon icon, int defaultButton) {
    const RButtonSet set = ButtonsOf(buttons);
    const size_t fallback = size_t(std::clamp(defaultButton, 0, int(set.answers.size()) - 1));
    if (m_config.headless) return HeadlessAnswer(text, set, fallback);

    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < set.answers.size(); ++i) {
      Uint32 flags = 0;
      if (i == fallback) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
      if (set.answers[i] == EAnswer::Cancel || set.answers[i] == EAnswer::No) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
      data.push_back({flags, int(i), set.labels[i]});
    }
    SDL_MessageBoxData box{};
    box.flags = icon == EBoxIcon::Error     ? SDL_MESSAGEBOX_ERROR
                : icon == EBoxIcon::Warning ? SDL_MESSAGEBOX_WARNING
                                            : SDL_MESSAGEBOX_INFORMATION;
    box.title = m_config.applicationTitle.c_str();
    box.message = text.c_str();
    box.numbuttons = int(data.size());
    box.buttons = data.data();
    int hit = -1;
    if (SDL_ShowMessageBox(&box, &hit) != 0) return HeadlessAnswer(text, set, fallback);
    return hit >= 0 && size_t(hit) < set.answers.size() ? set.answers[size_t(hit)] : set.answers[fallback];
  }

  // ------------------------------------------------------------ display, process

  RDisplayMode Display_GetMode() override {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {640, 480, 32, 0};
    return {mode.w, mode.h, int(SDL_BYTESPERPIXEL(mode.format)) * 8, mode.refresh_rate};
  }

  bool Display_SetMode(const RDisplayMode& wanted) override {
    // A desktop is never switched for a windowed program; the wanted mode is
    // kept and used while the game window is full screen.
    m_wantedMode = wanted;
    WriteTrace("Display mode requested: " + std::to_string(wanted.width) + "x" + std::to_string(wanted.height) + " " +
               std::to_string(wanted.bitsPerPixel) + " bits " + std::to_string(wanted.refresh) + " Hz");
    for (auto& [id, w] : m_windows)
      if (w.fullscreen) ApplyFullscreen(w);
    return true;
  }

  bool Display_TestMode(const RDisplayMode& wanted) override {
    auto fits = [&](const SDL_DisplayMode& m) {
      return (wanted.width <= 0 || wanted.width == m.w) && (wanted.height <= 0 || wanted.height == m.h) &&
             (wanted.bitsPerPixel <= 0 || wanted.bitsPerPixel == int(SDL_BYTESPERPIXEL(m.format)) * 8) &&
             (wanted.refresh <= 0 || wanted.refresh == m.refresh_rate);
    };
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && fits(mode)) return true;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
      if (SDL_GetDisplayMode(0, i, &mode) == 0 && fits(mode)) return true;
    return false;
  }

  void Display_RestoreMode() override {
    m_wantedMode = {};
    for (auto& [id, w] : m_windows)
      if (w.fullscreen) ApplyFullscreen(w);
  }

  bool Process_SetPriority(int level) override {
    // Niceness of the game thread (the only thread that runs game code).
    static constexpr int kNice[] = {19, 2, 1, 0, -5, -15, -20};
    const int nice = kNice[std::clamp(level, -3, 3) + 3];
    const id_t thread = id_t(::syscall(SYS_gettid));
    return ::setpriority(PRIO_PROCESS, thread, nice) == 0;
  }

  void Application_SetTitle(const std::string& title) override {
    // Message boxes take it from now on; the desktop reads the hint when a
    // new connection (audio, screen saver inhibition) names the program.
    m_config.applicationTitle = title;
    SDL_SetHint(SDL_HINT_APP_NAME, title.c_str());
  }

  // ------------------------------------------------------------ clipboard

  bool Clipboard_SetText(const std::string& text) override { return SDL_SetClipboardText(text.c_str()) == 0; }

  bool Clipboard_GetText(std::string& text) override {
    if (!SDL_HasClipboardText()) return false;
    char* got = SDL_GetClipboardText();
    if (!got) return false;
    text = got;
    SDL_free(got);
    return !text.empty();
  }

 private:
  struct RWindow {
    SDL_Window* window;
    std::string title;
    uint32_t flags;
    std::weak_ptr<RGLWindowLink> device;  // while a graphics device shows its frames here
    std::string graphicsError;              // why OpenGL could not be had for it
    bool fullscreen = false;
  };

  bool ModeWanted() const {
    return m_wantedMode.width > 0 || m_wantedMode.height > 0 || m_wantedMode.bitsPerPixel > 0 ||
           m_wantedMode.refresh > 0;
  }

  // A wanted display mode applies only to exclusive full screen, where the
  // screen returns to the desktop's mode by itself when the window leaves it;
  // otherwise full screen keeps the desktop's mode.
  void ApplyFullscreen(RWindow& w) {
    if (!w.fullscreen) {
      SDL_SetWindowFullscreen(w.window, 0);
      return;
    }
    if (ModeWanted()) {
      SDL_DisplayMode desktop{}, want{}, closest{};
      SDL_GetDesktopDisplayMode(0, &desktop);
      want.w = m_wantedMode.width > 0 ? m_wantedMode.width : desktop.w;
      want.h = m_wantedMode.height > 0 ? m_wantedMode.height : desktop.h;
      want.refresh_rate = m_wantedMode.refresh > 0 ? m_wantedMode.refresh : desktop.refresh_rate;
      want.format = desktop.format;
      if (SDL_GetClosestDisplayMode(0, &want, &closest) && SDL_SetWindowDisplayMode(w.window, &closest) == 0 &&
          SDL_SetWindowFullscreen(w.window, SDL_WINDOW_FULLSCREEN) == 0)
        return;
      WriteTrace(std::string("Display mode not available, full screen keeps the desktop's: ") + SDL_GetError());
    }
    SDL_SetWindowFullscreen(w.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }

  static Uint32 SdlFlags(uint32_t flags) {
    Uint32 f = SDL_WINDOW_HIDDEN;
    if (flags & kWindowBorderless) f |= SDL_WINDOW_BORDERLESS;
    if (flags & kWindowResizable) f |= SDL_WINDOW_RESIZABLE;
    if (flags & kWindowOnTop) f |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (flags & kWindowGraphics) f |= SDL_WINDOW_OPENGL;
    return f;
  }

  static SDL_Surface* Wrap(RPixels p) {
    return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(p.pixels), p.width, p.height, 32, p.width * 4,
                                              SDL_PIXELFORMAT_ARGB8888);
  }

  RWindow* Find(WindowId id) {
    const auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : &it->second;
  }

  WindowId IdOf(Uint32 sdlWindowId) {
    SDL_Window* window = SDL_GetWindowFromID(sdlWindowId);
    for (auto& [id, w] : m_windows)
      if (w.window == window) return id;
    return 0;
  }

  EAnswer HeadlessAnswer(const std::string& text, const RButtonSet& set, size_t fallback) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::string word;
    int line = 0;
    const bool got = Answers_Next(word, line);
    m_answeredBy = Transcript_By(got ? line : 0);
    if (!got) return set.answers[fallback];
    EAnswer answer;
    if (ParseAnswer(Trim(word), answer) && std::find(set.answers.begin(), set.answers.end(), answer) != set.answers.end())
      return answer;
    std::string buttons;
    for (const char* label : set.labels) buttons += std::string(buttons.empty() ? "" : ", ") + label;
    Answers_Refuse("the message box \"" + text + "\"", word, line, "its buttons are " + buttons);
    return set.answers[fallback];
  }

  void NoteMouse(const RPlatformEvent& ev) {
    m_mouseWindow = ev.window;
    m_mouseX = ev.x;
    m_mouseY = ev.y;
  }

  void Dispatch(const SDL_Event& e) {
    RPlatformEvent ev;
    if (Translate(e, ev) && m_handler) m_handler(ev);
  }

  // The event as the runner hears it; false for what concerns only the
  // platform (or nothing).
  bool Translate(const SDL_Event& e, RPlatformEvent& ev) {
    switch (e.type) {
      case SDL_QUIT: ev.type = RPlatformEvent::Quit; break;
      case SDL_WINDOWEVENT:
        ev.window = IdOf(e.window.windowID);
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) ev.type = RPlatformEvent::WindowClose;
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) ev.type = RPlatformEvent::FocusGained;
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ev.type = RPlatformEvent::FocusLost;
        else return false;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        ev.type = e.type == SDL_KEYDOWN ? RPlatformEvent::KeyDown : RPlatformEvent::KeyUp;
        ev.window = IdOf(e.key.windowID);
        ev.key = Key_FromSDL(e.key.keysym.sym, e.key.keysym.scancode, (e.key.keysym.mod & KMOD_NUM) != 0);
        ev.repeat = e.key.repeat != 0;
        if (ev.key == 0) {
          // Said once per key, so that a key the table misses is noticed.
          if (m_unknownKeys.insert(e.key.keysym.sym).second)
            WriteTrace(std::string("Key without a code for games: ") + SDL_GetKeyName(e.key.keysym.sym));
          return false;
        }
        break;
      case SDL_TEXTINPUT:
        ev.type = RPlatformEvent::Text;
        ev.window = IdOf(e.text.windowID);
        ev.text = e.text.text;
        break;
      case SDL_MOUSEMOTION:
        ev.type = RPlatformEvent::MouseMove;
        ev.window = IdOf(e.motion.windowID);
        ev.x = e.motion.x;
        ev.y = e.motion.y;
        NoteMouse(ev);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        ev.type = e.type == SDL_MOUSEBUTTONDOWN ? RPlatformEvent::MouseDown : RPlatformEvent::MouseUp;
        ev.window = IdOf(e.button.windowID);
        // The side buttons count as the left one.
        ev.button = e.button.button == SDL_BUTTON_RIGHT ? 2 : e.button.button == SDL_BUTTON_MIDDLE ? 3 : 1;
        ev.x = e.button.x;
        ev.y = e.button.y;
        ev.clicks = e.button.clicks;
        NoteMouse(ev);
        break;
      case SDL_MOUSEWHEEL:
        ev.type = RPlatformEvent::MouseWheel;
        ev.window = IdOf(e.wheel.windowID);
        ev.y = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (ev.y == 0) return false;  // sideways only
        break;
      case SDL_JOYDEVICEADDED: JoystickAdded(e.jdevice.which); return false;
      case SDL_JOYDEVICEREMOVED: JoystickRemoved(e.jdevice.which); return false;
      default: return false;
    }
    return true;
  }

  // --- joysticks ---
  struct RJoystick {
    SDL_Joystick* joy = nullptr;
    SDL_GameController* pad = nullptr;  // when the desktop knows it as a game controller
    SDL_JoystickID instance = -1;
    bool isVirtual = false;
  };
  // The controller buttons in the order games number them (1 to 10).
  static constexpr SDL_GameControllerButton kPadButtons[] = {
      SDL_CONTROLLER_BUTTON_A,           SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
      SDL_CONTROLLER_BUTTON_Y,           SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
      SDL_CONTROLLER_BUTTON_BACK,        SDL_CONTROLLER_BUTTON_START,      SDL_CONTROLLER_BUTTON_LEFTSTICK,
      SDL_CONTROLLER_BUTTON_RIGHTSTICK};

  // SDL's -32768..32767 and the games' 0..65535 with both centres together
  // (0 is 32767), so a stick at rest reads exactly 0 in joystick_xpos.
  static uint32_t AxisToGame(int v) {
    return uint32_t(v < 0 ? 32767 + (v * 32767) / 32768 : 32767 + (v * 32768) / 32767);
  }
  static int AxisFromGame(uint32_t p) {
    const int v = int(std::min<uint32_t>(p, 65535)) - 32767;
    return v < 0 ? (v * 32768) / 32767 : (v * 32767) / 32768;
  }
  static uint32_t HatToPov(Uint8 hat) {
    switch (hat) {
      case SDL_HAT_UP: return 0;
      case SDL_HAT_RIGHTUP: return 4500;
      case SDL_HAT_RIGHT: return 9000;
      case SDL_HAT_RIGHTDOWN: return 13500;
      case SDL_HAT_DOWN: return 18000;
      case SDL_HAT_LEFTDOWN: return 22500;
      case SDL_HAT_LEFT: return 27000;
      case SDL_HAT_LEFTUP: return 31500;
      default: return 65535;
    }
  }
  // The nearest of the hat's eight directions; centred above 360 degrees.
  static Uint8 PovToHat(uint32_t pov) {
    static constexpr Uint8 kHats[] = {SDL_HAT_UP,   SDL_HAT_RIGHTUP,  SDL_HAT_RIGHT, SDL_HAT_RIGHTDOWN,
                                      SDL_HAT_DOWN, SDL_HAT_LEFTDOWN, SDL_HAT_LEFT,  SDL_HAT_LEFTUP};
    if (pov > 36000) return SDL_HAT_CENTERED;
    return kHats[((pov + 2250) / 4500) % 8];
  }
  static std::string FirstCharacters(const std::string& text, size_t count) {
    size_t i = 0;
    for (size_t n = 0; i < text.size() && n < count; ++n) {
      ++i;
      while (i < text.size() && (uint8_t(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
  }

  const RJoystick* Joystick(int id) const {
    if (id < 1 || id > 2) return nullptr;
    const RJoystick& j = m_joysticks[size_t(id - 1)];
    return j.joy ? &j : nullptr;
  }

  bool OpenJoystick(RJoystick& j, int device, bool isVirtual) {
    if (SDL_IsGameController(device)) {
      j.pad = SDL_GameControllerOpen(device);
      j.joy = j.pad ? SDL_GameControllerGetJoystick(j.pad) : nullptr;
    } else {
      j.joy = SDL_JoystickOpen(device);
    }
    if (!j.joy) {
      WriteTrace(std::string("Joystick not opened: ") + SDL_GetError());
      j = RJoystick();
      return false;
    }
    j.instance = SDL_JoystickInstanceID(j.joy);
    j.isVirtual = isVirtual;
    return true;
  }

  bool AttachVirtual(RJoystick& j, bool controller) {
    const int device = SDL_JoystickAttachVirtual(
        controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN, 6, controller ? 15 : 32, 1);
    if (device < 0) {
      WriteTrace(std::string("No virtual joystick: ") + SDL_GetError());
      return false;
    }
    return OpenJoystick(j, device, true);
  }

  void CloseJoystick(int id) {
    RJoystick& j = m_joysticks[size_t(id - 1)];
    if (!j.joy) return;
    const SDL_JoystickID instance = j.instance;
    const bool isVirtual = j.isVirtual;
    if (j.pad) SDL_GameControllerClose(j.pad);
    else SDL_JoystickClose(j.joy);
    j = RJoystick();
    if (isVirtual) {
      for (int d = 0; d < SDL_NumJoysticks(); ++d)
        if (SDL_JoystickGetDeviceInstanceID(d) == instance) SDL_JoystickDetachVirtual(d);
    }
  }

  // A device plugged in takes the first free number; the runner's own
  // virtual devices are placed where they were asked for.
  void JoystickAdded(int device) {
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(device);
    for (const RJoystick& j : m_joysticks)
      if (j.joy && j.instance == instance) return;
    if (!m_realJoysticks || SDL_JoystickIsVirtual(device)) return;
    for (RJoystick& j : m_joysticks)
      if (!j.joy) {
        OpenJoystick(j, device, false);
        return;
      }
  }

  void JoystickRemoved(SDL_JoystickID instance) {
    for (int id = 1; id <= 2; ++id)
      if (m_joysticks[size_t(id - 1)].joy && m_joysticks[size_t(id - 1)].instance == instance) CloseJoystick(id);
  }

  RPlatformConfig m_config;
  std::string m_answeredBy;  // how the last message box was answered, for the transcript
  std::array<RJoystick, 2> m_joysticks{};
  bool m_realJoysticks = true;
  std::map<WindowId, RWindow> m_windows;
  WindowId m_lastWindow = 0;
  std::function<void(const RPlatformEvent&)> m_handler;
  CTimerQueue m_timers;
  bool m_quit = false;
  SDL_Cursor* m_busyCursor = nullptr;
  RDisplayMode m_wantedMode;
  WindowId m_mouseWindow = 0;
  int m_mouseX = 0, m_mouseY = 0;
  std::set<SDL_Keycode> m_unknownKeys;
};

}  // namespace

std::unique_ptr<IPlatform> Platform_CreateSDL(const RPlatformConfig& config) {
  return std::make_unique<CPlatformSDL>(config);
}

}  // namespace tavrin
