// Fonts: the glyph tables and sheet packing made from a face's glyphs (a
// test source with glyphs of chosen sizes), code pages, the text layout
// (line breaks, the "#" escape, wrapping, measuring), and where each glyph
// quad lands through the recording device: alignment, turned text, corner
// colours and sprite fonts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "graphics/Font_CodePage.h"
#include "graphics/Font_List.h"
#include "graphics/Font_Raster.h"
#include "graphics/Font_Sheet.h"
#include "graphics/Font_Text.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "support/AllocationProbe.h"
#include "support/FontFixtureTest.h"

namespace tavrin {
namespace {

// Glyphs of chosen sizes, each filled with coverage 64, top at `oy`.
class CTestGlyphs final : public IGlyphSource {
 public:
  RFontMetrics metrics{12, 10, 6, 9};
  bool measurable = true;
  std::map<int32_t, RGlyphImage> glyphs;  // missing codes have no pixels and advance 6

  void Add(int32_t code, int32_t w, int32_t h, int32_t oy, int32_t advance, int32_t ox = 0) {
    glyphs[code] = RGlyphImage{w, h, ox, oy, advance, std::vector<uint8_t>(size_t(w) * size_t(h), 64)};
  }
  bool Metrics(RFontMetrics& out) override {
    out = metrics;
    return measurable;
  }
  void Glyph(int32_t code, RGlyphImage& out) override {
    const auto g = glyphs.find(code);
    out = g != glyphs.end() ? g->second : RGlyphImage{0, 0, 0, 0, 6, {}};
  }
};

CFont Range(int32_t first, int32_t last) {
  CFont f;
  f.s_name = "Test";
  f.s_first = first;
  f.s_last = last;
  return f;
}

TEST(FontSheet, TablesFollowTheGlyphsAndTheSpaceKeepsASlot) {
  CTestGlyphs src;
  src.Add('A', 7, 10, 10, 8);      // from the ascent line to the baseline
  src.Add('g', 5, 9, 6, 6);        // 3 rows below the baseline
  src.Add('j', 4, 12, 9, 3, -2);   // starts left of the pen
  CFont f = Range(32, 'j');
  Sheet_Build(f, src);
  EXPECT_EQ(f.s_w['A'], 7);
  EXPECT_EQ(f.s_h['A'], 10);
  EXPECT_EQ(f.s_h['g'], 13);
  EXPECT_EQ(f.s_shift['j'], 5) << "advance less a negative offset";
  EXPECT_EQ(f.s_offset['j'], -2);
  EXPECT_EQ(f.s_FontHeight, 13);
  // The space has no pixels: the space's advance wide, the line high.
  EXPECT_EQ(f.s_w[32], 6);
  EXPECT_EQ(f.s_shift[32], 6);
  EXPECT_EQ(f.s_h[32], 12);
  // A glyph without pixels has an empty slot and no advance.
  EXPECT_EQ(f.s_w['B'], 0);
  EXPECT_EQ(f.s_shift['B'], 0);
}

TEST(FontSheet, GlyphsArePackedLargestFirstWithoutOverlapAndCopiedIntoTheirSlots) {
  CTestGlyphs src;
  src.metrics.ascent = 20;
  for (int32_t c = 'A'; c <= 'Z'; ++c) src.Add(c, 3 + c % 7, 4 + c % 11, 20, 10);
  src.Add('.', 1, 1, 20, 3);  // a slot of one pixel: packed like every other glyph
  CFont f = Range('.', 'Z');
  Sheet_Build(f, src);
  EXPECT_EQ(f.s_bw & (f.s_bw - 1), 0);
  EXPECT_EQ(f.s_bh & (f.s_bh - 1), 0);
  ASSERT_EQ(f.s_bytes.size(), size_t(f.s_bw) * size_t(f.s_bh));
  const std::vector<int32_t> list = Sheet_GlyphList(f);
  for (size_t i = 1; i < list.size(); ++i)
    EXPECT_GE(f.s_w[size_t(list[i - 1])] * f.s_h[size_t(list[i - 1])], f.s_w[size_t(list[i])] * f.s_h[size_t(list[i])]);
  // Every glyph with pixels lies inside the sheet, on its own, and its
  // black box's pixels are full (64 becomes 255).
  std::vector<int> owner(f.s_bytes.size(), -1);
  for (int32_t c : list) {
    const size_t i = size_t(c);
    if (f.s_w[i] == 0) continue;
    ASSERT_LE(f.s_x[i] + f.s_w[i], f.s_bw) << c;
    ASSERT_LE(f.s_y[i] + f.s_h[i], f.s_bh) << c;
    for (int32_t y = f.s_y[i]; y < f.s_y[i] + f.s_h[i]; ++y)
      for (int32_t x = f.s_x[i]; x < f.s_x[i] + f.s_w[i]; ++x) {
        int& o = owner[size_t(y) * size_t(f.s_bw) + size_t(x)];
        EXPECT_EQ(o, -1) << c << " overlaps " << o;
        o = c;
      }
    const RGlyphImage& g = src.glyphs[c];
    const int32_t bottom = f.s_y[i] + f.s_h[i] - 1;  // the black box ends on the slot's last row
    EXPECT_EQ(f.s_bytes[size_t(bottom) * size_t(f.s_bw) + size_t(f.s_x[i] + g.bw - 1)], 255) << c;
  }
  EXPECT_EQ(f.s_w['.'], 1);
  EXPECT_EQ(f.s_bytes[size_t(f.s_y['.'] + f.s_h['.'] - 1) * size_t(f.s_bw) + size_t(f.s_x['.'])], 255);
}

TEST(FontSheet, SizeSearchHalvesHeightFirstAndEndsForAnyRange) {
  CTestGlyphs src;
  for (int32_t c = 0; c < 256; ++c) src.Add(c, 10, 12, 10, 11);
  src.metrics.ascent = 10;
  const struct {
    const char* name;
    int32_t first, last;
    RSheetSize size;
  } cases[] = {
      // Glyphs of 10 x 12, 2 apart: 21 to a row of 256, 10 to a row of 128.
      {"one glyph", 'A', 'A', {16, 16}},
      {"ninety-six glyphs: 5 rows of 256 fit 128 high, 10 rows of 128 do not", 32, 127, {256, 128}},
      {"every code: 13 rows of 256", 0, 255, {256, 256}},
      {"empty range still ends", 200, 199, {1, 1}},
      {"reversed range still ends", 255, 0, {1, 1}},
  };
  for (const auto& c : cases) {
    CFont f = Range(c.first, c.last);
    Sheet_Build(f, src);
    EXPECT_EQ((RSheetSize{f.s_bw, f.s_bh}), c.size) << c.name << ": " << f.s_bw << " x " << f.s_bh;
  }
}

TEST(FontSheet, AGlyphNeverOutgrowsTheSheetAndAnUnmeasurableFaceHasNoGlyphs) {
  CTestGlyphs src;
  src.Add('W', 100, 20, 10, 100);
  CFont f = Range('W', 'W');
  Sheet_Build(f, src);
  EXPECT_GE(f.s_bw, 100) << "a wide glyph is never cut by a narrow sheet";

  CTestGlyphs none;
  none.measurable = false;
  CFont g = Range(32, 127);
  Sheet_Build(g, none);
  EXPECT_EQ(g.s_bw, 0);
  EXPECT_EQ(g.TextWidth("abc"), 0);
}

TEST(FontCodePage, CharacterSetsPickTheirPages) {
  const struct {
    int32_t charset;
    const char* text;
    std::string bytes;
  } cases[] = {
      {1, "A\xC3\xA9\xE2\x82\xAC", "A\xE9\x80"},           // the system's page: A, e acute, euro
      {0, "\xC3\x9F", "\xDF"},                             // sharp s
      {204, "\xD0\x96", "\xC6"},                           // Cyrillic Zhe
      {161, "\xCE\xA9", "\xD9"},                           // Greek Omega
      {238, "\xC5\x99", "\xF8"},                           // Czech r caron
      {0, "\xD0\x96", "?"},                                // not in the page
      {128, "\xE3\x81\x82" "a", "\x82\xA0" "a"},           // Japanese: two bytes, two codes
      {0, "\xFF\x41", "\xFF" "A"},                         // a stray byte reads as itself
  };
  for (const auto& c : cases) {
    std::string out;
    CodePage_Encode(CodePage_OfCharset(c.charset), c.text, out);
    EXPECT_EQ(out, c.bytes) << c.charset << " " << c.text;
  }
  EXPECT_EQ(CodePage_ToUnicode(1251, 0xC6), 0x416u);
  EXPECT_EQ(CodePage_ToUnicode(1252, 0x80), 0x20ACu);
}

// A sheet font on the recording device: every code of 32..127 is 8 x 12 at
// (4 x code, 0) on the sheet and advances 10; the space advances 5 and the
// hyphen 4.
class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_GraphicsData.Clear();
    g_TextState.Reset();
    g_DrawState.Reset();
    Graphics_SetDevice(std::make_unique<CRecordingDevice>());
    m_device = static_cast<CRecordingDevice*>(Graphics_Device());
    auto f = std::make_unique<CFont>();
    f->s_name = "Fixture";
    f->s_first = 32;
    f->s_last = 127;
    for (size_t c = 32; c <= 127; ++c) {
      f->s_x[c] = int32_t(c) * 4;
      f->s_w[c] = 8;
      f->s_h[c] = 12;
      f->s_shift[c] = 10;
    }
    f->s_shift[' '] = 5;
    f->s_shift['-'] = 4;
    f->s_offset['j'] = -1;
    f->s_FontHeight = 12;
    f->s_bw = 512;
    f->s_bh = 16;
    f->s_bytes.assign(512 * 16, 255);
    f->InitTexture();
    m_font = f.get();
    g_GraphicsData.fonts.Set(0, std::move(f), "fnt_fixture");
    Font_Set(0);
  }
  void TearDown() override {
    g_GraphicsData.Clear();
    g_TextState.Reset();
    Graphics_SetDevice(nullptr);
  }

  std::vector<std::string> Lines(std::string_view text, int32_t w) {
    RTextLines lines;
    Text_SplitLines(*m_font, text, w, lines);
    std::vector<std::string> out;
    for (size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines.Line(i));
    return out;
  }
  // The top-left corner of every glyph quad drawn (pixel position, without
  // the half-pixel shift).
  std::vector<std::pair<float, float>> Corners() {
    std::vector<std::pair<float, float>> out;
    for (const RRecordedDraw& d : m_device->Draws()) out.emplace_back(d.vertices[0].x + 0.5f, d.vertices[0].y + 0.5f);
    return out;
  }

  CRecordingDevice* m_device = nullptr;
  CFont* m_font = nullptr;
};

TEST_F(TextTest, LineBreaksAndTheHashEscape) {
  using V = std::vector<std::string>;
  const struct {
    const char* text;
    V lines;
  } cases[] = {
      {"", {}},
      {"ab", {"ab"}},
      {"a#b", {"a", "b"}},
      {"a\\#b", {"a#b"}},
      {"a\\b", {"a\\b"}},
      {"a#", {"a"}},
      {"#", {""}},
      {"a##b", {"a", "", "b"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a#\nb", {"a", "b"}},  // the hash's break and the LF after it are one
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(c.text, -1), c.lines) << c.text;
}

TEST_F(TextTest, WrappingAtSpacesAndHyphens) {
  using V = std::vector<std::string>;
  const struct {
    const char* text;
    int32_t w;
    V lines;
  } cases[] = {
      {"ab cd", 30, {"ab ", "cd"}},         // "ab " is 25, "cd" 20 more
      {"ab cd", 45, {"ab cd"}},
      {"ab-cd", 30, {"ab-", "cd"}},         // the hyphen ends a word and stays
      {"abcdefgh", 10, {"abcdefgh"}},       // a word wider than w stands alone
      {"a b c", 0, {"a ", "b ", "c"}},
      {"aa bb cc dd", 55, {"aa bb ", "cc dd"}},
      {"ab#cd ef", 30, {"ab", "cd ", "ef"}},
      {"", 10, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(c.text, c.w), c.lines) << c.text << " in " << c.w;
}

TEST_F(TextTest, Measuring) {
  const struct {
    const char* text;
    int32_t sep, w;
    int32_t width, height;
  } cases[] = {
      {"", -1, -1, 1, 1},
      {"abc", -1, -1, 30, 12},
      {"   ", -1, -1, 15, 12},
      {"a#bcd#", -1, -1, 30, 24},
      {"a#b#c", 20, -1, 10, 52},
      {"ab cd", -1, 30, 25, 24},
      {"x\xC2\xA0y", -1, -1, 25, 12},  // a no-break space (160) is outside the range: the space's advance
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text_Width(c.text, c.w), c.width) << c.text;
    EXPECT_EQ(Text_Height(c.text, c.sep, c.w), c.height) << c.text;
  }
}

TEST_F(TextTest, CodesOutsideTheRangeAdvanceLikeTheSpaceOrTheFirstCode) {
  // The space is in the range: an e acute (233 in the page) moves the pen
  // by the space's 5 and draws nothing.
  EXPECT_EQ(m_font->TextWidth("\xE9"), 5);
  m_font->s_first = 'a';
  m_font->s_shift['a'] = 7;
  EXPECT_EQ(m_font->TextWidth(" \xE9"), 14) << "without the space, the first code's advance";
  m_font->s_first = 300 - 45;  // as a damaged table could hold it
  m_font->s_last = 100;
  EXPECT_EQ(m_font->TextWidth("a"), m_font->s_shift[255]);
  m_device->ForgetDraws();
  Text_Draw("a\xE9" "b", -1, -1, 0, 0);
  EXPECT_TRUE(m_device->Draws().empty());
}

TEST_F(TextTest, AlignmentPlacesEachLine) {
  const struct {
    EHAlign h;
    EVAlign v;
    std::vector<std::pair<float, float>> corners;  // of "ab#c" at (100, 50): a, b, c
  } cases[] = {
      {EHAlign::Left, EVAlign::Top, {{100, 50}, {110, 50}, {100, 62}}},
      {EHAlign::Center, EVAlign::Top, {{90, 50}, {100, 50}, {95, 62}}},
      {EHAlign::Right, EVAlign::Top, {{80, 50}, {90, 50}, {90, 62}}},
      {EHAlign::Left, EVAlign::Middle, {{100, 38}, {110, 38}, {100, 50}}},
      {EHAlign::Left, EVAlign::Bottom, {{100, 26}, {110, 26}, {100, 38}}},
  };
  for (const auto& c : cases) {
    g_TextState.halign = c.h;
    g_TextState.valign = c.v;
    m_device->ForgetDraws();
    Text_Draw("ab#c", -1, -1, 100, 50);
    EXPECT_EQ(Corners(), c.corners) << int(c.h) << " " << int(c.v);
  }
  // Odd widths and line counts: centring takes whole pixels towards zero.
  g_TextState.halign = EHAlign::Center;
  g_TextState.valign = EVAlign::Middle;
  m_device->ForgetDraws();
  Text_Draw("a b#c#d", 7, -1, 100, 50);  // widths 25, 10, 10; 3 x 7 = 21 high
  EXPECT_EQ(Corners()[0], (std::pair<float, float>{88, 40}));
  EXPECT_EQ(Corners()[3], (std::pair<float, float>{95, 47}));
}

TEST_F(TextTest, GlyphQuadsComeFromTheSheetInTheDrawingColour) {
  DrawState_SetColor(0x0000FF);
  DrawState_SetAlpha(0.5);
  Text_Draw("aj", -1, -1, 10, 20);
  ASSERT_EQ(m_device->Draws().size(), 2u);
  const RRecordedDraw& a = m_device->Draws()[0];
  EXPECT_EQ(a.texture, m_font->s_tex);
  EXPECT_FLOAT_EQ(a.vertices[0].u, 97 * 4 / 512.0f);
  EXPECT_FLOAT_EQ(a.vertices[2].u, (97 * 4 + 8) / 512.0f);
  EXPECT_FLOAT_EQ(a.vertices[2].v, 12 / 16.0f);
  EXPECT_EQ(a.vertices[0].color, 0x80FF0000u);
  EXPECT_EQ(Corners()[1], (std::pair<float, float>{19, 20})) << "j's offset moves it left of the pen";
  // Every glyph draws with the same texture and state: one batch.
  EXPECT_EQ(m_device->Draws()[1].texture, a.texture);
  EXPECT_EQ(m_device->Draws()[1].state, a.state);
}

TEST_F(TextTest, TurnedTextRunsAlongItsBaseline) {
  // At 90 degrees a glyph's quad turns about its top-left, half-pixel shift
  // included: its first corner lies at (x - 0.5, y + 0.5).
  const auto pivots = [this] {
    std::vector<std::pair<float, float>> out;
    for (const RRecordedDraw& d : m_device->Draws()) out.emplace_back(d.vertices[0].x + 0.5f, d.vertices[0].y - 0.5f);
    return out;
  };
  Text_DrawTransformed("ab#c", -1, -1, 100, 100, 2, 1, 90);
  const auto c = pivots();
  ASSERT_EQ(c.size(), 3u);
  // The pen moves up by advance x xscale, and the next line steps right by
  // the line height.
  const std::pair<float, float> expected[] = {{100, 100}, {100, 80}, {112, 100}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(c[i].first, expected[i].first, 1e-3) << i;
    EXPECT_NEAR(c[i].second, expected[i].second, 1e-3) << i;
  }
  // The glyph is scaled before it is turned: 16 long along the baseline.
  const RRecordedDraw& d = m_device->Draws()[0];
  EXPECT_NEAR(d.vertices[1].y - d.vertices[0].y, -16, 1e-3);
  // Right-aligned turned text moves back along the baseline by round(xscale x width).
  g_TextState.halign = EHAlign::Right;
  m_device->ForgetDraws();
  Text_DrawTransformed("ab", -1, -1, 100, 100, 2, 1, 90);
  EXPECT_NEAR(pivots()[0].second, 140, 1e-3);
}

TEST_F(TextTest, CornerColoursSpreadOverTheWholeLine) {
  Text_DrawColor("ab", -1, -1, 0, 0, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 1);
  ASSERT_EQ(m_device->Draws().size(), 2u);
  const auto& a = m_device->Draws()[0].vertices;
  const auto& b = m_device->Draws()[1].vertices;
  EXPECT_EQ(a[0].color, 0xFF000000u);  // top-left: c1
  EXPECT_EQ(b[1].color, 0xFFFF0000u);  // top-right of the last glyph: c2
  EXPECT_EQ(b[2].color, 0xFF00FF00u);  // bottom-right: c3
  EXPECT_EQ(a[3].color, 0xFF0000FFu);  // bottom-left: c4
  EXPECT_EQ(a[1].color, b[0].color) << "halfway along the line";
  EXPECT_EQ(a[1].color, 0xFF800000u);
  // A line with no width still draws (in its left edge's colours).
  m_font->s_shift.fill(0);
  m_device->ForgetDraws();
  Text_DrawColor("ab", -1, -1, 0, 0, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 1);
  ASSERT_EQ(m_device->Draws().size(), 2u);
  EXPECT_EQ(m_device->Draws()[1].vertices[1].color, 0xFF000000u);
}

TEST_F(TextTest, AFontDeletedAfterBeingSetFallsBackToTheDefault) {
  EXPECT_EQ(Font_Current().s_name, "Fixture");
  EXPECT_TRUE(Font_Delete(0));
  EXPECT_FALSE(Font_Delete(0));
  EXPECT_EQ(Font_Current().s_name, kDefaultFontFace);
  EXPECT_EQ(g_TextState.font, 0) << "the index stays; it is looked up each time";
  Font_Set(0);
  EXPECT_EQ(g_TextState.font, -1);
  EXPECT_EQ(Font_GetName(0), "<undefined>");
}

TEST_F(TextTest, LayingOutTheSameTextAgainAllocatesNothing) {
  const char* text = "wrap these words-here#and \xC3\xA9 \xD0\x96 more";
  EXPECT_EQ(Text_Height(text, -1, 60), 12 * 6);
  test::CAllocationProbe probe;
  for (int i = 0; i < 3; ++i) {
    Text_Width(text, 60);
    Text_Height(text, 11, 60);
  }
  EXPECT_EQ(probe.Count(), 0u);
}

TEST_F(TextTest, ACopiedFontHasItsOwnTexture) {
  CFont copy;
  copy.Assign(*m_font);
  EXPECT_EQ(copy.s_shift, m_font->s_shift);
  EXPECT_EQ(copy.s_bytes, m_font->s_bytes);
  EXPECT_GE(copy.s_tex, 0);
  EXPECT_NE(copy.s_tex, m_font->s_tex);
  copy.FreeTexture();
  EXPECT_TRUE(Texture_Exists(m_font->s_tex));
}

// Sprite fonts: a sprite of three 12 x 10 frames with its origin at (3, 4):
// frame 0 has pixels in columns 2..9, frame 1 none, frame 2 all.
class SpriteFontTest : public TextTest {
 protected:
  void SetUp() override {
    TextTest::SetUp();
    auto s = std::make_unique<CSprite>();
    for (int i = 0; i < 3; ++i) s->i_bitmap.emplace_back(12, 10, i == 2 ? 0xFFFFFFFFu : 0u);
    for (int y = 0; y < 10; ++y)
      for (int x = 2; x <= 9; ++x) s->i_bitmap[0].SetPixel(x, y, 0xFFFFFFFF);
    s->i_numb = 3;
    s->i_xorig = 3;
    s->i_yorig = 4;
    s->InitTexture();
    g_GraphicsData.sprites.Set(0, std::move(s), "spr_glyphs");
  }
};

TEST_F(SpriteFontTest, ProportionalAndFixedAdvances) {
  const int32_t prop = Font_AddSprite(0, 'A', true, 1);
  const CFont& p = *Font_Get(prop);
  EXPECT_EQ(p.s_first, 'A');
  EXPECT_EQ(p.s_last, 'C');
  EXPECT_EQ(p.s_shift['A'], 7 + 1);
  EXPECT_EQ(p.s_offset['A'], -2);
  EXPECT_EQ(p.s_shift['B'], 1 - 11) << "a blank frame's box runs backwards";
  EXPECT_EQ(p.s_offset['B'], -11);
  EXPECT_EQ(p.s_FontHeight, 10);
  EXPECT_EQ(Font_GetName(prop), "__newfont1");
  const CFont& fixed = *Font_Get(Font_AddSprite(0, 254, false, 2));
  EXPECT_EQ(fixed.s_last, 255) << "the range ends at 255";
  EXPECT_EQ(fixed.s_shift[254], 14);
  EXPECT_FALSE(Font_ReplaceSprite(9, 0, 0, false, 0));
  EXPECT_TRUE(Font_ReplaceSprite(prop, 0, -5, false, 0));
  EXPECT_EQ(Font_Get(prop)->s_first, 0);
  EXPECT_EQ(Font_GetName(prop), "__newfont1");
}

TEST_F(SpriteFontTest, PlainTextTakesTheOriginAndColouredTextDoesNot) {
  Font_Set(Font_AddSprite(0, 'A', true, 0));
  Text_Draw("AC", -1, -1, 50, 60);
  Text_DrawColor("A", -1, -1, 50, 60, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1);
  const auto c = Corners();
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0], (std::pair<float, float>{50 - 2 - 3, 60 - 4}));
  EXPECT_EQ(c[1], (std::pair<float, float>{50 + 7 - 0 - 3, 60 - 4}));
  EXPECT_EQ(c[2], (std::pair<float, float>{50 - 2, 60}));
  // A sprite font whose sprite is gone draws nothing but keeps its advances.
  g_GraphicsData.sprites.Remove(0);
  m_device->ForgetDraws();
  Text_Draw("AC", -1, -1, 0, 0);
  EXPECT_TRUE(m_device->Draws().empty());
  EXPECT_EQ(Text_Width("AC", -1), 7 + 11);
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

// Fonts rasterized from the fixture face.
class FaceTest : public test::FontFixtureTest {};

TEST_F(FaceTest, AFaceGivesMeasuredGlyphsOnASmallSheet) {
  CFont f;
  f.CreateFont("Arial", 12, false, false, 32, 127);
  // 12 points are 16 pixels: the face's line is 18 high, its ascent 14.
  EXPECT_EQ(f.s_FontHeight, 18);
  EXPECT_GT(f.s_shift['W'], f.s_shift['i']);
  EXPECT_EQ(f.s_shift['0'], f.s_shift['9']) << "figures share one width";
  EXPECT_GT(f.s_w[' '], 0);
  EXPECT_EQ(f.s_bw, 256);
  EXPECT_LE(f.s_bh, 128);
  // The same face, size and range give the same sheet to the byte.
  CFont again;
  again.CreateFont("Liberation Sans", 12, false, false, 32, 127);
  EXPECT_EQ(again.s_bytes, f.s_bytes);
  EXPECT_EQ(again.s_x, f.s_x);
  // Made-up bold is wider; a bigger size is taller.
  CFont bold, big;
  bold.CreateFont("Arial", 12, true, false, 32, 127);
  big.CreateFont("Arial", 24, false, false, 32, 127);
  EXPECT_GT(bold.TextWidth("Hello"), f.TextWidth("Hello"));
  EXPECT_GT(big.s_FontHeight, f.s_FontHeight);
}

TEST_F(FaceTest, RangesAndSizesAreHeldToWhatATableCanTake) {
  const struct {
    int32_t size, first, last;
    int32_t wantFirst, wantLast;
  } cases[] = {{10, -40, 400, 0, 255}, {10, 300, 500, 255, 255}, {10, 90, 65, 90, 65}, {-5, 65, 66, 65, 66},
               {100000, 65, 65, 65, 65}};
  for (const auto& c : cases) {
    CFont f;
    f.CreateFont("Arial", c.size, false, false, c.first, c.last);
    EXPECT_EQ(f.s_first, c.wantFirst);
    EXPECT_EQ(f.s_last, c.wantLast);
    EXPECT_GE(f.s_bw, 1);
    EXPECT_LE(f.s_bw, 2048);
  }
}

}  // namespace
}  // namespace tavrin
