// A game's data: everything its package holds, subsystem by subsystem; the
// sixteen sections of the package content in their fixed order, each with the
// progress it shows and the reader and writer of its part; and installing
// loaded data as the game being played.
//
// The runner loads through the sections and the packer writes through them,
// so the two cannot drift apart. A package is read whole into an RGameData
// and only then installed, so a package that fails to load changes nothing.
#pragma once

#include <vector>

#include "functions/Extension_Class.h"
#include "graphics/Graphics_Data.h"
#include "package/Package_Data.h"
#include "package/Package_Sections.h"
#include "script/Script_Class.h"
#include "sound/Sound_Class.h"
#include "windows/Help_Main.h"
#include "world/World_Data.h"

namespace tavrin {

struct RGameData {
  RPackageData package;
  RScriptData script;
  RWorldData world;
  RGraphicsData graphics;
  CResourceList<CSound> sounds;
  std::vector<CExtensionPackage> extensions;
  RGameInformation information;
};

// The sections bound to `game`: reading fills it, writing writes it.
std::vector<RPackageSection> Game_Sections(RGameData& game);

// Makes `game` the game being played: every subsystem's data is replaced at
// once, then the actions' functions are looked up by name (scripts first, so
// after the scripts are in place).
void Game_Install(RGameData&& game);
// Exchanges `game` with the installed data, as it is (tools that compile a
// game's code against its names put it in place for that and back after).
void Game_Swap(RGameData& game);

}  // namespace tavrin
