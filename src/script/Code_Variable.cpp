#include "script/Code_Variable.h"

#include <unordered_map>
#include <vector>

#include "script/Code_Phase.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {
std::vector<std::string> g_UserNames;
std::unordered_map<std::string, int32_t> g_UserIndex;
}  // namespace

// Set while a compilation resolves names, to note the script arguments used.
RArgTracking* g_ArgTracking = nullptr;

int32_t Variable_Find(std::string_view name) {
  int32_t b = Variable_BuiltinFind(name);
  if (b >= 0) {
    if (g_ArgTracking) {
      if (name == "argument") {
        g_ArgTracking->array = true;
      } else if (name.size() > 8 && name.substr(0, 8) == "argument") {
        std::string_view digits = name.substr(8);
        int32_t k = 0;
        // argument0 .. argument15; other names such as argument_relative are no slot.
        bool ok = !digits.empty() && digits.size() <= 2;
        for (size_t i = 0; ok && i < digits.size(); ++i) {
          ok = digits[i] >= '0' && digits[i] <= '9';
          k = k * 10 + (digits[i] - '0');
        }
        if (ok && k <= 15 && k > g_ArgTracking->highest) g_ArgTracking->highest = k;
      }
    }
    return b;
  }
  std::string key(name);
  auto it = g_UserIndex.find(key);
  if (it != g_UserIndex.end()) return kUserVariableBase + it->second;
  int32_t k = static_cast<int32_t>(g_UserNames.size());
  g_UserNames.push_back(key);
  g_UserIndex.emplace(std::move(key), k);
  return kUserVariableBase + k;
}

std::string Variable_Name(int32_t index) {
  if (index < kUserVariableBase) return Variable_BuiltinName(index);
  size_t k = static_cast<size_t>(index - kUserVariableBase);
  if (k >= g_UserNames.size()) return "<unknown variable>";
  return g_UserNames[k];
}

}  // namespace tavrin
