// The engine's parts used directly: the integer rule, the registry, user
// constants, code freed while it runs, instance lookup, expression error
// texts and the error log.
#include <gtest/gtest.h>

#include "platform/Platform_File.h"
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "Conformance.h"
#include "package/Option_Main.h"
#include "package/Support_Stream.h"
#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Script_Host.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Code_Main.h"
#include "script/Code_Variable.h"
#include "script/Script_Class.h"
#include "script/Variable_Main.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"

namespace tavrin::test {

namespace {

// Keeps the message boxes, and serves a fixed list of instances to loops.
class CTestHost : public CHost {
 public:
  std::vector<std::string> boxes;
  std::vector<CInstanceBase*> instances;
  void MessageBox(std::string_view text) override { boxes.emplace_back(text); }
  int32_t InstanceCount() override { return int32_t(instances.size()); }
  CInstanceBase* InstanceAt(int32_t pos) override { return pos < InstanceCount() ? instances[size_t(pos)] : nullptr; }
};
CTestHost g_TestHost;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Script_InitEngine();
    g_ScriptState.Reset();
    g_ScriptData.Clear();
    g_TestHost = CTestHost();
    Host_Install(&g_TestHost);
  }
  void TearDown() override {
    Host_Install(nullptr);
    g_PackageData.settings = RGameSettings();
  }
};

}  // namespace

TEST(IntegerRule, RoundsTiesToEvenAndSaturates) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double in;
    int64_t out;
  } cases[] = {
      {2.5, 2},         {3.5, 4},          {-2.5, -2},       {0.49999999999999994, 0},
      {std::nan(""), 0}, {inf, INT64_MAX},  {-inf, INT64_MIN}, {1e19, INT64_MAX},
      {-1e19, INT64_MIN}, {9223372036854774784.0, 9223372036854774784LL},
  };
  for (const auto& c : cases) EXPECT_EQ(Real_ToInt64(c.in), c.out) << c.in;
  EXPECT_EQ(Real_ToInt32(1e12), INT32_MAX);
  EXPECT_EQ(Real_ToInt32(-1e12), INT32_MIN);
  EXPECT_EQ(Real_TruncToInt64(-2.7), -2);
  EXPECT_EQ(Real_TruncToInt64(inf), INT64_MAX);
}

TEST_F(EngineTest, RegistryKeepsTheLanguageOrder) {
  EXPECT_EQ(Function_Find("display_get_width"), 0);
  EXPECT_EQ(Function_ArgCount(Function_Find("draw_sprite_general")), 16);
  EXPECT_EQ(Function_ArgCount(Function_Find("choose")), -1);
  EXPECT_EQ(Function_ArgCount(kScriptIdBase + 3), -1);
  EXPECT_EQ(Function_ArgCount(static_cast<int32_t>(g_Functions.size())), -100);
  EXPECT_EQ(Function_Find("Random"), -1);
  EXPECT_EQ(Variable_BuiltinFind("x"), 0);
  EXPECT_EQ(g_BuiltinVars.size(), 164u);
  EXPECT_EQ(Variable_BuiltinName(9999), "<unknown built-in variable>");
}

TEST_F(EngineTest, TheFiveHundredAndFirstBuiltinVariableIsRefused) {
  while (g_BuiltinVars.size() < 500) Variable_BuiltinRegister("filler", nullptr, nullptr, false);
  EXPECT_EQ(Variable_BuiltinRegister("one_too_many", nullptr, nullptr, false), 0);
  ASSERT_EQ(g_TestHost.boxes.size(), 1u);
  EXPECT_EQ(g_TestHost.boxes[0], "INTERNAL ERROR: Adding too many variables");
  EXPECT_EQ(g_BuiltinVars.size(), 500u);
}

TEST_F(EngineTest, UserConstants) {
  Constant_ResetUser();
  EXPECT_TRUE(Constant_DefineUser({{" c_more ", "c_blue + 1"}, {"word", "\"abc\""}, {"c_red", "0"}}));
  RValue v;
  ASSERT_TRUE(Constant_Find("c_more", v));
  EXPECT_EQ(v.val, 16711681.0);
  ASSERT_TRUE(Constant_Find("word", v));
  EXPECT_EQ(v.str.view(), "abc");
  ASSERT_TRUE(Constant_Find("c_red", v));
  EXPECT_EQ(v.val, 0.0);  // a game's constant hides the built-in one

  EXPECT_FALSE(Constant_DefineUser({{"early", "later + 1"}, {"later", "1"}}));
  EXPECT_FALSE(Constant_DefineUser({{"1abc", "1"}}));
  ASSERT_EQ(g_TestHost.boxes.size(), 2u);
  EXPECT_EQ(g_TestHost.boxes[0], "Value for constant early  is not valid.");
  EXPECT_EQ(g_TestHost.boxes[1], "Constant name 1abc  is not valid.");

  g_PackageData.settings.opt_uninitzero = true;  // the later name now reads as an unset variable
  EXPECT_TRUE(Constant_DefineUser({{"early2", "later2 + 1"}}));
  Constant_ResetUser();
}

namespace {
void F_ClearScripts(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*) { g_ScriptData.Clear(); }
void F_ReplaceCode(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*);
CCodeRef g_Holder;
void F_ReplaceCode(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*) { g_Holder = CCodeRef(); }
}  // namespace

TEST_F(EngineTest, CodeStaysAliveWhileItRuns) {
  Function_Register("test_clear_scripts", F_ClearScripts, 0);
  Function_Register("test_drop_code", F_ReplaceCode, 0);
  // A script that deletes every script, itself included, and runs on.
  const std::string body =
      "test_clear_scripts(); q = argument0 * 2; show_debug_message(\"still here\"); show_debug_message(q); return q + nothing";
  CodeResult r = RunCode("show_debug_message(s(5))\n#define s\n" + body, SET_INPROCESS);
  EXPECT_EQ(r.out, "still here\n10\n");
  EXPECT_EQ(r.err, ActionError("In script <undefined>:\n" + CodeError(1, body, 110, "Unknown variable nothing")));
  EXPECT_EQ(r.status, 0);

  // A call to a script deleted since the code was compiled.
  CodeResult gone = RunCode("test_clear_scripts(); s()\n#define s\nq = 1", SET_INPROCESS);
  EXPECT_EQ(gone.err, ActionError(CodeError(1, "test_clear_scripts(); s()", 23, "Trying to execute non-existing script.")));

  // Code whose only owner lets go of it while it runs.
  g_Holder = Code_Create("test_drop_code(); a = 1; b = a + 1; return b * 3", false);
  ASSERT_TRUE(g_Holder->Compile());
  CInstanceBase inst;
  RValue result;
  CCode* code = g_Holder.get();
  EXPECT_TRUE(Code_Execute(&inst, &inst, code, result));
  EXPECT_EQ(result.val, 6.0);
  EXPECT_FALSE(g_Holder);
}

namespace {
// A room where an instance changed into another object left a marked husk
// with the same id in front of the live instance.
CInstanceBase g_Husk, g_Live;
}  // namespace

TEST_F(EngineTest, LookupsByIdSkipTheMarkedInstance) {
  g_Husk = CInstanceBase();
  g_Live = CInstanceBase();
  g_Husk.i_id = g_Live.i_id = 100007;
  g_Husk.i_marked = true;
  g_TestHost.instances = {&g_Husk, &g_Live};
  CInstanceBase self;
  CCodeRef code = Code_Create(
      "(100007).v = 1; with (100007) w = 2; (100007).v += 10; r = (100007).v; with (all) n = 3", false);
  ASSERT_TRUE(code->Compile());
  RValue result;
  ASSERT_TRUE(Code_Execute(&self, &self, code.get(), result)) << g_ScriptState.errorText;
  RValue v;
  EXPECT_FALSE(g_Husk.i_vars.GetVar(Variable_Find("v"), 0, v));
  EXPECT_FALSE(g_Husk.i_vars.GetVar(Variable_Find("w"), 0, v));
  EXPECT_FALSE(g_Husk.i_vars.GetVar(Variable_Find("n"), 0, v));
  ASSERT_TRUE(g_Live.i_vars.GetVar(Variable_Find("v"), 0, v));
  EXPECT_EQ(v.val, 11.0);
  ASSERT_TRUE(g_Live.i_vars.GetVar(Variable_Find("w"), 0, v));
  ASSERT_TRUE(self.i_vars.GetVar(Variable_Find("r"), 0, v));
  EXPECT_EQ(v.val, 11.0);
}

TEST_F(EngineTest, ExpressionErrorsQuoteTheWholeExpression) {
  CCodeRef code = Code_Create("1 +\n\"a\"", true);
  EXPECT_FALSE(code->Compile());
  // After a bare LF the new line starts at column 0.
  EXPECT_EQ(g_ScriptState.errorText, "Error in expression:1 +\n\"a\"\r position 1: Wrong type of arguments to +.");

  CCodeRef constant = Code_Create("2 * 3", true);
  ASSERT_TRUE(constant->Compile());
  EXPECT_EQ(constant->i_kind, CODE_CONSTANT);
  EXPECT_EQ(constant->i_value.val, 6.0);

  CCodeRef empty = Code_Create("", true);
  ASSERT_TRUE(empty->Compile());
  EXPECT_EQ(empty->i_value.val, 0.0);
  EXPECT_FALSE(empty->Compile());
  EXPECT_EQ(g_ScriptState.errorText.substr(g_ScriptState.errorText.find(": ") + 2), "Internal Error: Recompiling compiled code.");
}

TEST_F(EngineTest, ArgumentUseIsTracked) {
  const struct {
    const char* text;
    int32_t args;
    bool array;
  } cases[] = {{"q = argument2", 3, false}, {"q = argument[1]", 0, true}, {"q = argument[1] + argument2", 3, true},
               {"q = 1", 0, false}};
  for (const auto& c : cases) {
    CCodeRef code = Code_Create(c.text, false);
    ASSERT_TRUE(code->Compile()) << c.text;
    EXPECT_EQ(code->i_Args, c.args) << c.text;
    EXPECT_EQ(code->i_ArgArray, c.array) << c.text;
  }
}

// The log lies beside the game whatever the working folder, and holds the
// messages in UTF-8 as they are.
TEST_F(EngineTest, ErrorLogHoldsEveryReportOfTheRun) {
  const auto dir = std::filesystem::temp_directory_path() / ("tavrin_log_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "elsewhere");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir / "elsewhere");
  const std::string programFolder = File_ProgramFolder();
  File_SetProgramFolder(dir.string());
  std::ofstream(dir / "game_errors.log") << "old run\r\n";
  g_PackageData.settings.opt_logerrors = true;
  g_PackageData.settings.opt_showerrors = false;
  Error_Report("first", false);
  Error_Report("zweite Zeile: Größe\rline", false);
  std::ifstream in(dir / "game_errors.log", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "first\r\n\r\n\r\nzweite Zeile: Gr\xC3\xB6\xC3\x9F" "e\rline\r\n\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere" / "game_errors.log"));
  File_SetProgramFolder(programFolder);
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(dir);
}

}  // namespace tavrin::test

namespace tavrin::test {

TEST_F(EngineTest, VariableListRecords) {
  CVariableList list;
  list.SetVar(100003, 0, RValue::Real(2.5));
  list.SetVar(100001, 0, RValue::String("text"));
  list.SetVar(100001, 2 * 32000 + 4, RValue::Real(9));
  CStream stream;
  list.SaveToStream(stream);

  CVariableList copy;
  copy.SetVar(100099, 0, RValue::Real(1));
  stream.Seek(0);
  ASSERT_TRUE(copy.LoadFromStream(stream));
  ASSERT_EQ(copy.v_numb(), 2);
  EXPECT_EQ(copy.v_vars[0].ind, 100003);  // creation order kept
  RValue v;
  ASSERT_TRUE(copy.GetVar(100001, 0, v));
  EXPECT_EQ(v.str.view(), "text");
  ASSERT_TRUE(copy.GetVar(100001, 2 * 32000 + 4, v));
  EXPECT_EQ(v.val, 9.0);
  EXPECT_FALSE(copy.GetVar(100001, 1 * 32000, v));  // row 1 exists but is empty

  // A record that ends early changes nothing.
  CStream cut(stream.Data(), stream.Size() - 3);
  EXPECT_FALSE(copy.LoadFromStream(cut));
  EXPECT_EQ(copy.v_numb(), 2);

  // A count larger than the bytes that follow is refused before allocating.
  CStream huge;
  huge.WriteInteger(440);
  huge.WriteInteger(0x7fffffff);
  huge.Seek(0);
  EXPECT_FALSE(copy.LoadFromStream(huge));
  EXPECT_EQ(copy.v_numb(), 2);

  // Another version leaves the list empty.
  CStream other;
  other.WriteInteger(441);
  other.Seek(0);
  EXPECT_TRUE(copy.LoadFromStream(other));
  EXPECT_EQ(copy.v_numb(), 0);
}

TEST_F(EngineTest, GlobalBlockRecords) {
  Variable_GlobalSet(100005, 0, RValue::Real(7));
  Variable_GlobalDeclare(100020);
  CStream stream;
  Variable_SaveGlobals(stream);
  g_ScriptState.ResetGlobals();
  stream.Seek(0);
  ASSERT_TRUE(Variable_LoadGlobals(stream));
  RValue v;
  ASSERT_TRUE(Variable_GlobalGet(100005, 0, v));
  EXPECT_EQ(v.val, 7.0);
  EXPECT_TRUE(Variable_IsGlobalDeclared(100020));

  CStream other;
  other.WriteInteger(699);
  other.Seek(0);
  EXPECT_TRUE(Variable_LoadGlobals(other));
  EXPECT_TRUE(Variable_IsGlobalDeclared(100020));  // unchanged
}

}  // namespace tavrin::test
