#include "graphics/Graphics_Texture.h"

#include <vector>

#include "graphics/Graphics_State.h"

namespace tavrin {

namespace {

// Indexed by the device's texture id: the device hands out the lowest free
// id, which is what the table promises games too.
std::vector<RTextureEntry> g_textures;

TextureId Make(int32_t w, int32_t h, bool renderTarget) {
  IGraphicsDevice* device = Graphics_Device();
  if (!device || w <= 0 || h <= 0) return kNoTexture;
  const int32_t wt = Texture_PowerOfTwo(w), ht = Texture_PowerOfTwo(h);
  if (wt > device->Texture_MaxSide() || ht > device->Texture_MaxSide()) return kNoTexture;
  const TextureId id = device->Texture_Create(wt, ht, renderTarget);
  if (id < 0) return kNoTexture;
  if (size_t(id) >= g_textures.size()) g_textures.resize(size_t(id) + 1);
  g_textures[size_t(id)] = RTextureEntry{true, w, h, wt, ht, 0};
  return id;
}

}  // namespace

int32_t Texture_PowerOfTwo(int32_t n) {
  int32_t p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

TextureId Texture_CreateFromBitmap(const TBitmap32& bitmap) {
  const TextureId id = Make(bitmap.s_w, bitmap.s_h, false);
  if (id < 0) return kNoTexture;
  if (!Graphics_Device()->Texture_Upload(id, bitmap)) {
    Texture_Free(id);
    return kNoTexture;
  }
  return id;
}

TextureId Texture_CreateAlpha(int32_t w, int32_t h, const uint8_t* alpha) {
  if (w <= 0 || h <= 0 || !alpha) return kNoTexture;
  const TextureId id = Make(w, h, false);
  if (id < 0) return kNoTexture;
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (uint32_t(alpha[i]) << 24) | 0xFFFFFFu;
  if (!Graphics_Device()->Texture_Write(id, 0, 0, RPixelSource{pixels.data(), w, h, w})) {
    Texture_Free(id);
    return kNoTexture;
  }
  return id;
}

TextureId Texture_CreateEmpty(int32_t w, int32_t h, bool renderTarget) { return Make(w, h, renderTarget); }

void Texture_Free(TextureId id) {
  if (!Texture_Exists(id)) return;
  g_textures[size_t(id)] = RTextureEntry{};
  if (IGraphicsDevice* device = Graphics_Device()) device->Texture_Free(id);
}

bool Texture_Exists(TextureId id) { return id >= 0 && size_t(id) < g_textures.size() && g_textures[size_t(id)].used; }

const RTextureEntry* Texture_Entry(TextureId id) { return Texture_Exists(id) ? &g_textures[size_t(id)] : nullptr; }

double Texture_WidthFraction(TextureId id) {
  const RTextureEntry* t = Texture_Entry(id);
  return t ? double(t->w) / double(t->wt) : 1.0;
}

double Texture_HeightFraction(TextureId id) {
  const RTextureEntry* t = Texture_Entry(id);
  return t ? double(t->h) / double(t->ht) : 1.0;
}

void Texture_Preload(TextureId) {}

void Texture_SetPriority(TextureId id, int32_t priority) {
  if (Texture_Exists(id)) g_textures[size_t(id)].priority = priority;
}

int32_t Texture_Count() {
  int32_t n = 0;
  for (const RTextureEntry& t : g_textures) n += t.used ? 1 : 0;
  return n;
}

void Texture_ResetTable() { g_textures.clear(); }

}  // namespace tavrin
