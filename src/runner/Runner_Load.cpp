#include "runner/Runner_Load.h"

#include <algorithm>
#include <cmath>

#include "graphics/Font_System.h"
#include "package/Option_Main.h"
#include "platform/Platform_Trace.h"
#include "package/Package_Data.h"

namespace tavrin {

namespace {

// The design size of the default loading picture and the bar's offsets.
constexpr int kImageW = 332, kImageH = 92;
constexpr int kBarLeft = 24, kBarHeight = 16, kLabelLeft = 32, kLabelW = 273, kLabelH = 17;
constexpr int kBarsAboveBottom = 32;

TColor32 Mix(TColor32 a, TColor32 b, double t) {
  auto ch = [&](int shift) {
    const double x = double((a >> shift) & 0xFF) * (1 - t) + double((b >> shift) & 0xFF) * t;
    return uint32_t(std::lround(x)) << shift;
  };
  return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

// The runner's own pictures, used when a package brings none.
TBitmap32 DefaultImage() {
  TBitmap32 bm(kImageW, kImageH);
  for (int y = 0; y < kImageH; ++y)
    for (int x = 0; x < kImageW; ++x) {
      const bool frame = x == 0 || y == 0 || x == kImageW - 1 || y == kImageH - 1;
      bm.SetPixel(x, y, frame ? 0xFF5A6F8Cu : Mix(0xFF1E2A3Au, 0xFF0E141Cu, double(y) / kImageH));
    }
  return bm;
}

TBitmap32 DefaultBar(TColor32 top, TColor32 bottom, TColor32 border) {
  TBitmap32 bm(64, kBarHeight);
  for (int y = 0; y < kBarHeight; ++y)
    for (int x = 0; x < 64; ++x)
      bm.SetPixel(x, y, (y == 0 || y == kBarHeight - 1) ? border : Mix(top, bottom, double(y) / kBarHeight));
  return bm;
}

// Copies `src` into `dst` at `r`, stretched to the rectangle's size, or, when
// not stretched, at its own size clipped to the rectangle.
void DrawInto(TBitmap32& dst, const TBitmap32& src, const RRect& r, bool stretch) {
  if (src.s_w <= 0 || src.s_h <= 0 || r.w <= 0 || r.h <= 0) return;
  for (int y = 0; y < r.h; ++y)
    for (int x = 0; x < r.w; ++x) {
      int sx = x, sy = y;
      if (stretch) {
        sx = int(int64_t(x) * src.s_w / r.w);
        sy = int(int64_t(y) * src.s_h / r.h);
      } else if (x >= src.s_w || y >= src.s_h) {
        continue;
      }
      dst.SetPixel(r.x + x, r.y + y, src.GetPixel(sx, sy));
    }
}

}  // namespace

RLoadLayout Load_Layout(int w, int h, int screenW, int screenH, int percent) {
  RLoadLayout l;
  l.clientW = w;
  l.clientH = h;
  l.left = (screenW - w) / 2;  // halves rounded toward zero
  l.top = (screenH - h) / 2;
  const int barTop = h - kBarsAboveBottom;
  l.emptyBar = {kBarLeft, barTop, w - 2 * kBarLeft, kBarHeight};
  const int full = int(std::lround(double(std::clamp(percent, 0, 100)) * l.emptyBar.w / 100.0));
  l.fullBar = {kBarLeft, barTop, std::max(full, 0), kBarHeight};
  l.label = {kLabelLeft, barTop, kLabelW, kLabelH};
  return l;
}

CLoadWindow::CLoadWindow(bool shown)
    : m_image(DefaultImage()),
      m_emptyBar(DefaultBar(0xFF2B2F36u, 0xFF1B1E23u, 0xFF4A505Au)),
      m_fullBar(DefaultBar(0xFF6FC3FFu, 0xFF2E7FD0u, 0xFF9AD6FFu)),
      m_windowed(shown) {
  if (m_windowed) m_window = Platform().Window_Create("Loading", kImageW, kImageH, kWindowBorderless);
}

CLoadWindow::~CLoadWindow() {
  if (m_window) Platform().Window_Destroy(m_window);
}

void CLoadWindow::HeaderRead(RPackageHeader& header, const RGameSettings& s) {
  RLoadPictures& p = header.pictures;
  if (p.image && p.image->s_w > 0 && p.image->s_h > 0) m_image = std::move(*p.image);
  p.image.reset();
  if (s.opt_showprogress) {
    if (p.backBar) m_emptyBar = std::move(*p.backBar);
    if (p.frontBar) m_fullBar = std::move(*p.frontBar);
  }
  p.backBar.reset();
  p.frontBar.reset();
  m_barsVisible = s.opt_showprogress;
  m_stretchFull = s.opt_scaleprogress;
  m_labelVisible = header.debugMode && s.opt_showprogress;
  if (!m_windowed) return ShowProgress(0, "Loading");

  IPlatform& platform = Platform();
  const RDisplayMode screen = platform.Display_GetMode();
  m_layout = Load_Layout(m_image.s_w, m_image.s_h, screen.width, screen.height, m_percent);
  platform.Window_SetBounds(m_window, m_layout.left, m_layout.top, m_layout.clientW, m_layout.clientH);
  if (s.opt_loadtransparent) {
    const TColor32 key = m_image.GetPixel(0, m_image.s_h - 1);
    if (!platform.Window_SetColorKey(m_window, {m_image.s_data.data(), m_image.s_w, m_image.s_h}, key))
      WriteTrace("Load window: this desktop has no transparent windows");
  }
  if (s.opt_loadalpha < 255 && !platform.Window_SetOpacity(m_window, float(std::max(s.opt_loadalpha, 0)) / 255.0f))
    WriteTrace("Load window: this desktop has no translucent windows");
  ShowProgress(0, "Loading");
  platform.Window_SetBusyCursor(true);
  platform.Window_Show(m_window, true);
  m_shown = true;
  Paint();
}

void CLoadWindow::ShowProgress(int percent, const std::string& text) {
  m_percent = percent;
  m_label = text;
  m_layout.fullBar = Load_Layout(m_image.s_w, m_image.s_h, 0, 0, percent).fullBar;
  WriteTrace(text);
  if (!m_windowed) return;
  if (m_shown) Paint();
  PumpMessages();
}

void CLoadWindow::Paint() {
  m_canvas = m_image;
  if (m_barsVisible) {
    DrawInto(m_canvas, m_emptyBar, m_layout.emptyBar, true);
    DrawInto(m_canvas, m_fullBar, m_layout.fullBar, m_stretchFull);
  }
  if (m_labelVisible) {
    // Black text, or white where the picture under the label is dark.
    const RRect& r = m_layout.label;
    uint64_t light = 0, count = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x, ++count) {
        const TColor32 c = m_canvas.GetPixel(x, y);
        light += ((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114;
      }
    const bool dark = count > 0 && light / count < 128 * 1000;
    Font_DrawSystemText(m_canvas, {r.x, r.y, r.w, r.h}, m_label, "Arial", 12, dark ? 0xFFFFFF : 0x000000);
  }
  Platform().Window_Present(m_window, {m_canvas.s_data.data(), m_canvas.s_w, m_canvas.s_h});
}

void CLoadWindow::Finish() {
  if (m_window) {
    Platform().Window_SetBusyCursor(false);
    Platform().Window_Show(m_window, false);
  }
  m_shown = false;
  m_image = m_emptyBar = m_fullBar = m_canvas = TBitmap32();
}

}  // namespace tavrin
