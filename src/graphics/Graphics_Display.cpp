// The game window and the frames it shows (see Graphics_Display.h). The
// scaling and mapping rules come first, as plain functions of their inputs;
// the window and device operations below apply them.
#include "graphics/Graphics_Display.h"

#include "graphics/Graphics_DrawState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Matrix.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Surface.h"
#include "platform/Platform_Trace.h"

namespace tavrin {

RDisplayState g_Display;

namespace {

// To nearest, ties to even, saturating; NaN is 0.
int32_t Round32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return int32_t(std::nearbyint(v));
}

// The scale a region is shown at: s itself when positive, the largest
// uniform scale that fits when negative. 0 (stretch) is handled apart.
double ResolvedScale(int32_t cw, int32_t ch, int32_t rw, int32_t rh, double s) {
  if (s < 0) s = std::min(double(cw) / std::max(rw, 1), double(ch) / std::max(rh, 1));
  return s;
}

uint32_t Opaque(int32_t color) { return Device_ArgbOf(uint32_t(color) & 0xFFFFFF, 1.0); }

void (*g_DrawRoom)() = nullptr;

bool HasWindow() { return g_Display.window != 0 && Platform_Installed(); }

}  // namespace

// ------------------------------------------------------------ pure rules

RRect Display_RegionRect(int32_t cw, int32_t ch, int32_t rw, int32_t rh, double s) {
  if (s == 0) return {0, 0, cw, ch};
  s = ResolvedScale(cw, ch, rw, rh, s);
  const int32_t w = Round32(rw * s), h = Round32(rh * s);
  // Integer halves truncate toward zero: a window smaller than the region
  // puts it at a negative offset, centred all the same.
  return {int32_t((int64_t(cw) - w) / 2), int32_t((int64_t(ch) - h) / 2), w, h};
}

std::pair<int32_t, int32_t> Display_WindowToRegion(double px, double py, int32_t cw, int32_t ch, int32_t rw,
                                                   int32_t rh, double s) {
  if (s == 0) return {Round32(px * rw / std::max(cw, 1)), Round32(py * rh / std::max(ch, 1))};
  const double scale = ResolvedScale(cw, ch, rw, rh, s);
  if (scale == 0) return {0, 0};
  const RRect r = Display_RegionRect(cw, ch, rw, rh, s);
  return {Round32((px - r.x) / scale), Round32((py - r.y) / scale)};
}

std::pair<int32_t, int32_t> Display_RegionToWindow(double rx, double ry, int32_t cw, int32_t ch, int32_t rw,
                                                   int32_t rh, double s) {
  if (s == 0) return {Round32(rx * std::max(cw, 1) / std::max(rw, 1)), Round32(ry * std::max(ch, 1) / std::max(rh, 1))};
  const double scale = ResolvedScale(cw, ch, rw, rh, s);
  const RRect r = Display_RegionRect(cw, ch, rw, rh, s);
  return {Round32(rx * scale + r.x), Round32(ry * scale + r.y)};
}

// A view turned by less than this is treated as upright, so that the tiny
// angles left by arithmetic never blur the mapping.
constexpr double kUpright = 0.01;

std::pair<int32_t, int32_t> Display_RegionToRoom(const RViewMap& v, double rx, double ry) {
  const double dx = (rx - v.xport) * v.w / v.wport, dy = (ry - v.yport) * v.h / v.hport;
  if (std::fabs(v.angle) < kUpright) return {Round32(dx + v.x), Round32(dy + v.y)};
  const double b = -v.angle * std::numbers::pi / 180.0;
  const double ex = dx - v.w / 2, ey = dy - v.h / 2;
  return {Round32(std::cos(b) * ex + std::sin(b) * ey + v.x + v.w / 2),
          Round32(-std::sin(b) * ex + std::cos(b) * ey + v.y + v.h / 2)};
}

std::pair<int32_t, int32_t> Display_RoomToRegion(const RViewMap& v, double x, double y) {
  if (v.w == 0 || v.h == 0) return {Round32(v.xport), Round32(v.yport)};
  double dx = x - v.x, dy = y - v.y;
  if (std::fabs(v.angle) >= kUpright) {
    const double b = v.angle * std::numbers::pi / 180.0;
    const double ex = dx - v.w / 2, ey = dy - v.h / 2;
    dx = std::cos(b) * ex + std::sin(b) * ey + v.w / 2;
    dy = -std::sin(b) * ex + std::cos(b) * ey + v.h / 2;
  }
  return {Round32(dx * v.wport / v.w + v.xport), Round32(dy * v.hport / v.h + v.yport)};
}

std::pair<int32_t, int32_t> Display_RegionToRoomThroughViews(double rx, double ry) {
  std::pair<int32_t, int32_t> answer{Round32(rx), Round32(ry)};
  // Higher-numbered views are drawn later, on top: the mouse sees them first.
  for (int32_t i = kViewMaps - 1; i >= 0; --i) {
    const RViewMap& v = g_Display.views[size_t(i)];
    if (!ViewMap_Used(v)) continue;
    answer = Display_RegionToRoom(v, rx, ry);
    if (v.x <= answer.first && answer.first < v.x + v.w && v.y <= answer.second && answer.second < v.y + v.h)
      return answer;
  }
  return answer;
}

int32_t Display_FirstUsedView() {
  for (int32_t i = 0; i < kViewMaps; ++i)
    if (ViewMap_Used(g_Display.views[size_t(i)])) return i;
  return -1;
}

std::pair<int32_t, int32_t> Display_MouseInWindow() {
  int x = 0, y = 0;
  if (Platform_Installed()) Platform().Mouse_LastPosition(x, y);
  return {x, y};
}

std::pair<int32_t, int32_t> Display_WindowToRegionNow(double px, double py) {
  const RRect c = Display_ClientBounds();
  return Display_WindowToRegion(px, py, c.w, c.h, g_Display.regionW, g_Display.regionH, g_Display.regionScale);
}

std::pair<int32_t, int32_t> Display_MouseInRoom() {
  const auto [mx, my] = Display_MouseInWindow();
  const auto [rx, ry] = Display_WindowToRegionNow(mx, my);
  return Display_RegionToRoomThroughViews(rx, ry);
}

void Display_SetViewMap(int32_t index, const RViewMap& view) {
  if (index < 0 || index >= kViewMaps) return;
  g_Display.views[size_t(index)] = view;
}

// ------------------------------------------------------------ the window

namespace {

uint32_t StyleFlags() {
  uint32_t flags = 0;
  if (!g_Display.showBorder) flags |= kWindowBorderless;
  if (g_Display.sizeable) flags |= kWindowResizable;
  if (g_Display.stayOnTop) flags |= kWindowOnTop;
  return flags;
}

// With a positive scale the player may not shrink the window below the
// scaled region, which would cut it.
void ApplyMinimumSize() {
  if (!HasWindow()) return;
  const double s = g_Display.regionScale;
  if (s > 0)
    Platform().Window_SetMinimumSize(g_Display.window, Round32(g_Display.regionW * s), Round32(g_Display.regionH * s));
  else
    Platform().Window_SetMinimumSize(g_Display.window, 0, 0);
}

RRect DesktopRect() {
  const RDisplayMode m = Platform_Installed() ? Platform().Display_GetMode() : RDisplayMode{640, 480, 32, 0};
  return {0, 0, m.width, m.height};
}

}  // namespace

RRect Display_ClientBounds() {
  RRect r = g_Display.saved;
  if (HasWindow() && !Platform().Window_GetBounds(g_Display.window, r.x, r.y, r.w, r.h)) r = g_Display.saved;
  return r;
}

void Display_SaveWindowState() {
  if (g_Display.fullscreen || g_Display.applying || !HasWindow()) return;
  RRect r;
  if (Platform().Window_GetBounds(g_Display.window, r.x, r.y, r.w, r.h)) g_Display.saved = r;
}

void Display_ApplyWindowState() {
  g_Display.applying = true;
  if (HasWindow()) {
    IPlatform& p = Platform();
    p.Window_SetStyle(g_Display.window, StyleFlags());
    p.Window_SetFullscreen(g_Display.window, g_Display.fullscreen);
    // The limit first: the old one would hold the window at the old size.
    ApplyMinimumSize();
    if (!g_Display.fullscreen) {
      const RRect& r = g_Display.saved;
      p.Window_SetBounds(g_Display.window, r.x, r.y, r.w, r.h);
    }
  }
  g_Display.applying = false;
}

void Display_ApplyVisibility() {
  if (HasWindow()) Platform().Window_Show(g_Display.window, g_Display.visible);
}

void Display_SetClientRect(const RRect& client) {
  Display_SaveWindowState();
  g_Display.saved = client;
  if (!g_Display.fullscreen) Display_ApplyWindowState();
}

void Display_SetCaption(const std::string& caption) {
  if (caption == g_Display.caption) return;
  g_Display.caption = caption;
  if (HasWindow()) Platform().Window_SetTitle(g_Display.window, caption);
}

void Display_SetCursor(int32_t cursor) {
  g_Display.cursor = cursor;
  g_Display.cursorShown = cursor != -1;
  if (Platform_Installed()) Platform().Cursor_Show(g_Display.cursorShown);
}

std::pair<int32_t, int32_t> Display_ClientSizeFor(int32_t w, int32_t h) {
  const double s = g_Display.regionScale;
  if (s > 0) return {Round32(g_Display.regionW * s), Round32(g_Display.regionH * s)};
  return {w, h};
}

namespace {

void FitClientToRegion(bool adapt) {
  const double s = g_Display.regionScale;
  if (s <= 0) return;
  const int32_t w = Round32(g_Display.regionW * s), h = Round32(g_Display.regionH * s);
  Display_SaveWindowState();
  RRect r = g_Display.saved;
  if (adapt) {
    r.w = w;
    r.h = h;
  } else {
    r.w = std::max(r.w, w);
    r.h = std::max(r.h, h);
  }
  g_Display.saved = r;
  Display_ApplyWindowState();
}

}  // namespace

void Display_SetRegionSize(int32_t w, int32_t h, bool adapt) {
  if (w > 0) g_Display.regionW = w;
  if (h > 0) g_Display.regionH = h;
  FitClientToRegion(adapt);
  ApplyMinimumSize();
}

void Display_SetRegionScale(double scale, bool adapt) {
  g_Display.regionScale = std::isnan(scale) ? 1.0 : scale;
  FitClientToRegion(adapt);
  ApplyMinimumSize();
}

void Display_WindowCenter() {
  Display_SaveWindowState();
  const RRect desk = DesktopRect();
  RRect r = g_Display.saved;
  r.x = (desk.w - r.w) / 2;
  r.y = (desk.h - r.h) / 2;
  Display_SetClientRect(r);
}

void Display_WindowDefault() {
  const auto [w, h] = Display_ClientSizeFor(g_Display.regionW, g_Display.regionH);
  const RRect desk = DesktopRect();
  Display_SetClientRect({(desk.w - w) / 2, (desk.h - h) / 2, w, h});
}

std::string Display_Open(const RGameSettings& settings, const std::string& title, int32_t w, int32_t h) {
  IPlatform& p = Platform();
  g_Display.Reset();
  g_Display.caption = title;
  g_Display.regionW = std::max(w, 1);
  g_Display.regionH = std::max(h, 1);
  g_Display.regionScale = settings.opt_scale / 100.0;
  g_Display.sizeable = settings.opt_sizeable;
  g_Display.stayOnTop = settings.opt_stayontop;
  g_Display.color = settings.opt_windowcolor;
  g_Display.showBorder = !settings.opt_noborder;
  g_Display.showIcons = !settings.opt_nobuttons;
  g_Display.fullscreen = settings.opt_fullscreen;
  const auto [cw, ch] = Display_ClientSizeFor(g_Display.regionW, g_Display.regionH);
  const RRect desk = DesktopRect();
  g_Display.saved = {(desk.w - cw) / 2, (desk.h - ch) / 2, cw, ch};

  const WindowId window = p.Window_Create(title, cw, ch, kWindowGraphics | StyleFlags());
  try {
    // The back buffer is the region; it never grows beyond the desktop.
    const int32_t dw = std::min(g_Display.regionW, std::max(desk.w, 1)), dh = std::min(g_Display.regionH, std::max(desk.h, 1));
    Graphics_SetDevice(p.Window_OpenDevice(window, dw, dh));
  } catch (const std::exception& e) {
    p.Window_Destroy(window);
    g_Display.Reset();
    return e.what();
  }
  g_Display.window = window;
  Display_SetDeviceRegion(g_Display.regionW, g_Display.regionH);
  Display_ApplyWindowState();
  Display_ApplyVisibility();
  // Bit 0 of the display flags asks for vertical sync; the interpolation
  // setting decides how scaled and rotated pictures are sampled.
  Display_SetVSync((settings.opt_displayflags & 1) != 0);
  g_DrawState.Reset();
  g_DrawState.interpolation = settings.opt_interpolate;
  if (!settings.opt_showcursor) Display_SetCursor(-1);
  Display_StartFrame();
  return {};
}

void Display_Close() {
  Graphics_SetDevice(nullptr);
  g_Surfaces.Reset();  // their textures went with the device
  if (Platform_Installed()) {
    IPlatform& p = Platform();
    if (g_Display.window) p.Window_Destroy(g_Display.window);
    p.Display_RestoreMode();
    if (!g_Display.cursorShown) p.Cursor_Show(true);
  }
  g_Display.Reset();
}

// ------------------------------------------------------------ the device

void Display_SetViewport(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (IGraphicsDevice* d = Graphics_Device()) d->SetViewport(RViewport{x, y, w, h, 0.0f, 1.0f});
}

void Display_SetView(double x, double y, double w, double h, double angle) {
  IGraphicsDevice* d = Graphics_Device();
  if (!d) return;
  const double a = -angle * std::numbers::pi / 180.0;
  const RVector3 up{float(std::sin(a)), float(std::cos(a)), 0.0f};
  const float cx = float(x + w / 2), cy = float(y + h / 2);
  // The eye looks from far in front; the negative height of the projection
  // makes y grow downwards, as on the screen.
  d->SetTransform(ETransform::View, Matrix_LookAtLH({cx, cy, -16000.0f}, {cx, cy, 0.0f}, up));
  d->SetTransform(ETransform::Projection, Matrix_OrthoLH(float(w), float(-h), 1.0f, 32000.0f));
}

void Display_SetDeviceRegion(int32_t w, int32_t h) {
  const RRect desk = DesktopRect();
  w = std::clamp(w, 1, std::max(desk.w, 1));
  h = std::clamp(h, 1, std::max(desk.h, 1));
  IGraphicsDevice* d = Graphics_Device();
  if (!d || (w == g_Display.deviceW && h == g_Display.deviceH)) return;
  if (w != d->BackBufferWidth() || h != d->BackBufferHeight()) d->BackBuffer_Resize(w, h);
  g_Display.deviceW = std::min(w, d->BackBufferWidth());
  g_Display.deviceH = std::min(h, d->BackBufferHeight());
  Display_SetViewport(0, 0, g_Display.deviceW, g_Display.deviceH);
  Display_SetView(0, 0, g_Display.deviceW, g_Display.deviceH, 0);
}

bool Display_StartFrame() {
  IGraphicsDevice* d = Graphics_Device();
  if (!d) return false;
  d->BeginFrame();
  return true;
}

namespace {

void Present(IGraphicsDevice& d) {
  const RRect client = Display_ClientBounds();
  const RRect dest = Display_RegionRect(client.w, client.h, g_Display.regionW, g_Display.regionH, g_Display.regionScale);
  d.Present({0, 0, g_Display.deviceW, g_Display.deviceH}, dest, Opaque(g_Display.color));
}

}  // namespace

bool Display_FinishFrame() {
  IGraphicsDevice* d = Graphics_Device();
  if (!d) return false;
  d->EndFrame();
  Present(*d);
  return true;
}

bool Display_Refresh() {
  IGraphicsDevice* d = Graphics_Device();
  if (!d) return false;
  Present(*d);
  return true;
}

void Display_SetVSync(bool on) {
  g_Display.vsync = on;
  if (IGraphicsDevice* d = Graphics_Device()) d->SetVSync(on);
}

void Display_WaitVSync() {
  // The screen cannot be asked when its blank comes; it comes at the refresh
  // rate, so the wait ends at the next tick of a clock running at that rate.
  // A screen of unknown rate (headless) does not wait.
  if (!Platform_Installed()) return;
  IPlatform& p = Platform();
  const int refresh = p.Display_GetMode().refresh;
  if (refresh <= 0) return;
  const int64_t period = 1000000 / refresh, now = p.Clock_Microseconds();
  p.Sleep_Microseconds(period - now % period);
}

void Display_ServeReset() {
  if (!g_Display.resetRequested) return;
  g_Display.resetRequested = false;
  if (Platform_Installed()) Platform().Display_RestoreMode();
  // The device keeps its textures and state through a reset, but surfaces
  // are promised to be lost with it: games test for them and make them
  // again. What remains is to show a clean frame and keep the
  // synchronisation asked for.
  Surface_FreeAll();
  if (IGraphicsDevice* d = Graphics_Device()) {
    d->SetVSync(g_Display.vsync);
    d->Clear(true, 0xFF000000, true, 1.0f);
  }
}

bool Display_Grab(int32_t x, int32_t y, int32_t w, int32_t h, TBitmap32& out) {
  IGraphicsDevice* d = Graphics_Device();
  if (!d) return false;
  // Clipped to the device region; the arithmetic is 64-bit so that wild
  // values from a game cannot wrap around into a valid rectangle.
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t(x) + w, g_Display.deviceW);
  const int64_t y1 = std::min<int64_t>(int64_t(y) + h, g_Display.deviceH);
  if (x1 <= x0 || y1 <= y0) return false;
  return d->BackBuffer_Copy({int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0)}, out);
}

bool Display_SaveScreen(const std::string& path, int32_t x, int32_t y, int32_t w, int32_t h) {
  TBitmap32 shot;
  if (!Display_Grab(x, y, w, h, shot)) return false;
  for (uint32_t& pixel : shot.s_data) pixel |= 0xFF000000u;
  return Picture_SaveToImageFile(shot, path);
}

void Display_SetRoomDrawer(void (*drawRoom)()) { g_DrawRoom = drawRoom; }
void Display_DrawRoom() {
  if (g_DrawRoom) g_DrawRoom();
}

// ------------------------------------------------------------ the caption

std::string Display_ComposeCaption(const RCaptionParts& c) {
  std::string text = c.room;
  if (c.showScore && (c.scoreExplicit || c.score > 0)) text += " " + c.captionScore + std::to_string(c.score);
  if (c.showLives) text += " " + c.captionLives + std::to_string(c.lives);
  if (c.showHealth) text += " " + c.captionHealth + std::to_string(Round32(c.health));
  return text;
}

}  // namespace tavrin
