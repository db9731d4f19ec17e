// The four compilation phases: lexing, name resolution, parsing, and the pass
// over the finished tree. Used by the compiler only: CCode::Compile, and the
// variable names it resolves (which record the arguments a code uses).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/Code_Main.h"
#include "script/Code_Symbols.h"

namespace tavrin {

// A token of the lexer. Its text is a view into the UTF-16 text the lexer
// was given, which lives until the names are resolved: a token costs a few
// bytes, not a string of its own.
struct RToken1 {
  int32_t symbol = 0;
  int32_t position = 0;
  std::u16string_view str;
};

// A resolved token. The value of a literal or constant (SYM_VALUE) is kept
// aside in RTokens2::values at index `ind`, so the tokens of a long text stay
// small: most tokens carry no value.
struct RToken2 {
  int32_t symbol = 0;
  int32_t ind = 0;
  int32_t position = 0;
};
struct RTokens2 {
  std::vector<RToken2> tokens;
  std::vector<RValue> values;
};

// Phase 1: cuts the text into tokens ending with SYM_END. `text` receives the
// code's text in UTF-16, which the tokens point into.
bool Code_Phase1(const CCode* code, std::u16string& text, std::vector<RToken1>& out);

// Argument use found while resolving names.
struct RArgTracking {
  int32_t highest = -1;
  bool array = false;
};
// Phase 2: resolves identifiers to functions, constants and variables.
bool Code_Phase2(const CCode* code, const std::vector<RToken1>& in, RTokens2& out,
                 RArgTracking& args);
// Phase 3: parses the tokens into the tree.
bool Code_Phase3(const CCode* code, const RTokens2& in, bool isexp, RToken& root);
// Phase 4: marks locals, fixes constant owners and folds constant operations.
bool Code_Phase4(const CCode* code, RToken& root);

// The deepest nesting of statements and expressions a piece of code may have,
// and the greatest height of its tree. Deeper text is refused when compiled,
// so that compiling and running it cannot exhaust the machine stack.
constexpr int32_t kMaxCodeNesting = 256;
constexpr int32_t kMaxTreeDepth = 2000;

}  // namespace tavrin
