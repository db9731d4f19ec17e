// Objects, their events and the actions in each event: the templates of the
// game's instances, as the package stores them. Running actions and
// performing events come with the game world; this module owns the data and
// its package records.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kEventTypes = 12;        // create .. trigger
inline constexpr int32_t kMaxActionArguments = 8;
inline constexpr int32_t kMaxEventNumber = 99999;  // collisions name objects, the largest numbers in use

// The compiled form of an action: its code and its arguments as constants or
// expressions. Made when the game is prepared; the record keeps the texts.
struct RActionCode;

// What an action is: a plain action, one of the structure actions an action
// list is read by, or one that stands for code (turned into code when the
// game is prepared).
enum EActionKind : int32_t {
  ACT_NORMAL = 0,
  ACT_BEGIN_BLOCK = 1,
  ACT_END_BLOCK = 2,
  ACT_ELSE = 3,
  ACT_EXIT = 4,
  ACT_REPEAT = 5,
  ACT_VARIABLE = 6,
  ACT_CODE = 7,
};
// How an action runs.
enum EActionExecution : int32_t { ACT_EXE_NOTHING = 0, ACT_EXE_FUNCTION = 1, ACT_EXE_CODE = 2 };
// Whom an action applies to, when not the instances of an object.
enum EActionApplyTo : int32_t { ACT_APPLY_SELF = -1, ACT_APPLY_OTHER = -2 };

class CAction {
 public:
  int32_t act_libid = 0;
  int32_t act_id = 0;
  int32_t act_kind = ACT_NORMAL;  // an EActionKind, as stored
  bool act_userelative = false;
  bool act_isquestion = false;
  bool act_useapplyto = false;
  int32_t act_exetype = ACT_EXE_NOTHING;  // an EActionExecution, as stored
  std::string act_functionname;
  int32_t act_functionid = -1;
  std::string act_codestring;
  int32_t act_argumentcount = 0;
  std::vector<int32_t> act_argtype;        // as stored, at most 8
  int32_t act_who = ACT_APPLY_SELF;        // an EActionApplyTo, else an object index
  bool act_relative = false;
  std::vector<std::string> act_argstring;  // as stored, at most 8
  bool act_isnot = false;
  // Copies of an action share its compiled form, which never changes.
  std::shared_ptr<RActionCode> act_compiled;

  // A code action: its text runs as code, with no arguments, relative flag,
  // question or apply-to.
  static CAction CreateCode(std::string code);

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
  bool operator==(const CAction&) const = default;
};

class CEvent {
 public:
  std::vector<CAction> e_actions;

  // An event counts for lookups only when it has actions.
  bool Exists() const { return !e_actions.empty(); }
  const CAction* GetAction(int32_t i) const {
    return i >= 0 && size_t(i) < e_actions.size() ? &e_actions[size_t(i)] : nullptr;
  }
  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
  bool operator==(const CEvent&) const = default;
};

class CObject {
 public:
  int32_t o_spriteindex = -1;
  bool o_solid = false;
  bool o_visible = true;
  int32_t o_depth = 0;
  bool o_persistent = false;
  int32_t o_parent = -1;
  int32_t o_mask = -1;
  // Per event type, the events by number in increasing order. The package
  // lists every type up to the last one it stores; `o_lasttype` keeps that
  // count (-1: no event lists at all).
  std::array<std::vector<std::pair<int32_t, CEvent>>, kEventTypes> o_events;
  int32_t o_lasttype = -1;

  // The event entry, with or without actions.
  const CEvent* Event(int32_t type, int32_t number) const;
  // The event when it has actions.
  const CEvent* GetEventDirect(int32_t type, int32_t number) const {
    const CEvent* e = Event(type, number);
    return e && e->Exists() ? e : nullptr;
  }
  bool HasEventDirect(int32_t type) const;
  CEvent& AddEvent(int32_t type, int32_t number);

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};


// The objects section. Fails on a bad record, and on parents that form a
// cycle (every event lookup would loop through it forever).
bool Object_LoadAll(CStream& content, CResourceList<CObject>& objects);
bool Object_ParentsAcyclic(const CResourceList<CObject>& objects);
// Whether object `obj` is `ancestor` or one of its descendants (the parent
// chain is walked while its objects exist).
bool Object_IsOrDescends(int32_t obj, int32_t ancestor);

// The library initialisation code: code strings run at the start of a game.
bool LibraryInit_Load(CStream& content, std::vector<std::string>& code);
void LibraryInit_Save(CStream& content, const std::vector<std::string>& code);

}  // namespace tavrin
