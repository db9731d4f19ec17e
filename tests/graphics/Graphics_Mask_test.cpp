// Collision masks made from frames: the shapes, the boxes and the way frames
// share one mask, as games see them through collisions.
#include <gtest/gtest.h>

#include <string>

#include "graphics/Sprite_Class.h"

namespace tavrin {
namespace {

// A picture from rows of text: '#' opaque, '+' alpha 100, '.' transparent.
TBitmap32 Art(std::initializer_list<const char*> rows) {
  const std::string first = *rows.begin();
  TBitmap32 bm(int32_t(first.size()), int32_t(rows.size()));
  int32_t y = 0;
  for (const char* row : rows) {
    for (int32_t x = 0; row[x]; ++x) bm.SetPixel(x, y, row[x] == '#' ? 0xFF102030u : row[x] == '+' ? 0x64102030u : 0);
    ++y;
  }
  return bm;
}

// The mask as rows of '#' and '.'.
std::string Cells(const TMask& m) {
  std::string s;
  for (int32_t y = 0; y < m.i_h; ++y) {
    for (int32_t x = 0; x < m.i_w; ++x) s += m.Get(x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

TEST(SpriteMask, ShapesAndBoxes) {
  const TBitmap32 ring = Art({".....", ".#+#.", ".+.#.", ".###.", "....."});
  struct Case {
    const char* name;
    int32_t bbmode, kind, tolerance;
    TRect manual;
    TRect box;
    const char* cells;
  };
  const Case cases[] = {
      {"precise counts alpha above the tolerance", kBoxAutomatic, kMaskPrecise, 0, {}, {1, 1, 3, 3},
       ".....\n.###.\n.#.#.\n.###.\n.....\n"},
      {"a higher tolerance drops the faint pixels", kBoxAutomatic, kMaskPrecise, 100, {}, {1, 1, 3, 3},
       ".....\n.#.#.\n...#.\n.###.\n.....\n"},
      {"rectangle fills the automatic box", kBoxAutomatic, kMaskRectangle, 0, {}, {1, 1, 3, 3},
       ".....\n.###.\n.###.\n.###.\n.....\n"},
      {"full image box", kBoxFull, kMaskRectangle, 0, {}, {0, 0, 4, 4},
       "#####\n#####\n#####\n#####\n#####\n"},
      {"ellipse in the full box", kBoxFull, kMaskEllipse, 0, {}, {0, 0, 4, 4},
       ".###.\n#####\n#####\n#####\n.###.\n"},
      {"diamond in the full box", kBoxFull, kMaskDiamond, 0, {}, {0, 0, 4, 4},
       "..#..\n.###.\n#####\n.###.\n..#..\n"},
      {"manual box is clipped to the image", kBoxManual, kMaskRectangle, 0, {-3, 3, 9, 9}, {0, 3, 4, 4},
       ".....\n.....\n.....\n#####\n#####\n"},
      {"one-pixel ellipse keeps its cell", kBoxManual, kMaskEllipse, 0, {2, 2, 2, 2}, {2, 2, 2, 2},
       ".....\n.....\n..#..\n.....\n.....\n"},
      {"one-pixel diamond keeps its cell", kBoxManual, kMaskDiamond, 0, {2, 2, 2, 2}, {2, 2, 2, 2},
       ".....\n.....\n..#..\n.....\n.....\n"},
      {"nothing above the tolerance: inverted box, no cell", kBoxAutomatic, kMaskPrecise, 255, {}, {4, 4, 0, 0},
       ".....\n.....\n.....\n.....\n.....\n"},
      {"an unknown kind sets no cell", kBoxFull, 7, 0, {}, {0, 0, 4, 4}, ".....\n.....\n.....\n.....\n.....\n"},
  };
  for (const Case& c : cases) {
    const TMask m = TMask::Create(&ring, c.bbmode, c.manual, c.kind, c.tolerance);
    EXPECT_EQ(m.i_bbox, c.box) << c.name;
    EXPECT_EQ(Cells(m), c.cells) << c.name;
  }
}

TEST(SpriteMask, SharedMasksJoinFramesAndSeparateOnesBoxTheSprite) {
  CSprite s;
  s.i_bitmap = {Art({"#...", "....", "...."}), Art({"....", "....", "...#"})};
  s.i_numb = 2;

  s.ComputeMask({false, kBoxAutomatic, {}, kMaskPrecise, 0});
  ASSERT_EQ(s.i_mask.size(), 1u);
  EXPECT_EQ(Cells(s.i_mask[0]), "#...\n....\n...#\n");  // the union of the frames
  EXPECT_EQ(s.i_bbox, (TRect{0, 0, 3, 2}));

  s.ComputeMask({false, kBoxAutomatic, {}, kMaskDiamond, 0});
  EXPECT_EQ(Cells(s.i_mask[0]), ".##.\n####\n.##.\n") << "one diamond over the union box, not two";

  s.ComputeMask({false, kBoxAutomatic, {}, 9, 0});
  EXPECT_EQ(Cells(s.i_mask[0]), "####\n####\n####\n") << "an unknown kind merged ends as the filled box";

  s.ComputeMask({true, kBoxAutomatic, {}, kMaskPrecise, 0});
  ASSERT_EQ(s.i_mask.size(), 2u);
  EXPECT_EQ(s.i_mask[0].i_bbox, (TRect{0, 0, 0, 0}));
  EXPECT_EQ(s.i_mask[1].i_bbox, (TRect{3, 2, 3, 2}));
  EXPECT_EQ(s.i_bbox, (TRect{0, 0, 3, 2}));

  // Frames without pixels have boxes that are not inverted; no cell may be
  // written outside them, whatever the settings.
  for (auto [w, h] : {std::pair{0, 0}, {0, 1}, {1, 0}, {0, 3}}) {
    CSprite empty;
    empty.i_bitmap = {TBitmap32(w, h), TBitmap32(w, h)};
    empty.i_numb = 2;
    for (int32_t kind = kMaskPrecise; kind <= kMaskDiamond; ++kind)
      for (int32_t bbmode : {kBoxAutomatic, kBoxFull}) {
        empty.ComputeMask({kind == kMaskRectangle, bbmode, {}, kind, 0});
        for (const TMask& m : empty.i_mask) EXPECT_TRUE(m.i_mask.empty()) << w << "x" << h;
      }
  }

  CSprite none;
  none.ComputeMask({true, kBoxFull, {}, kMaskRectangle, 0});
  EXPECT_TRUE(none.i_mask.empty());
  EXPECT_EQ(none.i_bbox, TRect{});
}

}  // namespace
}  // namespace tavrin
