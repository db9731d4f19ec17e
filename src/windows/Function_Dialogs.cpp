#include "windows/Function_Dialogs.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "graphics/Background_Class.h"
#include "graphics/Font_Text.h"
#include "graphics/Sprite_Class.h"
#include "graphics/Graphics_Data.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "windows/Dialog_Modal.h"
#include "world/Input_State.h"

namespace tavrin {

std::string Dialog_ValueText(const RValue& value) {
  if (value.IsString()) return std::string(value.AsText());
  const double v = value.AsReal();
  char buffer[400];
  int decimals = 0;
  if (std::isfinite(v) && v != std::floor(v)) {
    int digits = 1;
    for (double a = std::fabs(v); a >= 10.0 && digits < 10; a /= 10.0) ++digits;
    decimals = std::clamp(10 - digits, 0, 2);
  }
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

bool Dialog_ParseInteger(std::string_view text, int32_t& out) {
  const size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return false;
  text = text.substr(b, text.find_last_not_of(" \t") - b + 1);
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && at == text.data() + text.size();
}

namespace {

// Every dialog leaves the game's input as if no key or button had been held
// while it was open, whatever closed it.
int Show(const std::string& text, const std::array<std::string, 3>& buttons) {
  CMessageDialog dialog(Message_Skin(), text, buttons, false);
  Message_RunModal(dialog);
  IO_ClearAll();
  return dialog.Result();
}

std::string Input(const std::string& prompt, const std::string& initial) {
  CMessageDialog dialog(Message_Skin(), prompt, {"", "OK", ""}, true, initial);
  Message_RunModal(dialog);
  IO_ClearAll();
  return dialog.InputText();
}

std::string Shown(const RValue& v) { return Text_ConvertHashes(Dialog_ValueText(v)); }

FUNCTION_ROUTINE(F_ShowMessage) { Show(Shown(a[0]), {"", "OK", ""}); }
FUNCTION_ROUTINE(F_ShowQuestion) { result.SetReal(Show(Shown(a[0]), {"Yes", "", "No"}) == 1 ? 1 : 0); }
FUNCTION_ROUTINE(F_ShowMessageExt) {
  result.SetReal(Show(Shown(a[0]), {Dialog_ValueText(a[1]), Dialog_ValueText(a[2]), Dialog_ValueText(a[3])}));
}
FUNCTION_ROUTINE(F_GetString) {
  result.SetString(RString(Input(Text_ConvertHashes(Dialog_ValueText(a[0])), Dialog_ValueText(a[1]))));
}
FUNCTION_ROUTINE(F_GetInteger) {
  const int32_t fallback = Real_ToInt32(a[1].AsReal());
  const std::string typed = Input(Dialog_ValueText(a[0]), std::to_string(fallback));
  int32_t n = 0;
  result.SetReal(Dialog_ParseInteger(typed, n) ? n : fallback);
}

FUNCTION_ROUTINE(F_MessageBackground) {
  const CBackground* background = g_GraphicsData.backgrounds.Get(Real_ToInt32(a[0].AsReal()));
  if (!background) return Error_ReportAction("Trying to set a non-existing message background", false);
  RMessageSkin& skin = Message_Skin();
  skin.background = background->GetBitmap();
  // A picture without pixels leaves the built-in panel.
  const bool empty = skin.background.s_w <= 0 || skin.background.s_h <= 0;
  skin.backgroundKeyed = !empty && (skin.background.GetPixel(0, skin.background.s_h - 1) >> 24) == 0;
}

FUNCTION_ROUTINE(F_MessageButton) {
  const CSprite* sprite = g_GraphicsData.sprites.Get(Real_ToInt32(a[0].AsReal()));
  if (!sprite) return Error_ReportAction("Trying to set a non-existing message button", false);
  RMessageSkin& skin = Message_Skin();
  std::array<TBitmap32, 3> images;
  // A missing image is the one before it; a sprite without frames leaves
  // the built-in buttons.
  for (int i = 0; i < 3; ++i) {
    std::optional<TBitmap32> frame = sprite->GetBitmap(i);
    if (frame && frame->s_w > 0 && frame->s_h > 0) images[size_t(i)] = std::move(*frame);
    else if (i > 0) images[size_t(i)] = images[size_t(i - 1)];
  }
  skin.buttons = std::move(images);
  const TBitmap32& first = skin.buttons[0];
  skin.buttonsMasked = first.s_h > 0 && (first.GetPixel(0, first.s_h - 1) >> 24) == 0;
}

FUNCTION_ROUTINE(F_MessageAlpha) {
  Message_Skin().alpha = std::clamp(std::round(a[0].AsReal() * 255.0), 0.0, 255.0) / 255.0;
}

void SetFont(RMessageFont& font, RValue* a) {
  if (!a[0].AsText().empty()) font.name = std::string(a[0].AsText());
  if (a[1].AsReal() >= 0) font.points = Real_ToInt32(a[1].AsReal());
  if (a[2].AsReal() >= 0) font.color = Real_ToInt32(a[2].AsReal());
  const int32_t style = Real_ToInt32(a[3].AsReal());
  if (style >= 0 && style <= 3) font.style = style;
}
FUNCTION_ROUTINE(F_MessageTextFont) { SetFont(Message_Skin().text, a); }
FUNCTION_ROUTINE(F_MessageButtonFont) { SetFont(Message_Skin().button, a); }
FUNCTION_ROUTINE(F_MessageInputFont) { SetFont(Message_Skin().input, a); }
FUNCTION_ROUTINE(F_MessageTextCharset) {
  RMessageSkin& skin = Message_Skin();
  RMessageFont* fonts[] = {&skin.text, &skin.button, &skin.input};
  const int32_t type = Real_ToInt32(a[0].AsReal());
  if (type >= 0 && type <= 2) fonts[type]->charset = Real_ToInt32(a[1].AsReal());
}
FUNCTION_ROUTINE(F_MessageMouseColor) { Message_Skin().mouseColor = Real_ToInt32(a[0].AsReal()); }
FUNCTION_ROUTINE(F_MessageInputColor) { Message_Skin().inputColor = Real_ToInt32(a[0].AsReal()); }
FUNCTION_ROUTINE(F_MessagePosition) {
  Message_Skin().left = Real_ToInt32(a[0].AsReal());
  Message_Skin().top = Real_ToInt32(a[1].AsReal());
}
FUNCTION_ROUTINE(F_MessageSize) {
  Message_Skin().width = Real_ToInt32(a[0].AsReal());
  Message_Skin().height = Real_ToInt32(a[1].AsReal());
}
FUNCTION_ROUTINE(F_MessageCaption) {
  Message_Skin().caption = a[0].AsReal() >= 0.5;
  Message_Skin().captionText = std::string(a[1].AsText());
}

const RFunctionRoutine kDialogFunctions[] = {
    {"show_message", F_ShowMessage},
    {"show_question", F_ShowQuestion},
    {"show_message_ext", F_ShowMessageExt},
    {"get_string", F_GetString},
    {"get_integer", F_GetInteger},
    {"message_background", F_MessageBackground},
    {"message_button", F_MessageButton},
    {"message_alpha", F_MessageAlpha},
    {"message_text_font", F_MessageTextFont},
    {"message_button_font", F_MessageButtonFont},
    {"message_input_font", F_MessageInputFont},
    {"message_text_charset", F_MessageTextCharset},
    {"message_mouse_color", F_MessageMouseColor},
    {"message_input_color", F_MessageInputColor},
    {"message_position", F_MessagePosition},
    {"message_size", F_MessageSize},
    {"message_caption", F_MessageCaption},
};

}  // namespace

void Function_RegisterDialogs() {
  Function_ImplementTable(kDialogFunctions);
  Function_RegisterMenus();
  Function_RegisterChoosers();
}

}  // namespace tavrin
