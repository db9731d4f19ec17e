// The load window: a small borderless window centred on the screen with the
// loading picture, a progress bar and (in debug mode) a progress label. It
// reports every phase of loading and preparing to the player and to the
// trace log.
#pragma once

#include <string>

#include "package/BM32_Bitmap.h"
#include "graphics/Graphics_Device.h"  // RRect
#include "package/Package_Load.h"
#include "platform/Platform.h"

namespace tavrin {

// Where the parts of the load window go for a picture of the given size.
struct RLoadLayout {
  int clientW = 0, clientH = 0;
  int left = 0, top = 0;  // of the window on the screen
  RRect emptyBar, fullBar, label;
};

// The layout for a picture of w x h on a screen of screenW x screenH with
// the bar filled to `percent`.
RLoadLayout Load_Layout(int w, int h, int screenW, int screenH, int percent);

class CLoadWindow final : public IPackageLoadListener {
 public:
  // Without `shown` (headless runs) there is no window at all: progress
  // only goes to the trace log.
  explicit CLoadWindow(bool shown = true);
  ~CLoadWindow() override;
  CLoadWindow(const CLoadWindow&) = delete;
  CLoadWindow& operator=(const CLoadWindow&) = delete;

  void ShowProgress(int percent, const std::string& text) override;
  void HeaderRead(RPackageHeader& header, const RGameSettings& settings) override;
  // Hides the window and releases its pictures.
  void Finish();

  // For tests: the picture last presented and the current state.
  const TBitmap32& Canvas() const { return m_canvas; }
  int Percent() const { return m_percent; }
  const std::string& Label() const { return m_label; }
  bool BarsVisible() const { return m_barsVisible; }
  bool LabelVisible() const { return m_labelVisible; }
  const RLoadLayout& Layout() const { return m_layout; }

 private:
  void Paint();

  WindowId m_window = 0;
  TBitmap32 m_image, m_emptyBar, m_fullBar, m_canvas;
  RLoadLayout m_layout;
  int m_percent = 0;
  std::string m_label;
  bool m_barsVisible = true;
  bool m_labelVisible = false;
  bool m_stretchFull = true;
  bool m_shown = false;
  bool m_windowed = true;
};

}  // namespace tavrin
