// The colour, drawing-state, texture and sprite/background functions as games
// call them: exact colour values, argument rounding, the drawing state games
// read back, and the messages for resources that do not exist. Played by
// `tavrin --code`, which draws nothing without a window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "script/Conformance.h"

namespace tavrin::test {

TEST(GraphicsCode, ColoursToTheBit) {
  RunTable({
      {"making colours rounds and never clamps",
       Show({"make_color(255, 0, 0) == c_red", "make_color_rgb(0, 128, 255)", "make_color(300, 0, 0)",
             "make_color(0.5, 1.5, 0)", "color_get_red(300)", "color_get_green(c_orange)", "color_get_blue(c_blue)",
             "color_get_red(-1)"}),
       "1\n16744448\n300\n512\n44\n160\n255\n-1\n", ""},
      {"hue, saturation and value truncate",
       Show({"make_color_hsv(0, 0, 255) == c_white", "make_color_hsv(85, 255, 255) == c_lime",
             "make_color_hsv(21.25, 255, 255)", "color_get_hue(c_red)", "color_get_value(c_red)",
             "color_get_hue(c_fuchsia)", "color_get_saturation(c_gray)", "color_get_value(c_gray)"}),
       "1\n1\n32767\n0\n255\n212\n0\n128\n", ""},
      {"merging rounds per channel and stays inside each channel",
       Show({"merge_color(c_black, c_white, 0.5)", "merge_color(c_red, c_blue, 0.25)",
             "merge_color(c_black, c_white, 2) == c_white"}),
       "8421504\n4194495\n1\n", ""},
  });
}

TEST(GraphicsCode, TheDrawingStateGamesReadBack) {
  RunTable({
      {"colour and alpha",
       Show({"draw_get_color()", "draw_get_alpha()"}) + "draw_set_color(c_orange); draw_set_alpha(2);\n" +
           Show({"draw_get_color() == c_orange", "draw_get_alpha()"}) + "draw_set_alpha(-1);\n" +
           Show({"draw_get_alpha()", "draw_get_color() == c_orange"}) + "draw_set_alpha(0.25);\n" +
           Show({"draw_get_alpha()"}),
       "0\n1\n1\n1\n0\n1\n0.25\n", ""},
      {"blend modes and texture settings are accepted without a window",
       "draw_set_blend_mode(bm_add); draw_set_blend_mode_ext(bm_one, bm_zero); draw_set_blend_mode(bm_normal);\n"
       "texture_set_interpolation(false); texture_set_blending(true); texture_set_repeat(true);\n"
       "texture_preload(0); texture_set_priority(0, 1);\n" +
           Show({"texture_exists(0)", "texture_get_width(-1)", "texture_get_height(17)"}),
       "0\n1\n1\n", ""},
      {"primitives without a window collect and draw nothing",
       "draw_primitive_begin(pr_trianglestrip); draw_vertex(0, 0); draw_vertex_color(1, 1, c_red, 0.5);\n"
       "draw_vertex_texture(2, 2, 0, 1); draw_vertex_texture_color(3, 3, 1, 1, c_blue, 1); draw_primitive_end();\n"
       "draw_primitive_begin_texture(pr_pointlist, -1); draw_primitive_end();\n" +
           Show({"'done'"}),
       "done\n", ""},
  });
}

TEST(GraphicsCode, SpritesAndBackgroundsThatDoNotExist) {
  RunTable({
      {"drawing a missing sprite", "draw_sprite(3, 0, 0, 0);\n" + Show({"'after'"}), "after\n",
       ActionError("Trying to draw non-existing sprite.")},
      {"drawing itself without a sprite", "draw_self();", "", ActionError("Trying to draw non-existing sprite.")},
      {"drawing a missing background", "draw_background_tiled_ext(0, 0, 0, 1, 1, c_white, 1);", "",
       ActionError("Trying to draw non-existing background.")},
      {"the texture of a missing sprite is none", Show({"sprite_get_texture(5, 0)"}), "-1\n",
       ActionError("Trying to get texture from non-existing sprite.")},
      {"the texture of a missing background is none", Show({"background_get_texture(-2)"}), "-1\n",
       ActionError("Trying to get texture from non-existing background.")},
      {"queries of missing sprites", Show({"sprite_exists(0)", "sprite_get_width(0)", "sprite_get_name(0)"}),
       "0\n-1\n<undefined>\n", ""},
      {"a missing copy is no index", Show({"sprite_duplicate(4)"}), "-1\n",
       ActionError("Trying to duplicate non-existing sprite.")},
      {"deleting a missing background", "background_delete(0);", "",
       ActionError("Trying to delete non-existing background.")},
      {"merging from a missing sprite", "sprite_merge(0, 1);", "",
       ActionError("Trying to merge to non-existing sprite.")},
      {"assigning from a missing sprite", "sprite_assign(0, 1);", "", ActionError("Error assigning a sprite.")},
      {"adding an unreadable file", Show({"sprite_add('no such file.png', 1, false, false, 0, 0)",
                                          "background_add('no such file.png', false, false)"}),
       "-1\n-1\n", ""},
  });
}

TEST(GraphicsCode, BackgroundsMadeCopiedAndDeletedAtRunTime) {
  RunTable({
      {"colour and gradient backgrounds, copies and deletion",
       "var a, b, c;\n"
       "a = background_create_color(30, 20, c_red);\n"
       "b = background_create_gradient(8, 4, c_black, c_white, 0);\n"
       "c = background_duplicate(a);\n" +
           Show({"a", "b", "c", "background_get_width(c)", "background_get_height(b)", "background_get_name(c)",
                 "background_exists(c)"}) +
           "background_delete(c);\n" + Show({"background_exists(c)", "background_get_width(c)"}) +
           "background_assign(c, b);\n" + Show({"background_get_width(c)", "background_get_texture(a)"}),
       "0\n1\n2\n30\n4\n__newbackground2\n1\n0\n-1\n8\n-1\n", ""},
  });
}

TEST(GraphicsCode, ShapesSurfacesAndSavesWithoutAWindow) {
  RunTable({
      {"shapes without a window draw nothing and say nothing",
       "draw_set_circle_precision(30); draw_rectangle(0, 0, 5, 5, false); draw_circle(3, 3, 2, true);\n"
       "draw_healthbar(0, 0, 10, 2, 50, c_black, c_red, c_lime, 0, true, true); draw_clear(c_red);\n" +
           Show({"draw_getpixel(1, 1)", "draw_getpixel(-1, -1)"}),
       "0\n0\n", ""},
      {"a path of astronomical length is drawn with a bounded number of points",
       "var p; p = path_add(); path_add_point(p, 0, 0, 100); path_add_point(p, power(10, 300), 0, 100);\n"
       "draw_path(p, 0, 0, true); draw_path(p, 5, 5, false);\n" + Show({"path_get_length(p) > power(10, 299)"}),
       "1\n", ""},
      {"a path that does not exist", "draw_path(3, 0, 0, true);", "",
       ActionError("Trying to drawn non-existing path.")},
      {"no surfaces without a window", Show({"surface_create(8, 8)", "surface_create_ext(8, 8)", "surface_exists(0)",
                                             "surface_get_width(0)", "surface_get_texture(0)", "surface_set_target(0)",
                                             "surface_reset_target()", "sprite_create_from_screen(0, 0, 8, 8, 0, 0, 0, 0)"}),
       "-1\n-1\n0\n-1\n-1\n0\n0\n-1\n", ""},
      {"freeing a missing surface is quiet", "surface_free(0); surface_free(-4);\n" + Show({"'quiet'"}), "quiet\n", ""},
      {"drawing a missing surface", "draw_surface_stretched(2, 0, 0, 4, 4);", "",
       ActionError("Trying to use non-existing surface.")},
      {"reading a missing surface", Show({"surface_getpixel(0, 1, 1)"}), "0\n",
       ActionError("Trying to use non-existing surface.")},
      {"copying from a missing surface", "surface_copy_part(0, 0, 0, 1, 0, 0, 4, 4);", "",
       ActionError("Trying to use non-existing surface.")},
      {"a sprite from a missing surface", Show({"sprite_create_from_surface(0, 0, 0, 8, 8, 0, 0, 0, 0)"}), "-1\n",
       ActionError("Trying to use non-existing surface.")},
      {"adding to a missing sprite", "sprite_add_from_screen(4, 0, 0, 8, 8, false, false);", "",
       ActionError("Trying to add to non-existing sprite.")},
      {"saving a missing sprite", "sprite_save(0, 0, 'a.png');", "",
       ActionError("Trying to save non-existing sprite bitmap.")},
      {"saving a background under no name", "background_save(background_create_color(4, 4, c_red), '');", "",
       ActionError("Trying to save background bitmap to empty image file name.")},
  });
}

// Games name files the way they were written for: either separator, any
// letter case. A picture saved under one spelling is added under another.
TEST(GraphicsCode, PicturesSavedAndAddedUnderTheNamesGamesWrite) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tavrin_pictures_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string game = dir.string() + "\\";  // the folder as a game writes it
  RunTable({{"saved as Pic.png, added as PIC.PNG",
             "background_save(background_create_color(6, 4, c_red), '" + game + "Pic.png');\n" +
                 Show({("background_get_width(background_add('" + game + "PIC.PNG', false, false))").c_str(),
                       ("sprite_get_height(sprite_add('" + game + "pic.png', 1, false, false, 0, 0))").c_str()}),
             "6\n4\n", ""}});
  EXPECT_TRUE(std::filesystem::exists(dir / "Pic.png"));
  std::filesystem::remove_all(dir);
}

}  // namespace tavrin::test
