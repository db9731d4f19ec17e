// The registry against the tables of built-in names: every function
// at its place with its argument count as the compiler checks it, and every
// constant reading its value in code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Code_Main.h"
#include "script/Script_State.h"

namespace tavrin::test {

namespace {

// The rows of a table of built-in names, without the heading.
std::vector<std::vector<std::string>> ReadTable(const std::string& file) {
  std::ifstream in(std::string(TAVRIN_TESTS_DIR) + "/../src/script/builtins/" + file);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::vector<std::string> cells;
    std::stringstream s(line);
    std::string cell;
    while (std::getline(s, cell, '\t')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

// A call statement with `count` arguments.
std::string Call(const std::string& name, int count) {
  std::string text = name + "(";
  for (int k = 0; k < count; ++k) text += k ? ", 0" : "0";
  return text + ")";
}

// Compiles without running; the error text when it fails.
bool Compiles(const std::string& text, std::string& error) {
  Error_ClearPending();
  CCodeRef code = Code_Create(text, false);
  const bool ok = code->Compile();
  error = ok ? "" : g_ScriptState.errorText;
  Error_ClearPending();
  return ok;
}

}  // namespace

TEST(Registry, EveryFunctionAtItsPlaceWithItsArgumentCount) {
  Script_InitEngine();
  const auto rows = ReadTable("functions.tsv");
  ASSERT_EQ(rows.size(), 1281u);
  // Tests in the same process may have registered functions of their own
  // after the table; the table's functions come first, at their ids.
  ASSERT_GE(g_Functions.size(), rows.size());
  for (size_t id = 0; id < rows.size(); ++id) {
    const std::string& name = rows[id][0];
    const int count = std::atoi(rows[id][1].c_str());
    SCOPED_TRACE(name);
    EXPECT_EQ(Function_Find(name), static_cast<int32_t>(id));
    EXPECT_EQ(Function_ArgCount(static_cast<int32_t>(id)), count);
    std::string error;
    if (count >= 0) {
      EXPECT_TRUE(Compiles(Call(name, count), error)) << error;
      const std::string extra = Call(name, count + 1);
      EXPECT_FALSE(Compiles(extra, error));
      EXPECT_NE(error.find("at position " + std::to_string(extra.size()) +
                           ": Wrong number of arguments to function or script."),
                std::string::npos)
          << error;
    } else {
      EXPECT_TRUE(Compiles(Call(name, 0), error)) << error;
      EXPECT_TRUE(Compiles(Call(name, 16), error)) << error;
      EXPECT_FALSE(Compiles(Call(name, 17), error));
    }
  }
}

TEST(Registry, EveryConstantReadsItsValue) {
  Script_InitEngine();
  const auto rows = ReadTable("constants.tsv");
  ASSERT_EQ(rows.size(), 331u);
  CInstanceBase self;
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    const double expected = std::strtod(row[1].c_str(), nullptr);
    CCodeRef code = Code_Create(row[0], true);
    ASSERT_TRUE(code->Compile()) << g_ScriptState.errorText;
    RValue value;
    ASSERT_TRUE(Code_ExecuteValue(&self, &self, code.get(), value)) << g_ScriptState.errorText;
    EXPECT_EQ(value.kind, VALUE_REAL);
    EXPECT_EQ(value.val, expected);
  }
}

}  // namespace tavrin::test
