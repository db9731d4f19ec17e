// The clipboard, priority, title and platform queries: through `tavrin
// --code` (no desktop), and against a fake platform for what reaches it.
#include <gtest/gtest.h>

#include "functions/Function_System.h"
#include "runner/FakePlatform.h"
#include "script/Code_Function.h"
#include "script/Conformance.h"

namespace tavrin::test {

namespace {

RValue Call(const char* name, RValue argument = RValue()) {
  Function_RegisterAll();
  Function_RegisterSystem();
  RValue args[1] = {std::move(argument)};
  RValue result;
  g_Functions[static_cast<size_t>(Function_Find(name))].f_routine(nullptr, nullptr, 1, result, args);
  return result;
}

class SystemFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    auto fake = std::make_unique<CFakePlatform>();
    m_fake = fake.get();
    Platform_Install(std::move(fake));
  }
  void TearDown() override { Platform_Install(nullptr); }
  CFakePlatform* m_fake = nullptr;
};

}  // namespace

TEST(SystemCode, ClipboardWithoutADesktopKeepsItsText) {
  RunTable({
      {"text set is text read, in UTF-8; empty text is no text",
       Show({"clipboard_has_text()", "'[' + clipboard_get_text() + ']'"}) + "clipboard_set_text('grüße, 世界');\n" +
           Show({"clipboard_has_text()", "clipboard_get_text()"}) + "clipboard_set_text('');\n" +
           Show({"clipboard_has_text()", "'[' + clipboard_get_text() + ']'"}),
       "0\n[]\n1\ngrüße, 世界\n0\n[]\n", ""},
  });
}

TEST(SystemCode, PlatformQueriesAndWhatWaitsForTheGameWindow) {
  RunTable({
      {"queries describe a desktop and do nothing",
       Show({"Orvo_GetPlatform() == os_type", "Orvo_GetDevice() == os_device", "Orvo_GetDomain()", "Orvo_GetTimer()",
             "Orvo_OpenURL('x')", "Orvo_OpenURL_ext('x', 1)", "Orvo_OpenURL_full('x', 1, 2)",
             "Orvo_AddVirtualKey(1, 2, 3, 4, 5)", "Orvo_DeleteVirtualKey(1)", "Orvo_ShowVirtualKey(1)",
             "Orvo_HideVirtualKey(1)"}) +
           "set_application_title('x'); set_program_priority(0);",
       "1\n1\nunknown\n0\n0\n0\n0\n0\n0\n0\n0\n", ""},
      {"without a game window there is no handle", Show({"window_handle()"}), "0\n", ""},
  });
}

TEST_F(SystemFunctions, PriorityLevelsReachThePlatform) {
  const struct {
    double p;
    int level;
  } cases[] = {{-3, -3}, {-2, -2}, {-1, -1}, {0, 0},   {1, 1},   {2, 2},
               {3, 3},   {7, 0},   {-4, 0},  {2.5, 2}, {2.6, 3}, {-0.4, 0}};
  for (const auto& c : cases) {
    m_fake->priorityAsked = 99;
    Call("set_program_priority", RValue::Real(c.p));
    EXPECT_EQ(m_fake->priorityAsked, c.level) << c.p;
  }
}

TEST_F(SystemFunctions, ApplicationTitleTakesOnlyText) {
  Call("set_application_title", RValue::String("Space Race"));
  EXPECT_EQ(m_fake->title, "Space Race");
  Call("set_application_title", RValue::Real(5));
  EXPECT_EQ(m_fake->title, "Space Race");
}

TEST_F(SystemFunctions, ClipboardUsesTheDesktopUntilItRefuses) {
  m_fake->clipboard = "from another program";
  EXPECT_EQ(Call("clipboard_has_text").val, 1);
  EXPECT_EQ(Call("clipboard_get_text").str.view(), "from another program");
  Call("clipboard_set_text", RValue::String("copied"));
  EXPECT_EQ(m_fake->clipboard, "copied");

  // A desktop without a clipboard: the text stays with the game from then on.
  m_fake->clipboardWorks = false;
  Call("clipboard_set_text", RValue::String("kept"));
  EXPECT_EQ(Call("clipboard_get_text").str.view(), "kept");
  EXPECT_EQ(Call("clipboard_has_text").val, 1);
  m_fake->clipboardWorks = true;
  EXPECT_EQ(Call("clipboard_get_text").str.view(), "kept");
}

}  // namespace tavrin::test
