// The text and font functions as games call them: measuring that does not
// depend on a face (the empty text, reals, line counts), the font list's
// queries and changes with their messages, and the drawing functions taking
// reals. Played by `tavrin --code`, which draws nothing without a window.
#include <gtest/gtest.h>

#include "script/Conformance.h"

namespace tavrin::test {

TEST(TextCode, MeasuringWithoutAFace) {
  RunTable({
      {"the empty text and a real are one pixel wide and high",
       Show({"string_width('')", "string_height('')", "string_width(12345)", "string_height_ext('', 10, 5)"}),
       "1\n1\n1\n1\n", ""},
      {"each further line adds sep; a final break adds none; the escaped hash none",
       Show({"string_height_ext('a#b#c', 20, -1) - string_height('a')", "string_height('a#') == string_height('a')",
             "string_height('a\\#b') == string_height('a')",
             "string_height_ext('a b c', 0, 0) - string_height('a')"}),
       "40\n1\n1\n0\n", ""},
      {"alignments and fonts that do not exist are accepted",
       "draw_set_halign(fa_right); draw_set_valign(7); draw_set_font(42);\n"
       "draw_text(0, 0, 2.5); draw_text_ext_transformed_color(0, 0, 3, 1, 1, 2, 2, 45, 0, 0, 0, 0, 1);\n" +
           Show({"'drawn'"}),
       "drawn\n", ""},
  });
}

TEST(TextCode, FontsAddedQueriedReplacedAndDeleted) {
  RunTable({
      {"a new font's fields and name",
       "f = font_add('Liberation Sans', 14.4, 0.6, 0, 31.5, 300);\n" +
           Show({"f", "font_exists(f)", "font_get_name(f)", "font_name(f)", "font_get_fontname(f)",
                 "font_get_size(f)", "font_get_bold(f)", "font_get_italic(f)", "font_get_first(f)",
                 "font_get_last(f)", "string_width('') "}),
       "0\n1\n__newfont0\n__newfont0\nLiberation Sans\n14\n1\n0\n32\n255\n1\n", ""},
      {"a font that does not exist",
       Show({"font_exists(3)", "font_get_name(3)", "font_get_fontname(-1)", "font_get_size(3)",
             "font_get_first(0)"}),
       "0\n<undefined>\n\n-1\n-1\n", ""},
      {"replacing keeps the name; deleting empties the slot for good",
       "f = font_add('Liberation Sans', 10, 0, 0, 32, 127); font_replace(f, 'Liberation Serif', 20, 0, 1, 65, 90);\n" +
           Show({"font_get_name(f)", "font_get_fontname(f)", "font_get_size(f)", "font_get_italic(f)",
                 "font_get_first(f)"}) +
           "font_delete(f);\n" + Show({"font_exists(f)", "font_add('Liberation Sans', 10, 0, 0, 32, 127)"}),
       "__newfont0\nLiberation Serif\n20\n1\n65\n0\n1\n", ""},
      {"a reversed range makes a font without glyphs, and measuring it ends",
       "f = font_add('Liberation Sans', 10, 0, 0, 127, 32); draw_set_font(f);\n" +
           Show({"font_get_first(f)", "font_get_last(f)", "string_width('abc')"}),
       "127\n32\n1\n", ""},
  });
}

TEST(TextCode, MessagesForMissingFontsAndSprites) {
  RunTable({
      {"a sprite font of a missing sprite is not made", Show({"font_add_sprite(4, 32, 1, 0)", "font_exists(0)"}),
       "-1\n0\n", ActionError("Trying to create font from non-existing sprite.")},
      {"replacing a missing font", "font_replace(0, 'Liberation Sans', 10, 0, 0, 32, 127);", "",
       ActionError("Trying to replace non-existing font.")},
      {"replacing from a missing sprite",
       "f = font_add('Liberation Sans', 10, 0, 0, 32, 33); font_replace_sprite(f, 9, 32, 0, 0);", "",
       ActionError("Trying to replace font from non-existing sprite.")},
      {"deleting a missing font", "font_delete(0);", "", ActionError("Trying to delete non-existing font.")},
  });
}

}  // namespace tavrin::test
