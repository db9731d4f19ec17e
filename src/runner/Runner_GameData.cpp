#include "runner/Runner_GameData.h"

#include <utility>

#include "script/Script_Package.h"
#include "world/World_Main.h"

namespace tavrin {

namespace {

// A section that is a plain resource list of the standard framing.
template <class T>
RPackageSection ListSection(int percent, const char* text, CResourceList<T>& list) {
  return {percent, text, [&list](CStream& s) { return Section_ReadList(s, list); },
          [&list](CStream& s) { Section_WriteList(s, list); }};
}

}  // namespace

std::vector<RPackageSection> Game_Sections(RGameData& g) {
  return {
      {0, "Loading extension packages", [&](CStream& s) { return Extension_LoadAll(s, g.extensions); },
       [&](CStream& s) { Extension_SaveAll(s, g.extensions); }, "Error in loading extension packages."},
      {5, "Loading triggers", [&](CStream& s) { return Trigger_LoadAll(s, g.world.triggers); },
       [&](CStream& s) { Trigger_SaveAll(s, g.world.triggers); }},
      {6, "Loading constants", [&](CStream& s) { return Constant_LoadUser(s, g.script.constants); },
       [&](CStream& s) { Constant_SaveUser(s, g.script.constants); }},
      ListSection(7, "Loading sounds", g.sounds),
      ListSection(10, "Loading sprites", g.graphics.sprites),
      ListSection(23, "Loading backgrounds", g.graphics.backgrounds),
      ListSection(30, "Loading paths", g.world.paths),
      {32, "Loading scripts", [&](CStream& s) { return Script_LoadAll(s, g.script.scripts); },
       [&](CStream& s) { Script_SaveAll(s, g.script.scripts); }},
      ListSection(34, "Loading fonts", g.graphics.fonts),
      ListSection(36, "Loading time lines", g.world.timeLines),
      {38, "Loading objects", [&](CStream& s) { return Object_LoadAll(s, g.world.objects); },
       [&](CStream& s) { Section_WriteList(s, g.world.objects); }},
      {40, "Loading rooms", [&](CStream& s) { return Room_LoadAll(s, g.world, g.graphics.backgrounds); },
       [&](CStream& s) { Room_SaveAll(s, g.world); }},
      {43, "Loading included files", [&](CStream& s) { return DataFile_LoadAll(s, g.package.dataFiles); },
       [&](CStream& s) { DataFile_SaveAll(s, g.package.dataFiles); }},
      {45, "Loading help", [&](CStream& s) { return Info_Load(s, g.information); },
       [&](CStream& s) { Info_Save(s, g.information); }},
      {47, "Loading library init code", [&](CStream& s) { return LibraryInit_Load(s, g.world.libraryInitCode); },
       [&](CStream& s) { LibraryInit_Save(s, g.world.libraryInitCode); }},
      {49, "Loading room order", [&](CStream& s) { return RoomOrder_Load(s, g.world); },
       [&](CStream& s) { RoomOrder_Save(s, g.world); }},
  };
}

void Game_Swap(RGameData& game) {
  std::swap(g_PackageData, game.package);
  std::swap(g_ScriptData, game.script);
  std::swap(g_WorldData, game.world);
  std::swap(g_GraphicsData, game.graphics);
  std::swap(g_Sounds, game.sounds);
  std::swap(g_Extensions, game.extensions);
  std::swap(g_GameInformation, game.information);
}

void Game_Install(RGameData&& game) {
  Game_Swap(game);
  game.graphics.Clear();  // the textures of the game it replaces
  World_ResolveActionFunctions();
}

}  // namespace tavrin
