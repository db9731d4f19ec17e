#include "world/TimeLine_Main.h"

#include <algorithm>
#include <vector>

#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Routine.h"
#include "script/Script_State.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

// The compiled condition of each trigger, by trigger index.
std::vector<CCodeRef> g_TriggerCode;

int32_t StepAt(const CTimeLine& line, int32_t i) { return line.s_moments[size_t(i)].first; }

// Runs moment i of the time line on the instance. The moment runs from a
// copy, so code that changes or deletes the time line while it runs
// finishes the moment safely.
void RunMoment(CInstance* inst, int32_t timeline, const CTimeLine& line, int32_t i) {
  if (i < 0 || size_t(i) >= line.s_moments.size()) return;
  const int32_t step = StepAt(line, i);
  const CEvent moment = line.s_moments[size_t(i)].second;
  Event_PerformMoment(inst, inst, timeline, moment, step);
}

// Runs, in order, the moments with the given steps that the time line still
// has; a moment may change or delete the time line, or end the game.
void RunSteps(CInstance* inst, int32_t index, const std::vector<int32_t>& steps) {
  for (int32_t step : steps) {
    const CTimeLine* line = g_WorldData.timeLines.Get(index);
    if (!line || Run_ChangePending()) return;
    const int32_t i = TimeLine_FindLarger(*line, step);
    if (i >= 0 && size_t(i) < line->s_moments.size() && StepAt(*line, i) == step) RunMoment(inst, index, *line, i);
  }
}

void Advance(CInstance* inst) {
  const int32_t index = inst->i_timelineindex;
  const CTimeLine* line = g_WorldData.timeLines.Get(index);
  if (!line || line->s_moments.empty() || !inst->i_timelinerunning || inst->i_timelinespeed == 0) return;
  const double speed = inst->i_timelinespeed;
  std::vector<int32_t> steps;
  if (speed > 0) {
    // The moments in [old position, new position), forwards.
    const int32_t b = TimeLine_FindLarger(*line, inst->i_timelineposition);
    inst->i_timelineposition += speed;
    const int32_t c = TimeLine_FindLarger(*line, inst->i_timelineposition);
    for (int32_t i = b; i < c; ++i) steps.push_back(StepAt(*line, i));
    RunSteps(inst, index, steps);
    line = g_WorldData.timeLines.Get(index);
    if (line && !line->s_moments.empty() && inst->i_timelineloop &&
        StepAt(*line, int32_t(line->s_moments.size()) - 1) < inst->i_timelineposition)
      inst->i_timelineposition = 0;
    return;
  }
  // The moments in (new position, old position], backwards.
  const int32_t b = TimeLine_FindSmaller(*line, inst->i_timelineposition);
  inst->i_timelineposition += speed;
  const int32_t c = TimeLine_FindSmaller(*line, inst->i_timelineposition);
  for (int32_t i = b; i > c; --i) steps.push_back(StepAt(*line, i));
  RunSteps(inst, index, steps);
  line = g_WorldData.timeLines.Get(index);
  if (line && !line->s_moments.empty() && inst->i_timelineloop && inst->i_timelineposition < 0)
    inst->i_timelineposition = StepAt(*line, int32_t(line->s_moments.size()) - 1);
}

}  // namespace

int32_t TimeLine_FindLarger(const CTimeLine& line, double position) {
  if (line.s_moments.empty()) return -1;
  const auto it = std::lower_bound(line.s_moments.begin(), line.s_moments.end(), position,
                                   [](const auto& moment, double p) { return moment.first < p; });
  return int32_t(it - line.s_moments.begin());
}

int32_t TimeLine_FindSmaller(const CTimeLine& line, double position) {
  const auto it = std::upper_bound(line.s_moments.begin(), line.s_moments.end(), position,
                                   [](double p, const auto& moment) { return p < moment.first; });
  return int32_t(it - line.s_moments.begin()) - 1;
}

void TimeLine_AdvanceAll() {
  CRunRoom* room = g_World.room;
  if (!room) return;
  const int32_t n = room->InstanceCount();
  for (int32_t k = 0; k < n && !Run_ChangePending(); ++k) {
    CInstance* inst = room->InstanceAt(k);
    if (inst && !inst->i_marked) Advance(inst);
  }
}

bool TimeLine_CompileAll() {
  for (int32_t t = 0; t < g_WorldData.timeLines.Count(); ++t) {
    CTimeLine* line = g_WorldData.timeLines.Get(t);
    if (!line) continue;
    g_ScriptState.eventObject = t;
    g_ScriptState.eventType = kEventTimeLineMoment;
    for (auto& [step, moment] : line->s_moments) {
      g_ScriptState.eventNumber = step;
      if (!Event_Compile(moment)) return false;
    }
  }
  return true;
}

// ------------------------------------------------------------------ triggers

bool Trigger_PrepareAll() {
  g_TriggerCode.assign(size_t(std::max(g_WorldData.triggers.Count(), 0)), CCodeRef());
  for (int32_t k = 0; k < g_WorldData.triggers.Count(); ++k) {
    const CTrigger* trigger = g_WorldData.triggers.Get(k);
    if (!trigger) continue;
    CCodeRef code = Code_Create(trigger->i_condition, true);
    if (!code->Compile()) {
      Error_Report("COMPILATION ERROR in condition of trigger " + trigger->i_name + "\r" + g_ScriptState.errorText, true);
      return false;
    }
    g_TriggerCode[size_t(k)] = std::move(code);
  }
  return true;
}

void Trigger_RaiseAll(int32_t moment) {
  for (int32_t k = 0; k < int32_t(g_TriggerCode.size()); ++k) {
    const CTrigger* trigger = g_WorldData.triggers.Get(k);
    const CCodeRef code = g_TriggerCode[size_t(k)];
    if (!trigger || !code || trigger->i_moment != moment) continue;
    Event_ForEachHolder(EV_TRIGGER, k, [&](CInstance* inst, int32_t) {
      RValue result;
      if (!Code_Execute(inst, inst, code.get(), result)) {
        Error_Report("ERROR in trigger " + trigger->i_name + "\r\n" + g_ScriptState.errorText, false);
        Error_ClearPending();
      } else if (Value_IsTrue(result)) {
        Event_Perform(inst, inst, EV_TRIGGER, k);
      }
    });
  }
}

// ------------------------------------------------------------------ actions

namespace {

void A_SetTimeline(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!s) return;
  AsInstance(s)->i_timelineindex = ArgInt(a[0]);
  AsInstance(s)->i_timelineposition = ArgInt(a[1]);
  AsInstance(s)->i_timelinerunning = true;
}
void A_TimelineSet(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!s) return;
  AsInstance(s)->i_timelineindex = ArgInt(a[0]);
  AsInstance(s)->i_timelineposition = ArgInt(a[1]);
  AsInstance(s)->i_timelinerunning = ArgInt(a[2]) == 0;
  AsInstance(s)->i_timelineloop = ArgInt(a[3]) == 1;
}
void A_TimelineStart(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (s) AsInstance(s)->i_timelinerunning = true;
}
void A_TimelinePause(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (s) AsInstance(s)->i_timelinerunning = false;
}
void A_TimelineStop(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (!s) return;
  AsInstance(s)->i_timelineposition = 0;
  AsInstance(s)->i_timelinerunning = false;
}
void A_SetTimelinePosition(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!s) return;
  AsInstance(s)->i_timelineposition = ArgInt(a[0]) + (g_World.argumentRelative ? AsInstance(s)->i_timelineposition : 0);
}
void A_SetTimelineSpeed(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!s) return;
  AsInstance(s)->i_timelinespeed = a[0].AsReal() + (g_World.argumentRelative ? AsInstance(s)->i_timelinespeed : 0);
}

}  // namespace

void TimeLine_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"action_set_timeline", A_SetTimeline},
      {"action_timeline_set", A_TimelineSet},
      {"action_timeline_start", A_TimelineStart},
      {"action_timeline_pause", A_TimelinePause},
      {"action_timeline_stop", A_TimelineStop},
      {"action_set_timeline_position", A_SetTimelinePosition},
      {"action_set_timeline_speed", A_SetTimelineSpeed},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
