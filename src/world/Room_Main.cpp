#include "world/Room_Main.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "package/Option_Main.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "world/Collision_Index.h"
#include "world/Event_Action.h"
#include "world/Run_State.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

// Rooms kept across visits, by room index; an entry is empty until the room
// is entered and stays filled after leaving only for persistent rooms.
std::vector<std::unique_ptr<CRunRoom>> g_RunRooms;
// Persistent instances on their way from the room being left to the next.
std::vector<std::unique_ptr<CInstance>> g_Carried;

// Parents of `obj` upward, while they exist (chains are free of cycles).
template <class F>
void ForObjectAndAncestors(int32_t obj, F f) {
  for (int32_t o = obj; const CObject* object = g_WorldData.objects.Get(o); o = object->o_parent) f(o);
}

}  // namespace

// ------------------------------------------------------------------ the room's instance lists

CRunRoom::CRunRoom(const CRoom& resource) : CRoom(resource) {
  for (const RRoomInstance& placed : resource.r_instances) {
    auto* inst = new CInstance(placed.x, placed.y, placed.id, placed.object);
    inst->i_initcode = placed.code;
    inst->SetImageScaleX(placed.xscale);
    inst->SetImageScaleY(placed.yscale);
    inst->i_imageblend = uint32_t(placed.blend) & 0xFFFFFF;
    inst->i_imagealpha = placed.alpha;
    inst->SetImageAngle(placed.angle);
    r_instance.push_back(inst);
    r_index.Insert(inst);
  }
  r_instances.clear();
  RebuildObjectLists();
}

CRunRoom::~CRunRoom() {
  r_index.Clear();
  for (CInstance* inst : r_instance) delete inst;
  for (CInstance* inst : r_instance_deact) delete inst;
}

void CRunRoom::AddToObjectLists(CInstance* inst) {
  inst->i_objseq = ++r_objseq;
  const int32_t obj = inst->i_objectindex;
  if (obj < 0 || obj >= int32_t(r_obj_instance.size())) return;
  inst->i_directpos = int32_t(r_obj_instance[size_t(obj)].size());
  r_obj_instance[size_t(obj)].push_back(inst);
  ForObjectAndAncestors(obj, [&](int32_t o) {
    if (o < int32_t(r_obj_instance_recursive.size())) r_obj_instance_recursive[size_t(o)].push_back(inst);
  });
}

void CRunRoom::RebuildObjectLists() {
  const size_t objects = size_t(g_WorldData.objects.Count());
  r_obj_instance.assign(objects, {});
  r_obj_instance_recursive.assign(objects, {});
  r_objseq = 0;
  ++g_World.listGeneration;
  for (size_t k = 0; k < r_instance.size(); ++k) {
    r_instance[k]->i_listpos = int32_t(k);
    AddToObjectLists(r_instance[k]);
  }
}

CInstance* CRunRoom::AddInstance(double x, double y, int32_t objectind) {
  // Ids never run into the negative owner codes: running out ends the game.
  if (g_World.lastInstanceId == INT32_MAX) {
    Error_Report("Out of instance ids: no more instances can be created.", true);
    return nullptr;
  }
  auto* inst = new CInstance(x, y, ++g_World.lastInstanceId, objectind);
  inst->i_listpos = InstanceCount();
  r_instance.push_back(inst);
  r_index.Insert(inst);
  if (r_obj_instance.size() < size_t(g_WorldData.objects.Count())) RebuildObjectLists();
  AddToObjectLists(inst);
  return inst;
}

int32_t CRunRoom::Obj_Number(int32_t obj) const {
  return obj >= 0 && obj < int32_t(r_obj_instance.size()) ? int32_t(r_obj_instance[size_t(obj)].size()) : 0;
}

CInstance* CRunRoom::Obj_Instance(int32_t obj, int32_t n) const {
  if (n < 0 || n >= Obj_Number(obj)) return nullptr;
  return r_obj_instance[size_t(obj)][size_t(n)];
}

int32_t CRunRoom::Obj_Number_Recursive(int32_t obj) const {
  return obj >= 0 && obj < int32_t(r_obj_instance_recursive.size())
             ? int32_t(r_obj_instance_recursive[size_t(obj)].size())
             : 0;
}

CInstance* CRunRoom::Obj_Instance_Recursive(int32_t obj, int32_t n) const {
  if (n < 0 || n >= Obj_Number_Recursive(obj)) return nullptr;
  return r_obj_instance_recursive[size_t(obj)][size_t(n)];
}

void CRunRoom::SortInstances() {
  // A depth that is not a number sorts as the very front (drawn last), so the
  // order stays a strict one and the sort stays sound.
  auto key = [](const CInstance* i) {
    return std::isnan(i->i_depth) ? -std::numeric_limits<double>::infinity() : i->i_depth;
  };
  bool ordered = true;
  for (size_t i = 1; i < r_instance.size() && ordered; ++i)
    ordered = !(key(r_instance[i]) > key(r_instance[i - 1]));
  if (ordered) return;
  std::stable_sort(r_instance.begin(), r_instance.end(),
                   [&](const CInstance* a, const CInstance* b) { return key(a) > key(b); });
  for (size_t k = 0; k < r_instance.size(); ++k) r_instance[k]->i_listpos = int32_t(k);
  ++g_World.listGeneration;
}

void CRunRoom::RemoveMarked() {
  const auto kept = std::stable_partition(r_instance.begin(), r_instance.end(),
                                          [](const CInstance* i) { return !i->i_marked; });
  if (kept == r_instance.end()) return;
  for (auto it = kept; it != r_instance.end(); ++it) {
    r_index.Remove(*it);
    delete *it;
  }
  r_instance.erase(kept, r_instance.end());
  RebuildObjectLists();
}

void CRunRoom::UpdateActive() {
  const bool leaving = std::any_of(r_instance.begin(), r_instance.end(), [](auto* i) { return i->i_deactivated; });
  const bool returning =
      std::any_of(r_instance_deact.begin(), r_instance_deact.end(), [](auto* i) { return !i->i_deactivated; });
  if (!leaving && !returning) return;
  std::vector<CInstance*> active, inactive;
  for (CInstance* i : r_instance)
    if (!i->i_deactivated) active.push_back(i);
  for (CInstance* i : r_instance_deact)
    if (!i->i_deactivated) active.push_back(i);
  for (CInstance* i : r_instance_deact)
    if (i->i_deactivated) inactive.push_back(i);
  for (CInstance* i : r_instance)
    if (i->i_deactivated) inactive.push_back(i);
  r_instance = std::move(active);
  r_instance_deact = std::move(inactive);
  for (CInstance* i : r_instance) r_index.Insert(i);
  for (CInstance* i : r_instance_deact) r_index.Remove(i);
  RebuildObjectLists();
}

// ------------------------------------------------------------------ tiles

int32_t CRunRoom::AddTile(const RTile& tile) {
  r_tiles.push_back(tile);
  r_tiles.back().id = ++g_World.lastTileId;
  r_lasttile = int32_t(r_tiles.size()) - 1;
  return r_lasttile;
}

int32_t CRunRoom::FindTile(int32_t id) {
  if (r_lasttile >= 0 && r_lasttile < int32_t(r_tiles.size()) && r_tiles[size_t(r_lasttile)].id == id)
    return r_lasttile;
  for (size_t i = 0; i < r_tiles.size(); ++i)
    if (r_tiles[i].id == id) return r_lasttile = int32_t(i);
  return -1;
}

void CRunRoom::DeleteTile(int32_t ind) {
  if (ind >= 0 && ind < int32_t(r_tiles.size())) r_tiles.erase(r_tiles.begin() + ind);
}

namespace {

// Whether the tile covers the point: from its left and top edges up to its
// right and bottom edges, those included only when `farEdges`.
bool Covers(const RTile& t, double x, double y, bool farEdges) {
  const double right = t.x + t.w * t.xscale, bottom = t.y + t.h * t.yscale;
  if (!(x >= t.x && y >= t.y)) return false;
  return farEdges ? x <= right && y <= bottom : x < right && y < bottom;
}

}  // namespace

int32_t CRunRoom::FindTileAt(double x, double y, bool foreground) {
  for (size_t i = 0; i < r_tiles.size(); ++i) {
    const RTile& t = r_tiles[i];
    if (Covers(t, x, y, false) && (t.depth < 0) == foreground) return r_lasttile = int32_t(i);
  }
  return -1;
}

void CRunRoom::DeleteTilesAt(double x, double y, bool foreground) {
  std::erase_if(r_tiles, [&](const RTile& t) {
    return Covers(t, x, y, true) && (foreground ? t.depth <= 0 : t.depth >= 0);
  });
}

void CRunRoom::HideTilesDepth(double depth) {
  for (RTile& t : r_tiles)
    if (t.depth == depth) t.visible = false;
}

void CRunRoom::ShowTilesDepth(double depth) {
  for (RTile& t : r_tiles)
    if (t.depth == depth) t.visible = true;
}

void CRunRoom::DeleteTilesDepth(double depth) {
  std::erase_if(r_tiles, [&](const RTile& t) { return t.depth == depth; });
}

void CRunRoom::ShiftTilesDepth(double depth, double x, double y) {
  for (RTile& t : r_tiles)
    if (t.depth == depth) {
      t.x += x;
      t.y += y;
    }
}

void CRunRoom::ChangeTilesDepth(double olddepth, double newdepth) {
  for (RTile& t : r_tiles)
    if (t.depth == olddepth) t.depth = newdepth;
}

int32_t CRunRoom::FindTileAtDepth(double depth, double x, double y) {
  for (size_t i = 0; i < r_tiles.size(); ++i)
    if (r_tiles[i].depth == depth && Covers(r_tiles[i], x, y, false)) return r_lasttile = int32_t(i);
  return -1;
}

void CRunRoom::DeleteTilesAtDepth(double depth, double x, double y) {
  std::erase_if(r_tiles, [&](const RTile& t) { return t.depth == depth && Covers(t, x, y, false); });
}

void CRunRoom::SortTiles() {
  bool ordered = true;
  for (size_t i = 1; i < r_tiles.size() && ordered; ++i) ordered = !(r_tiles[i].depth > r_tiles[i - 1].depth);
  if (ordered) return;
  std::stable_sort(r_tiles.begin(), r_tiles.end(), [](const RTile& a, const RTile& b) { return a.depth > b.depth; });
}

void Room_PrepareIds() {
  g_World.lastInstanceId = std::max(g_WorldData.roomLastInstanceId, kFirstInstanceId);
  g_World.lastTileId = g_WorldData.roomLastTileId;
  for (int32_t r = 0; r < g_WorldData.rooms.Count(); ++r) {
    const CRoom* room = g_WorldData.rooms.Get(r);
    if (!room) continue;
    for (const RRoomInstance& i : room->r_instances) g_World.lastInstanceId = std::max(g_World.lastInstanceId, i.id);
    for (const RTile& t : room->r_tiles) g_World.lastTileId = std::max(g_World.lastTileId, t.id);
  }
}

// ------------------------------------------------------------------ the room order

int32_t Room_First() { return g_WorldData.roomOrder.empty() ? -1 : g_WorldData.roomOrder.front(); }
int32_t Room_Last() { return g_WorldData.roomOrder.empty() ? -1 : g_WorldData.roomOrder.back(); }
bool Room_Exists(int32_t n) { return g_WorldData.rooms.Exists(n); }

int32_t Room_Next(int32_t n) {
  if (g_WorldData.roomOrder.size() < 2) return -1;
  for (size_t i = g_WorldData.roomOrder.size(); i-- > 0;)
    if (g_WorldData.roomOrder[i] == n) return i + 1 < g_WorldData.roomOrder.size() ? g_WorldData.roomOrder[i + 1] : -1;
  return -1;
}

int32_t Room_Previous(int32_t n) {
  if (g_WorldData.roomOrder.size() < 2) return -1;
  for (size_t i = 1; i < g_WorldData.roomOrder.size(); ++i)
    if (g_WorldData.roomOrder[i] == n) return g_WorldData.roomOrder[i - 1];
  return -1;
}

// ------------------------------------------------------------------ entering and leaving

void Room_Request(int32_t n, int32_t transition) {
  g_World.newRoom = n;
  g_World.game.transition_kind = transition;
  if (!Room_Exists(n)) {
    Error_Report("Unexisting room number: " + std::to_string(n), true);
    g_World.newRoom = CHANGE_ABORT;
  }
}

void Room_Change(int32_t n) {
  Room_Leave(false);
  if (g_World.newRoom == CHANGE_ABORT) return;
  g_World.newRoom = CHANGE_NONE;
  Room_Goto(n, false);
}

void Room_Leave(bool gameEnd) {
  CRunRoom* room = g_World.room;
  if (!room) return;
  if (!gameEnd) Host().RoomLeaving();
  room->RemoveMarked();
  const int32_t pending = g_World.newRoom;
  g_World.newRoom = CHANGE_NONE;
  Event_PerformAll(EV_OTHER, EV_ROOM_END);
  if (gameEnd) Event_PerformAll(EV_OTHER, EV_GAME_END);
  // A fatal error in those events ends the game, whatever was pending.
  g_World.newRoom = g_World.newRoom == CHANGE_ABORT ? CHANGE_ABORT : pending;

  // Persistent instances travel as copies; the originals are marked so that a
  // persistent room does not show them when it is visited again.
  g_Carried.clear();
  for (CInstance* inst : room->r_instance) {
    if (inst->i_marked || !inst->i_persistent) continue;
    auto copy = std::make_unique<CInstance>(inst->i_x, inst->i_y, inst->i_id, inst->i_objectindex);
    copy->Assign(*inst);
    g_Carried.push_back(std::move(copy));
    inst->i_marked = true;
  }
  g_World.room = nullptr;
  if (!room->r_persistent && g_World.roomIndex >= 0 && size_t(g_World.roomIndex) < g_RunRooms.size())
    g_RunRooms[size_t(g_World.roomIndex)].reset();
}

namespace {

void RunCreationCode(const std::string& text, CInstance* self, const std::string& where) {
  CCodeRef code = Code_Create(text, false);
  if (!code->Compile()) {
    Error_Report("COMPILATION ERROR in creation code " + where + "\r" + g_ScriptState.errorText, false);
    Error_ClearPending();
    return;
  }
  RValue result;
  if (!Code_Execute(self, self, code.get(), result)) {
    Error_Report("EXECUTION ERROR in creation code " + where + "\r" + g_ScriptState.errorText, false);
    Error_ClearPending();
  }
}

}  // namespace

void Room_Goto(int32_t n, bool first) {
  Host().ClearInput();
  if (!Room_Exists(n)) {
    // Only a code that names no room gets here (the room functions check
    // first); the game cannot go on without a room.
    Error_Report("Unexisting room number: " + std::to_string(n), true);
    g_World.newRoom = CHANGE_ABORT;
    return;
  }
  if (size_t(n) >= g_RunRooms.size()) g_RunRooms.resize(size_t(n) + 1);
  g_World.roomIndex = n;
  const bool fresh = !g_RunRooms[size_t(n)];
  if (fresh) g_RunRooms[size_t(n)] = std::make_unique<CRunRoom>(*g_WorldData.rooms.Get(n));
  CRunRoom* room = g_RunRooms[size_t(n)].get();
  g_World.room = room;
  const int32_t own = room->InstanceCount();

  // Carried instances replace the room's instance with the same id.
  std::vector<std::unique_ptr<CInstance>> carried = std::move(g_Carried);
  g_Carried.clear();
  for (auto& c : carried) {
    for (CInstance* inst : room->r_instance)
      if (inst->i_id == c->i_id) inst->i_marked = true;
    if (CInstance* inst = room->AddInstance(c->i_x, c->i_y, c->i_objectindex)) inst->Assign(*c);
  }
  carried.clear();

  const std::string roomName = g_WorldData.rooms.Name(n);
  if (fresh) {
    for (int32_t i = 0; i < own; ++i) {
      CInstance* inst = room->InstanceAt(i);
      if (!inst || inst->i_marked) continue;
      if (g_PackageData.settings.opt_createfirst) Event_Perform(inst, inst, EV_CREATE, 0);
      if (!inst->i_initcode.empty())
        RunCreationCode(inst->i_initcode, inst,
                        "for instance " + std::to_string(inst->i_id) + " in room " + roomName);
      if (!g_PackageData.settings.opt_createfirst) Event_Perform(inst, inst, EV_CREATE, 0);
    }
  }
  if (first) Event_PerformAll(EV_OTHER, EV_GAME_START);
  if (fresh && !room->r_code.empty()) {
    CInstance temp(0, 0, 0, 0);
    RunCreationCode(room->r_code, &temp, "of room " + roomName);
  }
  Event_PerformAll(EV_OTHER, EV_ROOM_START);
  if (!Run_ChangePending() && g_World.automaticDraw) {
    Host().RoomEntered(first);
    g_World.game.transition_kind = 0;
  }
}

std::vector<std::unique_ptr<CRunRoom>>& Room_RunRooms() { return g_RunRooms; }

void Room_FreeAll() {
  g_World.room = nullptr;
  g_World.roomIndex = -1;
  g_RunRooms.clear();
  g_Carried.clear();
}

}  // namespace tavrin
