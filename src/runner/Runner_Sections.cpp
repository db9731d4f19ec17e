#include "runner/Runner_Sections.h"

#include "functions/Extension_Class.h"
#include "graphics/Background_Class.h"
#include "graphics/Font_Class.h"
#include "graphics/Sprite_Class.h"
#include "package/DataNew_Class.h"
#include "script/Script_Package.h"
#include "sound/Sound_Class.h"
#include "windows/Help_Main.h"
#include "world/Object_Class.h"
#include "world/Path_Class.h"
#include "world/Room_Class.h"
#include "world/TimeLine_Class.h"

namespace tavrin {

const std::vector<RPackageSection>& Game_Sections() {
  static const std::vector<RPackageSection> sections = {
      {0, "Loading extension packages", Extension_LoadAll, Extension_SaveAll, "Error in loading extension packages."},
      {5, "Loading triggers", Trigger_LoadAll, Trigger_SaveAll},
      {6, "Loading constants", Constant_LoadUser, Constant_SaveUser},
      {7, "Loading sounds", Sound_LoadAll, Sound_SaveAll},
      {10, "Loading sprites", Sprite_LoadAll, Sprite_SaveAll},
      {23, "Loading backgrounds", Background_LoadAll, Background_SaveAll},
      {30, "Loading paths", Path_LoadAll, Path_SaveAll},
      {32, "Loading scripts", Script_LoadAll, Script_SaveAll},
      {34, "Loading fonts", Font_LoadAll, Font_SaveAll},
      {36, "Loading time lines", TimeLine_LoadAll, TimeLine_SaveAll},
      {38, "Loading objects", Object_LoadAll, Object_SaveAll},
      {40, "Loading rooms", Room_LoadAll, Room_SaveAll},
      {43, "Loading included files", DataFile_LoadAll, DataFile_SaveAll},
      {45, "Loading help", Info_Load, Info_Save},
      {47, "Loading library init code", LibraryInit_Load, LibraryInit_Save},
      {49, "Loading room order", RoomOrder_Load, RoomOrder_Save},
  };
  return sections;
}

}  // namespace tavrin
