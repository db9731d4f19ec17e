#include "script/Code_Operator.h"

#include <cstring>

#include "script/Code_Error.h"
#include "script/Code_Symbols.h"
#include "script/Code_Text.h"

namespace tavrin {

namespace {

bool Fail(const CCode* code, int32_t position, std::string_view message) {
  Error_SetCodeError(code, position, message);
  return false;
}

}  // namespace

bool Operator_Unary(const CCode* code, int32_t position, int32_t op, RValue& value) {
  if (value.kind != VALUE_REAL) return Fail(code, position, "Wrong type of arguments to unary operator.");
  switch (op) {
    case OP_NOT: value.val = value.val >= 0.5 ? 0.0 : 1.0; return true;
    case OP_PLUS: return true;
    case OP_MINUS: value.val = -value.val; return true;
    case OP_BITNOT: value.val = static_cast<double>(~Real_ToInt64(value.val)); return true;
    default: return Fail(code, position, "Internal error: unknown unary operator.");
  }
}

bool Operator_Binary(const CCode* code, int32_t position, int32_t op, const RValue& right, RValue& left) {
  const bool reals = left.kind == VALUE_REAL && right.kind == VALUE_REAL;
  switch (op) {
    case OP_PLUS:
      if (reals) {
        left.val += right.val;
        return true;
      }
      if (left.kind == VALUE_STRING && right.kind == VALUE_STRING) {
        if (left.str.size() + right.str.size() > kMaxStringLength)
          return Fail(code, position, kStringTooLongMessage);
        if (right.str.empty()) return true;
        if (left.str.empty()) {
          left.str = right.str;
          return true;
        }
        left.str = RString::Concat(left.str.view(), right.str.view());
        return true;
      }
      return Fail(code, position, "Wrong type of arguments to +.");
    case OP_MINUS:
      if (!reals) return Fail(code, position, "Wrong type of arguments to -.");
      left.val -= right.val;
      return true;
    case OP_TIMES:
      if (reals) {
        left.val *= right.val;
        return true;
      }
      if (left.kind == VALUE_REAL && right.kind == VALUE_STRING) {
        int64_t count = Real_ToInt64(left.val);
        RString result;
        if (count > 0 && !right.str.empty()) {
          if (static_cast<uint64_t>(count) > kMaxStringLength / right.str.size())
            return Fail(code, position, kStringTooLongMessage);
          result = RString::Repeat(right.str.view(), static_cast<size_t>(count));
        }
        left.SetString(std::move(result));
        return true;
      }
      return Fail(code, position, "Wrong type of arguments to *.");
    case OP_DIVIDE:
      if (!reals) return Fail(code, position, "Wrong type of arguments to /.");
      if (right.val == 0.0) return Fail(code, position, "Division by 0.");
      left.val /= right.val;
      return true;
    case OP_DIV:
    case OP_MOD: {
      if (!reals) return Fail(code, position, op == OP_DIV ? "Wrong type of arguments to div." : "Wrong type of arguments to mod.");
      if (right.val == 0.0) return Fail(code, position, op == OP_DIV ? "Division by 0." : "Modulo by 0.");
      // The quotient is truncated and kept to its low 32 bits, as games written
      // for 32-bit integer division expect.
      int32_t t = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(Real_TruncToInt64(left.val / right.val))));
      left.val = op == OP_DIV ? static_cast<double>(t) : left.val - t * right.val;
      return true;
    }
    case OP_AND:
    case OP_OR:
    case OP_XOR: {
      if (!reals) {
        return Fail(code, position,
                    op == OP_AND ? "Wrong type of arguments for &&."
                                 : op == OP_OR ? "Wrong type of arguments for ||." : "Wrong type of arguments for ^^.");
      }
      bool a = left.val >= 0.5, b = right.val >= 0.5;
      bool r = op == OP_AND ? (a && b) : op == OP_OR ? (a || b) : (a != b);
      left.val = r ? 1.0 : 0.0;
      return true;
    }
    case OP_BITOR:
    case OP_BITAND:
    case OP_BITXOR: {
      if (!reals) {
        return Fail(code, position,
                    op == OP_BITOR ? "Wrong type of arguments for |."
                                   : op == OP_BITAND ? "Wrong type of arguments for &." : "Wrong type of arguments for ^.");
      }
      int64_t a = Real_ToInt64(left.val), b = Real_ToInt64(right.val);
      left.val = static_cast<double>(op == OP_BITOR ? (a | b) : op == OP_BITAND ? (a & b) : (a ^ b));
      return true;
    }
    case OP_SHIFTLEFT:
    case OP_SHIFTRIGHT: {
      if (!reals) return Fail(code, position, op == OP_SHIFTLEFT ? "Wrong type of arguments for <<." : "Wrong type of arguments for >>.");
      uint64_t a = static_cast<uint64_t>(Real_ToInt64(left.val));
      // Only the low 8 bits of the count matter; counts of 64 and more shift
      // every bit out.
      uint32_t count = static_cast<uint32_t>(static_cast<uint64_t>(Real_ToInt64(right.val)) & 0xFF);
      uint64_t r = count >= 64 ? 0 : (op == OP_SHIFTLEFT ? a << count : a >> count);
      left.val = op == OP_SHIFTLEFT ? static_cast<double>(static_cast<int64_t>(r)) : static_cast<double>(r);
      return true;
    }
    case SYM_ASSIGN:
    case OP_LESS:
    case OP_LESSEQUAL:
    case OP_EQUAL:
    case OP_NOTEQUAL:
    case OP_GREATEREQUAL:
    case OP_GREATER: {
      double d;
      if (reals) {
        d = left.val - right.val;
      } else if (left.kind == VALUE_STRING && right.kind == VALUE_STRING) {
        d = Text_Compare(left.str.view(), right.str.view());
      } else {
        return Fail(code, position, "Cannot compare arguments.");
      }
      left.SetReal(Operator_CompareHolds(op, d) ? 1.0 : 0.0);
      return true;
    }
    default: return Fail(code, position, "Internal error: unknown binary operator.");
  }
}

}  // namespace tavrin
