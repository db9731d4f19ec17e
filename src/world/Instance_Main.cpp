// The built-in functions that create, change, destroy, find, count,
// deactivate and activate instances, the instance and sprite actions, and the
// room-change, game and score functions that set the pending change.
#include <cmath>
#include <functional>

#include "graphics/Sprite_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Random.h"
#include "script/Variable_Main.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/Instance_Main.h"
#include "world/World_Main.h"
#include "world/World_Routine.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

std::string Number(const RValue& v) { return std::to_string(ArgInt(v)); }

bool Live(const CInstance* i) { return i && !i->i_marked; }

// Designates `who` (all, an id or an object) instance `i`?
bool Designates(int32_t who, const CInstance* i) {
  if (who == OWNER_ALL) return true;
  if (who >= kFirstInstanceId) return i->i_id == who;
  return Object_IsOrDescends(i->i_objectindex, who);
}

// Calls f for every unmarked active instance that `who` designates: self,
// other, all, an instance id or an object with its descendants. The count is
// taken once, so instances created by f are not visited.
template <class F>
void ForMatching(CInstanceBase* self, CInstanceBase* other, int32_t who, F f) {
  CRunRoom* room = g_World.room;
  if (who == OWNER_SELF || who == OWNER_OTHER) {
    CInstance* i = AsInstance(who == OWNER_SELF ? self : other);
    if (Live(i) && !i->i_deactivated) f(i);
    return;
  }
  if (!room) return;
  if (who == OWNER_ALL || who >= kFirstInstanceId) {
    const int32_t n = room->InstanceCount();
    for (int32_t k = 0; k < n; ++k) {
      CInstance* i = room->InstanceAt(k);
      if (Live(i) && (who == OWNER_ALL || i->i_id == who)) f(i);
    }
    return;
  }
  const int32_t n = room->Obj_Number_Recursive(who);
  for (int32_t k = 0; k < n; ++k) {
    CInstance* i = room->Obj_Instance_Recursive(who, k);
    if (Live(i)) f(i);
  }
}

int32_t CountMatching(CInstanceBase* self, CInstanceBase* other, int32_t who) {
  int32_t count = 0;
  ForMatching(self, other, who, [&](CInstance*) { ++count; });
  return count;
}

// Creates an instance and runs its create event; `before` may prepare it
// first. The id, or noone when the object does not exist.
template <class F>
double CreateInstance(double x, double y, const RValue& obj, F before) {
  if (!g_WorldData.objects.Exists(ArgInt(obj))) {
    Error_ReportAction("Creating instance for non-existing object: " + Number(obj), false);
    return OWNER_NOONE;
  }
  if (!g_World.room) return OWNER_NOONE;
  CInstance* inst = g_World.room->AddInstance(x, y, ArgInt(obj));
  if (!inst) return OWNER_NOONE;
  const int32_t id = inst->i_id;
  before(inst);
  Event_Perform(inst, inst, EV_CREATE, 0);
  return id;
}
double CreateInstance(double x, double y, const RValue& obj) {
  return CreateInstance(x, y, obj, [](CInstance*) {});
}

}  // namespace

void Instance_Destroy(CInstance* self) {
  if (!self) return;
  Event_Perform(self, self, EV_DESTROY, 0);
  self->i_marked = true;
}

void Instance_Change(CInstance* self, int32_t obj, bool perform) {
  if (!g_WorldData.objects.Exists(obj)) {
    Error_ReportAction("Asking to change into non-existing object: " + std::to_string(obj), false);
    return;
  }
  if (!self || !g_World.room) return;
  if (perform) Event_Perform(self, self, EV_DESTROY, 0);
  CInstance* next = g_World.room->AddInstance(self->i_x, self->i_y, obj);
  if (!next) return;
  next->Assign(*self);
  next->SetObjectIndex(obj);
  // Object lists were built for the new instance under the new object
  // already; the old one is left marked until the end of the step.
  self->i_marked = true;
  if (perform) Event_Perform(next, next, EV_CREATE, 0);
}

namespace {

bool SetSprite(CInstance* self, const RValue& spr) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(spr))) {
    Error_ReportAction("Setting instance to non-existing sprite: " + Number(spr), false);
    return false;
  }
  if (self) self->SetSpriteIndex(ArgInt(spr));
  return true;
}

// ------------------------------------------------------------------ creating and destroying

void F_InstanceCreate(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(CreateInstance(a[0].AsReal(), a[1].AsReal(), a[2]));
}

void F_InstanceCopy(CInstanceBase* self, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  CInstance* s = AsInstance(self);
  if (!s || !g_World.room) return;
  CInstance* copy = g_World.room->AddInstance(s->i_x, s->i_y, s->i_objectindex);
  if (!copy) return;
  const int32_t id = copy->i_id;
  copy->Assign(*s);
  copy->i_id = id;
  if (a[0].AsReal() >= 0.5) Event_Perform(copy, copy, EV_CREATE, 0);
  r.SetReal(id);
}

void F_InstanceDestroy(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs) { Instance_Destroy(AsInstance(self)); }

void F_InstanceChange(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  Instance_Change(AsInstance(self), ArgInt(a[0]), a[1].AsReal() >= 0.5);
}

void F_InstanceSprite(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) { SetSprite(AsInstance(self), a[0]); }

// ------------------------------------------------------------------ queries

void F_InstanceExists(CInstanceBase* self, CInstanceBase* other, int32_t, RValue& r, RArgs a) {
  bool found = false;
  ForMatching(self, other, ArgInt(a[0]), [&](CInstance*) { found = true; });
  r.SetReal(found ? 1 : 0);
}

void F_InstanceNumber(CInstanceBase* self, CInstanceBase* other, int32_t, RValue& r, RArgs a) {
  r.SetReal(CountMatching(self, other, ArgInt(a[0])));
}

void F_InstanceFind(CInstanceBase* self, CInstanceBase* other, int32_t, RValue& r, RArgs a) {
  const int32_t who = ArgInt(a[0]);
  int32_t n = ArgInt(a[1]);
  r.SetReal(OWNER_NOONE);
  if (who == OWNER_SELF || who == OWNER_OTHER || n < 0) return;
  if (who >= kFirstInstanceId && n != 0) return;
  ForMatching(self, other, who, [&](CInstance* i) {
    if (n-- == 0) r.SetReal(i->i_id);
  });
}

// The instance nearest to (or furthest from) a point. Only the strictly
// better one replaces the best so far, so the first of equals wins.
void NearestOrFurthest(CInstanceBase* self, CInstanceBase* other, RValue& r, RArgs a, bool nearest) {
  const int32_t who = ArgInt(a[2]);
  r.SetReal(OWNER_NOONE);
  if (who != OWNER_ALL && (who < 0 || who >= kFirstInstanceId)) return;
  double best = nearest ? 1e10 : -1;
  ForMatching(self, other, who, [&](CInstance* i) {
    const double dx = i->i_x - a[0].AsReal(), dy = i->i_y - a[1].AsReal(), d = dx * dx + dy * dy;
    if (nearest ? d < best : d > best) {
      best = d;
      r.SetReal(i->i_id);
    }
  });
}
void F_InstanceNearest(CInstanceBase* s, CInstanceBase* o, int32_t, RValue& r, RArgs a) {
  NearestOrFurthest(s, o, r, a, true);
}
void F_InstanceFurthest(CInstanceBase* s, CInstanceBase* o, int32_t, RValue& r, RArgs a) {
  NearestOrFurthest(s, o, r, a, false);
}

// ------------------------------------------------------------------ deactivation

// Whether an instance lies outside a region: by its box when it has a sprite
// or a mask, else by its position.
bool OutsideRegion(const CInstance* i, double left, double top, double width, double height) {
  if (g_GraphicsData.sprites.Exists(i->i_spriteindex) || g_GraphicsData.sprites.Exists(i->i_maskindex))
    return !(left <= i->i_bbox.Right && left + width >= i->i_bbox.Left && top <= i->i_bbox.Bottom &&
             top + height >= i->i_bbox.Top);
  return !(left <= i->i_x && i->i_x <= left + width && top <= i->i_y && i->i_y <= top + height);
}

void KeepSelf(CInstanceBase* self, const RValue& notme) {
  if (notme.AsReal() >= 0.5 && self) AsInstance(self)->i_deactivated = false;
}

void Update() {
  if (g_World.room) g_World.room->UpdateActive();
}

void F_DeactivateAll(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!g_World.room) return;
  for (CInstance* i : g_World.room->r_instance) i->i_deactivated = true;
  KeepSelf(self, a[0]);
  Update();
}

void F_DeactivateObject(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RArgs a) {
  const int32_t who = ArgInt(a[0]);
  if (who == OWNER_SELF || who == OWNER_OTHER) {
    if (CInstance* i = AsInstance(who == OWNER_SELF ? self : other)) i->i_deactivated = true;
  } else if (g_World.room) {
    for (CInstance* i : g_World.room->r_instance)
      if (Designates(who, i)) i->i_deactivated = true;
  }
  Update();
}

void F_DeactivateRegion(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!g_World.room) return;
  const bool inside = a[4].AsReal() >= 0.5;
  for (CInstance* i : g_World.room->r_instance)
    if (OutsideRegion(i, a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), a[3].AsReal()) != inside) i->i_deactivated = true;
  KeepSelf(self, a[5]);
  Update();
}

void F_ActivateAll(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (!g_World.room) return;
  for (CInstance* i : g_World.room->r_instance_deact) i->i_deactivated = false;
  Update();
}

void F_ActivateObject(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RArgs a) {
  const int32_t who = ArgInt(a[0]);
  if (who == OWNER_SELF || who == OWNER_OTHER) {
    if (CInstance* i = AsInstance(who == OWNER_SELF ? self : other)) i->i_deactivated = false;
  } else if (g_World.room) {
    for (CInstance* i : g_World.room->r_instance_deact)
      if (Designates(who, i)) i->i_deactivated = false;
  }
  Update();
}

void F_ActivateRegion(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!g_World.room) return;
  const bool inside = a[4].AsReal() >= 0.5;
  for (CInstance* i : g_World.room->r_instance_deact)
    if (OutsideRegion(i, a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), a[3].AsReal()) != inside) i->i_deactivated = false;
  Update();
}

// ------------------------------------------------------------------ instance actions

double RelX(CInstanceBase* self, double x) { return g_World.argumentRelative && self ? x + AsInstance(self)->i_x : x; }
double RelY(CInstanceBase* self, double y) { return g_World.argumentRelative && self ? y + AsInstance(self)->i_y : y; }

void A_CreateObject(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CreateInstance(RelX(self, a[1].AsReal()), RelY(self, a[2].AsReal()), a[0]);
}

void A_CreateObjectMotion(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CreateInstance(RelX(self, a[1].AsReal()), RelY(self, a[2].AsReal()), a[0], [&](CInstance* i) {
    i->SetSpeed(a[3].AsReal());
    i->SetDirection(a[4].AsReal());
  });
}

void A_CreateObjectRandom(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  bool any = false;
  for (int k = 0; k < 4; ++k) any = any || g_WorldData.objects.Exists(ArgInt(a[k]));
  if (!any) return;
  int32_t pick;
  do pick = int32_t(Random_Below(4));
  while (!g_WorldData.objects.Exists(ArgInt(a[pick])));
  CreateInstance(RelX(self, a[4].AsReal()), RelY(self, a[5].AsReal()), a[pick]);
}

void A_ChangeObject(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  Instance_Change(AsInstance(self), ArgInt(a[0]), ArgInt(a[1]) >= 1);
}

void A_SetSprite(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!SetSprite(AsInstance(self), a[0]) || !self) return;
  if (a[1].AsReal() > 0) {
    AsInstance(self)->SetImageScaleX(a[1].AsReal());
    AsInstance(self)->SetImageScaleY(a[1].AsReal());
  }
}

void A_SpriteSet(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!SetSprite(AsInstance(self), a[0]) || !self) return;
  if (a[1].AsReal() >= 0) AsInstance(self)->i_imageindex = a[1].AsReal();
  AsInstance(self)->i_imagespeed = a[2].AsReal();
}

void A_SpriteTransform(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CInstance* s = AsInstance(self);
  if (!s) return;
  s->SetImageScaleX(a[0].AsReal());
  s->SetImageScaleY(a[1].AsReal());
  s->SetImageAngle(a[2].AsReal());
  const double mirror = a[3].AsReal();
  if (mirror == 1 || mirror == 3) s->SetImageScaleX(-s->i_imagescalex);
  if (mirror == 2 || mirror == 3) s->SetImageScaleY(-s->i_imagescaley);
}

void A_SpriteColor(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  AsInstance(self)->i_imageblend = uint32_t(ArgInt(a[0]));
  AsInstance(self)->i_imagealpha = a[1].AsReal();
}

// With the operation rounded: 1 less than, 2 greater than, else equal.
bool Compare(double value, double given, const RValue& operation) {
  switch (ArgInt(operation)) {
    case 1: return value < given;
    case 2: return value > given;
    default: return value == given;
  }
}

void A_IfNumber(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const int32_t who = ArgInt(a[0]);
  const int32_t c = who == OWNER_SELF || who == OWNER_OTHER ? 0 : CountMatching(nullptr, nullptr, who);
  r.SetReal(Compare(c, a[1].AsReal(), a[2]) ? 1 : 0);
}

void A_SetAlarm(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CInstance* s = AsInstance(self);
  const int32_t alarm = ArgInt(a[1]);
  if (!s || alarm < 0 || alarm >= kAlarmCount) return;
  int64_t v = Real_ToInt32(a[0].AsReal());
  if (g_World.argumentRelative && s->i_timer[size_t(alarm)] >= 0) v += s->i_timer[size_t(alarm)];
  s->i_timer[size_t(alarm)] = int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// ------------------------------------------------------------------ rooms

void GotoPrevious(int32_t transition) {
  if (g_World.roomIndex == Room_First()) {
    Error_ReportAction("Moving to previous room before the first room.", true);
    g_World.newRoom = CHANGE_ABORT;
    return;
  }
  Room_Request(Room_Previous(g_World.roomIndex), transition);
}

void GotoNext(int32_t transition) {
  if (g_World.roomIndex == Room_Last()) {
    Error_ReportAction("Moving to next room after the last room.", true);
    g_World.newRoom = CHANGE_ABORT;
    return;
  }
  Room_Request(Room_Next(g_World.roomIndex), transition);
}

void F_RoomGoto(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  Room_Request(ArgInt(a[0]), g_World.game.transition_kind);
}
void F_RoomGotoPrevious(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) {
  GotoPrevious(g_World.game.transition_kind);
}
void F_RoomGotoNext(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) { GotoNext(g_World.game.transition_kind); }
void F_RoomRestart(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) {
  Room_Request(g_World.roomIndex, g_World.game.transition_kind);
}
void F_RoomPrevious(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const int32_t n = ArgInt(a[0]);
  r.SetReal(!Room_Exists(n) || n == Room_First() ? -1 : Room_Previous(n));
}
void F_RoomNext(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const int32_t n = ArgInt(a[0]);
  r.SetReal(!Room_Exists(n) || n == Room_Last() ? -1 : Room_Next(n));
}
void A_PreviousRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { GotoPrevious(ArgInt(a[0])); }
void A_NextRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { GotoNext(ArgInt(a[0])); }
void A_CurrentRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { Room_Request(g_World.roomIndex, ArgInt(a[0])); }
void A_AnotherRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { Room_Request(ArgInt(a[0]), ArgInt(a[1])); }
void A_IfPreviousRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs) {
  r.SetReal(g_World.roomIndex != Room_First() ? 1 : 0);
}
void A_IfNextRoom(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs) {
  r.SetReal(g_World.roomIndex != Room_Last() ? 1 : 0);
}

// ------------------------------------------------------------------ the game

void F_GameEnd(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) { g_World.newRoom = CHANGE_END; }
void F_GameRestart(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs) { g_World.newRoom = CHANGE_RESTART; }

int32_t Relative(int32_t current, const RValue& v) {
  const int64_t r = int64_t(Real_ToInt32(v.AsReal())) + (g_World.argumentRelative ? current : 0);
  return int32_t(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

void A_SetScore(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  g_World.game.score = Relative(g_World.game.score, a[0]);
}
void A_SetLife(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { Game_SetLives(Relative(g_World.game.lives, a[0])); }
void A_SetHealth(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  Game_SetHealth(a[0].AsReal() + (g_World.argumentRelative ? g_World.game.health : 0));
}
void A_IfScore(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(Compare(g_World.game.score, a[0].AsReal(), a[1]) ? 1 : 0);
}
void A_IfLife(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(Compare(g_World.game.lives, a[0].AsReal(), a[1]) ? 1 : 0);
}
void A_IfHealth(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(Compare(g_World.game.health, a[0].AsReal(), a[1]) ? 1 : 0);
}
void A_SetCaption(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  g_World.game.score_explicit = true;
  g_World.game.show_score = ArgInt(a[0]) == 1;
  g_World.game.caption_score = a[1].AsString().str();
  g_World.game.show_lives = ArgInt(a[2]) == 1;
  g_World.game.caption_lives = a[3].AsString().str();
  g_World.game.show_health = ArgInt(a[4]) == 1;
  g_World.game.caption_health = a[5].AsString().str();
}

}  // namespace

void Instance_ForMatching(CInstanceBase* self, CInstanceBase* other, int32_t who,
                          const std::function<void(CInstance*)>& f) {
  ForMatching(self, other, who, f);
}

void Instance_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"instance_create", F_InstanceCreate},
      {"instance_copy", F_InstanceCopy},
      {"instance_destroy", F_InstanceDestroy},
      {"instance_change", F_InstanceChange},
      {"instance_sprite", F_InstanceSprite},
      {"instance_exists", F_InstanceExists},
      {"instance_number", F_InstanceNumber},
      {"instance_find", F_InstanceFind},
      {"instance_nearest", F_InstanceNearest},
      {"instance_furthest", F_InstanceFurthest},
      {"instance_deactivate_all", F_DeactivateAll},
      {"instance_deactivate_object", F_DeactivateObject},
      {"instance_deactivate_region", F_DeactivateRegion},
      {"instance_activate_all", F_ActivateAll},
      {"instance_activate_object", F_ActivateObject},
      {"instance_activate_region", F_ActivateRegion},
      {"action_create_object", A_CreateObject},
      {"action_create_object_motion", A_CreateObjectMotion},
      {"action_create_object_random", A_CreateObjectRandom},
      {"action_change_object", A_ChangeObject},
      {"action_kill_object", F_InstanceDestroy},
      {"action_set_sprite", A_SetSprite},
      {"action_sprite_set", A_SpriteSet},
      {"action_sprite_transform", A_SpriteTransform},
      {"action_sprite_color", A_SpriteColor},
      {"action_if_number", A_IfNumber},
      {"action_set_alarm", A_SetAlarm},
      {"room_goto", F_RoomGoto},
      {"room_goto_previous", F_RoomGotoPrevious},
      {"room_goto_next", F_RoomGotoNext},
      {"room_restart", F_RoomRestart},
      {"room_previous", F_RoomPrevious},
      {"room_next", F_RoomNext},
      {"action_previous_room", A_PreviousRoom},
      {"action_next_room", A_NextRoom},
      {"action_current_room", A_CurrentRoom},
      {"action_another_room", A_AnotherRoom},
      {"action_if_previous_room", A_IfPreviousRoom},
      {"action_if_next_room", A_IfNextRoom},
      {"game_end", F_GameEnd},
      {"action_end_game", F_GameEnd},
      {"game_restart", F_GameRestart},
      {"action_restart_game", F_GameRestart},
      {"action_set_score", A_SetScore},
      {"action_set_life", A_SetLife},
      {"action_set_health", A_SetHealth},
      {"action_if_score", A_IfScore},
      {"action_if_life", A_IfLife},
      {"action_if_health", A_IfHealth},
      {"action_set_caption", A_SetCaption},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
