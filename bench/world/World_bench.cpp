// 10,000 instances, each with a step event of five statements, played for a
// number of steps with a fixed clock (no sleeping), against a plain loop that
// runs the same five statements as many times in one instance. The ratio is
// the price of the world: finding each instance's event, switching self, and
// the rest of the step sequence around it.
#include <memory>
#include <string>

#include "runner/Run_Main.h"
#include "runner/Runner_CodeGame.h"
#include "runner/Runner_Host.h"
#include "script/Code_Error.h"
#include "script/Variable_Main.h"
#include "support/BenchRatio.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "world/World_Data.h"

namespace {

constexpr int kInstances = 10000;
constexpr int kSteps = 20;
const char* const kStatements = "a = x + 1; b = a * 2; x = b - a; c = x mod 7; y = c + 1;";

// One object whose step event is the five statements, and a room holding
// kInstances of it.
void BuildWorld() {
  using namespace tavrin;
  g_WorldData.objects.Clear();
  g_WorldData.rooms.Clear();
  auto object = std::make_unique<CObject>();
  object->AddEvent(EV_STEP, EV_STEP_NORMAL).e_actions.push_back(CAction::CreateCode(kStatements));
  g_WorldData.objects.Add(std::move(object), "obj_busy");
  auto room = std::make_unique<CRoom>();
  for (int i = 0; i < kInstances; ++i) {
    RRoomInstance placed;
    placed.object = 0;
    placed.x = i % 640;
    placed.id = kFirstInstanceId + 1 + i;
    room->r_instances.push_back(placed);
  }
  g_WorldData.rooms.Add(std::move(room), "room_busy");
  g_WorldData.roomOrder = {0};
  Room_PrepareIds();
  Object_CompileAll();
}

void World(benchmark::State& state) {
  tavrin::Runner_InstallEngineHost();
  BuildWorld();
  tavrin::RRunConfig config;
  config.steps = kSteps;
  config.fixedClock = true;
  tavrin::Run_Configure(config);
  for (auto _ : state) tavrin::RunMain();
  state.counters["steps_per_second"] =
      benchmark::Counter(double(kSteps) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void PlainLoop(benchmark::State& state) {
  const std::string code = "x = 0; repeat (" + std::to_string(kInstances * kSteps) + ") { " + kStatements + " }";
  for (auto _ : state) tavrin::Runner_PlayCodeText(code, tavrin::RRunConfig{});
}

}  // namespace

BENCHMARK(World)->Name("world/10000_instances_20_steps")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainLoop)->Name("engine/plain_loop_200000")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return tavrin::bench::RunWithRatios(argc, argv,
                                      {{"world/10000_instances_20_steps/real_time", "engine/plain_loop_200000/real_time"}});
}
