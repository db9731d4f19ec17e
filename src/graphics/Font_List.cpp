#include "graphics/Font_List.h"

#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_State.h"

namespace tavrin {

namespace {

CResourceList<CFont>& Fonts() { return g_GraphicsData.fonts; }

std::unique_ptr<CFont> NewFont(const std::string& name, int32_t size, bool bold, bool italic, int32_t first,
                               int32_t last) {
  auto f = std::make_unique<CFont>();
  f->CreateFont(name, size, bold, italic, first, last);
  return f;
}

std::unique_ptr<CFont> NewSpriteFont(int32_t spr, int32_t first, bool prop, int32_t sep) {
  auto f = std::make_unique<CFont>();
  f->CreateFromSprite(spr, first, prop, sep);
  return f;
}

int32_t Append(std::unique_ptr<CFont> f) {
  const int32_t ind = Fonts().Count();
  Fonts().Set(ind, std::move(f), "__newfont" + std::to_string(ind));
  return ind;
}

bool Put(int32_t ind, std::unique_ptr<CFont> f) {
  if (ind < 0 || ind >= Fonts().Count()) {
    f->FreeTexture();
    return false;
  }
  if (CFont* old = Fonts().Get(ind)) old->FreeTexture();
  std::string name = Fonts().Name(ind);
  Fonts().Set(ind, std::move(f), std::move(name));
  return true;
}

}  // namespace

bool Font_Exists(int32_t ind) { return Fonts().Exists(ind); }
CFont* Font_Get(int32_t ind) { return Fonts().Get(ind); }
std::string Font_GetName(int32_t ind) { return Font_Exists(ind) ? Fonts().Name(ind) : "<undefined>"; }
int32_t Font_Find(const std::string& name) { return Fonts().Find(name); }

int32_t Font_Add(const std::string& name, int32_t size, bool bold, bool italic, int32_t first, int32_t last) {
  return Append(NewFont(name, size, bold, italic, first, last));
}

int32_t Font_AddSprite(int32_t spr, int32_t first, bool prop, int32_t sep) {
  return Append(NewSpriteFont(spr, first, prop, sep));
}

bool Font_Replace(int32_t ind, const std::string& name, int32_t size, bool bold, bool italic, int32_t first,
                  int32_t last) {
  if (ind < 0 || ind >= Fonts().Count()) return false;
  return Put(ind, NewFont(name, size, bold, italic, first, last));
}

bool Font_ReplaceSprite(int32_t ind, int32_t spr, int32_t first, bool prop, int32_t sep) {
  if (ind < 0 || ind >= Fonts().Count()) return false;
  return Put(ind, NewSpriteFont(spr, first, prop, sep));
}

bool Font_Delete(int32_t ind) {
  CFont* f = Fonts().Get(ind);
  if (!f) return false;
  f->FreeTexture();
  Fonts().Remove(ind);
  return true;
}

void Font_InitTextures() {
  for (int32_t i = 0; i < Fonts().Count(); ++i)
    if (CFont* f = Fonts().Get(i)) f->InitTexture();
}

const CFont& Font_Current() {
  if (const CFont* f = Fonts().Get(g_TextState.font)) return *f;
  std::unique_ptr<CFont>& d = g_TextState.defaultFont;
  if (!d) d = NewFont(kDefaultFontFace, kDefaultFontSize, false, false, 32, 127);
  // Made before the device, or kept across a new one: its texture comes
  // when there is a device to hold it.
  if (d->s_tex < 0 && Graphics_Device()) d->InitTexture();
  return *d;
}

void Font_Set(int32_t ind) {
  g_TextState.font = Font_Exists(ind) ? ind : -1;
  Font_Current();
}

}  // namespace tavrin
