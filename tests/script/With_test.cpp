// The with statement: which instances run the body, self and other inside it,
// and how break and continue leave it.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(With, OwnersAndFlow) {
  RunTable({
      {"self, other, all, object and id run once each in a one-instance room",
       "n = 0; with (self) n += 1; with (other) n += 1; with (all) n += 1; with (0) n += 1; with (id) n += 1; "
       "show_debug_message(n)",
       "5\n", ""},
      {"noone, a missing object and a missing id run nothing",
       "n = 0; with (noone) n += 1; with (7) n += 1; with (100500) n += 1; with (-20) n += 1; show_debug_message(n)",
       "0\n", ""},
      {"the body shares the locals", "var n; n = 0; with (all) n += 1; show_debug_message(n)", "1\n", ""},
      {"other inside is the instance that started", "q = 1; with (all) show_debug_message(other.q + self.q)", "2\n", ""},
      {"break in a single-instance with leaves the loop around it",
       "n = 0; repeat (3) { n += 1; with (other) break; } show_debug_message(n)", "1\n", ""},
      {"break in a with over all leaves only the with",
       "n = 0; repeat (3) { n += 1; with (all) break; } show_debug_message(n)", "3\n", ""},
      {"continue in a single-instance with ends only the body",
       "n = 0; repeat (3) { with (self) continue; n += 1; } show_debug_message(n)", "3\n", ""},
      {"exit inside with ends the run", "with (all) exit; show_debug_message(\"not reached\")", "", ""},
      {"local", "with (local) q = 1", "", ActionError(CodeError(1, "with (local) q = 1", 6, "Cannot use local in with statement."))},
      {"global", "with (global) q = 1", "", ActionError(CodeError(1, "with (global) q = 1", 6, "Cannot use global in with statement."))},
      {"a string", "with (\"a\") q = 1", "", ActionError(CodeError(1, "with (\"a\") q = 1", 7, "Object id expected"))},
      {"do is optional", "with (self) do show_debug_message(1)", "1\n", ""},
  });
}

}  // namespace tavrin::test
