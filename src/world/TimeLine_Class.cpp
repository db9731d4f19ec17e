#include "world/TimeLine_Class.h"

#include "package/Package_Sections.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {
constexpr int32_t kTimeLineVersion = 500, kTriggerVersion = 800;
}

bool CTimeLine::LoadFromStream(CStream& s) {
  s_moments.clear();
  if (s.ReadInteger() != kTimeLineVersion) return false;
  const int32_t count = s.ReadInteger();
  if (!s.CountFits(count, 12)) return false;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t step = s.ReadInteger();
    // Moments are kept in rising order: the step advances through them.
    if (!s_moments.empty() && step <= s_moments.back().first) return false;
    s_moments.emplace_back(step, CEvent{});
    if (!s_moments.back().second.LoadFromStream(s)) return false;
  }
  return true;
}

void CTimeLine::SaveToStream(CStream& s) const {
  s.WriteInteger(kTimeLineVersion);
  s.WriteInteger(int32_t(s_moments.size()));
  for (const auto& [step, event] : s_moments) {
    s.WriteInteger(step);
    event.SaveToStream(s);
  }
}

bool CTrigger::LoadFromStream(CStream& s) {
  *this = CTrigger{};
  if (s.ReadInteger() != kTriggerVersion) return false;
  i_name = s.ReadString();
  i_condition = s.ReadString();
  i_moment = s.ReadInteger();
  i_constname = s.ReadString();
  return true;
}

void CTrigger::SaveToStream(CStream& s) const {
  s.WriteInteger(kTriggerVersion);
  s.WriteString(i_name);
  s.WriteString(i_condition);
  s.WriteInteger(i_moment);
  s.WriteString(i_constname);
}

// The trigger section carries no names of its own: each record holds its
// trigger's name.
bool Trigger_LoadAll(CStream& content, CResourceList<CTrigger>& triggers) {
  triggers.Clear();
  if (content.ReadInteger() != kSectionVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 4)) return false;
  triggers.Resize(count);
  for (int32_t i = 0; i < count; ++i) {
    CStream item = content.ReadStreamC();
    if (!item.ReadBoolean()) continue;
    auto trigger = std::make_unique<CTrigger>();
    if (!trigger->LoadFromStream(item)) return false;
    std::string name = trigger->i_name;
    triggers.Set(i, std::move(trigger), std::move(name));
  }
  return true;
}

void Trigger_SaveAll(CStream& content, const CResourceList<CTrigger>& triggers) {
  content.WriteInteger(kSectionVersion);
  content.WriteInteger(triggers.Count());
  for (int32_t i = 0; i < triggers.Count(); ++i) {
    CStream item;
    const CTrigger* t = triggers.Get(i);
    item.WriteBoolean(t != nullptr);
    if (t) t->SaveToStream(item);
    content.WriteStreamC(item);
  }
}

}  // namespace tavrin
