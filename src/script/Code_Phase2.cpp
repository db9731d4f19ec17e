// Phase 2: every identifier becomes a function, a constant or a variable, and
// literals become values.
#include "script/Code_Text.h"
#include "script/Code_Constant.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Phase.h"
#include "script/Code_Variable.h"

namespace tavrin {

extern RArgTracking* g_ArgTracking;

namespace {

// Number literals are read digit by digit in doubles, rounding at every step,
// so that every game gets the same value for the same text.
double NumberValue(std::u16string_view s) {
  double value = 0.0;
  if (!s.empty() && s[0] == u'$') {
    for (size_t i = 1; i < s.size(); ++i) {
      char16_t c = s[i];
      int d = c <= u'9' ? c - u'0' : (c >= u'a' ? c - u'a' + 10 : c - u'A' + 10);
      value = value * 16.0 + d;
    }
    return value;
  }
  bool fraction = false;
  double weight = 1.0;
  for (char16_t c : s) {
    if (c == u'.') {
      fraction = true;
      continue;
    }
    int d = c - u'0';
    if (!fraction) {
      value = value * 10.0 + d;
    } else {
      weight /= 10.0;
      value = value + d * weight;
    }
  }
  return value;
}

}  // namespace

bool Code_Phase2(const CCode* code, const std::vector<RToken1>& in, RTokens2& out, RArgTracking& args) {
  out.values.clear();
  out.tokens.clear();
  out.tokens.resize(in.size());
  RValue value;
  // A literal or constant: its value goes aside, the token keeps its index.
  auto setValue = [&](RToken2& r, RValue v) {
    r.symbol = SYM_VALUE;
    r.ind = static_cast<int32_t>(out.values.size());
    out.values.push_back(std::move(v));
  };
  g_ArgTracking = &args;
  bool ok = true;
  for (size_t i = 0; i < in.size() && ok; ++i) {
    const RToken1& t = in[i];
    RToken2& r = out.tokens[i];
    r.symbol = t.symbol;
    r.position = t.position;
    switch (t.symbol) {
      case SYM_IDENT: {
        std::string name = Text_ToUTF8(t.str);
        if (i + 1 < in.size() && in[i + 1].symbol == SYM_LPAREN) {
          int32_t id = 0;
          if (!Function_Resolve(name, id)) {
            Error_SetCodeError(code, t.position, "Unknown function or script: " + name);
            ok = false;
            break;
          }
          r.symbol = SYM_FUNCTION;
          r.ind = id;
        } else if (Constant_Find(name, value)) {
          setValue(r, std::move(value));
        } else {
          r.symbol = SYM_VARIABLE;
          r.ind = Variable_Find(name);
        }
        break;
      }
      case SYM_NUMBER:
        setValue(r, RValue::Real(NumberValue(t.str)));
        break;
      case SYM_STRING:
        setValue(r, RValue::String(RString(Text_ToUTF8(t.str))));
        break;
      default: break;
    }
  }
  g_ArgTracking = nullptr;
  return ok;
}

}  // namespace tavrin
