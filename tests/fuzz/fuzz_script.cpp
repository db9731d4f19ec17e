// Arbitrary text through the lexer and the compiler, as a program and as an
// expression: no crash, no hang, whatever the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_Main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = [] {
    tavrin::Script_InitEngine();
    return true;
  }();
  (void)ready;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (bool expression : {false, true}) {
    tavrin::CCodeRef code = tavrin::Code_Create(text, expression);
    code->Compile();
    tavrin::Error_ClearPending();
  }
  return 0;
}
