// 5,000 instances of two objects move through a 1600 x 1600 room; one object
// has a collision event with the other. The same steps run with the spatial
// index and with every pair of instances tested, and the ratio of their times
// is the index's gain. Steps per second are reported for both.
#include <memory>
#include <string>

#include "graphics/Sprite_Class.h"
#include "package/Option_Main.h"
#include "runner/Run_Main.h"
#include "runner/Runner_Host.h"
#include "script/Code_Random.h"
#include "script/Variable_Main.h"
#include "support/BenchRatio.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "package/Package_Data.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace {

constexpr int kInstances = 5000;
constexpr int kSteps = 30;
constexpr int kRoomSize = 1600;

void BuildWorld() {
  using namespace tavrin;
  g_GraphicsData.Clear();
  auto sprite = std::make_unique<CSprite>();
  sprite->i_numb = 1;
  sprite->i_bitmap = {TBitmap32(8, 8, 0xFFFFFFFF)};
  sprite->i_xorig = sprite->i_yorig = 4;
  sprite->ComputeMask(RMaskSettings{});
  g_GraphicsData.sprites.Add(std::move(sprite), "spr_dot");

  g_WorldData.objects.Clear();
  g_WorldData.rooms.Clear();
  for (const char* name : {"obj_a", "obj_b"}) {
    auto object = std::make_unique<CObject>();
    object->o_spriteindex = 0;
    object->AddEvent(EV_CREATE, 0).e_actions.push_back(CAction::CreateCode("speed = 2; direction = random(360);"));
    if (std::string(name) == "obj_a")
      object->AddEvent(EV_COLLISION, 1).e_actions.push_back(CAction::CreateCode("hits += 1;"));
    g_WorldData.objects.Add(std::move(object), name);
  }
  auto room = std::make_unique<CRoom>();
  room->r_width = room->r_height = kRoomSize;
  Random_SetSeed(11);
  for (int i = 0; i < kInstances; ++i) {
    RRoomInstance placed;
    placed.object = i % 2;
    placed.x = int32_t(Random_Below(kRoomSize));
    placed.y = int32_t(Random_Below(kRoomSize));
    placed.id = kFirstInstanceId + 1 + i;
    room->r_instances.push_back(placed);
  }
  g_WorldData.rooms.Add(std::move(room), "room_crowd");
  g_WorldData.roomOrder = {0};
  g_PackageData.settings.opt_uninitzero = true;
  Room_PrepareIds();
  Object_CompileAll();
}

void Play(benchmark::State& state, bool plain) {
  tavrin::Runner_InstallEngineHost();
  BuildWorld();
  tavrin::RRunConfig config;
  config.steps = kSteps;
  config.fixedClock = true;
  config.seed = 5;
  config.plainCollisions = plain;
  tavrin::Run_Configure(config);
  for (auto _ : state) tavrin::RunMain();
  state.counters["steps_per_second"] =
      benchmark::Counter(double(kSteps) * double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(Play, indexed, false)->Name("collision/5000_indexed")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Play, plain, true)->Name("collision/5000_every_pair")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return tavrin::bench::RunWithRatios(
      argc, argv, {{"collision/5000_indexed/real_time", "collision/5000_every_pair/real_time"}});
}
