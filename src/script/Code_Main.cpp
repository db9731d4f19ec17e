#include "script/Code_Main.h"

#include "script/Code_Error.h"
#include "script/Code_Phase.h"

namespace tavrin {

CCode::CCode(std::string text, bool isexp) : i_kind(isexp ? CODE_EXPRESSION : CODE_PROGRAM), i_str(std::move(text)) {}

bool CCode::Compile() {
  Error_ClearPending();
  if (i_compiled) {
    Error_SetCodeError(this, 0, "Internal Error: Recompiling compiled code.");
    return false;
  }
  RArgTracking args;
  std::vector<RToken1> tokens1;
  std::vector<RToken2> tokens2;
  if (!Code_Phase1(this, tokens1)) return false;
  if (!Code_Phase2(this, tokens1, tokens2, args)) return false;
  tokens1.clear();
  RToken root;
  if (!Code_Phase3(this, tokens2, i_kind == CODE_EXPRESSION, root)) return false;
  if (!Code_Phase4(this, root)) return false;
  i_token = std::move(root);
  if (i_kind == CODE_EXPRESSION && i_token.kind == TK_CONSTANT) {
    i_value = i_token.value;
    i_kind = CODE_CONSTANT;
  }
  i_compiled = true;
  i_Args = args.highest + 1;
  i_ArgArray = args.array;
  return true;
}

}  // namespace tavrin
