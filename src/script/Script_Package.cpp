#include "script/Script_Package.h"

#include "package/Package_Sections.h"
#include "script/Script_Class.h"

namespace tavrin {

std::vector<std::pair<std::string, std::string>> g_UserConstants;

namespace {
constexpr int32_t kScriptVersion = 800;
}

bool Script_LoadAll(CStream& content) {
  Script_Clear();
  return Section_ReadStandard(
      content, kSectionVersion, [](int32_t) {},
      [](CStream& item, int32_t index, const std::string& name) {
        if (item.ReadInteger() != kScriptVersion) return false;
        const std::string text = item.ReadString();
        while (Script_Count() < index) Script_AddEmpty();  // the empty slots before it
        Script_Add(name, text);
        return true;
      });
}

void Script_SaveAll(CStream& content) {
  Section_WriteStandard(
      content, kSectionVersion, Script_Count(),
      [](int32_t i) -> const std::string* {
        static std::string name;
        if (!Script_Exists(i)) return nullptr;
        name = Script_Name(i);
        return &name;
      },
      [](CStream& item, int32_t i) {
        item.WriteInteger(kScriptVersion);
        item.WriteString(Script_Get(i)->s_text);
      });
}

bool Constant_LoadUser(CStream& content) {
  g_UserConstants.clear();
  if (content.ReadInteger() != kSectionVersion) return false;
  const int32_t count = content.ReadInteger();
  if (!content.CountFits(count, 8)) return false;
  for (int32_t i = 0; i < count; ++i) {
    std::string name = content.ReadString();
    g_UserConstants.emplace_back(std::move(name), content.ReadString());
  }
  return true;
}

void Constant_SaveUser(CStream& content) {
  content.WriteInteger(kSectionVersion);
  content.WriteInteger(int32_t(g_UserConstants.size()));
  for (const auto& [name, value] : g_UserConstants) {
    content.WriteString(name);
    content.WriteString(value);
  }
}

}  // namespace tavrin
