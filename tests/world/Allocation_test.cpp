// The hot paths allocate nothing once they run: a game's code looping and
// calling scripts, and the steps of a room full of moving, colliding
// instances.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/Sprite_Class.h"
#include "package/Option_Main.h"
#include "runner/Run_Main.h"
#include "runner/Runner_CodeGame.h"
#include "runner/Runner_Host.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Random.h"
#include "script/Variable_Main.h"
#include "support/AllocationProbe.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {
namespace {

// Allocations of `play(n)` beyond those of `play(n / 2)`.
template <class F>
size_t ExtraAllocations(int n, F play) {
  play(n / 2);  // warm: first-use tables, grown buffers
  test::CAllocationProbe half;
  play(n / 2);
  const size_t base = half.Count();
  test::CAllocationProbe full;
  play(n);
  return full.Count() - base;
}

// Counted by playing the same code for n and for n / 2 turns of its loop: the
// extra turns must cost no allocation at all.
TEST(Allocations, CodeLoopsAndCallsAllocateNothing) {
  Runner_InstallEngineHost();
  struct Case {
    const char* name;
    const char* body;  // runs n times
  };
  const Case cases[] = {
      {"arithmetic and locals", "var a; a = i * 2; b = a mod 7; c += b;"},
      {"script calls with arguments", "c = add(i, 1) + add(c, 2);"},
      {"arrays and strings", "arr[i mod 10] = i; s = t; u = string_length(s) + arr[3];"},
      {"with and instance variables", "with (self) { c += 1; }"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t extra = ExtraAllocations(2000, [&](int n) {
      const std::string text = "c = 0; t = 'text'; arr[9] = 0; for (i = 0; i < " + std::to_string(n) + "; i += 1) { " + c.body +
                               " }\n#define add\nreturn argument0 + argument1";
      EXPECT_EQ(Runner_PlayCodeText(text, RRunConfig{}), 0);
      EXPECT_FALSE(g_ScriptState.errorOccurred) << g_ScriptState.errorLast;
    });
    EXPECT_EQ(extra, 0u);
  }
}

// 300 instances of 8 x 8 dots move through a 640 x 480 room, bouncing off
// one another in their collision events.
void BuildCrowd() {
  g_GraphicsData.Clear();
  g_WorldData.Clear();
  auto sprite = std::make_unique<CSprite>();
  sprite->i_numb = 1;
  sprite->i_bitmap = {TBitmap32(8, 8, 0xFFFFFFFF)};
  sprite->i_xorig = sprite->i_yorig = 4;
  sprite->ComputeMask(RMaskSettings{});
  g_GraphicsData.sprites.Add(std::move(sprite), "spr_dot");
  auto object = std::make_unique<CObject>();
  object->o_spriteindex = 0;
  object->AddEvent(EV_CREATE, 0).e_actions.push_back(CAction::CreateCode("speed = 3; direction = random(360);"));
  object->AddEvent(EV_COLLISION, 0).e_actions.push_back(CAction::CreateCode("hits += 1; direction += 90;"));
  object->AddEvent(EV_STEP, 0).e_actions.push_back(CAction::CreateCode("move_wrap(true, true, 0);"));
  g_WorldData.objects.Add(std::move(object), "obj_dot");
  auto room = std::make_unique<CRoom>();
  room->r_width = 640;
  room->r_height = 480;
  Random_SetSeed(5);
  for (int i = 0; i < 300; ++i) {
    RRoomInstance placed;
    placed.object = 0;
    placed.x = int32_t(Random_Below(640));
    placed.y = int32_t(Random_Below(480));
    placed.id = kFirstInstanceId + 1 + i;
    room->r_instances.push_back(placed);
  }
  g_WorldData.rooms.Add(std::move(room), "room_crowd");
  g_WorldData.roomOrder = {0};
  g_PackageData.settings.opt_uninitzero = true;
  Room_PrepareIds();
  Object_CompileAll();
}

// Allocation counts taken by the game itself at the end of every step.
std::vector<size_t> g_countsAtStepEnd;

TEST(Allocations, StepsOfMovingCollidingInstancesAllocateNothing) {
  Runner_InstallEngineHost();
  BuildCrowd();
  g_WorldData.objects.Get(0)->AddEvent(EV_STEP, EV_STEP_END).e_actions.push_back(CAction::CreateCode("show_debug_message(id)"));
  Object_CompileAll();
  // The first instance's end step records the count (with no allocation of
  // its own: the buffer is reserved).
  Function_Implement("show_debug_message", [](CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* a) {
    if (a[0].val == kFirstInstanceId + 1) g_countsAtStepEnd.push_back(test::g_allocationCount);
  });
  constexpr int kSteps = 300, kSettled = 100;
  for (const bool index : {true, false}) {
    SCOPED_TRACE(index ? "with the spatial index" : "with the full scan");
    g_countsAtStepEnd.clear();
    g_countsAtStepEnd.reserve(kSteps + 1);
    RRunConfig config;
    config.steps = kSteps;
    config.fixedClock = true;
    config.seed = 3;
    config.plainCollisions = !index;
    Run_Configure(config);
    RunMain();
    ASSERT_EQ(g_countsAtStepEnd.size(), size_t(kSteps));
    // Once the index's cells and the event buffers have grown to the crowd,
    // a step allocates nothing.
    EXPECT_EQ(g_countsAtStepEnd.back() - g_countsAtStepEnd[kSettled], 0u);
  }
  Runner_InstallEngineHost();
}

}  // namespace
}  // namespace tavrin
