// The register machine's compiler: the constructs games run every step
// compile to the machine's own instructions, not to hand-offs to the tree
// walker (which would be correct but slow). What the machine does at run time
// is held to the tree's behaviour by the language cases, run under both.
#include <gtest/gtest.h>

#include <string>

#include "script/Code_Main.h"
#include "script/Code_Program.h"
#include "script/Code_Builtins.h"
#include "script/Code_Constant.h"
#include "script/Code_Function.h"
#include "script/Code_Variable.h"
#include "script/Variable_Main.h"

namespace tavrin::test {
namespace {

std::string Listing(const std::string& text) {
  Function_RegisterAll();
  Variable_RegisterBuiltins();
  Constant_RegisterBuiltins();
  CCodeRef code = Code_Create(text, false);
  EXPECT_TRUE(code->Compile()) << text;
  return code->i_program ? Program_Listing(*code->i_program) : std::string("(left to the tree walker)");
}

TEST(Machine, EverydayCodeCompilesToMachineInstructions) {
  struct Case {
    const char* code;
    const char* expected;  // an instruction the listing must hold
  };
  const Case cases[] = {
      {"var i, s; s = 0; for (i = 0; i < 10; i += 1) s += i * 2 - i / 4", "FOR_STEP"},
      {"var i; for (i = 0; i < 10; i += 1) a[i] = i", "SET_ELEM"},
      {"var s; s = grid[2, 3] + 1", "GET_ELEM"},
      {"hp += 1; energy = hp * 2; total += energy - hp", "ADD_SELF"},
      {"if (argument0 < 2) return argument0; return argument0 - 1", "UNLESS_LT_K"},
      {"repeat (3) { total += global.bonus }", "REPEAT_NEXT"},
      {"while (a < b) { a = a + 1 }", "UNLESS_LT "},
      {"do { a -= 1 } until (a <= 0)", "UNLESS_LE_K"},
      {"show_debug_message(string(x))", "CALL_STMT"},
      {"var k, t; k = 2; t = k * 3; t += k", "ASSIGN_REG"},  // locals in registers
      {"var k; k = 2; q[k] = k", "INDEX_REG"},
  };
  for (const Case& c : cases) {
    const std::string listing = Listing(c.code);
    EXPECT_NE(listing.find(c.expected), std::string::npos) << c.code << "\n" << listing;
    EXPECT_EQ(listing.find("_TREE"), std::string::npos) << c.code << "\n" << listing;
  }
}

// Code the tree walker shares locals with, or that keeps an array in a local,
// keeps its locals where the tree walker finds them.
TEST(Machine, LocalsStayInTheirListWhenTheTreeCanReachThem) {
  for (const char* text : {"var k; k = 1; with (all) x = k", "var a, k; k = 1; a[k] = 2"}) {
    const std::string listing = Listing(text);
    EXPECT_NE(listing.find("SET_LOCAL"), std::string::npos) << text << "\n" << listing;
    EXPECT_EQ(listing.find("_REG"), std::string::npos) << text << "\n" << listing;
  }
}

TEST(Machine, ConstructsItLeavesToTheTreeAreHandedOver) {
  for (const char* text : {"with (all) x = 1", "switch (x) { case 1: y = 2; break }", "o = self; o.k = 3",
                           "globalvar g; g = 1"}) {
    const std::string listing = Listing(text);
    EXPECT_NE(listing.find("EXEC_TREE"), std::string::npos) << text << "\n" << listing;
  }
}

}  // namespace
}  // namespace tavrin::test
