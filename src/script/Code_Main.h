// A piece of game code: its text, compiled once into a tree that the
// interpreter walks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/Code_Symbols.h"
#include "script/Variable_Class.h"

namespace tavrin {


// How the interpreter reaches a variable node, decided once after compiling so
// that a read or write does no owner evaluation and no table search.
enum : uint8_t {
  VA_GENERAL = 0,    // evaluate owner and indexes, go through the owner rules
  VA_SELF_USER,      // implicit owner, user variable: self's list unless declared global
  VA_LOCAL,          // the run's locals
  VA_GLOBAL,         // global.name
  VA_BUILTIN,        // implicit or self owner, built-in variable: its getter and setter
  VA_ARGUMENT,       // argument0 .. argument15
  VA_INDEXED,        // constant owner (in ind2) with index expressions
};

// One node of the tree. Children are owned.
struct RToken {
  int32_t kind = 0;
  int32_t ind = 0;
  int32_t ind2 = 0;
  RValue value;
  std::vector<RToken> items;
  int32_t position = 0;
  // Interpreter data filled after compiling; `hint` is the position of the
  // variable in the list it was last found in (checked before use).
  uint8_t access = VA_GENERAL;
  mutable int32_t hint = -1;
  // Height of the subtree below and including this node (bounded when parsing).
  int32_t depth = 1;

  int32_t itemnumb() const { return static_cast<int32_t>(items.size()); }
};

class CProgram;

enum : int32_t { CODE_PROGRAM = 1, CODE_EXPRESSION = 2, CODE_CONSTANT = 3 };

class CCode {
 public:
  CCode(std::string text, bool isexp);
  ~CCode();
  CCode(const CCode&) = delete;
  CCode& operator=(const CCode&) = delete;

  // Compiles the text; on failure the error is in the error record.
  bool Compile();
  const std::string& GetText() const { return i_str; }

  int32_t i_kind = CODE_PROGRAM;
  bool i_compiled = false;
  std::string i_str;
  RToken i_token;
  // The same code for the register machine; none when the tree walker runs
  // it (constants, code the machine refuses).
  std::unique_ptr<CProgram> i_program;
  RValue i_value;
  int32_t i_Args = 0;
  bool i_ArgArray = false;

  // Reference count: the owner holds one reference and every run of the code
  // holds another, so code replaced or freed while it runs lives until the
  // run ends.
  int32_t i_refs = 0;
};

// An owning reference to a piece of code.
class CCodeRef {
 public:
  CCodeRef() = default;
  explicit CCodeRef(CCode* code) : p_(code) {
    if (p_) ++p_->i_refs;
  }
  CCodeRef(const CCodeRef& o) : CCodeRef(o.p_) {}
  CCodeRef(CCodeRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  CCodeRef& operator=(CCodeRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~CCodeRef() {
    if (p_ && --p_->i_refs == 0) delete p_;
  }
  CCode* get() const { return p_; }
  CCode* operator->() const { return p_; }
  CCode& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  CCode* p_ = nullptr;
};

// Makes a new, uncompiled piece of code.
inline CCodeRef Code_Create(std::string text, bool isexp) { return CCodeRef(new CCode(std::move(text), isexp)); }

}  // namespace tavrin
