#include "graphics/Sprite_List.h"

#include <memory>

#include "graphics/Background_Class.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Sprite_Class.h"

namespace tavrin {

namespace {

// The list operations are the same for both kinds; `prefix` names what is
// added at run time.
template <class T>
std::string NameOf(const CResourceList<T>& list, int32_t ind) {
  return list.Exists(ind) ? list.Name(ind) : std::string("<undefined>");
}

template <class T>
int32_t Append(CResourceList<T>& list, std::unique_ptr<T> item, const char* prefix) {
  const int32_t ind = list.Count();
  list.Set(ind, std::move(item), prefix + std::to_string(ind));
  return ind;
}

// Loads with `load` into a fresh resource and appends it only on success.
template <class T, class Load>
int32_t AddLoaded(CResourceList<T>& list, const char* prefix, Load load) {
  auto item = std::make_unique<T>();
  if (!load(*item)) return -1;
  return Append(list, std::move(item), prefix);
}

// Loads into slot `ind`: into the resource there (the loaders change
// nothing when they fail), or into a new one that fills an empty slot only
// when it loaded.
template <class T, class Load>
bool ReplaceLoaded(CResourceList<T>& list, int32_t ind, Load load) {
  if (ind < 0 || ind >= list.Count()) return false;
  if (T* existing = list.Get(ind)) return load(*existing);
  auto item = std::make_unique<T>();
  if (!load(*item)) return false;
  list.Set(ind, std::move(item), list.Name(ind));
  return true;
}

template <class T>
bool Delete(CResourceList<T>& list, int32_t ind) {
  T* item = list.Get(ind);
  if (!item) return false;
  item->FreeTexture();
  list.Remove(ind);
  return true;
}

template <class T>
int32_t Duplicate(CResourceList<T>& list, int32_t ind, const char* prefix) {
  const T* source = list.Get(ind);
  if (!source) return -1;
  auto copy = std::make_unique<T>();
  copy->Assign(*source);
  return Append(list, std::move(copy), prefix);
}

template <class T>
bool Assign(CResourceList<T>& list, int32_t ind, int32_t source) {
  const T* from = list.Get(source);
  if (!from || ind < 0 || ind >= list.Count()) return false;
  if (T* to = list.Get(ind)) {
    to->Assign(*from);  // safe when to == from
    return true;
  }
  auto item = std::make_unique<T>();
  item->Assign(*from);
  list.Set(ind, std::move(item), list.Name(ind));
  return true;
}

constexpr const char* kNewSprite = "__newsprite";
constexpr const char* kNewBackground = "__newbackground";

}  // namespace

std::string Sprite_GetName(int32_t ind) { return NameOf(g_GraphicsData.sprites, ind); }

int32_t Sprite_AddFromFile(const std::string& fname, int32_t imgnumb, bool removeback, bool smooth, int32_t xo,
                           int32_t yo) {
  return AddLoaded(g_GraphicsData.sprites, kNewSprite,
                   [&](CSprite& s) { return s.LoadFromFile(fname, imgnumb, removeback, smooth, xo, yo); });
}

bool Sprite_ReplaceFromFile(int32_t ind, const std::string& fname, int32_t imgnumb, bool removeback, bool smooth,
                            int32_t xo, int32_t yo) {
  return ReplaceLoaded(g_GraphicsData.sprites, ind,
                       [&](CSprite& s) { return s.LoadFromFile(fname, imgnumb, removeback, smooth, xo, yo); });
}

int32_t Sprite_AddFromSpriteFile(const std::string& fname) {
  return AddLoaded(g_GraphicsData.sprites, kNewSprite, [&](CSprite& s) { return s.LoadFromSpriteFile(fname); });
}

bool Sprite_ReplaceFromSpriteFile(int32_t ind, const std::string& fname) {
  return ReplaceLoaded(g_GraphicsData.sprites, ind, [&](CSprite& s) { return s.LoadFromSpriteFile(fname); });
}

int32_t Sprite_AddEmpty() { return Append(g_GraphicsData.sprites, std::make_unique<CSprite>(), kNewSprite); }
bool Sprite_Delete(int32_t ind) { return Delete(g_GraphicsData.sprites, ind); }
int32_t Sprite_Duplicate(int32_t ind) { return Duplicate(g_GraphicsData.sprites, ind, kNewSprite); }
bool Sprite_Assign(int32_t ind, int32_t source) { return Assign(g_GraphicsData.sprites, ind, source); }

bool Sprite_Merge(int32_t ind, int32_t source) {
  CSprite* to = g_GraphicsData.sprites.Get(ind);
  const CSprite* from = g_GraphicsData.sprites.Get(source);
  if (!to || !from) return false;
  to->AddFromSprite(*from);  // safe when to == from
  return true;
}

void Sprite_InitTextures() {
  for (int32_t i = 0; i < g_GraphicsData.sprites.Count(); ++i)
    if (CSprite* s = g_GraphicsData.sprites.Get(i)) s->InitTexture();
}

std::string Background_GetName(int32_t ind) { return NameOf(g_GraphicsData.backgrounds, ind); }

int32_t Background_AddFromFile(const std::string& fname, bool removeback, bool smooth) {
  return AddLoaded(g_GraphicsData.backgrounds, kNewBackground,
                   [&](CBackground& b) { return b.LoadFromFile(fname, removeback, smooth); });
}

bool Background_ReplaceFromFile(int32_t ind, const std::string& fname, bool removeback, bool smooth) {
  return ReplaceLoaded(g_GraphicsData.backgrounds, ind, [&](CBackground& b) { return b.LoadFromFile(fname, removeback, smooth); });
}

int32_t Background_AddFromBackgroundFile(const std::string& fname) {
  return AddLoaded(g_GraphicsData.backgrounds, kNewBackground, [&](CBackground& b) { return b.LoadFromBackgroundFile(fname); });
}

bool Background_ReplaceFromBackgroundFile(int32_t ind, const std::string& fname) {
  return ReplaceLoaded(g_GraphicsData.backgrounds, ind, [&](CBackground& b) { return b.LoadFromBackgroundFile(fname); });
}

int32_t Background_AddColor(int32_t w, int32_t h, int32_t col) {
  auto b = std::make_unique<CBackground>();
  b->CreateColor(w, h, col);
  return Append(g_GraphicsData.backgrounds, std::move(b), kNewBackground);
}

int32_t Background_AddGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind) {
  auto b = std::make_unique<CBackground>();
  b->CreateGradient(w, h, col1, col2, kind);
  return Append(g_GraphicsData.backgrounds, std::move(b), kNewBackground);
}

int32_t Background_AddEmpty() { return Append(g_GraphicsData.backgrounds, std::make_unique<CBackground>(), kNewBackground); }
bool Background_Delete(int32_t ind) { return Delete(g_GraphicsData.backgrounds, ind); }
int32_t Background_Duplicate(int32_t ind) { return Duplicate(g_GraphicsData.backgrounds, ind, kNewBackground); }
bool Background_Assign(int32_t ind, int32_t source) { return Assign(g_GraphicsData.backgrounds, ind, source); }

void Background_InitTextures() {
  for (int32_t i = 0; i < g_GraphicsData.backgrounds.Count(); ++i)
    if (CBackground* b = g_GraphicsData.backgrounds.Get(i)) b->InitTexture();
}

}  // namespace tavrin
