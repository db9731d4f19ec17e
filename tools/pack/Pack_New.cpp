// `tavrin-pack new DIR`: a starting project a person can build and play at
// once, and grow into their own game: one room, one object with a sprite
// drawn here, moved with the arrow keys, and a README.txt.
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

#include "Pack_Project.h"
#include "graphics/Graphics_Picture.h"

namespace tavrin {

namespace {

// A message names the folder asked for, not the one being written.
std::string Renamed(std::string message, const std::string& from, const std::string& to) {
  for (size_t at = message.find(from); at != std::string::npos; at = message.find(from, at + to.size()))
    message.replace(at, from.size(), to);
  return message;
}

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << text;
  out.close();
  if (!out) throw CProjectError(file.string() + ": cannot write the file");
}

// The player's square: 32 x 32, a lighter face inside a darker rim.
TBitmap32 PlayerPicture() {
  constexpr int32_t kSide = 32;
  TBitmap32 picture(kSide, kSide, 0xFF2E8B57u);
  for (int32_t y = 3; y < kSide - 3; ++y)
    for (int32_t x = 3; x < kSide - 3; ++x) picture.SetPixel(x, y, 0xFF66CDAAu);
  return picture;
}

constexpr const char* kStepCode =
    "// The arrow keys move the square 4 pixels a step; it stays inside the room.\n"
    "if (keyboard_check(vk_left)) x -= 4\n"
    "if (keyboard_check(vk_right)) x += 4\n"
    "if (keyboard_check(vk_up)) y -= 4\n"
    "if (keyboard_check(vk_down)) y += 4\n"
    "x = median(0, x, room_width - sprite_width)\n"
    "y = median(0, y, room_height - sprite_height)\n"
    "// Where it stops is written to the output (tavrin prints show_debug_message).\n"
    "if (keyboard_check_released(vk_left) || keyboard_check_released(vk_right)\n"
    "    || keyboard_check_released(vk_up) || keyboard_check_released(vk_down))\n"
    "  show_debug_message(\"The square stops at \" + string(x) + \", \" + string(y))\n";

std::string Readme(const std::string& name) {
  return name +
         "\n"
         "\n"
         "A game project made by `tavrin-pack new`. From the folder that holds this one, build it\n"
         "and play it (tavrin and tavrin-pack are in build/bin/ of Tavrin):\n"
         "\n"
         "    tavrin-pack build " + name + " -o " + name + ".bin\n"
         "    tavrin " + name + ".bin\n"
         "\n"
         "Arrow keys move the square; Escape ends the game.\n"
         "\n"
         "What is here:\n"
         "\n"
         "    game.json                        the game's settings and its order of rooms\n"
         "    rooms/room_start.json            the one room, and the player placed in it\n"
         "    objects/obj_player.json          the player: its sprite and its events\n"
         "    objects/obj_player/create.tvs    code run when the player is made\n"
         "    objects/obj_player/step.tvs      code run every step: the arrow keys move it\n"
         "    sprites/spr_player/0.png         the player's picture\n"
         "\n"
         "Every file and field is described in docs/project-format.md of Tavrin.\n";
}

}  // namespace

void Project_CreateFolder(const std::string& dir, const std::function<void(const fs::path&)>& write) {
  fs::path target = fs::absolute(dir).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();  // "out/" is "out"
  std::error_code ec;
  if (fs::exists(target, ec) && !fs::is_directory(target, ec)) throw CProjectError(dir + ": is a file, not a folder");
  if (fs::exists(target, ec) && !fs::is_empty(target, ec)) throw CProjectError(dir + ": the folder is not empty");
  fs::create_directories(target.parent_path(), ec);
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".writing-XXXXXX")).string();
  if (!::mkdtemp(pattern.data()))
    throw CProjectError(target.parent_path().string() + ": cannot create a folder here: " + std::strerror(errno));
  const fs::path temp = pattern;
  try {
    try {
      write(temp);
    } catch (const std::exception& e) {
      throw CProjectError(Renamed(e.what(), temp.string(), target.string()));
    }
    if (fs::exists(target, ec)) fs::remove(target);  // the empty folder it replaces
    fs::rename(temp, target);
  } catch (...) {
    fs::remove_all(temp, ec);
    throw;
  }
}

void Project_New(const std::string& dir) {
  fs::path target = fs::absolute(dir).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  const std::string name = target.filename().string();
  Project_CreateFolder(dir, [&](const fs::path& folder) {
    // A game's number tells its saved games and settings from another's, so
    // each new project draws its own.
    std::random_device device;
    const int32_t gameId = int32_t(std::uniform_int_distribution<int32_t>(1, 99999999)(device));
    const nlohmann::json game = {{"game_id", gameId}, {"room_order", {"room_start"}}};
    WriteText(folder / "game.json", game.dump(2) + "\n");
    const nlohmann::json room = {
        {"caption", name},
        {"width", 320},
        {"height", 240},
        {"speed", 30},
        {"color", 0x402010},
        {"show_color", true},
        {"instances", {{{"x", 144}, {"y", 104}, {"object", "obj_player"}, {"id", 100001}}}}};
    WriteText(folder / "rooms" / "room_start.json", room.dump(2) + "\n");
    const nlohmann::json player = {{"sprite", "spr_player"},
                                   {"events",
                                    {{"create", {{"file", "objects/obj_player/create.tvs"}}},
                                     {"step", {{"file", "objects/obj_player/step.tvs"}}}}}};
    WriteText(folder / "objects" / "obj_player.json", player.dump(2) + "\n");
    WriteText(folder / "objects" / "obj_player" / "create.tvs",
              "show_debug_message(\"Arrow keys move the square; Escape ends the game.\")\n");
    WriteText(folder / "objects" / "obj_player" / "step.tvs", kStepCode);
    WriteText(folder / "sprites" / "spr_player.json", "{}\n");
    const std::vector<uint8_t> png = Picture_EncodePNG(PlayerPicture());
    WriteText(folder / "sprites" / "spr_player" / "0.png", std::string(png.begin(), png.end()));
    WriteText(folder / "README.txt", Readme(name));
  });
}

}  // namespace tavrin
