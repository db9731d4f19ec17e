// The built-in variables that belong to the game world: the fields of an
// instance, the current room, the game values and the event context. Each
// reads and writes through the world's own setters, so a write has the same
// side effects (bounding box, speed and direction, events) as the
// corresponding function.
#include <algorithm>
#include <cmath>

#include "graphics/Sprite_Class.h"
#include "package/DataNew_Class.h"
#include "package/Package_Load.h"
#include "package/Support_TempDir.h"
#include "script/Code_Error.h"
#include "script/Variable_Main.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/Variable_World.h"
#include "world/World_Main.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Display.h"

namespace tavrin {

namespace {

using namespace var;

// A plain real field of the instance, read and written unchanged.
template <double CInstance::*F>
bool GetField(CInstanceBase* i, int32_t, RValue& v) {
  return Real(v, Inst(i)->*F);
}
template <double CInstance::*F>
bool SetField(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->*F = v.AsReal();
  return true;
}
template <bool CInstance::*F>
bool GetFlag(CInstanceBase* i, int32_t, RValue& v) {
  return Real(v, Inst(i)->*F ? 1 : 0);
}
template <bool CInstance::*F>
bool SetFlag(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->*F = Flag(v);
  return true;
}
template <int32_t CInstance::*F>
bool GetIntField(CInstanceBase* i, int32_t, RValue& v) {
  return Real(v, Inst(i)->*F);
}
template <int32_t CInstance::*F>
bool SetIntField(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->*F = Int(v);
  return true;
}
// A real field written through the instance's setter.
template <double CInstance::*F, void (CInstance::*S)(double)>
bool SetThrough(CInstanceBase* i, int32_t, const RValue& v) {
  (Inst(i)->*S)(v.AsReal());
  return true;
}

// --- position and motion ---
bool SetX(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->SetPosition(v.AsReal(), Inst(i)->i_y);
  return true;
}
bool SetY(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->SetPosition(Inst(i)->i_x, v.AsReal());
  return true;
}

// --- alarms: an index outside 0 .. 11 stands for alarm 0 ---
int32_t AlarmSlot(int32_t arr) { return arr >= 0 && arr < kAlarmCount ? arr : 0; }
bool GetAlarm(CInstanceBase* i, int32_t arr, RValue& v) { return Real(v, Inst(i)->i_timer[size_t(AlarmSlot(arr))]); }
bool SetAlarm(CInstanceBase* i, int32_t arr, const RValue& v) {
  Inst(i)->i_timer[size_t(AlarmSlot(arr))] = Int(v);
  return true;
}

// --- appearance ---
bool SetSpriteIndex(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->SetSpriteIndex(Int(v));
  return true;
}
bool SetMaskIndex(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->SetMaskIndex(Int(v));
  return true;
}
bool GetImageSingle(CInstanceBase* i, int32_t, RValue& v) {
  return Real(v, Inst(i)->i_imagespeed != 0 ? -1 : Inst(i)->i_imageindex);
}
bool SetImageSingle(CInstanceBase* i, int32_t, const RValue& v) {
  if (v.AsReal() >= 0) {
    Inst(i)->i_imageindex = v.AsReal();
    Inst(i)->i_imagespeed = 0;
  } else {
    Inst(i)->i_imagespeed = 1;
  }
  return true;
}
bool GetImageNumber(CInstanceBase* i, int32_t, RValue& v) { return Real(v, Inst(i)->ImageNumber()); }
bool GetImageBlend(CInstanceBase* i, int32_t, RValue& v) { return Real(v, Inst(i)->i_imageblend); }
bool SetImageBlend(CInstanceBase* i, int32_t, const RValue& v) {
  Inst(i)->i_imageblend = uint32_t(Int(v));
  return true;
}
template <int Side>
bool GetBBox(CInstanceBase* i, int32_t, RValue& v) {
  const TRect& b = Inst(i)->i_bbox;
  return Real(v, Side == 0 ? b.Left : Side == 1 ? b.Right : Side == 2 ? b.Top : b.Bottom);
}

// The instance's sprite as drawn: its size and origin times the image
// scales; 0 without a sprite.
enum SpriteMeasure { SPRITE_WIDTH, SPRITE_HEIGHT, SPRITE_XOFFSET, SPRITE_YOFFSET };
template <SpriteMeasure M>
bool GetSpriteMeasure(CInstanceBase* i, int32_t, RValue& v) {
  const CInstance* inst = Inst(i);
  const CSprite* s = g_GraphicsData.sprites.Get(inst->i_spriteindex);
  if (!s) return Real(v, 0);
  switch (M) {
    case SPRITE_WIDTH: return Real(v, s->GetWidth() * inst->i_imagescalex);
    case SPRITE_HEIGHT: return Real(v, s->GetHeight() * inst->i_imagescaley);
    case SPRITE_XOFFSET: return Real(v, s->i_xorig * inst->i_imagescalex);
    default: return Real(v, s->i_yorig * inst->i_imagescaley);
  }
}

// --- the room ---
bool GetRoom(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.roomIndex); }
bool SetRoom(CInstanceBase*, int32_t, const RValue& v) {
  Room_Request(Int(v), g_World.game.transition_kind);
  return true;
}
bool GetRoomFirst(CInstanceBase*, int32_t, RValue& v) { return Real(v, Room_First()); }
bool GetRoomLast(CInstanceBase*, int32_t, RValue& v) { return Real(v, Room_Last()); }
// Room variables read the room in play; outside any room they read 0.
template <class F>
bool RoomGet(RValue& v, F f) {
  return Real(v, g_World.room ? double(f(*g_World.room)) : 0.0);
}
bool GetRoomWidth(CInstanceBase*, int32_t, RValue& v) { return RoomGet(v, [](CRunRoom& r) { return r.r_width; }); }
bool GetRoomHeight(CInstanceBase*, int32_t, RValue& v) { return RoomGet(v, [](CRunRoom& r) { return r.r_height; }); }
bool GetRoomSpeed(CInstanceBase*, int32_t, RValue& v) { return RoomGet(v, [](CRunRoom& r) { return r.r_speed; }); }
bool SetRoomSpeed(CInstanceBase*, int32_t, const RValue& v) {
  if (Int(v) <= 0) {
    Error_ReportAction("Trying to set the room speed to a value <= 0.", false);
    return false;
  }
  if (g_World.room) g_World.room->r_speed = Int(v);
  return true;
}
bool GetRoomPersistent(CInstanceBase*, int32_t, RValue& v) {
  return RoomGet(v, [](CRunRoom& r) { return r.r_persistent ? 1 : 0; });
}
bool SetRoomPersistent(CInstanceBase*, int32_t, const RValue& v) {
  if (g_World.room) g_World.room->r_persistent = Int(v) > 0.5;
  return true;
}
bool GetRoomCaption(CInstanceBase*, int32_t, RValue& v) {
  v.SetString(RString(g_World.room ? g_World.room->r_caption : std::string()));
  return true;
}
bool SetRoomCaption(CInstanceBase*, int32_t, const RValue& v) {
  if (g_World.room) g_World.room->r_caption = v.AsString().str();
  return true;
}
bool GetInstanceCount(CInstanceBase*, int32_t, RValue& v) {
  return Real(v, g_World.room ? g_World.room->InstanceCount() : 0);
}
bool GetInstanceId(CInstanceBase*, int32_t arr, RValue& v) {
  const CInstance* i = g_World.room ? g_World.room->InstanceAt(arr) : nullptr;
  return Real(v, i ? i->i_id : OWNER_NOONE);
}

// --- the game values ---
bool GetScore(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.game.score); }
bool SetScore(CInstanceBase*, int32_t, const RValue& v) {
  g_World.game.score = Int(v);
  return true;
}
bool GetLives(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.game.lives); }
bool SetLives(CInstanceBase*, int32_t, const RValue& v) {
  Game_SetLives(Int(v));
  return true;
}
bool GetHealth(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.game.health); }
bool SetHealth(CInstanceBase*, int32_t, const RValue& v) {
  Game_SetHealth(v.AsReal());
  return true;
}
bool GetFps(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.fps); }
// A transition takes at least one step.
bool SetTransitionSteps(CInstanceBase*, int32_t, const RValue& v) {
  g_World.game.transition_steps = std::max(Int(v), 1);
  return true;
}
// Setting show_score makes the caption show the score even while it is 0.
bool SetShowScore(CInstanceBase*, int32_t, const RValue& v) {
  g_World.game.show_score = Flag(v);
  g_World.game.score_explicit = true;
  return true;
}

// --- the package and the process ---
bool GetGameId(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_PackageData.identity.gameId); }
bool GetTempDirectory(CInstanceBase*, int32_t, RValue& v) { return Text(v, TempDir()); }
bool GetSecureMode(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_SecureMode ? 1 : 0); }
bool GetDebugMode(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_PackageData.debugMode ? 1 : 0); }
// No graphics device offers multisampling here: no levels are supported.
bool GetDisplayAA(CInstanceBase*, int32_t, RValue& v) { return Real(v, 0); }

// --- input ---
// The mouse in the room, through the window, the region and the view under
// it, as it is at the moment of reading.
bool GetMouseX(CInstanceBase*, int32_t, RValue& v) { return Real(v, Display_MouseInRoom().first); }
bool GetMouseY(CInstanceBase*, int32_t, RValue& v) { return Real(v, Display_MouseInRoom().second); }
// The last key and button take only values they could have from the
// keyboard and the mouse; anything else is ignored (mouse_button = 0 too).
template <int32_t RInputState::*Field, int32_t Low, int32_t High>
bool SetWithin(CInstanceBase*, int32_t, const RValue& v) {
  const int32_t n = Int(v);
  if (n >= Low && n <= High) g_Input.*Field = n;
  return true;
}
// The last character keeps a whole character of what is written (nothing
// for empty text), so the text read back is always valid UTF-8.
bool SetKeyboardLastChar(CInstanceBase*, int32_t, const RValue& v) {
  const std::string_view s = v.AsText();
  if (s.empty()) return true;
  size_t n = 1;
  if ((uint8_t(s[0]) & 0xC0) == 0xC0)
    while (n < s.size() && n < 4 && (uint8_t(s[n]) & 0xC0) == 0x80) ++n;
  g_Input.keyboard_lastchar.assign(s.substr(0, n));
  return true;
}

// --- the event context ---
bool GetEventType(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_ScriptState.eventType); }
bool GetEventNumber(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_ScriptState.eventNumber); }
bool GetEventObject(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_ScriptState.eventObject); }
bool GetEventAction(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_ScriptState.action); }
bool GetArgumentRelative(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.argumentRelative ? 1 : 0); }

const RWorldVariable kWorldVariables[] = {
    {"x", GetField<&CInstance::i_x>, SetX},
    {"y", GetField<&CInstance::i_y>, SetY},
    {"xprevious", GetField<&CInstance::i_xprevious>, SetField<&CInstance::i_xprevious>},
    {"yprevious", GetField<&CInstance::i_yprevious>, SetField<&CInstance::i_yprevious>},
    {"xstart", GetField<&CInstance::i_xstart>, SetField<&CInstance::i_xstart>},
    {"ystart", GetField<&CInstance::i_ystart>, SetField<&CInstance::i_ystart>},
    {"hspeed", GetField<&CInstance::i_hspeed>, SetThrough<&CInstance::i_hspeed, &CInstance::SetHSpeed>},
    {"vspeed", GetField<&CInstance::i_vspeed>, SetThrough<&CInstance::i_vspeed, &CInstance::SetVSpeed>},
    {"direction", GetField<&CInstance::i_direction>, SetThrough<&CInstance::i_direction, &CInstance::SetDirection>},
    {"speed", GetField<&CInstance::i_speed>, SetThrough<&CInstance::i_speed, &CInstance::SetSpeed>},
    {"friction", GetField<&CInstance::i_friction>, SetField<&CInstance::i_friction>},
    {"gravity", GetField<&CInstance::i_gravity>, SetField<&CInstance::i_gravity>},
    {"gravity_direction", GetField<&CInstance::i_gravitydir>, SetField<&CInstance::i_gravitydir>},
    {"alarm", GetAlarm, SetAlarm},
    {"solid", GetFlag<&CInstance::i_solid>, SetFlag<&CInstance::i_solid>},
    {"visible", GetFlag<&CInstance::i_visible>, SetFlag<&CInstance::i_visible>},
    {"persistent", GetFlag<&CInstance::i_persistent>, SetFlag<&CInstance::i_persistent>},
    {"depth", GetField<&CInstance::i_depth>, SetField<&CInstance::i_depth>},
    {"bbox_left", GetBBox<0>, nullptr},
    {"bbox_right", GetBBox<1>, nullptr},
    {"bbox_top", GetBBox<2>, nullptr},
    {"bbox_bottom", GetBBox<3>, nullptr},
    {"sprite_index", GetIntField<&CInstance::i_spriteindex>, SetSpriteIndex},
    {"image_index", GetField<&CInstance::i_imageindex>, SetField<&CInstance::i_imageindex>},
    {"image_single", GetImageSingle, SetImageSingle},
    {"image_number", GetImageNumber, nullptr},
    {"image_xscale", GetField<&CInstance::i_imagescalex>,
     SetThrough<&CInstance::i_imagescalex, &CInstance::SetImageScaleX>},
    {"image_yscale", GetField<&CInstance::i_imagescaley>,
     SetThrough<&CInstance::i_imagescaley, &CInstance::SetImageScaleY>},
    {"image_angle", GetField<&CInstance::i_imageangle>,
     SetThrough<&CInstance::i_imageangle, &CInstance::SetImageAngle>},
    {"image_alpha", GetField<&CInstance::i_imagealpha>, SetField<&CInstance::i_imagealpha>},
    {"image_speed", GetField<&CInstance::i_imagespeed>, SetField<&CInstance::i_imagespeed>},
    {"image_blend", GetImageBlend, SetImageBlend},
    {"mask_index", GetIntField<&CInstance::i_maskindex>, SetMaskIndex},
    {"sprite_width", GetSpriteMeasure<SPRITE_WIDTH>, nullptr},
    {"sprite_height", GetSpriteMeasure<SPRITE_HEIGHT>, nullptr},
    {"sprite_xoffset", GetSpriteMeasure<SPRITE_XOFFSET>, nullptr},
    {"sprite_yoffset", GetSpriteMeasure<SPRITE_YOFFSET>, nullptr},
    {"path_index", GetIntField<&CInstance::i_pathindex>, nullptr},
    {"path_position", GetField<&CInstance::i_pathposition>,
     SetThrough<&CInstance::i_pathposition, &CInstance::SetPathPosition>},
    {"path_positionprevious", GetField<&CInstance::i_pathpositionprevious>,
     SetThrough<&CInstance::i_pathpositionprevious, &CInstance::SetPathPositionPrevious>},
    {"path_speed", GetField<&CInstance::i_pathspeed>, SetField<&CInstance::i_pathspeed>},
    {"path_scale", GetField<&CInstance::i_pathscale>, SetField<&CInstance::i_pathscale>},
    {"path_orientation", GetField<&CInstance::i_pathorientation>, SetField<&CInstance::i_pathorientation>},
    {"path_endaction", GetIntField<&CInstance::i_pathend>, SetIntField<&CInstance::i_pathend>},
    {"timeline_index", GetIntField<&CInstance::i_timelineindex>, SetIntField<&CInstance::i_timelineindex>},
    {"timeline_position", GetField<&CInstance::i_timelineposition>, SetField<&CInstance::i_timelineposition>},
    {"timeline_speed", GetField<&CInstance::i_timelinespeed>, SetField<&CInstance::i_timelinespeed>},
    {"timeline_running", GetFlag<&CInstance::i_timelinerunning>, SetFlag<&CInstance::i_timelinerunning>},
    {"timeline_loop", GetFlag<&CInstance::i_timelineloop>, SetFlag<&CInstance::i_timelineloop>},
    {"room", GetRoom, SetRoom},
    {"room_first", GetRoomFirst, nullptr},
    {"room_last", GetRoomLast, nullptr},
    {"room_width", GetRoomWidth, nullptr},
    {"room_height", GetRoomHeight, nullptr},
    {"room_speed", GetRoomSpeed, SetRoomSpeed},
    {"room_persistent", GetRoomPersistent, SetRoomPersistent},
    {"room_caption", GetRoomCaption, SetRoomCaption},
    {"instance_count", GetInstanceCount, nullptr},
    {"instance_id", GetInstanceId, nullptr},
    {"score", GetScore, SetScore},
    {"lives", GetLives, SetLives},
    {"health", GetHealth, SetHealth},
    {"fps", GetFps, nullptr},
    {"transition_kind", GetGame<&RGameValues::transition_kind>,
     SetGame<&RGameValues::transition_kind>},
    {"transition_steps", GetGame<&RGameValues::transition_steps>, SetTransitionSteps},
    {"cursor_sprite", GetGame<&RGameValues::cursor_sprite>, SetGame<&RGameValues::cursor_sprite>},
    {"show_score", GetGame<&RGameValues::show_score>, SetShowScore},
    {"show_lives", GetGame<&RGameValues::show_lives>, SetGame<&RGameValues::show_lives>},
    {"show_health", GetGame<&RGameValues::show_health>, SetGame<&RGameValues::show_health>},
    {"caption_score", GetGame<&RGameValues::caption_score>,
     SetGame<&RGameValues::caption_score>},
    {"caption_lives", GetGame<&RGameValues::caption_lives>,
     SetGame<&RGameValues::caption_lives>},
    {"caption_health", GetGame<&RGameValues::caption_health>,
     SetGame<&RGameValues::caption_health>},
    {"game_id", GetGameId, nullptr},
    {"temp_directory", GetTempDirectory, nullptr},
    {"secure_mode", GetSecureMode, nullptr},
    {"debug_mode", GetDebugMode, nullptr},
    {"display_aa", GetDisplayAA, nullptr},
    {"mouse_x", GetMouseX, nullptr},
    {"mouse_y", GetMouseY, nullptr},
    {"mouse_button", GetMember<g_Input, &RInputState::mouse_button>, SetWithin<&RInputState::mouse_button, 1, 3>},
    {"mouse_lastbutton", GetMember<g_Input, &RInputState::mouse_lastbutton>,
     SetWithin<&RInputState::mouse_lastbutton, 1, 3>},
    {"keyboard_key", GetMember<g_Input, &RInputState::keyboard_key>, SetWithin<&RInputState::keyboard_key, 0, 255>},
    {"keyboard_lastkey", GetMember<g_Input, &RInputState::keyboard_lastkey>,
     SetWithin<&RInputState::keyboard_lastkey, 0, 255>},
    {"keyboard_lastchar", GetMember<g_Input, &RInputState::keyboard_lastchar>, SetKeyboardLastChar},
    {"keyboard_string", GetMember<g_Input, &RInputState::keyboard_string>,
     SetMember<g_Input, &RInputState::keyboard_string>},
    {"event_type", GetEventType, nullptr},
    {"event_number", GetEventNumber, nullptr},
    {"event_object", GetEventObject, nullptr},
    {"event_action", GetEventAction, nullptr},
    {"argument_relative", GetArgumentRelative, nullptr},
};

}  // namespace

void Variable_RegisterWorld() {
  Variable_ImplementTable(kWorldVariables);
  Variable_RegisterRoom();
}

}  // namespace tavrin
