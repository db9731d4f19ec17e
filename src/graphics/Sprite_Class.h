// CSprite: a sequence of equally sized frames with an origin, collision masks
// and a bounding box, and its record in the package. The picture loaders are
// in Sprite_Load.cpp, the sprite data file in Sprite_File.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graphics/BM32_Record.h"
#include "graphics/Sprite_Mask.h"
#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

class CSprite {
 public:
  int32_t i_numb = 0;                // frame count
  std::vector<TBitmap32> i_bitmap;   // the frames; frame 0 gives the size
  int32_t i_xorig = 0, i_yorig = 0;  // the point placed at the drawing position
  TRect i_bbox{};                    // box of the masks, in frame coordinates
  std::vector<TMask> i_mask;         // one per frame when i_sepmasks, else one
  bool i_sepmasks = false;
  std::vector<int32_t> i_tex;        // texture per frame, -1 for none
  // The record form it was read in (800, or 810 with one more integer), kept
  // so that a package taken apart and built again is the same to the byte.
  int32_t i_version = 800;
  int32_t i_reserved = 0;

  // 1 x 1 without frames.
  int32_t GetWidth() const { return i_numb > 0 ? i_bitmap[0].s_w : 1; }
  int32_t GetHeight() const { return i_numb > 0 ? i_bitmap[0].s_h : 1; }

  // A frame index as drawing, textures and collisions use it: reduced
  // modulo the frame count, a negative remainder made positive (-1 of four
  // frames is frame 3). 0 without frames.
  int32_t FrameIndex(int64_t index) const;

  void ComputeMask(const RMaskSettings& settings);
  void ComputeBoundingBox();
  void FreeMask() { i_mask.clear(); }

  // No frames, no masks, origin (0, 0); textures freed.
  void Clear();
  // Becomes a copy of `spr`: origin, box, frames, separate-masks flag and
  // masks; then its own textures. Assigning a sprite to itself keeps it
  // whole (and only remakes its textures).
  void Assign(const CSprite& spr);
  // A copy of frame `ind` (0 .. i_numb - 1, not reduced), or nothing.
  std::optional<TBitmap32> GetBitmap(int32_t ind) const;
  // The box of frame `ind`'s pixels with any alpha; a zero box for an index
  // outside 0 .. i_numb - 1.
  TRect GetBoundingBoxImg(int32_t ind) const;

  // Appends copies of every frame of `spr`, each stretched (quality 1) to
  // this sprite's size; into a sprite without frames they come at the size
  // of spr's first frame. Masks are remade (automatic box, precise,
  // tolerance 0, separate masks as they were), then textures. `spr` may be
  // this sprite: its frames are then doubled.
  void AddFromSprite(const CSprite& spr);
  // Frame i takes as alpha the brightness of frame i mod spr's count;
  // nothing when spr has no frames. `spr` may be this sprite.
  void SetAlphaFromSprite(const CSprite& spr);

  // Picture loaders (Sprite_Load.cpp). Each builds the whole sprite first
  // and changes nothing when it fails. On success: origin (xo, yo), one
  // mask for all frames (automatic box, precise, tolerance 0), textures.
  //
  // A picture file: a GIF (recognised by its bytes) is an animation, one
  // frame per GIF frame; any other picture is a strip of `imgnumb` frames
  // (1 when imgnumb <= 0) of width div imgnumb side by side, the columns
  // left over belonging to no frame. A strip of more frames than the
  // picture has columns fails. The load effects (Effect_ApplyLoad) are
  // applied to every frame. False for a missing file or an unreadable
  // picture.
  bool LoadFromFile(const std::string& fname, int32_t imgnumb, bool removeback, bool smooth, int32_t xo, int32_t yo);
  bool LoadFromPicture(std::span<const uint8_t> file, int32_t imgnumb, bool removeback, bool smooth, int32_t xo,
                       int32_t yo);
  // One frame from a grabbed picture (the screen, a surface). Unless
  // removeback is 2, a picture with no alpha at all becomes opaque first.
  // removeback 1: the load effects with remove-background on (and smoothing
  // when asked); -1: made opaque; any other value: no effect.
  void CreateFromBitmap(const TBitmap32& bbb, int32_t removeback, bool smooth, int32_t xo, int32_t yo);
  // Appends one frame from a grabbed picture, its alpha as it is, after the
  // load effects, stretched (quality 1) to the sprite's size (a sprite
  // without frames takes the picture's size). Masks are remade keeping
  // separate masks as they were, then textures.
  void AddFromBitmap(const TBitmap32& bbb, bool removeback, bool smooth);

  // Textures of every frame in the game's texture table (Graphics_Texture),
  // the old ones freed first; -1 for a frame without a device. FreeTexture
  // frees them all and leaves -1s.
  void InitTexture();
  void FreeTexture();
  // The texture of frame `ind` (reduced like every frame index); -1 when
  // the sprite has no frames or the frame no texture.
  int32_t GetTexture(int64_t ind) const;

  // Drawing (Sprite_Draw.cpp). The frame index is reduced as above; angles
  // are degrees, counter-clockwise; colours are game colours 0x00BBGGRR
  // with alpha 0..1. A sprite without frames, or a frame without a texture,
  // draws nothing.
  //
  // The frame unscaled, white, its origin at (x, y).
  void DrawSimple(int64_t ind, double x, double y) const;
  // Scaled and turned about the origin placed at (x, y).
  void Draw(int64_t ind, double x, double y, double xscale, double yscale, double angle, uint32_t color,
            double alpha) const;
  // Filling w x h with its top-left at (x, y), the origin ignored; nothing
  // unless w and h are positive.
  void DrawStretched(int64_t ind, double x, double y, double w, double h, uint32_t color, double alpha) const;
  // The part (left, top, w, h) of the frame with its top-left at (x, y).
  void DrawPart(int64_t ind, double left, double top, double w, double h, double x, double y, double xscale,
                double yscale, uint32_t color, double alpha) const;
  // As DrawPart, turned about (x, y), a colour per corner (top-left,
  // top-right, bottom-right, bottom-left).
  void DrawGeneral(int64_t ind, double left, double top, double w, double h, double x, double y, double xscale,
                   double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                   double alpha) const;
  // Copies covering the area (xr, yr, wr, hr) in each tiled direction, on
  // the grid through (x, y), the origin included.
  void DrawTiled(int64_t ind, double x, double y, double xscale, double yscale, bool htiled, bool vtiled, double xr,
                 double yr, double wr, double hr, uint32_t color, double alpha) const;
  // The frame stretched onto four corners (top-left, top-right,
  // bottom-right, bottom-left).
  void DrawPos(int64_t ind, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
               double alpha) const;

  // The sprite data file (Sprite_File.cpp). Reading builds the sprite from
  // the file's frames and mask settings and changes nothing on failure (a
  // missing file, a wrong magic or version, damaged or cut-off data, frames
  // beyond the pixel limits). Writing stores the frames, the origin and
  // `settings`; false on a write error.
  bool LoadFromSpriteFile(const std::string& fname);
  bool LoadFromSpriteBytes(std::span<const uint8_t> file);
  std::vector<uint8_t> SaveToSpriteBytes(const RMaskSettings& settings) const;
  bool SaveToSpriteFile(const std::string& fname, const RMaskSettings& settings) const;

  // Record: version (800 or 810), origin, frame count, the frames, [810: one
  // ignored integer], separate-masks flag, then when there are frames the
  // masks. The box is computed from the masks. On failure the sprite is left
  // unchanged.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};


}  // namespace tavrin
