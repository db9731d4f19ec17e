#include "world/Save_Game.h"

#include <filesystem>
#include <memory>
#include <vector>

#include "package/Support_Path.h"
#include "package/Package_Data.h"
#include "package/Support_Transfer.h"
#include "platform/Platform_Trace.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Script_State.h"
#include "script/Variable_Class.h"
#include "world/Instance_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

constexpr int32_t kSaveVersion = 540;
constexpr int32_t kGlobalsVersion = 700;
// The least a record can take in the file, so that a count read from a
// damaged file is refused before it sizes anything.
constexpr size_t kMinInstanceBytes = 300;
constexpr size_t kMinTileBytes = 80;
constexpr size_t kMinRoomSlotBytes = 4;

// Thrown for a file that reads to its end but cannot be this game's save.
struct RRefusal {
  std::string message;
};

// ------------------------------------------------------------------ records

// The variable list keeps its own record, read whole before it is used.
void TransferVariables(CTransfer& t, CVariableList& vars) {
  if (t.Writing())
    vars.SaveToStream(t.Stream());
  else if (!vars.LoadFromStream(t.Stream()))
    throw CStreamError("variable list cut short");
}

void Transfer(CTransfer& t, CInstance& i) {
  t.Int(i.i_id);
  t.Int(i.i_spriteindex);
  t.Reals(i.i_imageindex, i.i_imagespeed, i.i_imagescalex, i.i_imagescaley, i.i_imageangle, i.i_imagealpha);
  t.Word(i.i_imageblend);
  t.Int(i.i_maskindex);
  t.Reals(i.i_depth, i.i_x, i.i_y, i.i_xstart, i.i_ystart, i.i_xprevious, i.i_yprevious, i.i_direction, i.i_speed,
          i.i_friction, i.i_gravitydir, i.i_gravity, i.i_hspeed, i.i_vspeed);
  // The box as it was: the next change of position or look recomputes it.
  t.Ints(i.i_bbox.Left, i.i_bbox.Right, i.i_bbox.Top, i.i_bbox.Bottom);
  t.Bools(i.i_visible, i.i_solid, i.i_persistent);
  t.Int(i.i_objectindex);
  for (int32_t& alarm : i.i_timer) t.Int(alarm);
  t.Bools(i.i_marked, i.i_deactivated);
  t.Int(i.i_pathindex);
  t.Reals(i.i_pathposition, i.i_pathpositionprevious, i.i_pathspeed, i.i_pathscale, i.i_pathorientation);
  t.Int(i.i_pathend);
  t.Reals(i.i_pathxstart, i.i_pathystart);
  t.Int(i.i_timelineindex);
  t.Reals(i.i_timelineposition, i.i_timelinespeed);
  t.Bools(i.i_timelinerunning, i.i_timelineloop);
  t.Text(i.i_initcode);
  TransferVariables(t, i.i_vars);
  if (t.Reading()) {
    // The object is taken as it is now, without what SetObjectIndex would
    // reset: the sprite, mask, depth and flags are the saved ones.
    i.i_object = g_WorldData.objects.Get(i.i_objectindex);
    if (!i.i_object) throw RRefusal{"an instance of an object this game does not have"};
  }
}

void Transfer(CTransfer& t, CBack& b) {
  t.Bools(b.visible, b.foreground);
  t.Int(b.index);
  t.Reals(b.x, b.y);
  t.Bools(b.htiled, b.vtiled);
  t.Reals(b.xscale, b.yscale, b.hspeed, b.vspeed);
  t.Int(b.blend);
  t.Real(b.alpha);
}

void Transfer(CTransfer& t, CView& v) {
  t.Bool(v.visible);
  t.Ints(v.xview, v.yview, v.wview, v.hview, v.xport, v.yport, v.wport, v.hport);
  t.Real(v.angle);
  t.Ints(v.hborder, v.vborder, v.hspeed, v.vspeed, v.index);
}

void Transfer(CTransfer& t, RTile& tile) {
  t.Reals(tile.x, tile.y);
  t.Ints(tile.index, tile.xo, tile.yo, tile.w, tile.h);
  t.Real(tile.depth);
  t.Int(tile.id);
  t.Reals(tile.xscale, tile.yscale);
  t.Int(tile.blend);
  t.Real(tile.alpha);
  t.Bool(tile.visible);
}

// Eight layers and eight views are written; a file may hold fewer.
template <class T, size_t N>
void TransferLayers(CTransfer& t, std::array<T, N>& layers) {
  int32_t n = int32_t(N);
  t.Int(n);
  if (n < 0 || n > int32_t(N)) throw CStreamError("layer count out of range");
  for (int32_t k = 0; k < n; ++k) Transfer(t, layers[size_t(k)]);
}

void TransferInstances(CTransfer& t, std::vector<CInstance*>& list) {
  int32_t n = int32_t(list.size());
  t.Count(n, kMinInstanceBytes);
  if (t.Reading()) list.reserve(size_t(n));
  for (int32_t k = 0; k < n; ++k) {
    if (t.Reading()) list.push_back(new CInstance());  // the room owns it from here
    Transfer(t, *list[size_t(k)]);
  }
}

void Transfer(CTransfer& t, CRunRoom& r) {
  t.Version(kSaveVersion);
  t.Text(r.r_caption);
  t.Ints(r.r_width, r.r_height, r.r_speed);
  t.Bool(r.r_persistent);
  t.Ints(r.r_color, r.r_flags);
  t.Text(r.r_code);
  TransferLayers(t, r.r_background);
  t.Bool(r.r_enableviews);
  TransferLayers(t, r.r_view);
  TransferInstances(t, r.r_instance);
  TransferInstances(t, r.r_instance_deact);
  int32_t tiles = int32_t(r.r_tiles.size());
  t.Count(tiles, kMinTileBytes);
  if (t.Reading()) r.r_tiles.resize(size_t(tiles));
  for (RTile& tile : r.r_tiles) Transfer(t, tile);
  if (t.Reading()) {
    for (CInstance* inst : r.r_instance) r.r_index.Insert(inst);
    r.RebuildObjectLists();
  }
}

using TRoomTable = std::vector<std::unique_ptr<CRunRoom>>;

// The whole file: the values below, the globals and the room table. Writing
// reads the running game's own globals and rooms; reading fills a game of
// its own (RLoadedGame), never the running one.
struct RSavedValues {
  int32_t gameId = 0;
  int32_t room = -1;
  RGameValues game;
  int32_t cursorImage = 0;
  bool automaticDraw = true;
  int32_t lastInstanceId = 0, lastTileId = 0;
};
struct RSavedGame {
  RSavedValues& values;
  CVariableList& globals;
  std::vector<uint8_t>& declared;
  TRoomTable& rooms;
};
struct RLoadedGame {
  RSavedValues values;
  CVariableList globals;
  std::vector<uint8_t> declared;
  TRoomTable rooms;
  RSavedGame Parts() { return {values, globals, declared, rooms}; }
};

void TransferGlobals(CTransfer& t, RSavedGame g) {
  t.Version(kGlobalsVersion);
  TransferVariables(t, g.globals);
  int32_t n = int32_t(g.declared.size());
  t.Count(n, 4);
  if (t.Reading()) g.declared.resize(size_t(n));
  for (uint8_t& flag : g.declared) {
    bool b = flag != 0;
    t.Bool(b);
    flag = b ? 1 : 0;
  }
}

void Transfer(CTransfer& t, RSavedGame g) {
  RSavedValues& v = g.values;
  t.Ints(v.room, v.game.transition_kind, v.game.score, v.game.lives);
  t.Real(v.game.health);
  t.Ints(v.game.cursor_sprite, v.cursorImage);
  t.Bool(v.automaticDraw);
  TransferGlobals(t, g);
  int32_t slots = int32_t(g.rooms.size());
  t.Count(slots, kMinRoomSlotBytes);
  if (t.Reading()) g.rooms.resize(size_t(slots));
  for (int32_t k = 0; k < slots; ++k) {
    bool present = g.rooms[size_t(k)] != nullptr;
    t.Bool(present);
    if (!present) continue;
    if (t.Reading()) {
      if (!Room_Exists(k)) throw RRefusal{"a room this game does not have"};
      g.rooms[size_t(k)] = std::make_unique<CRunRoom>();
    }
    Transfer(t, *g.rooms[size_t(k)]);
  }
  t.Ints(v.lastInstanceId, v.lastTileId);
  if (t.Reading() && (v.room < 0 || v.room >= slots || !g.rooms[size_t(v.room)]))
    throw RRefusal{"no current room"};
}

// The version and the game come first: a save of another version or of
// another game is told apart from a damaged one.
bool TransferHeader(CTransfer& t, RSavedValues& g, std::string& refusal) {
  int32_t version = kSaveVersion;
  t.Int(version);
  t.Int(g.gameId);
  if (version != kSaveVersion) refusal = "Cannot load game saved with other version.";
  else if (g.gameId != g_PackageData.identity.gameId) refusal = "This is a save file for a different game!";
  return refusal.empty();
}

// ------------------------------------------------------------------ applying a loaded game

void Apply(RLoadedGame& loaded) {
  const RSavedValues& g = loaded.values;
  Room_FreeAll();
  g_World.game.transition_kind = g.game.transition_kind;
  g_World.game.score = g.game.score;
  g_World.game.lives = g.game.lives;
  g_World.game.health = g.game.health;
  g_World.game.cursor_sprite = g.game.cursor_sprite;
  g_World.cursorImage = g.cursorImage;
  g_World.automaticDraw = g.automaticDraw;
  g_ScriptState.globals = std::move(loaded.globals);
  g_ScriptState.globalDeclared = std::move(loaded.declared);
  g_ScriptState.anyGlobalDeclared = true;
  Room_RunRooms() = std::move(loaded.rooms);
  g_World.roomIndex = g.room;
  g_World.room = Room_RunRooms()[size_t(g.room)].get();
  g_World.lastInstanceId = g.lastInstanceId;
  g_World.lastTileId = g.lastTileId;
  ++g_World.listGeneration;
  ++g_World.indexVersion;
}

// ------------------------------------------------------------------ the functions

FUNCTION_ROUTINE(F_GameSave) { SaveGame(std::string(a[0].AsText())); }

// The load itself waits for the end of the step.
FUNCTION_ROUTINE(F_GameLoad) {
  g_World.loadFileName = a[0].AsText();
  g_World.newRoom = CHANGE_LOAD;
}

}  // namespace

bool SaveGame(const std::string& fname) {
  if (Path_SecureRefuses(fname)) {
    Error_ReportAction("In secure mode you cannot save game to file " + fname, false);
    return false;
  }
  RSavedValues v;
  v.gameId = g_PackageData.identity.gameId;
  v.room = g_World.roomIndex;
  v.game = g_World.game;
  v.cursorImage = g_World.cursorImage;
  v.automaticDraw = g_World.automaticDraw;
  v.lastInstanceId = g_World.lastInstanceId;
  v.lastTileId = g_World.lastTileId;
  CStream out;
  CTransfer t(out, true);
  std::string unused;
  TransferHeader(t, v, unused);
  Transfer(t, {v, g_ScriptState.globals, g_ScriptState.globalDeclared, Room_RunRooms()});
  const std::string path = Path_FromGame(fname);
  if (path.empty() || !out.SaveToFile(path)) {
    Error_ReportAction("Failed to save game to file " + fname, false);
    return false;
  }
  return true;
}

namespace {

// Reads a whole save into `g`: "" when it is a sound save of this game,
// otherwise the message that refuses it.
std::string Read(CStream& in, RLoadedGame& g, const std::string& fname) {
  std::string refusal;
  try {
    CTransfer t(in, false);
    if (TransferHeader(t, g.values, refusal)) Transfer(t, g.Parts());
  } catch (const CStreamError& e) {
    refusal = "Failed to load game from file " + fname;
    WriteTrace("The saved game " + fname + " is damaged: " + e.what());
  } catch (const RRefusal& r) {
    refusal = "Failed to load game from file " + fname;
    WriteTrace("The saved game " + fname + " does not fit this game: " + r.message);
  }
  return refusal;
}

}  // namespace

bool SaveGame_Readable(CStream& bytes) {
  RLoadedGame g;
  return Read(bytes, g, "").empty();
}

bool LoadGame(const std::string& fname) {
  const std::string path = Path_FromGame(fname);
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return false;
  CStream in;
  RLoadedGame g;
  const std::string refusal =
      in.LoadFromFile(path) ? Read(in, g, fname) : "Failed to load game from file " + fname;
  if (!refusal.empty()) {
    Error_Report(refusal, false);
    return false;
  }
  Apply(g);
  return true;
}

void SaveGame_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"game_save", F_GameSave},
      {"action_save_game", F_GameSave},
      {"game_load", F_GameLoad},
      {"action_load_game", F_GameLoad},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
