#include "script/Code_Main.h"

#include "script/Code_Error.h"
#include "script/Code_Phase.h"
#include "script/Code_Program.h"

namespace tavrin {

CCode::CCode(std::string text, bool isexp) : i_kind(isexp ? CODE_EXPRESSION : CODE_PROGRAM), i_str(std::move(text)) {}
CCode::~CCode() = default;

bool CCode::Compile() {
  Error_ClearPending();
  if (i_compiled) {
    Error_SetCodeError(this, 0, "Internal Error: Recompiling compiled code.");
    return false;
  }
  RArgTracking args;
  std::u16string text;
  std::vector<RToken1> tokens1;
  RTokens2 tokens2;
  if (!Code_Phase1(this, text, tokens1)) return false;
  if (!Code_Phase2(this, tokens1, tokens2, args)) return false;
  // Each phase's input is let go as soon as the next one is done with it, so
  // a long text never has all its forms in memory at once.
  std::vector<RToken1>().swap(tokens1);
  std::u16string().swap(text);
  RToken root;
  if (!Code_Phase3(this, tokens2, i_kind == CODE_EXPRESSION, root)) return false;
  tokens2 = RTokens2();
  if (!Code_Phase4(this, root)) return false;
  i_token = std::move(root);
  if (i_kind == CODE_EXPRESSION && i_token.kind == TK_CONSTANT) {
    i_value = i_token.value;
    i_kind = CODE_CONSTANT;
  }
  i_program = Program_Compile(*this);
  i_compiled = true;
  i_Args = args.highest + 1;
  i_ArgArray = args.array;
  return true;
}

}  // namespace tavrin
