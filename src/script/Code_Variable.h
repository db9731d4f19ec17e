// The table of user variable names. A name gets its index the first time it is
// looked up and keeps it for the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

constexpr int32_t kUserVariableBase = 100000;

// The index of a variable name: a built-in variable's index, else 100000 plus
// the position of the user name, which is entered when new.
int32_t Variable_Find(std::string_view name);
// The name of a variable index, "<unknown variable>" when there is none.
std::string Variable_Name(int32_t index);

}  // namespace tavrin
