#include "script/Script_Package.h"

#include "package/Package_Sections.h"
#include "script/Script_Class.h"

namespace tavrin {


namespace {
constexpr int32_t kScriptVersion = 800;
}

bool Script_LoadAll(CStream& content, CScriptTable& scripts) {
  scripts = CScriptTable();
  return Section_ReadStandard(
      content, kSectionVersion, [](int32_t) {},
      [&](CStream& item, int32_t index, const std::string& name) {
        if (item.ReadInteger() != kScriptVersion) return false;
        const std::string text = item.ReadString();
        while (scripts.Count() < index) scripts.AddEmpty();  // the empty slots before it
        scripts.Add(name, text);
        return true;
      });
}

void Script_SaveAll(CStream& content, const CScriptTable& scripts) {
  Section_WriteStandard(
      content, kSectionVersion, scripts.Count(),
      [&](int32_t i) -> const std::string* {
        static std::string name;
        if (!scripts.Exists(i)) return nullptr;
        name = scripts.Name(i);
        return &name;
      },
      [&](CStream& item, int32_t i) {
        item.WriteInteger(kScriptVersion);
        item.WriteString(scripts.Get(i)->s_text);
      });
}

bool Constant_LoadUser(CStream& content, std::vector<std::pair<std::string, std::string>>& constants) {
  constants.clear();
  if (content.ReadInteger() != kSectionVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 8)) return false;
  for (int32_t i = 0; i < count; ++i) {
    std::string name = content.ReadString();
    constants.emplace_back(std::move(name), content.ReadString());
  }
  return true;
}

void Constant_SaveUser(CStream& content, const std::vector<std::pair<std::string, std::string>>& constants) {
  content.WriteInteger(kSectionVersion);
  content.WriteInteger(int32_t(constants.size()));
  for (const auto& [name, value] : constants) {
    content.WriteString(name);
    content.WriteString(value);
  }
}

}  // namespace tavrin
