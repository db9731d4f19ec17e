// Random numbers, arithmetic, averages and geometry as game code sees them,
// through `tavrin --code`.
#include <gtest/gtest.h>

#include "script/Conformance.h"

namespace tavrin::test {

namespace {
// An infinity and a NaN, which the language has no literals for.
const std::string kInf = "inf = power(10, 300) * power(10, 300); nan = inf - inf;\n";
}  // namespace

TEST(MathFunctions, RandomGeneratorFollowsItsSeed) {
  RunTable({
      {"after seed 1 the first real draw is 134775814 / 2^32, then an integer draw with bound 10",
       "random_set_seed(1);\n" + Show({"random(4294967296)", "irandom(9)", "random_get_seed()"}),
       "134775814\n8\n-596792289\n", ""},
      {"the same seed gives the same sequence",
       "random_set_seed(123); a = ''; repeat (5) a += string(irandom(3));\n"
       "random_set_seed(123); b = ''; repeat (5) b += string(irandom(3));\n" + Show({"a", "a == b"}),
       "30331\n1\n", ""},
      {"choose and irandom_range draw from the same seed",
       "random_set_seed(1); random(1);\n" + Show({"choose('a', 'b', 'c')", "irandom_range(7, 5)", "choose()"}),
       "c\n5\n0\n", ""},
      {"irandom(0) is always 0 and irandom(3.7) stays within 0 to 3",
       "random_set_seed(7); z = 0; hi = 0; repeat (1000) { z += irandom(0); q = irandom(3.7); if (q > hi) hi = q; "
       "if (q < 0 || q != floor(q)) z += 1000 }\n" + Show({"z", "hi"}),
       "0\n3\n", ""},
      {"random_range takes its ends in either order",
       "random_set_seed(1); a = random_range(5, 3); random_set_seed(1); b = random_range(3, 5);\n" +
           Show({"a == b", "string_format(a, 0, 10)"}),
       "1\n3.0627598790\n", ""},
      {"the seed keeps the low 32 bits of the rounded value",
       Show({"random_set_seed(4294967297.4) + random_get_seed()", "random_set_seed(-1) + random_get_seed()"}),
       "1\n-1\n", ""},
      {"randomize changes the seed", "random_set_seed(5); randomize();\n" + Show({"random_get_seed() != 5"}), "1\n", ""},
  });
}

TEST(MathFunctions, RoundingAndIntegerParts) {
  RunTable({
      {"floor, ceil and round at halves",
       Show({"floor(-0.5)", "ceil(-0.5)", "round(2.5)", "round(-2.5)", "round(3.5)", "floor(2)", "ceil(2.1)"}),
       "-1\n0\n2\n-2\n4\n2\n3\n", ""},
      {"floor and ceil keep the low 32 bits of the integer part",
       Show({"floor(4294967297.5)", "ceil(2147483648)", "floor(-4294967297.5)"}), "1\n-2147483648\n-2\n", ""},
      {"NaN and infinities follow the saturating integer rule",
       kInf + Show({"round(nan)", "round(inf)", "round(-inf)", "floor(nan)", "floor(inf)", "ceil(-inf)"}),
       "0\n9223372036854775808\n-9223372036854775808\n0\n-1\n0\n", ""},
      {"sign has a dead zone of 1e-13",
       Show({"sign(0.00000000000001)", "sign(-0.0000000000001)", "sign(-3)", "sign(2)", "sign(0)"}),
       "0\n-1\n-1\n1\n0\n", ""},
      {"frac keeps the sign", kInf + Show({"frac(-3.75)", "frac(2.5)", "frac(inf)"}), "-0.75\n0.50\n0\n", ""},
      {"abs, sqr, sqrt", Show({"abs(-2)", "sqr(-3)", "sqrt(16)"}), "2\n9\n4\n", ""},
  });
}

TEST(MathFunctions, FaultsAreReportedAndGiveZero) {
  auto fault = [](const char* call, const char* message) {
    return CodeCase{call, std::string("show_debug_message(") + call + ")", "0\n", ActionError(message)};
  };
  RunTable({
      fault("sqrt(-1)", "Cannot apply sqrt to negative number."),
      fault("exp(1000)", "Error in function exp()."),
      fault("ln(0)", "Error in function ln()."),
      fault("ln(-1)", "Error in function ln()."),
      fault("log2(0)", "Error in function log2()."),
      fault("log10(-1)", "Error in function log10()."),
      fault("arcsin(2)", "Error in function arcsin()."),
      fault("arccos(-2)", "Error in function arccos()."),
      fault("power(0, -1)", "Error in function power()."),
      fault("power(-8, 1/3)", "Error in function power()."),
      fault("logn(1, 5)", "Error in function logn()."),
      fault("logn(10, 0)", "Error in function logn()."),
      {"the same functions inside their domain",
       Show({"log2(8)", "log10(1000)", "logn(2, 8)", "power(2, 10)", "arctan2(0, 0)", "exp(0)", "ln(1)",
             "string_format(degtorad(180), 0, 10)", "radtodeg(pi)", "string_format(arctan2(3, 4), 0, 10)",
             "string_format(arcsin(1), 0, 10)", "arctan(0)"}),
       "3\n3\n3\n1024\n0\n1\n0\n3.1415926536\n180\n0.6435011088\n1.5707963268\n0\n", ""},
  });
}

TEST(MathFunctions, MinimumMaximumAndAverages) {
  RunTable({
      {"min and max over reals", Show({"min(3, 1, 2)", "max(3, 1, 2)", "min()", "min3(4, 2, 9)", "max3(4, 2, 9)"}),
       "1\n3\n0\n2\n9\n", ""},
      {"strings compare as text; mixed kinds compare by the numeric part while the result is a real",
       Show({"min('b', 'a')", "max('b', 'a')", "min(5, 'a')", "is_string(min(5, 'a'))", "max(5, 'a')",
             "is_real(min('a', 5))", "max('a', 5)"}),
       "a\nb\na\n1\n5\n1\na\n", ""},
      {"mean and median",
       Show({"mean(1, 2, 3, 4)", "mean()", "median(1, 2, 3, 4)", "median(5)", "median(3, 1, 2)", "median()",
             "median('x', 1)"}),
       "2.50\n0\n2\n5\n2\n0\nx\n", ""},
      {"clamp and lerp", Show({"clamp(5, 0, 3)", "clamp(-1, 0, 3)", "clamp(2, 0, 3)", "lerp(10, 20, 0.25)"}),
       "3\n0\n2\n12.50\n", ""},
  });
}

TEST(MathFunctions, Geometry) {
  RunTable({
      {"distances", Show({"point_distance(0, 0, 3, 4)", "point_distance_3d(1, 2, 3, 3, 5, 9)"}), "5\n7\n", ""},
      {"directions count counter-clockwise with y pointing down",
       Show({"point_direction(0, 0, 0, 10)", "point_direction(0, 0, -1, 0)", "point_direction(0, 0, 1, -1)",
             "point_direction(0, 0, 0, -10)", "point_direction(0, 0, 0, 0)", "point_direction(0, 0, 1, 1)",
             "point_direction(5, 5, 10, 5)"}),
       "270\n180\n45\n90\n0\n315\n0\n", ""},
      {"lengthdir snaps to whole numbers",
       Show({"lengthdir_x(10, 90) == 0", "lengthdir_y(10, 90)", "lengthdir_x(10, 60)", "lengthdir_x(10, 180)",
             "lengthdir_y(10, 45)"}),
       "1\n-10\n5\n-10\n-7.07\n", ""},
      {"dot products are cosines; a vector without length gives 0",
       Show({"dot_product(1, 0, 0, 1)", "dot_product(2, 0, 5, 0)", "dot_product(0, 0, 1, 1)",
             "dot_product(1, 0, -3, 0)", "dot_product_3d(1, 1, 0, 1, 1, 0)", "dot_product_3d(0, 0, 0, 1, 2, 3)"}),
       "0\n1\n0\n-1\n1\n0\n", ""},
  });
}

}  // namespace tavrin::test
