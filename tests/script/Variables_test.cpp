// Variables: arrays, globals and globalvar, locals and var, owners, access by
// name, and reading what was never written.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Variables, Arrays) {
  const std::string grown = "c[5] = 7; show_debug_message(c); show_debug_message(c[3]); show_debug_message(c[5]); ";
  RunTable({
      {"cell 0 is the plain value", "a = 1; b = a[0]; a[0,0] = 2; show_debug_message(b); show_debug_message(a)",
       "1\n2\n", ""},
      {"a[i] is a[0,i]", "a[0,4] = 9; show_debug_message(a[4])", "9\n", ""},
      {"a[] is a", "a = 3; show_debug_message(a[])", "3\n", ""},
      {"rows grow with zeros", grown, "0\n0\n7\n", ""},
      {"past the end of a row", grown + "q = c[6]", "0\n0\n7\n",
       ActionError(CodeError(1, grown + "q = c[6]", 90, "Unknown variable c or array index out of bounds"))},
      {"a row that does not exist", "c[5] = 7; q = c[1,0]", "",
       ActionError(CodeError(1, "c[5] = 7; q = c[1,0]", 15, "Unknown variable c or array index out of bounds"))},
      {"empty rows below a written one", "d[2,3] = 1; show_debug_message(d[2,0]); q = d[1]", "0\n",
       ActionError(CodeError(1, "d[2,3] = 1; show_debug_message(d[2,0]); q = d[1]", 45,
                             "Unknown variable d or array index out of bounds"))},
      {"unwritten cells read 0 when uninitialised reads are allowed", grown + "show_debug_message(c[6] + d[1,0])",
       "0\n0\n7\n0\n", "", 0, SET_UNINITZERO},
      {"three indexes", "a[1,2,3] = 0", "",
       CompileError(CodeError(1, "a[1,2,3] = 0", 10, "Only 1- and 2-dimensional arrays are supported.")), 2},
      {"string index", "a[\"s\"] = 1", "", ActionError(CodeError(1, "a[\"s\"] = 1", 3, "Wrong type of array index"))},
      {"negative index", "i = -1; a[i] = 1", "", ActionError(CodeError(1, "i = -1; a[i] = 1", 11, "Negative array index"))},
      {"index too large", "a[1, 32000] = 1", "", ActionError(CodeError(1, "a[1, 32000] = 1", 6, "Array index >= 32000"))},
      {"index rounds to even", "a[2] = 5; show_debug_message(a[2.5])", "5\n", ""},
  });
}

TEST(Variables, GlobalsLocalsAndOwners) {
  RunTable({
      {"globalvar reaches the global", "globalvar g; g = 5; show_debug_message(global.g)", "5\n", ""},
      {"self never reaches a declared global", "globalvar g; g = 5; self.g = 7; show_debug_message(g); show_debug_message(self.g)",
       "5\n7\n", ""},
      {"globalvar declares with 0", "globalvar g2; show_debug_message(g2)", "0\n", ""},
      {"globalvar acts when run, not when compiled", "g = 1; if (0) { globalvar g; } show_debug_message(global.g)", "",
       ActionError(CodeError(1, "g = 1; if (0) { globalvar g; } show_debug_message(global.g)", 51, "Unknown variable g"))},
      {"global prefix", "global.h = 3; show_debug_message(global.h + 1)", "4\n", ""},
      {"var makes names local from the declaration on",
       "q = 1; var q; q = 2; show_debug_message(self.q); show_debug_message(q)", "1\n2\n", ""},
      {"var lists", "var a b, c; a = 1; b = 2; c = 3; show_debug_message(a + b + c)", "6\n", ""},
      {"locals are the run's own", "var k; k = 1; f(); show_debug_message(k)\n#define f\nvar k; k = 99", "1\n", ""},
      {"a local read before any local write", "var k; q = k", "", ActionError(CodeError(1, "var k; q = k", 12, "Unknown variable k"))},
      {"built-in variables cannot be declared", "var x;", "",
       CompileError(CodeError(1, "var x;", 5, "Cannot redeclare a builtin variable.")), 2},
      {"var stops at a non-name", "var self;", "", CompileError(CodeError(1, "var self;", 5, "Variable name expected.")), 2},
      {"the instance's id and object", "show_debug_message(id); show_debug_message(object_index)", "100001\n0\n", ""},
      {"owner by id", "(id).q = 4; show_debug_message(q)", "4\n", ""},
      {"owner by object", "(0).q = 3; show_debug_message(q); show_debug_message((0).q)", "3\n3\n", ""},
      {"owner all", "all.q = 5; show_debug_message(q + all.q)", "10\n", ""},
      {"owner chains", "q = id; r = 6; show_debug_message(self.q.r)", "6\n", ""},
      {"noone cannot be written", "noone.q = 1", "", ActionError(CodeError(1, "noone.q = 1", 1, "Cannot assign to the variable"))},
      {"unknown negative owner cannot be read", "q = (-10).q", "", ActionError(CodeError(1, "q = (-10).q", 6, "Unknown variable q"))},
      {"unknown negative owner cannot be written", "(-10).q = 1", "",
       ActionError(CodeError(1, "(-10).q = 1", 1, "Cannot assign to the variable"))},
      {"a missing instance is written silently but cannot be read", "(100500).q = 1; show_debug_message(\"ok\"); r = (100500).q",
       "ok\n", ActionError(CodeError(1, "(100500).q = 1; show_debug_message(\"ok\"); r = (100500).q", 48, "Unknown variable q"))},
      {"a missing object cannot be read", "q = (5).q", "", ActionError(CodeError(1, "q = (5).q", 6, "Unknown variable q"))},
      {"string owner constant", "q = \"abc\".q", "",
       CompileError(CodeError(1, "q = \"abc\".q", 5, "Left hand side must be a real value.")), 2},
      {"string owner value", "s = \"abc\"; q = s.q", "",
       ActionError(CodeError(1, "s = \"abc\"; q = s.q", 16, "Wrong type of variable index"))},
      {"read-only built-in variable", "id = 3", "", ActionError(CodeError(1, "id = 3", 1, "Cannot assign to the variable"))},
      {"unknown variable", "q = nothing + 1", "", ActionError(CodeError(1, "q = nothing + 1", 5, "Unknown variable nothing"))},
      {"unknown variable reads 0 when allowed", "q = nothing + 1; show_debug_message(q)", "1\n", "", 0, SET_UNINITZERO},
      {"compound assignment on an unknown variable", "q += 1", "", ActionError(CodeError(1, "q += 1", 1, "Unknown variable q"))},
      {"compound assignment on an unknown variable when allowed", "q += 1; show_debug_message(q)", "1\n", "", 0, SET_UNINITZERO},
      {"failed compound assignment leaves the value", "r = 2; execute_string('r += \"a\"'); show_debug_message(r)", "2\n",
       ActionError(CodeError(1, "r += \"a\"", 1, "Wrong type of arguments to +."))},
  });
}

TEST(Variables, AccessByName) {
  RunTable({
      {"global set, get and exists",
       "show_debug_message(variable_global_exists(\"n1\")); variable_global_set(\"n1\", 4); "
       "show_debug_message(variable_global_get(\"n1\") + global.n1); show_debug_message(variable_global_exists(\"n1\"))",
       "0\n8\n1\n", ""},
      {"global arrays", "variable_global_array2_set(\"n2\", 1, 2, 7); show_debug_message(global.n2[1, 2]); "
                        "show_debug_message(variable_global_array_get(\"n2\", 0))",
       "7\n0\n", ""},
      {"instance set, get and exists", "variable_local_array_set(\"n3\", 3, 5); show_debug_message(n3[3]); "
                                       "show_debug_message(variable_local_exists(\"n3\")); show_debug_message(variable_local_get(\"n4\"))",
       "5\n1\n0\n", ""},
      {"built-in variables by name", "show_debug_message(variable_local_get(\"id\"))", "100001\n", ""},
      {"index checks", "variable_global_array_set(\"n5\", -1, 1); show_debug_message(variable_global_exists(\"n5\"))", "0\n",
       ActionError("Array index >= 32000")},
      {"every name exists when uninitialised reads are allowed", "show_debug_message(variable_global_exists(\"n6\"))", "1\n",
       "", 0, SET_UNINITZERO},
  });
}

}  // namespace tavrin::test
