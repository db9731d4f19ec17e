// The operations on the game's sprite and background lists that scripts and
// actions reach: adding from files, replacing, duplicating, assigning,
// merging and deleting. Every index is checked; a failed load changes
// nothing (the list keeps its count, a replaced slot keeps what it held).
// Resources added at run time are named "__newsprite" or "__newbackground"
// followed by their index. Deleted slots stay empty; indices never move or
// come back.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// "<undefined>" for an index that holds no sprite.
std::string Sprite_GetName(int32_t ind);
// Load a picture (CSprite::LoadFromFile) into a new sprite: its index, or -1.
int32_t Sprite_AddFromFile(const std::string& fname, int32_t imgnumb, bool removeback, bool smooth, int32_t xo,
                           int32_t yo);
// Load into slot `ind` (0 <= ind < count; an empty slot gets the sprite
// only when the load succeeds). Whether it loaded.
bool Sprite_ReplaceFromFile(int32_t ind, const std::string& fname, int32_t imgnumb, bool removeback, bool smooth,
                            int32_t xo, int32_t yo);
int32_t Sprite_AddFromSpriteFile(const std::string& fname);
bool Sprite_ReplaceFromSpriteFile(int32_t ind, const std::string& fname);
// A new sprite without frames; its index.
int32_t Sprite_AddEmpty();
// Frees an existing sprite and leaves its slot empty; whether one was there.
bool Sprite_Delete(int32_t ind);
// A new sprite, a copy of `ind`; its index, -1 when `ind` does not exist.
int32_t Sprite_Duplicate(int32_t ind);
// Slot `ind` (0 <= ind < count, made when empty) becomes a copy of
// `source`; false, nothing changed, unless `source` exists. `ind` may be
// `source`.
bool Sprite_Assign(int32_t ind, int32_t source);
// Appends the frames of `source` to `ind` (CSprite::AddFromSprite); false
// unless both exist. `ind` may be `source`.
bool Sprite_Merge(int32_t ind, int32_t source);
// Textures for every sprite (once the device exists).
void Sprite_InitTextures();

std::string Background_GetName(int32_t ind);
int32_t Background_AddFromFile(const std::string& fname, bool removeback, bool smooth);
bool Background_ReplaceFromFile(int32_t ind, const std::string& fname, bool removeback, bool smooth);
int32_t Background_AddFromBackgroundFile(const std::string& fname);
bool Background_ReplaceFromBackgroundFile(int32_t ind, const std::string& fname);
// New backgrounds of one colour or a gradient (their sizes as in
// CBackground::CreateColor / CreateGradient; a refused size leaves the new
// background without a picture). Their index.
int32_t Background_AddColor(int32_t w, int32_t h, int32_t col);
int32_t Background_AddGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind);
int32_t Background_AddEmpty();
bool Background_Delete(int32_t ind);
int32_t Background_Duplicate(int32_t ind);
bool Background_Assign(int32_t ind, int32_t source);
void Background_InitTextures();

}  // namespace tavrin
