// Variables read where nothing was ever written, with the setting that lets
// them read 0. (The rest of the variable cases: cases/variables.tvs.)
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Variables, UnwrittenReadsGiveZeroWhenAllowed) {
  RunTable({
      {"unwritten cells read 0 when uninitialised reads are allowed",
       "c[5] = 7; show_debug_message(c); show_debug_message(c[3]); show_debug_message(c[5]); "
       "show_debug_message(c[6] + d[1,0])",
       "0\n0\n7\n0\n", "", 0, SET_UNINITZERO},
      {"unknown variable reads 0 when allowed", "q = nothing + 1; show_debug_message(q)", "1\n", "", 0, SET_UNINITZERO},
      {"compound assignment on an unknown variable when allowed", "q += 1; show_debug_message(q)", "1\n", "", 0,
       SET_UNINITZERO},
      {"every name exists when uninitialised reads are allowed", "show_debug_message(variable_global_exists(\"n6\"))",
       "1\n", "", 0, SET_UNINITZERO},
  });
}

}  // namespace tavrin::test
