// The register machine's form of a piece of code. After the compiler has
// checked and folded the tree, the tree is compiled once more into a flat
// list of instructions over a small frame of registers; the machine
// (Code_Machine.cpp) runs that list with one jump per instruction instead of
// a walk down the tree. What the machine does not do itself it hands back to
// the tree walker, one expression or statement at a time, so both ways of
// running a piece of code behave exactly alike.
//
// Registers hold temporaries only: variables (locals included) stay where
// the tree walker keeps them, and each variable instruction keeps the
// position where its variable was found last (the node's hint).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

class CCode;
struct RToken;
struct RunContext;

// X(name): every instruction, once. Fields: a, b, c, d are registers (or
// small numbers), `target` a jump target, `node` the tree node the
// instruction stands for (its values, positions and cache word).
#define TAVRIN_INSTRUCTIONS(X)                                                         \
  /* expressions: register a receives the value */                                     \
  X(CONST)        /* a = node's value */                                               \
  X(GET_LOCAL)    /* a = a local of the run */                                         \
  X(GET_REG)      /* a = the local kept in register `target` */                        \
  X(GET_SELF)     /* a = a variable of self (unless the name is globalvar) */          \
  X(GET_GLOBAL)   /* a = global.name */                                                \
  X(GET_ARG)      /* a = argument slot `target` */                                     \
  X(GET_VAR)      /* a = any other fixed-owner variable */                             \
  X(INDEX)        /* a: an array index, checked and made an integer */                 \
  X(INDEX_VAR)    /* a = the node's local or self variable as an array index */        \
  X(INDEX_REG)    /* a = the local in register `target` as an array index */           \
  X(GET_ELEM)     /* a = element [b] or [b, c] of the node's variable */               \
  X(ADD)          /* a = a + b */                                                      \
  X(SUB)          /* a = a - b */                                                      \
  X(MUL)          /* a = a * b */                                                      \
  X(BINARY)       /* a = a op b, any operator */                                       \
  X(ADD_K)        /* a = a + k, the right operand, a real constant */                  \
  X(SUB_K)        /* a = a - constant */                                               \
  X(MUL_K)        /* a = a * constant */                                               \
  X(DIV_K)        /* a = a / constant, not 0 */                                        \
  X(BINARY_K)     /* a = a op constant, any operator */                                \
  X(UNARY)        /* a = op a */                                                       \
  X(CALL)         /* a = function(b .. b+c-1) */                                       \
  X(CALL_SCRIPT)  /* a = script(b .. b+c-1) */                                         \
  X(EVAL_TREE)    /* a = the node, evaluated by the tree walker */                     \
  /* statements: d is where their value goes (the run's result, or not kept) */        \
  X(SET_LOCAL)    /* a local = a */                                                    \
  X(SET_SELF)     /* self's variable = a */                                            \
  X(ADD_LOCAL)    /* a local += or -= a */                                             \
  X(ADD_SELF)     /* self's variable += or -= a */                                     \
  X(ASSIGN)       /* any assignment to a fixed-owner variable, value a */              \
  X(ASSIGN_REG)   /* any assignment to the local in register `target`, value a */      \
  X(SET_ELEM)     /* assignment to element [b] or [b, c], value a */                   \
  X(CALL_STMT)    /* function(b .. b+c-1) as a statement */                            \
  X(CALL_SCRIPT_STMT) /* script(b .. b+c-1) as a statement */                          \
  X(EXEC_TREE)    /* the node, run by the tree walker; then the break and continue jumps */ \
  X(RETURN)       /* d = a; the run ends */                                            \
  X(END)          /* the run ends */                                                   \
  /* control */                                                                        \
  X(JUMP)         /* to target */                                                      \
  X(JUMP_FALSE)   /* to target unless a is true; a string is an error (message b) */   \
  /* to target unless a OP b holds (the node's comparison); _K: a OP k */              \
  X(UNLESS_LT) X(UNLESS_LT_K) X(UNLESS_LE) X(UNLESS_LE_K)                              \
  X(UNLESS_GT) X(UNLESS_GT_K) X(UNLESS_GE) X(UNLESS_GE_K)                              \
  X(UNLESS_EQ) X(UNLESS_EQ_K) X(UNLESS_NE) X(UNLESS_NE_K)                              \
  X(QUIT)         /* the run ends when the program is asked to quit */                 \
  X(REPEAT_INIT)  /* a: the count of a repeat loop, checked */                         \
  X(REPEAT_NEXT)  /* to target when a is used up, else one turn less */              \
  X(FOR_STEP)     /* a for loop's `v += k`, the quit check and `v < k`: to target while it holds */

enum class EOp : uint8_t {
#define TAVRIN_OP(name) name,
  TAVRIN_INSTRUCTIONS(TAVRIN_OP)
#undef TAVRIN_OP
};

constexpr uint16_t kNoRegister = 0xFFFF;
constexpr uint16_t kRunResult = 0xFFFE;  // d: the run's own result

struct RInstruction {
  EOp op = EOp::END;
  uint16_t a = 0, b = 0, c = kNoRegister, d = kRunResult;
  int32_t target = 0;
  const RToken* node = nullptr;
  double k = 0.0;  // a constant right operand
};

class CProgram {
 public:
  std::vector<RInstruction> code;
  uint16_t registers = 1;  // register 0 keeps what the statements of a for head leave
  // The registers that hold the code's locals, when it keeps them there:
  // code that hands nothing to the tree walker and indexes no local. Each
  // run starts with them unwritten.
  std::vector<uint16_t> localRegisters;
};

// The kind of a local register not written yet in the run: reading it is
// reading an unknown variable. It never leaves the machine's registers.
constexpr int32_t kValueUnwritten = -1;

// The most registers a program may use. A piece of code that needs more
// (an expression nested hundreds deep) stays with the tree walker.
constexpr uint16_t kMaxRegisters = 256;

// Compiles the checked tree of `code` for the machine; none when the code is
// better left to the tree walker.
std::unique_ptr<CProgram> Program_Compile(const CCode& code);

// Runs a program for the run `run` describes; a statement result
// (RESULT_NORMAL, RESULT_EXIT or RESULT_ERROR with the error recorded).
int32_t Machine_Run(RunContext& run, const CProgram& program);

// The instructions of a program, one per line, for tests and debugging.
std::string Program_Listing(const CProgram& program);

// Which back end runs game code. The machine is the default; the tree walker
// is chosen by the environment variable TAVRIN_SCRIPT_ENGINE=tree (tests run
// every script case under both).
enum class EScriptEngine : uint8_t { Machine, Tree };
EScriptEngine Code_Engine();
void Code_SetEngine(EScriptEngine engine);

}  // namespace tavrin
