// Project files of the game world: objects with their events and actions,
// time lines, paths, triggers and rooms.
#include "Pack_World.h"

#include "world/Object_Class.h"
#include "world/Path_Class.h"
#include "world/Room_Class.h"
#include "world/TimeLine_Class.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

using nlohmann::json;

const char* const kEventTypeNames[kEventTypes] = {"create", "destroy", "alarm",   "step",     "collision",  "keyboard",
                                                  "mouse",  "other",   "draw",    "keypress", "keyrelease", "trigger"};

// The code action the editor makes for a piece of code: what an event given
// as plain code becomes.
CAction CodeAction(const std::string& code) {
  CAction a;
  a.act_libid = 1;
  a.act_id = 603;
  a.act_kind = ACT_CODE;
  a.act_useapplyto = true;
  a.act_exetype = ACT_EXE_CODE;
  a.act_argumentcount = 1;
  a.act_argtype = {1};
  a.act_argstring = {code};
  return a;
}

// Written from the object list itself: time lines, written before the
// objects, refer to objects too.
std::string WhoToJson(const RProject& project, int32_t who) {
  if (who == ACT_APPLY_SELF) return "self";
  if (who == ACT_APPLY_OTHER) return "other";
  return project.data.world.objects.Exists(who) ? project.data.world.objects.Name(who) : std::to_string(who);
}

int32_t WhoFromJson(const RProject& project, const json& j, const std::string& where) {
  if (j.is_number()) return Project_Integer<int32_t>(j, where, "applies_to");
  if (!j.is_string()) throw CProjectError(where + ": field \"applies_to\" is self, other or an object's name");
  const std::string who = j.get<std::string>();
  if (who == "self") return ACT_APPLY_SELF;
  if (who == "other") return ACT_APPLY_OTHER;
  return Project_RequireIndex(project, "objects", who, where);
}

json ActionToJson(const RProject& project, const CAction& a) {
  const CAction d;
  json j = json::object();
  auto put = [&](const char* key, const auto& value, const auto& fallback) {
    if (!(value == fallback)) j[key] = value;
  };
  put("lib", a.act_libid, d.act_libid);
  put("id", a.act_id, d.act_id);
  j["kind"] = a.act_kind;
  put("use_relative", a.act_userelative, d.act_userelative);
  put("question", a.act_isquestion, d.act_isquestion);
  put("use_apply_to", a.act_useapplyto, d.act_useapplyto);
  j["exe"] = a.act_exetype;
  put("function", a.act_functionname, d.act_functionname);
  put("code", a.act_codestring, d.act_codestring);
  put("argument_count", a.act_argumentcount, d.act_argumentcount);
  put("argument_kinds", a.act_argtype, d.act_argtype);
  if (a.act_who != ACT_APPLY_SELF) j["applies_to"] = WhoToJson(project, a.act_who);
  put("relative", a.act_relative, d.act_relative);
  put("arguments", a.act_argstring, d.act_argstring);
  put("not", a.act_isnot, d.act_isnot);
  return j;
}

CAction ActionFromJson(const RProject& project, const json& j, const std::string& where) {
  if (!j.is_object()) throw CProjectError(where + ": an action must be an object");
  CAction a;
  a.act_libid = Project_Get(j, "lib", a.act_libid, where);
  a.act_id = Project_Get(j, "id", a.act_id, where);
  a.act_kind = Project_Get(j, "kind", a.act_kind, where);
  a.act_userelative = Project_Get(j, "use_relative", a.act_userelative, where);
  a.act_isquestion = Project_Get(j, "question", a.act_isquestion, where);
  a.act_useapplyto = Project_Get(j, "use_apply_to", a.act_useapplyto, where);
  a.act_exetype = Project_Get(j, "exe", a.act_exetype, where);
  a.act_functionname = Project_Get(j, "function", a.act_functionname, where);
  a.act_codestring = Project_Get(j, "code", a.act_codestring, where);
  a.act_argumentcount = Project_Get(j, "argument_count", a.act_argumentcount, where);
  a.act_argtype = Project_Get(j, "argument_kinds", a.act_argtype, where);
  if (j.contains("applies_to")) a.act_who = WhoFromJson(project, j["applies_to"], where);
  a.act_relative = Project_Get(j, "relative", a.act_relative, where);
  a.act_argstring = Project_Get(j, "arguments", a.act_argstring, where);
  a.act_isnot = Project_Get(j, "not", a.act_isnot, where);
  if (a.act_argtype.size() > size_t(kMaxActionArguments) || a.act_argstring.size() > size_t(kMaxActionArguments) ||
      a.act_argumentcount < 0 || a.act_argumentcount > kMaxActionArguments)
    throw CProjectError(where + ": an action has at most 8 arguments");
  return a;
}

}  // namespace

// An event is plain code (a string, or {"file": ...}), or a list of actions.
json Pack_EventToJson(const RProject& project, const CEvent& e, const fs::path& codeFile) {
  if (e.e_actions.size() == 1 && e.e_actions[0] == CodeAction(e.e_actions[0].act_argstring.empty()
                                                                     ? std::string()
                                                                     : e.e_actions[0].act_argstring[0])) {
    const std::string& code = e.e_actions[0].act_argstring[0];
    if (code.find('\n') == std::string::npos) return code;
    Project_SaveText(project.dir / codeFile, code);
    return json{{"file", codeFile.generic_string()}};
  }
  json list = json::array();
  for (const CAction& a : e.e_actions) list.push_back(ActionToJson(project, a));
  return list;
}

namespace {

// Code kept in a .tvs file: {"file": ...}, a path inside the project.
std::string CodeFile(const RProject& project, const json& j, const std::string& where, std::string& field) {
  const std::string file = Project_Get<std::string>(j, "file", "", where);
  const std::string text = Project_ReadFile(project, {}, file, where, field + ".file");
  field += " (" + file + ")";
  return text;
}

}  // namespace

std::string Pack_CodeFromJson(const RProject& project, const json& j, const std::string& where, std::string field) {
  std::string text;
  if (j.is_string())
    text = j.get<std::string>();
  else if (j.is_object() && j.contains("file"))
    text = CodeFile(project, j, where, field);
  else
    throw CProjectError(where + ": field \"" + field + "\": code is a string or {\"file\": ...}");
  project.code.push_back({where, field, {}, text, false});
  return text;
}

CEvent Pack_EventFromJson(const RProject& project, const json& j, const std::string& where, std::string field) {
  CEvent e;
  if (j.is_string()) {
    e.e_actions.push_back(CodeAction(j.get<std::string>()));
  } else if (j.is_object() && j.contains("file")) {
    e.e_actions.push_back(CodeAction(CodeFile(project, j, where, field)));
  } else if (j.is_array()) {
    for (const json& a : j) e.e_actions.push_back(ActionFromJson(project, a, where));
  } else {
    throw CProjectError(where + ": field \"" + field + "\": an event is code, {\"file\": ...} or a list of actions");
  }
  project.code.push_back({where, field, e.e_actions, {}, false});
  return e;
}

namespace {

std::string EventKey(const RProject& project, int32_t type, int32_t number) {
  std::string key = kEventTypeNames[type];
  const bool plain = type == 0 || type == 1 || type == 3 || type == 8;
  if (plain && number == 0) return key;
  if (type == 4) return key + ":" + WhoToJson(project, number);
  return key + ":" + std::to_string(number);
}

std::pair<int32_t, int32_t> ParseEventKey(const RProject& project, const std::string& key, const std::string& where) {
  const size_t colon = key.find(':');
  const std::string type = key.substr(0, colon);
  for (int32_t t = 0; t < kEventTypes; ++t) {
    if (type != kEventTypeNames[t]) continue;
    if (colon == std::string::npos) return {t, 0};
    const std::string rest = key.substr(colon + 1);
    if (!rest.empty() && rest.find_first_not_of("0123456789") == std::string::npos) {
      if (rest.size() > 6 || std::stoi(rest) > kMaxEventNumber)
        throw CProjectError(where + ": event number too large in \"" + key + "\" (at most " +
                            std::to_string(kMaxEventNumber) + ")");
      return {t, std::stoi(rest)};
    }
    if (t == 4) return {t, Project_RequireIndex(project, "objects", rest, where)};
    break;
  }
  throw CProjectError(where + ": \"" + key + "\" is not an event (e.g. \"step\", \"alarm:0\", \"collision:obj_wall\")");
}

std::string RefName(const RProject& project, const std::string& kind, int32_t index) {
  const std::vector<std::string>& names = Project_Names(project, kind);
  return index >= 0 && size_t(index) < names.size() ? names[size_t(index)] : std::string();
}

// A reference by name (or, for an index that names nothing, the number).
json RefToJson(const RProject& project, const std::string& kind, int32_t index) {
  if (index < 0) return nullptr;
  const std::string name = RefName(project, kind, index);
  return name.empty() ? json(index) : json(name);
}

int32_t RefFromJson(const RProject& project, const json& j, const char* field, const std::string& kind,
                    const std::string& where) {
  const auto it = j.find(field);
  if (it == j.end() || it->is_null()) return -1;
  if (it->is_number()) return Project_Integer<int32_t>(*it, where, field);
  if (!it->is_string()) throw CProjectError(where + ": \"" + field + "\" must name a resource");
  return Project_RequireIndex(project, kind, it->get<std::string>(), where);
}

// ------------------------------------------------------------------ paths

void ReadPaths(RProject& project) {
  Project_ReadList<CPath>(project, "paths", project.data.world.paths, [&](CPath& p, const json& j, const std::string&, const std::string& where) {
    const std::string kind = Project_Get<std::string>(j, "kind", "straight", where);
    if (kind != "straight" && kind != "smooth") throw CProjectError(where + ": \"kind\" is straight or smooth");
    p.i_kind = kind == "smooth" ? 1 : 0;
    p.i_closed = Project_Get(j, "closed", p.i_closed, where);
    p.i_precision = Project_Get(j, "precision", p.i_precision, where);
    for (const auto& point : Project_Get(j, "points", std::vector<std::vector<double>>{}, where)) {
      if (point.size() < 2 || point.size() > 3) throw CProjectError(where + ": a point is [x, y] or [x, y, speed]");
      p.i_points.push_back({point[0], point[1], point.size() > 2 ? point[2] : 100.0});
    }
  });
}

void WritePaths(RProject& project) {
  Project_WriteList<CPath>(project, "paths", project.data.world.paths, [&](const CPath& p, json& j, const std::string&) {
    j["kind"] = p.i_kind == 1 ? "smooth" : "straight";
    if (p.i_kind != 0 && p.i_kind != 1) j["kind"] = p.i_kind;
    j["closed"] = p.i_closed;
    j["precision"] = p.i_precision;
    json points = json::array();
    for (const RWayPoint& w : p.i_points) points.push_back({w.x, w.y, w.speed});
    j["points"] = points;
  });
}

// ------------------------------------------------------------------ triggers

const char* const kMoments[] = {"step", "begin_step", "end_step"};

void ReadTriggers(RProject& project) {
  Project_ReadList<CTrigger>(project, "triggers", project.data.world.triggers, [&](CTrigger& t, const json& j, const std::string& name, const std::string& where) {
    t.i_name = name;
    t.i_condition = Project_Get<std::string>(j, "condition", "", where);
    t.i_constname = Project_Get<std::string>(j, "constant", "", where);
    project.code.push_back({where, "condition", {}, t.i_condition, true});
    const json moment = j.value("moment", json("begin_step"));
    if (moment.is_number()) {
      t.i_moment = Project_Integer<int32_t>(moment, where, "moment");
    } else {
      t.i_moment = -1;
      for (int32_t m = 0; m < 3; ++m)
        if (moment == kMoments[m]) t.i_moment = m;
      if (t.i_moment < 0) throw CProjectError(where + ": \"moment\" is step, begin_step or end_step");
    }
  });
}

void WriteTriggers(RProject& project) {
  Project_WriteList<CTrigger>(project, "triggers", project.data.world.triggers, [&](const CTrigger& t, json& j, const std::string&) {
    j["condition"] = t.i_condition;
    j["constant"] = t.i_constname;
    j["moment"] = t.i_moment >= 0 && t.i_moment < 3 ? json(kMoments[t.i_moment]) : json(t.i_moment);
  });
}

// ------------------------------------------------------------------ time lines

void ReadTimeLines(RProject& project) {
  Project_ReadList<CTimeLine>(project, "timelines", project.data.world.timeLines, [&](CTimeLine& t, const json& j, const std::string&, const std::string& where) {
    for (const json& m : j.value("moments", json::array())) {
      const int32_t step = Project_Get<int32_t>(m, "step", 0, where);
      if (!t.s_moments.empty() && step <= t.s_moments.back().first)
        throw CProjectError(where + ": moments must be listed by rising step");
      if (!m.contains("actions")) throw CProjectError(where + ": a moment needs \"actions\"");
      t.s_moments.emplace_back(step, Pack_EventFromJson(project, m["actions"], where,
                                                        "moments.step " + std::to_string(step)));
    }
  });
}

void WriteTimeLines(RProject& project) {
  Project_WriteList<CTimeLine>(project, "timelines", project.data.world.timeLines, [&](const CTimeLine& t, json& j, const std::string& name) {
    json moments = json::array();
    for (const auto& [step, event] : t.s_moments)
      moments.push_back({{"step", step},
                         {"actions", Pack_EventToJson(project, event,
                                                      fs::path("timelines") / name / (std::to_string(step) + ".tvs"))}});
    j["moments"] = moments;
  });
}

// ------------------------------------------------------------------ objects

void ReadObjects(RProject& project) {
  Project_ReadList<CObject>(project, "objects", project.data.world.objects, [&](CObject& o, const json& j, const std::string&, const std::string& where) {
    o.o_spriteindex = RefFromJson(project, j, "sprite", "sprites", where);
    o.o_solid = Project_Get(j, "solid", o.o_solid, where);
    o.o_visible = Project_Get(j, "visible", o.o_visible, where);
    o.o_depth = Project_Get(j, "depth", o.o_depth, where);
    o.o_persistent = Project_Get(j, "persistent", o.o_persistent, where);
    o.o_parent = RefFromJson(project, j, "parent", "objects", where);
    o.o_mask = RefFromJson(project, j, "mask", "sprites", where);
    o.o_lasttype = Project_Get(j, "event_types", -1, where) - 1;
    if (o.o_lasttype >= kEventTypes) throw CProjectError(where + ": \"event_types\" is at most 12");
    const json events = j.value("events", json::object());
    if (!events.is_object()) throw CProjectError(where + ": field \"events\" must map event names to events");
    std::map<std::pair<int32_t, int32_t>, std::string> keys;
    for (const auto& [key, value] : events.items()) {
      const auto [type, number] = ParseEventKey(project, key, where);
      // An object has one event of a kind and number; a second would hide the first.
      const auto [seen, added] = keys.emplace(std::pair{type, number}, key);
      if (!added)
        throw CProjectError(where + ": events \"" + seen->second + "\" and \"" + key + "\" are the same event");
      o.AddEvent(type, number) = Pack_EventFromJson(project, value, where, "events." + key);
    }
  });
  if (!Object_ParentsAcyclic(project.data.world.objects)) throw CProjectError("objects: the parents of some objects form a cycle");
}

void WriteObjects(RProject& project) {
  Project_WriteList<CObject>(project, "objects", project.data.world.objects, [&](const CObject& o, json& j, const std::string& name) {
    j["sprite"] = RefToJson(project, "sprites", o.o_spriteindex);
    j["solid"] = o.o_solid;
    j["visible"] = o.o_visible;
    j["depth"] = o.o_depth;
    j["persistent"] = o.o_persistent;
    j["parent"] = RefToJson(project, "objects", o.o_parent);
    j["mask"] = RefToJson(project, "sprites", o.o_mask);
    // The package lists event types up to the last one with events; an
    // object may list more (empty) types, which is kept for the round trip.
    int32_t used = -1;
    for (int32_t t = 0; t < kEventTypes; ++t)
      if (!o.o_events[size_t(t)].empty()) used = t;
    if (o.o_lasttype != used) j["event_types"] = o.o_lasttype + 1;
    json events = json::object();
    for (int32_t t = 0; t <= o.o_lasttype; ++t)
      for (const auto& [number, event] : o.o_events[size_t(t)]) {
        const std::string key = EventKey(project, t, number);
        events[key] = Pack_EventToJson(project, event, fs::path("objects") / name / (key + ".tvs"));
      }
    j["events"] = events;
  });
}

// ------------------------------------------------------------------ rooms

json BlendAlpha(json j, int32_t blend, double alpha) {
  if (blend != 0xFFFFFF) j["blend"] = blend;
  if (alpha != 1) j["alpha"] = alpha;
  return j;
}

void ReadRooms(RProject& project) {
  Project_ReadList<CRoom>(project, "rooms", project.data.world.rooms, [&](CRoom& r, const json& j, const std::string&, const std::string& where) {
    r.r_version = Project_Get(j, "version", r.r_version, where);
    if (r.r_version != 541 && r.r_version != 810 && r.r_version != 811)
      throw CProjectError(where + ": \"version\" is 541, 810 or 811");
    r.r_caption = Project_Get(j, "caption", r.r_caption, where);
    r.r_width = Project_Get(j, "width", r.r_width, where);
    r.r_height = Project_Get(j, "height", r.r_height, where);
    r.r_speed = Project_Get(j, "speed", r.r_speed, where);
    r.r_persistent = Project_Get(j, "persistent", r.r_persistent, where);
    r.r_color = Project_Get(j, "color", r.r_color, where);
    const bool show = Project_Get(j, "show_color", true, where);
    const bool clear = Project_Get(j, "clear_view_background", true, where);
    r.r_flags = (show ? 1 : 0) | (clear ? 0 : 2) | (Project_Get(j, "flags_other", 0, where) & ~3);
    if (j.contains("code")) r.r_code = Pack_CodeFromJson(project, j["code"], where, "code");
    const json backs = j.value("backgrounds", json::array());
    const json views = j.value("views", json::array());
    if (backs.size() > size_t(kRoomLayers) || views.size() > size_t(kRoomLayers))
      throw CProjectError(where + ": a room has at most 8 backgrounds and 8 views");
    r.r_backcount = Project_Get(j, "background_count", int32_t(backs.size()), where);
    r.r_viewcount = Project_Get(j, "view_count", int32_t(views.size()), where);
    if (r.r_backcount < int32_t(backs.size()) || r.r_backcount > kRoomLayers || r.r_viewcount < int32_t(views.size()) ||
        r.r_viewcount > kRoomLayers)
      throw CProjectError(where + ": background and view counts are 0 to 8 and cover the layers listed");
    for (size_t i = 0; i < backs.size(); ++i) {
      const json& b = backs[i];
      CBack& back = r.r_background[i];
      back.visible = Project_Get(b, "visible", back.visible, where);
      back.foreground = Project_Get(b, "foreground", back.foreground, where);
      back.index = RefFromJson(project, b, "background", "backgrounds", where);
      back.x = Project_Get(b, "x", 0, where);
      back.y = Project_Get(b, "y", 0, where);
      back.htiled = Project_Get(b, "htiled", back.htiled, where);
      back.vtiled = Project_Get(b, "vtiled", back.vtiled, where);
      back.hspeed = Project_Get(b, "hspeed", 0, where);
      back.vspeed = Project_Get(b, "vspeed", 0, where);
      back.stretch = Project_Get(b, "stretch", back.stretch, where);
    }
    r.r_enableviews = Project_Get(j, "views_enabled", r.r_enableviews, where);
    for (size_t i = 0; i < views.size(); ++i) {
      const json& v = views[i];
      CView& view = r.r_view[i];
      view.visible = Project_Get(v, "visible", view.visible, where);
      for (auto [key, field] : {std::pair{"xview", &view.xview}, {"yview", &view.yview}, {"wview", &view.wview},
                                {"hview", &view.hview}, {"xport", &view.xport}, {"yport", &view.yport},
                                {"wport", &view.wport}, {"hport", &view.hport}, {"hborder", &view.hborder},
                                {"vborder", &view.vborder}, {"hspeed", &view.hspeed}, {"vspeed", &view.vspeed}})
        *field = Project_Get(v, key, *field, where);
      view.index = RefFromJson(project, v, "follow", "objects", where);
    }
    for (const json& in : j.value("instances", json::array())) {
      RRoomInstance i;
      i.x = Project_Get(in, "x", 0, where);
      i.y = Project_Get(in, "y", 0, where);
      i.object = RefFromJson(project, in, "object", "objects", where);
      i.id = Project_Get(in, "id", kIdToAssign, where);
      if (in.contains("code"))
        i.code = Pack_CodeFromJson(project, in["code"], where,
                                   "instances[" + std::to_string(r.r_instances.size()) + "].code");
      i.xscale = Project_Get(in, "xscale", 1.0, where);
      i.yscale = Project_Get(in, "yscale", 1.0, where);
      i.blend = Project_Get(in, "blend", 0xFFFFFF, where);
      i.alpha = Project_Get(in, "alpha", 1.0, where);
      i.angle = Project_Get(in, "angle", 0.0, where);
      r.r_instances.push_back(i);
    }
    for (const json& tj : j.value("tiles", json::array())) {
      RTile t;
      t.x = Project_Get(tj, "x", 0, where);
      t.y = Project_Get(tj, "y", 0, where);
      t.index = RefFromJson(project, tj, "background", "backgrounds", where);
      t.id = kIdToAssign;
      for (auto [key, field] : {std::pair{"xo", &t.xo}, {"yo", &t.yo}, {"w", &t.w}, {"h", &t.h}, {"id", &t.id}})
        *field = Project_Get(tj, key, *field, where);
      t.depth = Project_Get(tj, "depth", 0, where);
      t.xscale = Project_Get(tj, "xscale", 1.0, where);
      t.yscale = Project_Get(tj, "yscale", 1.0, where);
      t.blend = Project_Get(tj, "blend", 0xFFFFFF, where);
      t.alpha = Project_Get(tj, "alpha", 1.0, where);
      r.r_tiles.push_back(t);
    }
  });
}

}  // namespace

void Pack_AssignRoomIds(RProject& project) {
  int32_t lastInstance = project.data.world.roomLastInstanceId, lastTile = project.data.world.roomLastTileId;
  for (int32_t r = 0; r < project.data.world.rooms.Count(); ++r) {
    if (const CRoom* room = project.data.world.rooms.Get(r)) {
      for (const RRoomInstance& i : room->r_instances) lastInstance = std::max(lastInstance, i.id);
      for (const RTile& t : room->r_tiles) lastTile = std::max(lastTile, t.id);
    }
  }
  for (int32_t r = 0; r < project.data.world.rooms.Count(); ++r) {
    if (CRoom* room = project.data.world.rooms.Get(r)) {
      for (RRoomInstance& i : room->r_instances)
        if (i.id == kIdToAssign) project.data.world.roomLastInstanceId = i.id = ++lastInstance;
      for (RTile& t : room->r_tiles)
        if (t.id == kIdToAssign) project.data.world.roomLastTileId = t.id = ++lastTile;
    }
  }
}

namespace {

void WriteRooms(RProject& project) {
  Project_WriteList<CRoom>(project, "rooms", project.data.world.rooms, [&](const CRoom& r, json& j, const std::string& name) {
    if (r.r_version != 811) j["version"] = r.r_version;
    j["caption"] = r.r_caption;
    j["width"] = r.r_width;
    j["height"] = r.r_height;
    j["speed"] = r.r_speed;
    j["persistent"] = r.r_persistent;
    j["color"] = r.r_color;
    j["show_color"] = r.ShowColor();
    j["clear_view_background"] = r.ClearViewBackground();
    if (r.r_flags & ~3) j["flags_other"] = r.r_flags & ~3;
    if (!r.r_code.empty()) {
      CEvent code;
      code.e_actions.push_back(CodeAction(r.r_code));
      j["code"] = Pack_EventToJson(project, code, fs::path("rooms") / (name + ".tvs"));
    }
    // Layers that are all defaults at the end of the list are left out; the
    // counts keep what the record held.
    json backs = json::array(), views = json::array();
    for (int32_t i = 0; i < r.r_backcount; ++i) {
      const CBack& b = r.r_background[size_t(i)];
      backs.push_back({{"visible", b.visible}, {"foreground", b.foreground},
                       {"background", RefToJson(project, "backgrounds", b.index)}, {"x", int32_t(b.x)},
                       {"y", int32_t(b.y)}, {"htiled", b.htiled}, {"vtiled", b.vtiled}, {"hspeed", int32_t(b.hspeed)},
                       {"vspeed", int32_t(b.vspeed)}, {"stretch", b.stretch}});
    }
    for (int32_t i = 0; i < r.r_viewcount; ++i) {
      const CView& v = r.r_view[size_t(i)];
      views.push_back({{"visible", v.visible}, {"xview", v.xview}, {"yview", v.yview}, {"wview", v.wview},
                       {"hview", v.hview}, {"xport", v.xport}, {"yport", v.yport}, {"wport", v.wport},
                       {"hport", v.hport}, {"hborder", v.hborder}, {"vborder", v.vborder}, {"hspeed", v.hspeed},
                       {"vspeed", v.vspeed}, {"follow", RefToJson(project, "objects", v.index)}});
    }
    j["backgrounds"] = backs;
    j["views_enabled"] = r.r_enableviews;
    j["views"] = views;
    json instances = json::array();
    for (const RRoomInstance& i : r.r_instances) {
      json in = {{"x", i.x}, {"y", i.y}, {"object", RefToJson(project, "objects", i.object)}, {"id", i.id}};
      if (!i.code.empty()) in["code"] = i.code;
      if (i.xscale != 1) in["xscale"] = i.xscale;
      if (i.yscale != 1) in["yscale"] = i.yscale;
      if (i.angle != 0) in["angle"] = i.angle;
      instances.push_back(BlendAlpha(in, i.blend, i.alpha));
    }
    j["instances"] = instances;
    json tiles = json::array();
    for (const RTile& t : r.r_tiles) {
      json tj = {{"x", int32_t(t.x)}, {"y", int32_t(t.y)}, {"background", RefToJson(project, "backgrounds", t.index)},
                 {"xo", t.xo}, {"yo", t.yo}, {"w", t.w}, {"h", t.h}, {"depth", int32_t(t.depth)}, {"id", t.id}};
      if (t.xscale != 1) tj["xscale"] = t.xscale;
      if (t.yscale != 1) tj["yscale"] = t.yscale;
      tiles.push_back(BlendAlpha(tj, t.blend, t.alpha));
    }
    j["tiles"] = tiles;
  });
}

}  // namespace

const RProjectKind kProjectPaths{"paths", ReadPaths, WritePaths};
const RProjectKind kProjectTriggers{"triggers", ReadTriggers, WriteTriggers};
const RProjectKind kProjectTimeLines{"timelines", ReadTimeLines, WriteTimeLines};
const RProjectKind kProjectObjects{"objects", ReadObjects, WriteObjects};
const RProjectKind kProjectRooms{"rooms", ReadRooms, WriteRooms};

}  // namespace tavrin
