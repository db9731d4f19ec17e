#include "world/Event_Action.h"

#include <climits>

#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Script_Class.h"
#include "world/Instance_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/TimeLine_Class.h"
#include "world/World_Routine.h"
#include "script/Script_State.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

// Returned by the action walkers when the list is over: past its end, after
// an exit action, or because a change of room is pending.
constexpr int32_t kStop = 10000000;

// Argument kinds of actions: 1 and 15 are plain texts, 2 is a text unless it
// starts with a quote, every other kind is an expression.
bool ArgumentIsText(int32_t kind, const std::string& text) {
  if (kind == 1 || kind == 15) return true;
  if (kind == 2) return text.empty() || (text[0] != '\'' && text[0] != '"');
  return false;
}

// Compiles the action in place; on failure `part` names what failed ("code
// action", "argument 2") and the error is in g_ScriptState.errorText.
bool CompileActionQuietly(CAction& a, std::string& part) {
  auto text = [&](size_t i) { return i < a.act_argstring.size() ? a.act_argstring[i] : std::string(); };
  if (a.act_kind == ACT_VARIABLE || a.act_kind == ACT_CODE) {
    // A variable action is the assignment it stands for; a code action is
    // its text. Both then run as code.
    a.act_codestring = a.act_kind == ACT_CODE ? text(0) : text(0) + (a.act_relative ? " += " : " = ") + text(1);
    a.act_kind = ACT_NORMAL;
    a.act_exetype = ACT_EXE_CODE;
    a.act_argumentcount = 0;
  }
  auto compiled = std::make_shared<RActionCode>();
  if (a.act_exetype == ACT_EXE_CODE) {
    compiled->code = Code_Create(a.act_codestring, false);
    if (!compiled->code->Compile()) {
      part = "code action";
      return false;
    }
  }
  for (int32_t i = 0; i < a.act_argumentcount && i < kMaxActionArguments; ++i) {
    const int32_t kind = size_t(i) < a.act_argtype.size() ? a.act_argtype[size_t(i)] : 0;
    const std::string arg = text(size_t(i));
    if (ArgumentIsText(kind, arg)) {
      compiled->argvalue[size_t(i)] = RValue::String(RString(arg));
      continue;
    }
    CCodeRef code = Code_Create(arg, true);
    if (!code->Compile()) {
      part = "argument " + std::to_string(i);
      return false;
    }
    if (code->i_kind == CODE_CONSTANT)
      compiled->argvalue[size_t(i)] = code->i_value;
    else
      compiled->argcode[size_t(i)] = std::move(code);
  }
  a.act_compiled = std::move(compiled);
  return true;
}

bool CompileAction(CAction& a) {
  std::string part;
  if (CompileActionQuietly(a, part)) return true;
  Error_ReportAction("COMPILATION ERROR in " + part + "\r" + g_ScriptState.errorText, true);
  return false;
}

// ------------------------------------------------------------------ running an action list

class CActionRunner {
 public:
  CActionRunner(const CEvent& event, CInstance* self, CInstance* other)
      : m_actions(event.e_actions), m_self(self), m_other(other) {}

  void Run() {
    const int32_t n = Count();
    for (int32_t pos = 0; pos < n;) pos = Perform(pos);
  }

 private:
  // The list is read by position each time: code run by an action may not
  // change it, but positions are checked against its size anyway.
  const std::vector<CAction>& m_actions;
  CInstance* m_self;
  CInstance* m_other;

  int32_t Count() const { return int32_t(m_actions.size()); }
  int32_t Kind(int32_t a) const { return m_actions[size_t(a)].act_kind; }

  int32_t Perform(int32_t a) {
    if (a >= Count() || Run_ChangePending()) return kStop;
    g_ScriptState.action = a;
    const CAction& act = m_actions[size_t(a)];
    if (act.act_kind == ACT_BEGIN_BLOCK) {
      int32_t p = a + 1;
      while (p < Count() && Kind(p) != ACT_END_BLOCK) {
        p = Perform(p);
        if (p == kStop) return kStop;
      }
      return p + 1;
    }
    if (act.act_kind == ACT_REPEAT) {
      const int64_t count = Real_ToInt64(Argument(act, 0, m_self, m_other).AsReal());
      if (Run_ChangePending()) return kStop;
      for (int64_t i = 0; i < count; ++i)
        if (Perform(a + 1) == kStop) return kStop;
      return Skip(a + 1);
    }
    if (act.act_isquestion) {
      const bool r = Apply(act, true);
      if (Run_ChangePending()) return kStop;
      int32_t next = r ? Perform(a + 1) : Skip(a + 1);
      if (next < Count() && Kind(next) == ACT_ELSE) next = r ? Skip(next + 1) : Perform(next + 1);
      return next;
    }
    if (act.act_kind == ACT_EXIT) return kStop;
    Apply(act, false);
    return Run_ChangePending() ? kStop : a + 1;
  }

  int32_t Skip(int32_t a) const {
    if (a >= Count()) return kStop;
    const CAction& act = m_actions[size_t(a)];
    if (act.act_kind == ACT_BEGIN_BLOCK) {
      int32_t p = a + 1;
      while (p < Count() && Kind(p) != ACT_END_BLOCK) p = Skip(p);
      return p >= Count() ? kStop : p + 1;
    }
    if (act.act_isquestion || act.act_kind == ACT_REPEAT) return Skip(a + 1);
    return a + 1;
  }

  // Runs the action for its apply-to target. A question over an object is
  // true when every instance answers true, and when there is none.
  bool Apply(const CAction& act, bool question) {
    if (!act.act_useapplyto || act.act_who == ACT_APPLY_SELF) return Execute(act, m_self, m_other);
    if (act.act_who == ACT_APPLY_OTHER) return Execute(act, m_other, m_self);
    CRunRoom* room = g_World.room;
    if (act.act_who < 0 || !room) return true;
    const int32_t n = room->Obj_Number_Recursive(act.act_who);
    for (int32_t i = 0; i < n; ++i) {
      CInstance* inst = room->Obj_Instance_Recursive(act.act_who, i);
      if (!inst || inst->i_marked) continue;
      if (Run_ChangePending()) break;
      if (!Execute(act, inst, m_other) && question) return false;
    }
    return true;
  }

  static RValue Argument(const CAction& act, int32_t i, CInstance* self, CInstance* other) {
    const RActionCode* c = act.act_compiled.get();
    if (!c) return RValue();
    if (!c->argcode[size_t(i)]) return c->argvalue[size_t(i)];
    RValue v;
    Code_ExecuteReport(self, other, c->argcode[size_t(i)].get(), v);
    return v;
  }

  // Runs one action for (self, other); the answer of a question.
  static bool Execute(const CAction& act, CInstance* self, CInstance* other) {
    if (act.act_exetype == ACT_EXE_NOTHING || !act.act_compiled) return false;
    const int32_t argc = std::min(act.act_argumentcount, kMaxActionArguments);
    RValue result;
    if (act.act_exetype == ACT_EXE_FUNCTION) {
      CallFunction(act, argc, self, other, result);
    } else {
      // Code runs with the action's relative flag, which is restored after.
      const bool savedRelative = g_World.argumentRelative;
      g_World.argumentRelative = act.act_userelative && act.act_relative;
      if (argc == 0)
        Code_ExecuteReport(self, other, act.act_compiled->code.get(), result);
      else
        RunCodeWithArguments(act, argc, self, other, result);
      g_World.argumentRelative = savedRelative;
    }
    return Value_IsTrue(result) != act.act_isnot;
  }

  // A function action: the built-in routine, script or extension function
  // with the action's arguments. Its relative flag stays set afterwards.
  [[gnu::noinline]] static void CallFunction(const CAction& act, int32_t argc, CInstance* self, CInstance* other,
                                             RValue& result) {
    g_World.argumentRelative = act.act_userelative && act.act_relative;
    RValue args[kMaxActionArguments];
    for (int32_t i = 0; i < argc; ++i) args[i] = Argument(act, i, self, other);
    if (!Function_Call(act.act_functionid, self, other, argc, result, args, nullptr, 0)) ReportFailure();
  }

  // Code with arguments sees them in its argument slots for the run only.
  [[gnu::noinline]] static void RunCodeWithArguments(const CAction& act, int32_t argc, CInstance* self,
                                                     CInstance* other, RValue& result) {
    RValue saved[kMaxActionArguments];
    for (int32_t i = 0; i < argc; ++i) {
      RValue v = Argument(act, i, self, other);
      saved[i] = std::move(g_ScriptState.arguments[i]);
      g_ScriptState.arguments[i] = std::move(v);
      Argument_Touch(i);
    }
    Code_ExecuteReport(self, other, act.act_compiled->code.get(), result);
    for (int32_t i = 0; i < argc; ++i) g_ScriptState.arguments[i] = std::move(saved[i]);
  }

  static void ReportFailure() {
    if (!g_ScriptState.errorPending) return;
    Error_ReportAction(g_ScriptState.errorText, false);
    Error_ClearPending();
  }
};

// The event context, saved around every performed event so that a nested
// event leaves the outer one's context (and its error headings) intact.
class CEventContext {
 public:
  CEventContext(int32_t object, int32_t type, int32_t number)
      : m_object(g_ScriptState.eventObject), m_type(g_ScriptState.eventType), m_number(g_ScriptState.eventNumber),
        m_action(g_ScriptState.action) {
    g_ScriptState.eventObject = object;
    g_ScriptState.eventType = type;
    g_ScriptState.eventNumber = number;
  }
  ~CEventContext() {
    g_ScriptState.eventObject = m_object;
    g_ScriptState.eventType = m_type;
    g_ScriptState.eventNumber = m_number;
    g_ScriptState.action = m_action;
  }
  CEventContext(const CEventContext&) = delete;
  CEventContext& operator=(const CEventContext&) = delete;

 private:
  int32_t m_object, m_type, m_number, m_action;
};

// Events that perform events (an event_user calling itself, a destroy event
// destroying its own kind) would otherwise exhaust the stack.
bool RecursionTooDeep() {
  if (!Code_StackExhausted()) return false;
  Error_ReportAction("Recursion too deep.", true);
  return true;
}

void RunList(const CEvent& event, CInstance* self, CInstance* other) {
  CActionRunner(event, self, other).Run();
}

const std::vector<int32_t> kNoObjects;

// Highest event number held in each type's table.
int32_t TableLimit(int32_t type) {
  switch (type) {
    case EV_ALARM: return 12;
    case EV_STEP: return 16;
    case EV_KEYBOARD:
    case EV_MOUSE:
    case EV_OTHER:
    case EV_KEYPRESS:
    case EV_KEYRELEASE: return 128;
    case EV_TRIGGER: return g_WorldData.triggers.Count() - 1;
    case EV_COLLISION: return -1;  // collisions keep a list of object pairs instead
    default: return 0;
  }
}

}  // namespace

// ------------------------------------------------------------------ compiling

bool Event_Compile(CEvent& event) {
  for (size_t i = 0; i < event.e_actions.size(); ++i) {
    g_ScriptState.action = int32_t(i);
    if (!CompileAction(event.e_actions[i])) return false;
  }
  return true;
}

std::string Action_CompileError(const CAction& action) {
  CAction copy = action;
  std::string part;
  return CompileActionQuietly(copy, part) ? std::string() : part;
}

bool Object_CompileAll() {
  for (int32_t o = 0; o < g_WorldData.objects.Count(); ++o) {
    CObject* obj = g_WorldData.objects.Get(o);
    if (!obj) continue;
    g_ScriptState.eventObject = o;
    for (int32_t type = 0; type < kEventTypes; ++type) {
      g_ScriptState.eventType = type;
      for (auto& [number, event] : obj->o_events[size_t(type)]) {
        g_ScriptState.eventNumber = number;
        if (!Event_Compile(event)) return false;
      }
    }
  }
  return true;
}

void LibraryInit_Run() {
  for (const std::string& text : g_WorldData.libraryInitCode) {
    if (text.empty()) continue;
    CCodeRef code = Code_Create(text, false);
    if (!code->Compile()) {
      Error_Report("COMPILATION ERROR in library initialization code\r" + g_ScriptState.errorText, true);
      continue;
    }
    CInstance temp(0, 0, 0, 0);
    RValue result;
    Code_ExecuteReport(&temp, &temp, code.get(), result);
  }
}

// ------------------------------------------------------------------ finding and performing

const CEvent* Event_Find(int32_t objind, int32_t etype, int32_t enumb, int32_t* defining) {
  for (int32_t o = objind; const CObject* obj = g_WorldData.objects.Get(o); o = obj->o_parent) {
    if (const CEvent* e = obj->GetEventDirect(etype, enumb)) {
      if (defining) *defining = o;
      return e;
    }
  }
  // A collision event with an ancestor of the other object: the nearest
  // ancestor first, and at each ancestor the own chain first.
  if (etype == EV_COLLISION && g_WorldData.objects.Exists(enumb)) {
    for (int32_t p = g_WorldData.objects.Get(enumb)->o_parent; const CObject* anc = g_WorldData.objects.Get(p); p = anc->o_parent) {
      for (int32_t o = objind; const CObject* obj = g_WorldData.objects.Get(o); o = obj->o_parent) {
        if (const CEvent* e = obj->GetEventDirect(etype, p)) {
          if (defining) *defining = o;
          return e;
        }
      }
    }
  }
  return nullptr;
}

bool Event_HasRecursive(int32_t objind, int32_t etype) {
  for (int32_t o = objind; const CObject* obj = g_WorldData.objects.Get(o); o = obj->o_parent)
    if (obj->HasEventDirect(etype)) return true;
  return false;
}

void Event_PerformObject(CInstance* self, CInstance* other, int32_t objind, int32_t etype, int32_t enumb) {
  if (Run_ChangePending()) return;
  int32_t defining = objind;
  const CEvent* event = Event_Find(objind, etype, enumb, &defining);
  if (!event || RecursionTooDeep()) return;
  CEventContext context(defining, etype, enumb);
  RunList(*event, self, other);
}

void Event_Perform(CInstance* self, CInstance* other, int32_t etype, int32_t enumb) {
  if (!self || Run_ChangePending()) return;
  Event_PerformObject(self, other, self->i_objectindex, etype, enumb);
}

void Event_PerformMoment(CInstance* self, CInstance* other, int32_t timeline, const CEvent& moment, int32_t step) {
  if (Run_ChangePending() || RecursionTooDeep()) return;
  CEventContext context(timeline, kEventTimeLineMoment, step);
  RunList(moment, self, other);
}

void Event_PerformAll(int32_t etype, int32_t enumb) {
  CRunRoom* room = g_World.room;
  if (Run_ChangePending() || !room) return;
  const int32_t n = room->InstanceCount();
  for (int32_t i = 0; i < n && !Run_ChangePending(); ++i) {
    CInstance* inst = room->InstanceAt(i);
    if (inst && !inst->i_marked) Event_PerformObject(inst, inst, inst->i_objectindex, etype, enumb);
  }
}

// ------------------------------------------------------------------ event tables

void Event_BuildLists() {
  for (int32_t type = 0; type < kEventTypes; ++type) {
    auto& table = g_World.eventObjects[size_t(type)];
    table.assign(size_t(std::max(TableLimit(type) + 1, 0)), {});
    for (int32_t number = 0; number < int32_t(table.size()); ++number)
      for (int32_t o = 0; o < g_WorldData.objects.Count(); ++o)
        if (g_WorldData.objects.Exists(o) && Event_Find(o, type, number)) table[size_t(number)].push_back(o);
  }
}

const std::vector<int32_t>& Event_Objects(int32_t etype, int32_t enumb) {
  if (etype < 0 || etype >= kEventTypes || enumb < 0) return kNoObjects;
  const auto& table = g_World.eventObjects[size_t(etype)];
  return size_t(enumb) < table.size() ? table[size_t(enumb)] : kNoObjects;
}

// ------------------------------------------------------------------ built-in functions

namespace {

void F_EventInherited(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RValue*) {
  const CObject* obj = g_WorldData.objects.Get(g_ScriptState.eventObject);
  if (!obj || !g_WorldData.objects.Exists(obj->o_parent)) return;
  Event_PerformObject(AsInstance(self), AsInstance(other), obj->o_parent, g_ScriptState.eventType, g_ScriptState.eventNumber);
}

void F_EventPerform(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RValue* args) {
  Event_Perform(AsInstance(self), AsInstance(other), Real_ToInt32(args[0].AsReal()), Real_ToInt32(args[1].AsReal()));
}

void F_EventUser(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RValue* args) {
  // User events 0 to 15 are other events 10 to 25; far numbers name no event.
  const int64_t number = Real_ToInt64(args[0].AsReal()) + EV_USER0;
  if (number >= 0 && number <= INT32_MAX) Event_Perform(AsInstance(self), AsInstance(other), EV_OTHER, int32_t(number));
}

void F_EventPerformObject(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RValue* args) {
  Event_PerformObject(AsInstance(self), AsInstance(other), Real_ToInt32(args[0].AsReal()), Real_ToInt32(args[1].AsReal()),
                      Real_ToInt32(args[2].AsReal()));
}

}  // namespace

void Event_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"event_inherited", F_EventInherited},
      {"action_inherited", F_EventInherited},
      {"event_perform", F_EventPerform},
      {"event_user", F_EventUser},
      {"event_perform_object", F_EventPerformObject},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
