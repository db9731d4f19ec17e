// The operators of the language, shared by the interpreter and by the
// compiler's constant folding.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/Code_Symbols.h"
#include "script/Variable_Class.h"

namespace tavrin {

class CCode;

// Applies unary operator `op` to `value` in place. False when the operand has
// the wrong kind; the message is then recorded at `position` of `code`.
bool Operator_Unary(const CCode* code, int32_t position, int32_t op, RValue& value);
// Applies binary operator `op` with `left` (replaced by the result) and `right`.
bool Operator_Binary(const CCode* code, int32_t position, int32_t op, const RValue& right, RValue& left);

// Reals compare equal within this tolerance, so that 0.1 + 0.2 == 0.3 holds.
constexpr double kCompareEpsilon = 1e-13;

// Whether comparison `op` (OP_LESS ... OP_GREATER, or SYM_ASSIGN as "==")
// holds for a difference `d`: left minus right for reals, the text order for
// strings. The one place the tolerance applies.
[[gnu::always_inline]] inline bool Operator_CompareHolds(int32_t op, double d) {
  switch (op) {
    case OP_LESS: return d < -kCompareEpsilon;
    case OP_LESSEQUAL: return d <= kCompareEpsilon;
    case OP_NOTEQUAL: return d < -kCompareEpsilon || d > kCompareEpsilon;
    case OP_GREATEREQUAL: return d >= -kCompareEpsilon;
    case OP_GREATER: return d > kCompareEpsilon;
    default: return d > -kCompareEpsilon && d < kCompareEpsilon;  // OP_EQUAL, or "=" in an expression
  }
}

// The comparisons, "=" comparing included.
constexpr bool Operator_IsComparison(int32_t op) {
  return (op >= OP_LESS && op <= OP_GREATER) || op == SYM_ASSIGN;
}

}  // namespace tavrin
