// What the world's built-in variable tables share: the conversions every
// getter and setter applies, the table entry, and the registration of the
// room's layer and view variables (kept in their own file).
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "script/Variable_Main.h"
#include "world/Instance_Class.h"
#include "world/Run_State.h"

namespace tavrin {

namespace var {

inline CInstance* Inst(CInstanceBase* i) { return static_cast<CInstance*>(i); }
inline int32_t Int(const RValue& v) { return Real_ToInt32(v.AsReal()); }
// Flags are stored as round(v) >= 1, so 0.5 stores false.
inline bool Flag(const RValue& v) { return Real_ToInt64(v.AsReal()) >= 1; }
// Getters end by filling the value; they cannot fail.
inline bool Real(RValue& out, double v) {
  out.SetReal(v);
  return true;
}
inline bool Text(RValue& out, const std::string& s) {
  out.SetString(RString(s));
  return true;
}

// A field read and written by its type: flags read 1 or 0 and store
// round(v) >= 1, integers store rounded, reals unchanged, text as text.
template <class T>
bool Load(RValue& out, const T& field) {
  if constexpr (std::is_same_v<T, std::string>)
    return Text(out, field);
  else
    return Real(out, double(field));
}
template <class T>
void Store(T& field, const RValue& v) {
  if constexpr (std::is_same_v<T, bool>)
    field = Flag(v);
  else if constexpr (std::is_same_v<T, int32_t>)
    field = Int(v);
  else if constexpr (std::is_same_v<T, double>)
    field = v.AsReal();
  else
    field = v.AsString().str();
}

// A field of the game's values (the score and caption settings, the
// transition, the cursor). A member of a struct cannot stand as a template
// argument for every compiler, so the record is named here.
template <auto Field>
bool GetGame(CInstanceBase*, int32_t, RValue& v) {
  return Load(v, g_World.game.*Field);
}
template <auto Field>
bool SetGame(CInstanceBase*, int32_t, const RValue& v) {
  Store(g_World.game.*Field, v);
  return true;
}

// A field of a process-wide record (the input state).
template <auto& Record, auto Field>
bool GetMember(CInstanceBase*, int32_t, RValue& v) {
  return Load(v, Record.*Field);
}
template <auto& Record, auto Field>
bool SetMember(CInstanceBase*, int32_t, const RValue& v) {
  Store(Record.*Field, v);
  return true;
}

}  // namespace var

struct RWorldVariable {
  const char* name;
  TGetter getter;
  TSetter setter;
};
template <size_t N>
void Variable_ImplementTable(const RWorldVariable (&table)[N]) {
  for (const auto& v : table) Variable_BuiltinImplement(v.name, v.getter, v.setter);
}

// background_*, view_* and the room colour.
void Variable_RegisterRoom();

}  // namespace tavrin
