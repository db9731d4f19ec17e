// Arbitrary bytes as a PNG picture and as the records of sprites (with their
// frames and masks), backgrounds, fonts and sounds: no crash, no leak, no
// allocation beyond what the bytes can hold, and whatever reads must write
// back and read again to the same resource. A font that loads also lays out
// and draws the bytes after its record, whatever its glyph tables say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

#include "graphics/Background_Class.h"
#include "graphics/Font_Class.h"
#include "graphics/Font_List.h"
#include "graphics/Font_Text.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Sprite_Class.h"
#include "sound/Sound_Class.h"

namespace {

using namespace tavrin;

// Reads a record; when it loads, its bytes must read back the same.
template <class T>
void Record(std::span<const uint8_t> bytes) {
  CStream in(bytes.data(), bytes.size());
  T record;
  try {
    if (!record.LoadFromStream(in)) return;
  } catch (const CStreamError&) {
    return;
  }
  CStream out;
  record.SaveToStream(out);
  out.Seek(0);
  T again;
  if (!again.LoadFromStream(out)) std::abort();
  CStream twice;
  again.SaveToStream(twice);
  if (twice.Bytes() != out.Bytes()) std::abort();
}

// A font from the package's bytes, made current, with the rest as text:
// measured, wrapped and drawn in every form on the recording device.
void FontText(std::span<const uint8_t> bytes) {
  static const bool device = [] {
    Graphics_SetDevice(std::make_unique<CRecordingDevice>(64, 64, 256));
    return true;
  }();
  (void)device;
  CStream in(bytes.data(), bytes.size());
  auto font = std::make_unique<CFont>();
  try {
    if (!font->LoadFromStream(in)) return;
  } catch (const CStreamError&) {
    return;
  }
  font->InitTexture();
  g_GraphicsData.fonts.Set(0, std::move(font), "fnt");
  Font_Set(0);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + in.Position(), bytes.size() - in.Position());
  const int32_t w = text.empty() ? -1 : int32_t(uint8_t(text[0])) - 64;
  Text_Width(text, w);
  Text_Height(text, -1, w);
  Text_Draw(text, -1, w, 0, 0);
  Text_DrawTransformedColor(text, 3, w, 10, 10, 2, -1, 33, 0xFF, 0xFF00, 0xFF0000, 0, 0.5);
  static_cast<CRecordingDevice*>(Graphics_Device())->ForgetDraws();
  g_GraphicsData.Clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 7) {
    case 0: {
      const auto bm = Picture_DecodePNG(rest);
      if (bm && Picture_DecodePNG(Picture_EncodePNG(*bm)) != bm) std::abort();
      break;
    }
    case 1: Record<CSprite>(rest); break;
    case 2: Record<CBackground>(rest); break;
    case 3: Record<CFont>(rest); break;
    case 4: Record<CSound>(rest); break;
    case 6: FontText(rest); break;
    default: Record<TMask>(rest); break;
  }
  return 0;
}
