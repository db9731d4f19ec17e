// Time lines (moments, each a step with an action list) and triggers (named
// conditions checked every step), in their package form.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"
#include "world/Object_Class.h"

namespace tavrin {

class CTimeLine {
 public:
  std::vector<std::pair<int32_t, CEvent>> s_moments;  // (step, actions), steps rising

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};

class CTrigger {
 public:
  std::string i_name;
  std::string i_condition;  // script code
  std::string i_constname;  // a name the script language resolves to the trigger's index
  int32_t i_moment = 1;     // 0 step, 1 begin step, 2 end step

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};

// The trigger section.
bool Trigger_LoadAll(CStream& content, CResourceList<CTrigger>& triggers);
void Trigger_SaveAll(CStream& content, const CResourceList<CTrigger>& triggers);

}  // namespace tavrin
