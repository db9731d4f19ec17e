#include "world/Object_Class.h"

#include <algorithm>

#include "package/Package_Sections.h"
#include "script/Script_Host.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

constexpr int32_t kObjectVersion = 430, kEventVersion = 400, kActionVersion = 440;
constexpr int32_t kLibraryInitVersion = 500;

}  // namespace

// ------------------------------------------------------------------ actions

CAction CAction::CreateCode(std::string code) {
  CAction a;
  a.act_kind = ACT_CODE;
  a.act_exetype = ACT_EXE_CODE;
  a.act_argstring = {std::move(code)};
  return a;
}

bool CAction::LoadFromStream(CStream& s) {
  *this = CAction{};
  if (s.ReadInteger() != kActionVersion) return false;
  act_libid = s.ReadInteger();
  act_id = s.ReadInteger();
  act_kind = s.ReadInteger();
  act_userelative = s.ReadBoolean();
  act_isquestion = s.ReadBoolean();
  act_useapplyto = s.ReadBoolean();
  act_exetype = s.ReadInteger();
  act_functionname = s.ReadString();
  act_codestring = s.ReadString();
  act_argumentcount = s.ReadInteger();
  const int32_t kinds = s.ReadInteger();
  if (kinds < 0 || kinds > kMaxActionArguments || act_argumentcount < 0 || act_argumentcount > kMaxActionArguments)
    return false;
  for (int32_t i = 0; i < kinds; ++i) act_argtype.push_back(s.ReadInteger());
  act_who = s.ReadInteger();
  act_relative = s.ReadBoolean();
  const int32_t texts = s.ReadInteger();
  if (texts < 0 || texts > kMaxActionArguments) return false;
  for (int32_t i = 0; i < texts; ++i) act_argstring.push_back(s.ReadString());
  act_isnot = s.ReadBoolean();
  return true;
}

void CAction::SaveToStream(CStream& s) const {
  s.WriteInteger(kActionVersion);
  s.WriteInteger(act_libid);
  s.WriteInteger(act_id);
  s.WriteInteger(act_kind);
  s.WriteBoolean(act_userelative);
  s.WriteBoolean(act_isquestion);
  s.WriteBoolean(act_useapplyto);
  s.WriteInteger(act_exetype);
  s.WriteString(act_functionname);
  s.WriteString(act_codestring);
  s.WriteInteger(act_argumentcount);
  s.WriteInteger(int32_t(act_argtype.size()));
  for (int32_t t : act_argtype) s.WriteInteger(t);
  s.WriteInteger(act_who);
  s.WriteBoolean(act_relative);
  s.WriteInteger(int32_t(act_argstring.size()));
  for (const std::string& a : act_argstring) s.WriteString(a);
  s.WriteBoolean(act_isnot);
}

// ------------------------------------------------------------------ events

bool CEvent::LoadFromStream(CStream& s) {
  e_actions.clear();
  if (s.ReadInteger() != kEventVersion) return false;
  const int32_t count = s.ReadInteger();
  if (!s.CountFits(count, 4)) return false;
  e_actions.resize(size_t(count));
  for (CAction& a : e_actions)
    if (!a.LoadFromStream(s)) return false;
  return true;
}

void CEvent::SaveToStream(CStream& s) const {
  s.WriteInteger(kEventVersion);
  s.WriteInteger(int32_t(e_actions.size()));
  for (const CAction& a : e_actions) a.SaveToStream(s);
}

// ------------------------------------------------------------------ objects

const CEvent* CObject::Event(int32_t type, int32_t number) const {
  if (type < 0 || type >= kEventTypes) return nullptr;
  const auto& list = o_events[size_t(type)];
  const auto it = std::lower_bound(list.begin(), list.end(), number,
                                   [](const auto& entry, int32_t n) { return entry.first < n; });
  return it != list.end() && it->first == number ? &it->second : nullptr;
}

bool CObject::HasEventDirect(int32_t type) const {
  if (type < 0 || type >= kEventTypes) return false;
  for (const auto& [number, event] : o_events[size_t(type)])
    if (event.Exists()) return true;
  return false;
}

CEvent& CObject::AddEvent(int32_t type, int32_t number) {
  auto& list = o_events[size_t(type)];
  auto it = std::lower_bound(list.begin(), list.end(), number,
                             [](const auto& entry, int32_t n) { return entry.first < n; });
  if (it == list.end() || it->first != number) it = list.insert(it, {number, CEvent{}});
  o_lasttype = std::max(o_lasttype, type);
  return it->second;
}

bool CObject::LoadFromStream(CStream& s) {
  *this = CObject{};
  if (s.ReadInteger() != kObjectVersion) return false;
  o_spriteindex = s.ReadInteger();
  o_solid = s.ReadBoolean();
  o_visible = s.ReadBoolean();
  o_depth = s.ReadInteger();
  o_persistent = s.ReadBoolean();
  o_parent = s.ReadInteger();
  o_mask = s.ReadInteger();
  o_lasttype = s.ReadInteger();
  if (o_lasttype >= kEventTypes) return false;
  if (o_lasttype < 0) o_lasttype = -1;
  for (int32_t type = 0; type <= o_lasttype; ++type) {
    auto& list = o_events[size_t(type)];
    for (;;) {
      const int32_t number = s.ReadInteger();
      if (number < 0) break;
      // Numbers must rise: the list stays sorted for lookups, and a
      // repeated number would silently hide an event.
      if (number > kMaxEventNumber || (!list.empty() && number <= list.back().first)) return false;
      list.emplace_back(number, CEvent{});
      if (!list.back().second.LoadFromStream(s)) return false;
    }
  }
  return true;
}

void CObject::SaveToStream(CStream& s) const {
  s.WriteInteger(kObjectVersion);
  s.WriteInteger(o_spriteindex);
  s.WriteBoolean(o_solid);
  s.WriteBoolean(o_visible);
  s.WriteInteger(o_depth);
  s.WriteBoolean(o_persistent);
  s.WriteInteger(o_parent);
  s.WriteInteger(o_mask);
  s.WriteInteger(o_lasttype);
  for (int32_t type = 0; type <= o_lasttype; ++type) {
    for (const auto& [number, event] : o_events[size_t(type)]) {
      s.WriteInteger(number);
      event.SaveToStream(s);
    }
    s.WriteInteger(-1);
  }
}

bool Object_ParentsAcyclic(const CResourceList<CObject>& objects) {
  const int32_t count = objects.Count();
  for (int32_t start = 0; start < count; ++start) {
    int32_t at = start, steps = 0;
    while (const CObject* o = objects.Get(at)) {
      at = o->o_parent;
      if (++steps > count) return false;
    }
  }
  return true;
}

bool Object_IsOrDescends(int32_t obj, int32_t ancestor) {
  for (int32_t o = obj; const CObject* object = g_WorldData.objects.Get(o); o = object->o_parent)
    if (o == ancestor) return true;
  return false;
}

bool Object_LoadAll(CStream& content, CResourceList<CObject>& objects) {
  return Section_ReadList(content, objects) && Object_ParentsAcyclic(objects);
}

// ------------------------------------------------------------------ library initialisation code

bool LibraryInit_Load(CStream& content, std::vector<std::string>& code) {
  code.clear();
  if (content.ReadInteger() != kLibraryInitVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 4)) return false;
  for (int32_t i = 0; i < count; ++i) code.push_back(content.ReadString());
  return true;
}

void LibraryInit_Save(CStream& content, const std::vector<std::string>& code) {
  content.WriteInteger(kLibraryInitVersion);
  content.WriteInteger(int32_t(code.size()));
  for (const std::string& text : code) content.WriteString(text);
}

}  // namespace tavrin
