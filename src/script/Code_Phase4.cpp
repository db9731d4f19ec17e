// Phase 4: one post-order pass over the finished tree. It marks locals, turns
// variables with a constant owner into fixed-owner variables, and folds
// operations on constants, so the interpreter does as little as possible.
#include <unordered_set>

#include "script/Code_Error.h"
#include "script/Code_Operator.h"
#include "script/Code_Phase.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {

struct Pass {
  const CCode* code;
  std::unordered_set<int32_t> locals;

  bool IsLocal(int32_t ind) const { return locals.count(ind) != 0; }

  bool Walk(RToken& node) {
    for (auto& child : node.items)
      if (!Walk(child)) return false;
    switch (node.kind) {
      case TK_VAR:
        // A name is local from its declaration on, in source order, whatever
        // block the declaration stands in.
        for (const auto& name : node.items) locals.insert(name.ind);
        return true;
      case TK_VARIABLE: {
        RToken& owner = node.items[0];
        if (owner.kind != TK_CONSTANT) return true;
        if (owner.value.kind == VALUE_REAL && owner.value.val == static_cast<double>(OWNER_IMPLICIT) && IsLocal(node.ind))
          owner.value.val = static_cast<double>(OWNER_LOCAL);
        if (node.itemnumb() != 1) return true;
        if (owner.value.IsString()) {
          Error_SetCodeError(code, owner.position, "Left hand side must be a real value.");
          return false;
        }
        node.kind = TK_FIXEDVARIABLE;
        node.ind2 = Real_ToInt32(owner.value.val);
        return true;
      }
      case TK_UNARY: {
        RToken& operand = node.items[0];
        if (operand.kind != TK_CONSTANT) return true;
        RValue v = operand.value;
        if (!Operator_Unary(code, operand.position, node.ind, v)) return false;
        Fold(node, std::move(v));
        return true;
      }
      case TK_BINARY: {
        if (node.items[0].kind != TK_CONSTANT || node.items[1].kind != TK_CONSTANT) return true;
        RValue v = node.items[0].value;
        if (!Operator_Binary(code, node.items[1].position, node.ind, node.items[1].value, v)) return false;
        Fold(node, std::move(v));
        return true;
      }
      default: return true;
    }
  }

  static void Fold(RToken& node, RValue v) {
    node.kind = TK_CONSTANT;
    node.value = std::move(v);
    node.items.clear();
    node.depth = 1;
  }
};

// Decides how the interpreter reaches each fixed-owner variable.
void Link(RToken& node) {
  for (auto& child : node.items) {
    Link(child);
    // A block holding one statement runs exactly as that statement; a case
    // label stays wrapped, since bare it would become a label of a switch.
    if (child.kind == TK_BLOCK && child.itemnumb() == 1 && child.items[0].kind != TK_CASE &&
        child.items[0].kind != TK_DEFAULT) {
      RToken only = std::move(child.items[0]);
      child = std::move(only);
    }
  }
  if (node.kind == TK_VARIABLE && node.items[0].kind == TK_CONSTANT && !node.items[0].value.IsString()) {
    node.ind2 = Real_ToInt32(node.items[0].value.val);
    node.access = VA_INDEXED;
    return;
  }
  if (node.kind != TK_FIXEDVARIABLE) return;
  const int32_t ind = node.ind;
  switch (node.ind2) {
    case OWNER_IMPLICIT:
    case OWNER_SELF:
      if (ind > kBuiltinVariableLimit) {
        if (node.ind2 == OWNER_IMPLICIT) node.access = VA_SELF_USER;
        return;
      }
      {
        const std::string& name = g_BuiltinVars[ind].name;
        if (name.size() > 8 && name.compare(0, 8, "argument") == 0 && name[8] >= '0' && name[8] <= '9') {
          int32_t k = std::stoi(name.substr(8));
          if (k >= 0 && k < kMaxArgumentSlots) {
            node.access = VA_ARGUMENT;
            node.hint = k;
            return;
          }
        }
      }
      node.access = VA_BUILTIN;
      return;
    case OWNER_LOCAL: node.access = VA_LOCAL; return;
    case OWNER_GLOBAL: node.access = VA_GLOBAL; return;
    default: return;
  }
}

}  // namespace

bool Code_Phase4(const CCode* code, RToken& root) {
  Pass pass{code, {}};
  if (!pass.Walk(root)) return false;
  Link(root);
  return true;
}

}  // namespace tavrin
