// tavrin-pack with pictures and sounds: unpacking gives PNG pictures and the
// sound files themselves, masks no setting can remake travel as pictures and
// still give the same package, and broken media projects name file and field.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "graphics/Graphics_Picture.h"
#include "support/PackFixture.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class MediaPackTest : public test::CPackFixture {
 protected:
  static TBitmap32 Png(const fs::path& path) {
    const std::string bytes = test::ReadFile(path);
    const auto bm = Picture_DecodePNG({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_TRUE(bm) << path;
    return bm ? *bm : TBitmap32();
  }
  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static void WritePng(const fs::path& path, const TBitmap32& bm) {
    const std::vector<uint8_t> png = Picture_EncodePNG(bm);
    Write(path, std::string(png.begin(), png.end()));
  }
};

TEST_F(MediaPackTest, UnpackedGameHoldsThePicturesAndTheSoundFileItself) {
  const fs::path source = fs::path(TAVRIN_TESTS_DIR) / "games" / "media";
  const std::string package = (m_dir / "media.bin").string();
  ASSERT_EQ(Pack({"build", source.string(), "-o", package}).status, 0);
  const fs::path out = m_dir / "out";
  const test::RRun un = Pack({"unpack", package, out.string()});
  ASSERT_EQ(un.status, 0) << un.err;

  for (const char* frame : {"0.png", "1.png"})
    EXPECT_EQ(Png(out / "sprites" / "spr_ball" / frame), Png(source / "sprites" / "spr_ball" / frame)) << frame;
  EXPECT_EQ(Png(out / "backgrounds" / "bg_sky.png"), Png(source / "backgrounds" / "bg_sky.png"));
  EXPECT_EQ(Png(out / "fonts" / "fnt_small.png"), Png(source / "fonts" / "fnt_small.png"));
  EXPECT_EQ(test::ReadFile(out / "sounds" / "snd_beep.wav"), test::ReadFile(source / "sounds" / "snd_beep.wav"));

  const auto sprite = nlohmann::json::parse(test::ReadFile(out / "sprites" / "spr_box.json"));
  EXPECT_EQ(sprite["mask"]["shape"], "ellipse") << "masks made by settings are written as those settings";
  EXPECT_FALSE(sprite.contains("masks"));
  const auto game = nlohmann::json::parse(test::ReadFile(out / "game.json"));
  EXPECT_EQ(game["order"]["sprites"], nlohmann::json({"spr_ball", "", "spr_box"}));
}

TEST_F(MediaPackTest, MasksNoSettingMakesTravelAsPicturesAndBuildTheSamePackage) {
  const fs::path project = m_dir / "project";
  Write(project / "game.json", "{}");
  Write(project / "rooms" / "r.json", "{}");
  WritePng(project / "sprites" / "spr_odd" / "0.png", TBitmap32(4, 4, 0xFF00FF00u));
  TBitmap32 checker(4, 4, 0xFF000000u);
  for (int32_t i = 0; i < 16; i += 3) checker.s_data[size_t(i)] = 0xFFFFFFFFu;
  WritePng(project / "sprites" / "spr_odd" / "mask.png", checker);
  Write(project / "sprites" / "spr_odd.json",
        R"({"masks": [{"file": "spr_odd/mask.png", "bbox": {"left": 0, "top": 0, "right": 3, "bottom": 3}}]})");

  const std::string first = (m_dir / "1.bin").string(), second = (m_dir / "2.bin").string();
  const test::RRun built = Pack({"build", project.string(), "-o", first, "--seed", "3"});
  ASSERT_EQ(built.status, 0) << built.err;
  ASSERT_EQ(Pack({"unpack", first, (m_dir / "out").string()}).status, 0);
  const auto sprite = nlohmann::json::parse(test::ReadFile(m_dir / "out" / "sprites" / "spr_odd.json"));
  ASSERT_TRUE(sprite.contains("masks"));
  EXPECT_EQ(Png(m_dir / "out" / "sprites" / sprite["masks"][0]["file"].get<std::string>()), checker);
  ASSERT_EQ(Pack({"build", (m_dir / "out").string(), "-o", second, "--seed", "3"}).status, 0);
  EXPECT_EQ(test::ReadFile(first), test::ReadFile(second));
}

TEST_F(MediaPackTest, BrokenMediaProjectsNameTheFileAndTheField) {
  const TBitmap32 small(2, 2, 0xFFFFFFFFu), big(3, 3, 0xFFFFFFFFu);
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    const char* says;
  };
  const Case cases[] = {
      {"frames of different sizes", {{"sprites/s.json", R"({"frames": ["a.png", "b.png"]})"}},
       "sprites/s.json: field \"frames\": frame 1 is not the size of frame 0"},
      {"frame outside the project", {{"sprites/s.json", R"({"frames": ["../../a.png"]})"}},
       "sprites/s.json: field \"frames\": \"../../a.png\" must be a file inside the sprites folder"},
      {"frame that is not a PNG", {{"sprites/s.json", R"({"frames": ["s.json"]})"}}, "s.json is not a PNG picture"},
      {"unknown mask shape", {{"sprites/s.json", R"({"frames": ["a.png"], "mask": {"shape": "star"}})"}},
       "sprites/s.json: field \"mask\": field \"shape\" must be precise"},
      {"mask count not matching", {{"sprites/s.json", R"({"frames": ["a.png"], "masks": []})"}},
       "sprites/s.json: field \"masks\" must list 1 masks"},
      {"missing background picture", {{"backgrounds/bg.json", "{}"}}, "backgrounds/bg.json: cannot read the picture"},
      {"font charset 0", {{"fonts/f.json", R"({"charset": 0, "sheet_width": 0, "sheet_height": 0})"}},
       "fonts/f.json: field \"charset\" must be 1 to 255"},
      {"glyph code out of range", {{"fonts/f.json", R"({"glyphs": {"256": {"w": 1}}, "sheet_width": 0})"}},
       "fonts/f.json: field \"glyphs\": \"256\" is not a character code"},
      {"unknown sound effect", {{"sounds/x.json", R"({"effects": ["wobble"]})"}},
       "sounds/x.json: field \"effects\": unknown effect \"wobble\""},
      {"sound kind of the wrong type", {{"sounds/x.json", R"({"kind": true})"}}, "sounds/x.json: field \"kind\""},
      {"volume of the wrong type", {{"sounds/x.json", R"({"volume": "loud"})"}},
       "sounds/x.json: field \"volume\" has the wrong type"},
  };
  for (const Case& c : cases) {
    const fs::path project = m_dir / "project";
    fs::remove_all(project);
    Write(project / "game.json", "{}");
    Write(project / "rooms" / "r.json", "{}");
    WritePng(project / "sprites" / "a.png", small);
    WritePng(project / "sprites" / "b.png", big);
    for (const auto& [file, text] : c.files) Write(project / file, text);
    const test::RRun r = Pack({"build", project.string(), "-o", (m_dir / "out.bin").string()});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.bin")) << c.name;
  }
}

}  // namespace
}  // namespace tavrin
