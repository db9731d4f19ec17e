#include "windows/Dialog_Modal.h"

#include <algorithm>
#include <cstdio>

#include "graphics/Graphics_Display.h"
#include "platform/Platform.h"
#include "platform/Platform_Answers.h"

namespace tavrin {

namespace {

std::string Answer(IModalWindow& window) {
  std::string line;
  int number = 0;
  const bool got = Answers_Next(line, number);
  const std::string why = window.Answer(got ? &line : nullptr);
  if (!why.empty()) Answers_Refuse(window.Description(), got ? line : std::string(), got ? number : 0, why);
  return Transcript_By(got ? number : 0);
}

void Show(IModalWindow& modal, const RModalLook& look) {
  IPlatform& platform = Platform();
  const int w = modal.Width(), h = modal.Height();
  const WindowId window = platform.Window_Create(look.caption, w, h,
                                                 look.border ? uint32_t(kWindowOnTop)
                                                             : uint32_t(kWindowBorderless | kWindowOnTop));
  const RDisplayMode screen = platform.Display_GetMode();
  platform.Window_SetBounds(window, look.left >= 0 ? look.left : (screen.width - w) / 2,
                            look.top >= 0 ? look.top : (screen.height - h) / 2, w, h);
  TBitmap32 picture = modal.Paint();
  if (look.alpha < 1.0) platform.Window_SetOpacity(window, float(std::clamp(look.alpha, 0.0, 1.0)));
  if (look.keyed) platform.Window_SetColorKey(window, {picture.s_data.data(), w, h}, picture.GetPixel(0, h - 1));
  auto present = [&] { platform.Window_Present(window, {picture.s_data.data(), picture.s_w, picture.s_h}); };
  present();
  platform.RunModal(
      window,
      [&](const RPlatformEvent& e) {
        modal.Event(e);
        if (modal.Done()) return;
        picture = modal.Paint();
        present();
      },
      [&] { return modal.Done(); },
      [&](WindowId id) {
        // The game's frame stays on screen while the window waits.
        if (id == window) present();
        else Display_Refresh();
      });
  platform.Window_Destroy(window);
}

}  // namespace

bool Modal_Run(IModalWindow& window, const RModalLook& look) {
  const bool shown = !Answers_Headless() && Platform_Installed();
  std::string by = "player";
  if (shown) Show(window, look);
  else by = Answer(window);
  RModalRecord record = window.Record();
  record.by = by;
  Transcript_Record(record);
  return shown;
}

void Message_RunModal(CMessageDialog& dialog) {
  const RMessageSkin& skin = Message_Skin();
  RModalLook look;
  look.caption = skin.captionText;
  look.border = skin.caption;
  look.left = skin.left;
  look.top = skin.top;
  look.alpha = skin.alpha;
  look.keyed = skin.backgroundKeyed;
  Modal_Run(dialog, look);
}

}  // namespace tavrin
