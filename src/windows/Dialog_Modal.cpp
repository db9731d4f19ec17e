#include "windows/Dialog_Modal.h"

#include <algorithm>
#include <cstdio>

#include "graphics/Graphics_Display.h"
#include "platform/Platform.h"
#include "platform/Platform_Answers.h"

namespace tavrin {

namespace {

void Answer(CMessageDialog& dialog) {
  std::string line;
  int number = 0;
  const bool got = Answers_Next(line, number);
  const std::string why = dialog.Answer(got ? &line : nullptr);
  if (!why.empty()) Answers_Refuse(dialog.Description(), got ? line : std::string(), got ? number : 0, why);
}

}  // namespace

void Message_RunModal(CMessageDialog& dialog) {
  if (Answers_Headless() || !Platform_Installed()) return Answer(dialog);

  IPlatform& platform = Platform();
  const RMessageSkin& skin = Message_Skin();
  const int w = dialog.Width(), h = dialog.Height();
  const WindowId window = platform.Window_Create(skin.captionText, w, h,
                                                 skin.caption ? uint32_t(kWindowOnTop)
                                                              : uint32_t(kWindowBorderless | kWindowOnTop));
  const RDisplayMode screen = platform.Display_GetMode();
  platform.Window_SetBounds(window, skin.left >= 0 ? skin.left : (screen.width - w) / 2,
                            skin.top >= 0 ? skin.top : (screen.height - h) / 2, w, h);
  TBitmap32 picture = dialog.Paint();
  if (skin.alpha < 1.0) platform.Window_SetOpacity(window, float(std::clamp(skin.alpha, 0.0, 1.0)));
  if (skin.backgroundKeyed)
    platform.Window_SetColorKey(window, {picture.s_data.data(), w, h}, picture.GetPixel(0, h - 1));
  auto present = [&] { platform.Window_Present(window, {picture.s_data.data(), picture.s_w, picture.s_h}); };
  present();
  platform.RunModal(
      window,
      [&](const RPlatformEvent& e) {
        dialog.Event(e);
        if (dialog.Done()) return;
        picture = dialog.Paint();
        present();
      },
      [&] { return dialog.Done(); },
      [&](WindowId id) {
        // The game's frame stays on screen while the dialog waits.
        if (id == window) present();
        else Display_Refresh();
      });
  platform.Window_Destroy(window);
}

}  // namespace tavrin
