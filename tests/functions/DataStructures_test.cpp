// Stacks, queues, lists, maps, priority queues and grids as game code sees
// them, through `tavrin --code`, and their saved text form.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "functions/Support_Data_Structures.h"
#include "package/Support_Stream.h"
#include "script/Conformance.h"

namespace tavrin::test {

namespace {

const std::string kMissing = "Data structure with index does not exist.";
const std::string kNan = "inf = power(10, 300) * power(10, 300); nan = inf - inf;\n";

// A text form built byte by byte, to describe damaged saves exactly.
std::string Hex(const std::function<void(CStream&)>& fill) {
  CStream s;
  fill(s);
  return s.ConvertToString();
}
void Value(CStream& s, int32_t kind, double val, const std::string& text) {
  s.WriteInteger(kind);
  s.WriteReal(val);
  s.WriteString(text);
}

}  // namespace

TEST(DataStructures, SlotsAndMissingStructures) {
  RunTable({
      {"a destroyed index is reused; each kind counts on its own",
       "a = ds_stack_create(); b = ds_stack_create(); ds_stack_destroy(a); c = ds_stack_create(); "
       "d = ds_stack_create(); l = ds_list_create(); g = ds_grid_create(2, 2);\n" +
           Show({"a", "b", "c", "d", "l", "g"}),
       "0\n1\n0\n2\n0\n0\n", ""},
      {"a missing stack is an error and gives 0", Show({"ds_stack_size(3)"}), "0\n", ActionError(kMissing)},
      {"a destroyed list is missing", "l = ds_list_create(); ds_list_destroy(l);\n" + Show({"ds_list_find_value(l, 0)"}),
       "0\n", ActionError(kMissing)},
      {"a negative grid index is missing", Show({"ds_grid_width(-1)"}), "0\n", ActionError(kMissing)},
      {"copy checks its source", "m = ds_map_create(); ds_map_add(m, 1, 2); ds_map_copy(m, 7);\n" + Show({"ds_map_size(m)"}),
       "1\n", ActionError(kMissing)},
      {"ids are rounded", "q = ds_queue_create(); ds_queue_enqueue(0.4, 'x');\n" + Show({"ds_queue_head(q)"}), "x\n",
       ""},
  });
}

TEST(DataStructures, StacksAndQueues) {
  RunTable({
      {"stack order, and pop and top of an empty stack give 0",
       "s = ds_stack_create(); ds_stack_push(s, 1); ds_stack_push(s, 'two');\n" +
           Show({"ds_stack_top(s)", "ds_stack_pop(s)", "ds_stack_pop(s)", "ds_stack_pop(s)", "ds_stack_top(s)",
                 "ds_stack_empty(s)", "ds_stack_size(s)"}),
       "two\ntwo\n1\n0\n0\n1\n0\n", ""},
      {"queue order, head and tail",
       "q = ds_queue_create(); ds_queue_enqueue(q, 'a'); ds_queue_enqueue(q, 'b'); ds_queue_enqueue(q, 'c');\n" +
           Show({"ds_queue_head(q)", "ds_queue_tail(q)", "ds_queue_dequeue(q)", "ds_queue_size(q)",
                 "ds_queue_dequeue(q)", "ds_queue_dequeue(q)", "ds_queue_dequeue(q)", "ds_queue_head(q)",
                 "ds_queue_empty(q)"}),
       "a\nc\na\n2\nb\nc\n0\n0\n1\n", ""},
      {"a long-used queue keeps its order across the move back to the start",
       "q = ds_queue_create(); n = 0; bad = 0;\n"
       "for (i = 0; i < 1000; i += 1) { ds_queue_enqueue(q, i); ds_queue_enqueue(q, i + 0.5);"
       " if (ds_queue_dequeue(q) != n) bad += 1; n += 0.5 }\n" +
           Show({"bad", "ds_queue_size(q)", "ds_queue_head(q)", "ds_queue_tail(q)"}),
       "0\n1000\n500\n999.50\n", ""},
      {"a queue written after one enqueue holds its whole array of 16",
       "q = ds_queue_create(); ds_queue_enqueue(q, 7); w = ds_queue_write(q);\n" +
           Show({"string_length(w)", "string_copy(w, 1, 32)"}),
       "544\nC9000000010000000000000010000000\n", ""},
      {"copy of itself keeps everything",
       "s = ds_stack_create(); ds_stack_push(s, 4); ds_stack_copy(s, s); q = ds_queue_create(); "
       "ds_queue_enqueue(q, 5); ds_queue_copy(q, q);\n" +
           Show({"ds_stack_size(s)", "ds_stack_top(s)", "ds_queue_size(q)", "ds_queue_head(q)"}),
       "1\n4\n1\n5\n", ""},
      {"copy makes an independent copy",
       "a = ds_queue_create(); ds_queue_enqueue(a, 1); ds_queue_enqueue(a, 2); ds_queue_dequeue(a); "
       "b = ds_queue_create(); ds_queue_copy(b, a); ds_queue_enqueue(a, 3);\n" +
           Show({"ds_queue_size(b)", "ds_queue_head(b)", "ds_queue_write(b) == ds_queue_write(b)",
                 "ds_queue_size(a)"}),
       "1\n2\n1\n2\n", ""},
  });
}

TEST(DataStructures, Lists) {
  RunTable({
      {"insert at the end appends; past the end does nothing",
       "l = ds_list_create(); ds_list_add(l, 1); ds_list_add(l, 2); ds_list_add(l, 3);"
       " ds_list_insert(l, 3, 'end'); ds_list_insert(l, 5, 'no'); ds_list_insert(l, -1, 'no'); ds_list_insert(l, 0, 'first');\n" +
           Show({"ds_list_size(l)", "ds_list_find_value(l, 0)", "ds_list_find_value(l, 4)",
                 "ds_list_find_value(l, 5)", "ds_list_find_value(l, -1)", "ds_list_find_index(l, 'no')"}),
       "5\nfirst\nend\n0\n0\n-1\n", ""},
      {"replace and delete only inside the list",
       "l = ds_list_create(); ds_list_add(l, 'a'); ds_list_add(l, 'b'); ds_list_add(l, 'c');"
       " ds_list_replace(l, 3, 'x'); ds_list_delete(l, 3); ds_list_delete(l, -1); ds_list_replace(l, 2, 'z');"
       " ds_list_delete(l, 0);\n" +
           Show({"ds_list_size(l)", "ds_list_find_value(l, 0)", "ds_list_find_value(l, 1)"}),
       "2\nb\nz\n", ""},
      {"reals compare within the precision; with 0 within a relative tolerance",
       "l = ds_list_create(); ds_list_add(l, 0.3); ds_list_add(l, 1); ds_list_add(l, 1000000);\n" +
           Show({"ds_list_find_index(l, 0.1 + 0.2)", "ds_list_find_index(l, 1.000000001)"}) +
           "ds_set_precision(0);\n" +
           Show({"ds_list_find_index(l, 0.1 + 0.2)", "ds_list_find_index(l, 1.000000001)",
                 "ds_list_find_index(l, 1.000001)", "ds_list_find_index(l, 1000000.0000001)"}) +
           "ds_set_precision(-0.5);\n" + Show({"ds_list_find_index(l, 1.4)", "ds_list_find_index(l, 1.6)"}) +
           "ds_set_precision(0.00000001);\n",
       "0\n1\n0\n-1\n-1\n2\n1\n-1\n", ""},
      {"sorting puts reals before strings; strings by code units",
       "l = ds_list_create(); ds_list_add(l, 3); ds_list_add(l, 'a'); ds_list_add(l, 1); ds_list_add(l, 'B');"
       " ds_list_add(l, 'ab'); ds_list_sort(l, 1);\n"
       "s = ''; for (i = 0; i < 5; i += 1) s += string(ds_list_find_value(l, i)) + ' ';\n"
       "ds_list_sort(l, 0); t = ''; for (i = 0; i < 5; i += 1) t += string(ds_list_find_value(l, i)) + ' ';\n" +
           Show({"s", "t"}),
       "1 3 B a ab \nab a B 3 1 \n", ""},
      {"a character beyond U+FFFF sorts before U+FFFD as 16-bit units do",
       "l = ds_list_create(); ds_list_add(l, '\xEF\xBF\xBD'); ds_list_add(l, '😀'); ds_list_add(l, 'z'); ds_list_sort(l, 1);\n" +
           Show({"ds_list_find_value(l, 0)", "ds_list_find_value(l, 1)", "ds_list_find_value(l, 2)"}),
       "z\n😀\n\xEF\xBF\xBD\n", ""},
      {"NaN sorts first and does not disturb the other values",
       kNan + "l = ds_list_create(); ds_list_add(l, 3); ds_list_add(l, nan); ds_list_add(l, 'x'); ds_list_add(l, 1);"
              " ds_list_add(l, nan); ds_list_add(l, 2); ds_list_sort(l, 1);\n"
              "s = ''; for (i = 2; i < 6; i += 1) s += string(ds_list_find_value(l, i)) + ' ';\n" +
           Show({"s", "ds_list_find_index(l, nan)", "ds_list_find_index(l, 1)"}) +
           "ds_list_sort(l, 0); t = ''; for (i = 0; i < 4; i += 1) t += string(ds_list_find_value(l, i)) + ' ';\n" +
           Show({"t", "ds_list_find_index(l, nan)"}),
       "1 2 3 x \n0\n2\nx 3 2 1 \n4\n", ""},
      {"ascending keeps equal values in their order; descending reverses them, on long lists too",
       "l = ds_list_create(); for (i = 0; i < 200; i += 1) ds_list_add(l, (i * 7) mod 10 + (i div 10) / 1000000000000);"
       " ds_set_precision(0.00001); ds_list_sort(l, 1); bad = 0;\n"
       "for (i = 1; i < 200; i += 1) { a = ds_list_find_value(l, i - 1); b = ds_list_find_value(l, i);"
       " if (round(a) > round(b) || (round(a) == round(b) && a > b)) bad += 1 }\n"
       "ds_list_sort(l, 0);\n"
       "for (i = 1; i < 200; i += 1) { a = ds_list_find_value(l, i - 1); b = ds_list_find_value(l, i);"
       " if (round(a) < round(b) || (round(a) == round(b) && a < b)) bad += 1 }\n" +
           Show({"bad", "ds_list_size(l)", "round(ds_list_find_value(l, 0))", "round(ds_list_find_value(l, 199))"}),
       "0\n200\n9\n0\n", ""},
      {"a long list sorts in both directions",
       "l = ds_list_create(); random_set_seed(5); for (i = 0; i < 5000; i += 1) ds_list_add(l, irandom(100000));"
       " ds_list_add(l, 'b'); ds_list_add(l, 'a'); ds_list_sort(l, 1); bad = 0;\n"
       "for (i = 1; i < 5000; i += 1) if (ds_list_find_value(l, i - 1) > ds_list_find_value(l, i)) bad += 1;\n"
       "s = ds_list_find_value(l, 5000) + ds_list_find_value(l, 5001); ds_list_sort(l, 0);\n"
       "for (i = 3; i < 5002; i += 1) if (ds_list_find_value(l, i - 1) < ds_list_find_value(l, i)) bad += 1;\n" +
           Show({"bad", "s", "ds_list_find_value(l, 0)", "ds_list_size(l)"}),
       "0\nab\nb\n5002\n", ""},
      {"shuffle follows the seed and keeps every entry",
       "l = ds_list_create(); for (i = 0; i < 10; i += 1) ds_list_add(l, i);\n"
       "random_set_seed(3); ds_list_shuffle(l); a = ds_list_write(l); random_set_seed(3);"
       " m = ds_list_create(); for (i = 0; i < 10; i += 1) ds_list_add(m, i); ds_list_shuffle(m);\n"
       "sum = 0; same = 1; for (i = 0; i < 10; i += 1) { sum += ds_list_find_value(l, i);"
       " if (ds_list_find_value(l, i) != i) same = 0 }\n" +
           Show({"a == ds_list_write(m)", "sum", "same", "ds_list_size(l)"}),
       "1\n45\n0\n10\n", ""},
      {"copy of itself keeps the list", "l = ds_list_create(); ds_list_add(l, 'k'); ds_list_copy(l, l);\n" +
                                            Show({"ds_list_size(l)", "ds_list_find_value(l, 0)"}),
       "1\nk\n", ""},
  });
}

TEST(DataStructures, Maps) {
  RunTable({
      {"equal keys stay; the first added is found and deleted first",
       "m = ds_map_create(); ds_map_add(m, 5, 'first'); ds_map_add(m, 5, 'second'); ds_map_add(m, 'k', 1);\n" +
           Show({"ds_map_size(m)", "ds_map_find_value(m, 5)"}) + "ds_map_delete(m, 5);\n" +
           Show({"ds_map_size(m)", "ds_map_find_value(m, 5)", "ds_map_exists(m, 5)", "ds_map_exists(m, 6)",
                 "ds_map_find_value(m, 6)", "ds_map_find_value(m, 'k')"}),
       "3\nfirst\n2\nsecond\n1\n0\n0\n1\n", ""},
      {"previous and next keys",
       "m = ds_map_create(); ds_map_add(m, 9, 0); ds_map_add(m, 1, 0); ds_map_add(m, 5, 0);\n" +
           Show({"ds_map_find_next(m, 4)", "ds_map_find_next(m, 5)", "ds_map_find_next(m, 9)",
                 "ds_map_find_previous(m, 5)", "ds_map_find_previous(m, 0)", "ds_map_find_previous(m, 100)",
                 "ds_map_find_first(m)", "ds_map_find_last(m)"}),
       "5\n9\n0\n1\n0\n9\n1\n9\n", ""},
      {"replace changes only an existing key's value",
       "m = ds_map_create(); ds_map_add(m, 'a', 1); ds_map_replace(m, 'a', 2); ds_map_replace(m, 'b', 3);\n" +
           Show({"ds_map_size(m)", "ds_map_find_value(m, 'a')", "ds_map_exists(m, 'b')"}),
       "1\n2\n0\n", ""},
      {"many keys in any order are kept sorted and all found",
       "m = ds_map_create(); for (i = 0; i < 101; i += 1) ds_map_add(m, (i * 37) mod 101, i);\n"
       "k = ds_map_find_first(m); n = 1; bad = 0;\n"
       "while (k != ds_map_find_last(m)) { nk = ds_map_find_next(m, k); if (nk != k + 1) bad += 1;"
       " if (ds_map_find_previous(m, nk) != k) bad += 1; k = nk; n += 1 }\n"
       "for (i = 0; i < 101; i += 1) if (ds_map_find_value(m, (i * 37) mod 101) != i) bad += 1;\n" +
           Show({"n", "bad", "ds_map_find_first(m)", "ds_map_find_last(m)"}),
       "101\n0\n0\n100\n", ""},
      {"thousands of keys, each added twice, then deleted in a run, keep order and first-added-first",
       "m = ds_map_create(); N = 3001;\n"
       "for (i = 0; i < N; i += 1) ds_map_add(m, (i * 1237) mod N, i);\n"
       "for (i = 0; i < N; i += 1) ds_map_add(m, (i * 1237) mod N, -i);\n"
       "for (k = 1000; k < 2500; k += 1) ds_map_delete(m, k);\n"
       "for (k = 1000; k < 2000; k += 1) ds_map_delete(m, k);\n"
       "bad = 0;\n"
       "for (i = 1; i < N; i += 1) { k = (i * 1237) mod N;\n"
       "  if (k >= 1000 && k < 2000) { if (ds_map_exists(m, k)) bad += 1 }\n"
       "  else if (ds_map_find_value(m, k) != (k >= 2000 && k < 2500) * -2 * i + i) bad += 1 }\n"
       "k = ds_map_find_first(m); n = 1;\n"
       "while (k != ds_map_find_last(m)) { nk = ds_map_find_next(m, k); if (nk <= k) bad += 1; k = nk; n += 1 }\n"
       "b = ds_map_create(); ok = ds_map_read(b, ds_map_write(m));\n"
       "for (k = 0; k < N; k += 1) if (ds_map_find_value(b, k) != ds_map_find_value(m, k)) bad += 1;\n"
       "same = ok && ds_map_write(b) == ds_map_write(m); ds_map_add(b, 1500, 'back'); ds_map_delete(b, 2000);\n" +
           Show({"ds_map_size(m)", "n", "bad", "ds_map_find_next(m, 999)", "ds_map_find_previous(m, 2000)",
                 "ds_map_find_last(m)", "same", "ds_map_size(b)", "ds_map_find_value(b, 1500)",
                 "ds_map_find_next(b, 999)", "ds_map_find_next(b, 1500)", "ds_map_exists(b, 2000)"}),
       "3502\n2001\n0\n2000\n999\n3000\n1\n3502\nback\n1500\n2001\n0\n", ""},
      {"an empty map gives 0", "m = ds_map_create();\n" +
                                   Show({"ds_map_find_first(m)", "ds_map_find_last(m)", "ds_map_find_next(m, 1)",
                                         "ds_map_find_previous(m, 1)", "ds_map_empty(m)"}),
       "0\n0\n0\n0\n1\n", ""},
      {"NaN keys keep the map searchable",
       kNan + "m = ds_map_create(); ds_map_add(m, 2, 'b'); ds_map_add(m, nan, 'n'); ds_map_add(m, 1, 'a');\n" +
           Show({"ds_map_find_value(m, 1)", "ds_map_find_value(m, 2)", "ds_map_find_value(m, nan)", "ds_map_size(m)"}),
       "a\nb\nn\n3\n", ""},
  });
}

// A map after thousands of random adds and deletes holds exactly what one
// plain array kept in order would hold, and finds the same positions.
TEST(DataStructures, MapMatchesAPlainOrderedArray) {
  struct RModel {
    std::vector<RValue> keys, vals;
    int32_t Lower(const RValue& k) const {  // first key not smaller
      for (size_t i = 0; i < keys.size(); ++i)
        if (DS_Compare(keys[i], k) >= 0) return static_cast<int32_t>(i);
      return -1;
    }
    int32_t Upper(const RValue& k) const {  // last key not greater
      for (size_t i = keys.size(); i-- > 0;)
        if (DS_Compare(keys[i], k) <= 0) return static_cast<int32_t>(i);
      return -1;
    }
  } model;
  CDS_Map map;
  std::mt19937 random(12345);
  auto anyKey = [&] {
    const int n = static_cast<int>(random() % 300);
    return n < 200 ? RValue::Real(n) : RValue::String("k" + std::to_string(n % 60));
  };
  for (int step = 0; step < 6000; ++step) {
    const RValue key = anyKey();
    if (random() % 3 != 0) {
      const RValue val = RValue::Real(step);
      map.Add(key, val);
      const auto at = static_cast<std::ptrdiff_t>(model.Upper(key) + 1);
      model.keys.insert(model.keys.begin() + at, key);
      model.vals.insert(model.vals.begin() + at, val);
    } else if (const int32_t i = model.Lower(key); i >= 0 && DS_Compare(model.keys[i], key) == 0) {
      ASSERT_EQ(map.Lower(key), i) << step;
      map.Delete(i);
      model.keys.erase(model.keys.begin() + i);
      model.vals.erase(model.vals.begin() + i);
    }
    ASSERT_EQ(map.Size(), static_cast<int32_t>(model.keys.size())) << step;
    const RValue probe = anyKey();
    ASSERT_EQ(map.Lower(probe), model.Lower(probe)) << step;
    ASSERT_EQ(map.Upper(probe), model.Upper(probe)) << step;
    if (step % 500 == 0 || step == 5999)
      for (int32_t i = 0; i < map.Size(); ++i) {
        ASSERT_EQ(DS_Compare(map.Key(i), model.keys[i]), 0) << step << " at " << i;
        ASSERT_EQ(map.Value(i).val, model.vals[i].val) << step << " at " << i;
      }
  }
  CDS_Map read;
  ASSERT_TRUE(read.ReadFromString(map.WriteToString()));
  EXPECT_EQ(read.WriteToString(), map.WriteToString());
}

TEST(DataStructures, PriorityQueues) {
  RunTable({
      {"the first of equal minima wins; delete moves the last pair into its place",
       "p = ds_priority_create(); ds_priority_add(p, 'a', 2); ds_priority_add(p, 'b', 1); ds_priority_add(p, 'c', 1);"
       " ds_priority_add(p, 'd', 5);\n" +
           Show({"ds_priority_find_min(p)", "ds_priority_find_max(p)", "ds_priority_delete_min(p)",
                 "ds_priority_find_min(p)", "ds_priority_find_priority(p, 'a')", "ds_priority_size(p)"}),
       "b\nd\nb\nc\n2\n3\n", ""},
      {"change and delete by value; missing values give 0",
       "p = ds_priority_create(); ds_priority_add(p, 'a', 2); ds_priority_add(p, 'b', 3);"
       " ds_priority_change_priority(p, 'a', 10); ds_priority_delete_value(p, 'zz');\n" +
           Show({"ds_priority_find_max(p)", "ds_priority_find_priority(p, 'q')", "ds_priority_delete_max(p)",
                 "ds_priority_delete_max(p)", "ds_priority_delete_max(p)", "ds_priority_find_min(p)",
                 "ds_priority_empty(p)"}),
       "a\n0\na\nb\n0\n0\n1\n", ""},
  });
}

TEST(DataStructures, Grids) {
  RunTable({
      {"cell operations: add joins strings, a string replaces a real, multiply needs two reals",
       "g = ds_grid_create(3, 2); ds_grid_set(g, 0, 0, 3); ds_grid_add(g, 0, 0, 'x'); ds_grid_add(g, 0, 0, 'y');"
       " ds_grid_set(g, 1, 1, 4); ds_grid_multiply(g, 1, 1, 'z'); ds_grid_multiply(g, 1, 1, 2.5); ds_grid_add(g, 1, 1, 1);"
       " ds_grid_set(g, 3, 0, 9); ds_grid_set(g, -1, 0, 9);\n" +
           Show({"ds_grid_get(g, 0, 0)", "ds_grid_get(g, 1, 1)", "ds_grid_get(g, 3, 0)", "ds_grid_get_sum(g, 0, 0, 2, 1)",
                 "ds_grid_width(g)", "ds_grid_height(g)"}),
       "xy\n11\n0\n11\n3\n2\n", ""},
      {"region statistics skip strings; an area without reals gives the start values",
       "g = ds_grid_create(4, 4); ds_grid_clear(g, 's'); ds_grid_set(g, 3, 3, 2); ds_grid_set(g, 2, 3, -1);\n" +
           Show({"ds_grid_get_max(g, 0, 0, 1, 1)", "ds_grid_get_min(g, 0, 0, 1, 1)", "ds_grid_get_mean(g, 0, 0, 1, 1)",
                 "ds_grid_get_sum(g, 9, 9, -5, -5)", "ds_grid_get_max(g, 9, 9, -5, -5)", "ds_grid_get_mean(g, 3, 3, 0, 0)",
                 "ds_grid_get_min(g, 0, 0, 10, 10)"}),
       "-100000000\n100000000\n0\n1\n2\n0.50\n-1\n", ""},
      {"regions clip to the grid and take their corners in any order",
       "g = ds_grid_create(3, 3); ds_grid_set_region(g, 5, 1, -4, 1, 1); ds_grid_add_region(g, 2, 2, 2, 0, 10);"
       " ds_grid_multiply_region(g, 0, 0, 0, 9, 3);\n" +
           Show({"ds_grid_get_sum(g, 0, 0, 2, 2)", "ds_grid_get(g, 0, 1)", "ds_grid_get(g, 2, 1)", "ds_grid_get(g, 2, 0)"}),
       "35\n3\n11\n10\n", ""},
      {"disks",
       "g = ds_grid_create(5, 5); ds_grid_set_disk(g, 2, 2, 1, 1); ds_grid_add_disk(g, 0, 0, 1.5, 'a');\n" +
           Show({"ds_grid_get_sum(g, 0, 0, 4, 4)", "ds_grid_get_disk_sum(g, 2, 2, 1)", "ds_grid_get(g, 1, 1)",
                 "ds_grid_get(g, 0, 1)", "ds_grid_get_disk_max(g, 4, 4, 0.5)", "ds_grid_get_disk_mean(g, 2, 2, 5)",
                 "ds_grid_value_disk_exists(g, 0, 0, 3, 1)", "ds_grid_value_disk_x(g, 0, 0, 3, 1)",
                 "ds_grid_value_disk_y(g, 0, 0, 3, 1)", "ds_grid_value_disk_exists(g, 4, 4, 1, 1)"}),
       "5\n5\na\na\n0\n0.24\n1\n1\n2\n0\n", ""},
      {"value searches go column by column",
       "g = ds_grid_create(3, 3); ds_grid_set(g, 2, 0, 'v'); ds_grid_set(g, 1, 2, 'v');\n" +
           Show({"ds_grid_value_exists(g, 0, 0, 2, 2, 'v')", "ds_grid_value_x(g, 0, 0, 2, 2, 'v')",
                 "ds_grid_value_y(g, 0, 0, 2, 2, 'v')", "ds_grid_value_x(g, 2, 0, 2, 2, 'v')",
                 "ds_grid_value_exists(g, 0, 0, 2, 2, 'w')", "ds_grid_value_y(g, 0, 0, 2, 2, 'w')"}),
       "1\n1\n2\n2\n0\n0\n", ""},
      {"resize keeps the cells inside both sizes; negative sizes are 0",
       "g = ds_grid_create(2, 2); ds_grid_set(g, 1, 1, 'k'); ds_grid_set(g, 1, 0, 4); ds_grid_resize(g, 3, 2);"
       " ds_grid_set(g, 2, 1, 5);\n" +
           Show({"ds_grid_get(g, 1, 1)", "ds_grid_get(g, 1, 0)", "ds_grid_get_sum(g, 0, 0, 9, 9)"}) +
           "ds_grid_resize(g, -3, 2); h = ds_grid_create(-1, -5);\n" +
           Show({"ds_grid_width(g)", "ds_grid_get(g, 0, 0)", "ds_grid_width(h)", "ds_grid_height(h)",
                 "ds_grid_get_sum(h, 0, 0, 1, 1)"}),
       "k\n4\n9\n0\n0\n0\n0\n0\n", ""},
      {"a grid too large to make is reported and left empty",
       "g = ds_grid_create(100000, 100000);\n" + Show({"g", "ds_grid_width(g)", "ds_grid_height(g)"}), "0\n0\n0\n",
       ActionError("Grid is too large.")},
      {"a resize too large is reported and changes nothing",
       "g = ds_grid_create(2, 3); ds_grid_set(g, 1, 2, 'k'); ds_grid_resize(g, 2147483647, 2);\n" +
           Show({"ds_grid_width(g)", "ds_grid_height(g)", "ds_grid_get(g, 1, 2)"}),
       "2\n3\nk\n", ActionError("Grid is too large.")},
      {"more cells than 4096 x 4096 is too large", "g = ds_grid_create(4097, 4096);\n" + Show({"ds_grid_width(g)"}),
       "0\n", ActionError("Grid is too large.")},
      {"shuffle keeps every cell",
       "g = ds_grid_create(4, 3); for (i = 0; i < 12; i += 1) ds_grid_set(g, i mod 4, i div 4, i);"
       " random_set_seed(9); ds_grid_shuffle(g);\n"
       "same = 1; for (i = 0; i < 12; i += 1) if (ds_grid_get(g, i mod 4, i div 4) != i) same = 0;\n" +
           Show({"ds_grid_get_sum(g, 0, 0, 3, 2)", "ds_grid_get_max(g, 0, 0, 3, 2)", "same"}),
       "66\n11\n0\n", ""},
  });
}

TEST(DataStructures, GridRegionsWithinOneGrid) {
  // A row of 1 2 3 4 5 moved inside its own grid must move, not smear.
  const std::string row =
      "g = ds_grid_create(5, 1); for (i = 0; i < 5; i += 1) ds_grid_set(g, i, 0, i + 1);\n";
  const std::string show = "s = ''; for (i = 0; i < 5; i += 1) s += string(ds_grid_get(g, i, 0)); show_debug_message(s);\n";
  const std::string col =
      "g = ds_grid_create(1, 5); for (i = 0; i < 5; i += 1) ds_grid_set(g, 0, i, i + 1);\n";
  const std::string showCol =
      "s = ''; for (i = 0; i < 5; i += 1) s += string(ds_grid_get(g, 0, i)); show_debug_message(s);\n";
  RunTable({
      {"right by one", row + "ds_grid_set_grid_region(g, g, 0, 0, 3, 0, 1, 0);\n" + show, "11234\n", ""},
      {"left by one", row + "ds_grid_set_grid_region(g, g, 1, 0, 4, 0, 0, 0);\n" + show, "23455\n", ""},
      {"right by two, clipped at the edge", row + "ds_grid_set_grid_region(g, g, 0, 0, 4, 0, 2, 0);\n" + show,
       "12123\n", ""},
      {"down by one", col + "ds_grid_set_grid_region(g, g, 0, 0, 0, 3, 0, 1);\n" + showCol, "11234\n", ""},
      {"up by one", col + "ds_grid_set_grid_region(g, g, 0, 1, 0, 4, 0, 0);\n" + showCol, "23455\n", ""},
      {"add onto itself shifted reads the old cells",
       row + "ds_grid_add_grid_region(g, g, 0, 0, 3, 0, 1, 0);\n" + show, "13579\n", ""},
      {"multiply in place", row + "ds_grid_multiply_grid_region(g, g, 0, 0, 4, 0, 0, 0);\n" + show, "1491625\n", ""},
      {"a negative position skips the cells left of the grid",
       row + "h = ds_grid_create(5, 1); ds_grid_set_grid_region(h, g, 0, 0, 4, 0, -2, 0); s = '';"
             " for (i = 0; i < 5; i += 1) s += string(ds_grid_get(h, i, 0)); show_debug_message(s);\n",
       "34500\n", ""},
      {"huge positions and corners move nothing",
       row + "big = power(10, 30); ds_grid_set_grid_region(g, g, 0, 0, 4, 0, big, 0);"
             " ds_grid_set_grid_region(g, g, 0, 0, 4, 0, -big, -big); ds_grid_set_grid_region(g, g, -big, 0, big, 0, 0, big);\n" + show,
       "12345\n", ""},
      {"huge corners clip to the source", row + "big = power(10, 30); ds_grid_set_grid_region(g, g, -big, -big, big, big, 1, 0);\n" + show,
       "11234\n", ""},
      {"a missing source is an error", row + "ds_grid_set_grid_region(g, 4, 0, 0, 1, 1, 0, 0);\n" + show, "12345\n",
       ActionError(kMissing)},
  });
}

TEST(DataStructures, TextFormRoundTrips) {
  const std::string check =
      "show_debug_message(string(ok) + ' ' + string(w1 == w2) + ' ' + string(string_length(w1) > 8));\n";
  RunTable({
      {"stack",
       "a = ds_stack_create(); ds_stack_push(a, 1.5); ds_stack_push(a, 'héllo'); w1 = ds_stack_write(a);"
       " b = ds_stack_create(); ok = ds_stack_read(b, w1); w2 = ds_stack_write(b);\n" + check +
           Show({"ds_stack_pop(b)", "ds_stack_pop(b)", "ds_stack_size(b)"}),
       "1 1 1\nhéllo\n1.50\n0\n", ""},
      {"queue with dequeued entries",
       "a = ds_queue_create(); for (i = 0; i < 20; i += 1) ds_queue_enqueue(a, i); repeat (5) ds_queue_dequeue(a);"
       " w1 = ds_queue_write(a); b = ds_queue_create(); ok = ds_queue_read(b, w1); w2 = ds_queue_write(b);\n" +
           check + Show({"ds_queue_size(b)", "ds_queue_head(b)", "ds_queue_tail(b)"}),
       "1 1 1\n15\n5\n19\n", ""},
      {"list, lower-case digits read too",
       "a = ds_list_create(); ds_list_add(a, 'x'); ds_list_add(a, -2); w1 = ds_list_write(a);"
       " b = ds_list_create(); ok = ds_list_read(b, string_lower(w1)); w2 = ds_list_write(b);\n" + check +
           Show({"ds_list_find_value(b, 0)", "ds_list_find_value(b, 1)"}),
       "1 1 1\nx\n-2\n", ""},
      {"map",
       "a = ds_map_create(); ds_map_add(a, 'k', 1); ds_map_add(a, 3, 'v'); w1 = ds_map_write(a);"
       " b = ds_map_create(); ok = ds_map_read(b, w1); w2 = ds_map_write(b);\n" + check +
           Show({"ds_map_find_value(b, 'k')", "ds_map_find_value(b, 3)", "ds_map_find_first(b)"}),
       "1 1 1\n1\nv\n3\n", ""},
      {"priority",
       "a = ds_priority_create(); ds_priority_add(a, 'lo', 1); ds_priority_add(a, 'hi', 9); w1 = ds_priority_write(a);"
       " b = ds_priority_create(); ok = ds_priority_read(b, w1); w2 = ds_priority_write(b);\n" + check +
           Show({"ds_priority_find_min(b)", "ds_priority_find_max(b)"}),
       "1 1 1\nlo\nhi\n", ""},
      {"grid",
       "a = ds_grid_create(3, 2); ds_grid_set(a, 2, 1, 'c'); ds_grid_set(a, 1, 0, 7); w1 = ds_grid_write(a);"
       " b = ds_grid_create(1, 1); ok = ds_grid_read(b, w1); w2 = ds_grid_write(b);\n" + check +
           Show({"ds_grid_width(b)", "ds_grid_height(b)", "ds_grid_get(b, 2, 1)", "ds_grid_get(b, 1, 0)"}),
       "1 1 1\n3\n2\nc\n7\n", ""},
      {"a last unpaired character is ignored; an empty text or a real is refused",
       "a = ds_list_create(); ds_list_add(a, 'x'); b = ds_list_create(); ok = ds_list_read(b, ds_list_write(a) + 'Z');"
       " e = ds_list_read(b, ''); r = ds_list_read(b, 3);\n" +
           Show({"ok", "ds_list_find_value(b, 0)", "e", "r", "ds_list_size(b)"}),
       "1\nx\n0\n0\n1\n", ""},
      {"a text of another kind changes nothing",
       "s = ds_stack_create(); ds_stack_push(s, 1); l = ds_list_create(); ds_list_add(l, 'keep');"
       " ok = ds_list_read(l, ds_stack_write(s));\n" +
           Show({"ok", "ds_list_size(l)", "ds_list_find_value(l, 0)"}),
       "0\n1\nkeep\n", ""},
      {"the text form of a fresh stack", "s = ds_stack_create();\n" + Show({"ds_stack_write(s)"}),
       "6500000000000000\n", ""},
  });
}

// Every kind's text form obeys the string cap: two shared strings of 64 MiB
// make a text of more than 256 MiB, which is refused before it is built.
TEST(DataStructures, TextFormsObeyTheStringCap) {
  struct Kind {
    const char* name;
    const char* fill;  // puts s into `d` twice, and writes it into w
  };
  const Kind kinds[] = {
      {"stack", "d = ds_stack_create(); ds_stack_push(d, s); ds_stack_push(d, s); w = ds_stack_write(d);"},
      {"queue", "d = ds_queue_create(); ds_queue_enqueue(d, s); ds_queue_enqueue(d, s); w = ds_queue_write(d);"},
      {"list", "d = ds_list_create(); ds_list_add(d, s); ds_list_add(d, s); w = ds_list_write(d);"},
      {"map", "d = ds_map_create(); ds_map_add(d, s, s); w = ds_map_write(d);"},
      {"priority", "d = ds_priority_create(); ds_priority_add(d, s, s); w = ds_priority_write(d);"},
      {"grid", "d = ds_grid_create(2, 1); ds_grid_set(d, 0, 0, s); ds_grid_set(d, 1, 0, s); w = ds_grid_write(d);"},
  };
  std::vector<CodeCase> cases;
  for (const Kind& k : kinds)
    cases.push_back({k.name, std::string("s = string_repeat('a', 67108864); ") + k.fill + "\n" + Show({"is_real(w)"}),
                     "1\n", ActionError("Resulting string is too long.")});
  RunTable(cases);
}

// The length of a text form is known before the text is made; it must be the
// length the text comes out with.
TEST(DataStructures, TextLengthIsKnownBeforeWriting) {
  const RValue a = RValue::String("héllo"), r = RValue::Real(2.5), e = RValue::String("");
  CDS_Stack stack;
  stack.i_val = {a, r, e};
  CDS_Queue queue;
  for (int i = 0; i < 20; ++i) queue.Enqueue(i % 2 ? a : r);
  queue.Dequeue();
  CDS_List list;
  list.i_val = {e, a};
  CDS_Map map;
  map.Add(a, r);
  map.Add(r, a);
  CDS_Priority priority;
  priority.i_val = {a, r};
  priority.i_priority = {r, a};
  CDS_Grid grid;
  ASSERT_TRUE(grid.Create(3, 2));
  grid.Cell(2, 1) = a;
  EXPECT_EQ(stack.TextLength(), stack.WriteToString().size());
  EXPECT_EQ(queue.TextLength(), queue.WriteToString().size());
  EXPECT_EQ(list.TextLength(), list.WriteToString().size());
  EXPECT_EQ(map.TextLength(), map.WriteToString().size());
  EXPECT_EQ(priority.TextLength(), priority.WriteToString().size());
  EXPECT_EQ(grid.TextLength(), grid.WriteToString().size());
  EXPECT_EQ(CDS_Map().TextLength(), CDS_Map().WriteToString().size());
}

TEST(DataStructures, DamagedTextChangesNothing) {
  struct Kind {
    const char* name;
    const char* setup;  // makes `d` holding something
  };
  const Kind kinds[] = {
      {"stack", "d = ds_stack_create(); ds_stack_push(d, 'keep');"},
      {"queue", "d = ds_queue_create(); ds_queue_enqueue(d, 'keep');"},
      {"list", "d = ds_list_create(); ds_list_add(d, 'keep');"},
      {"map", "d = ds_map_create(); ds_map_add(d, 'keep', 1);"},
      {"priority", "d = ds_priority_create(); ds_priority_add(d, 'keep', 1);"},
      {"grid", "d = ds_grid_create(1, 1); ds_grid_set(d, 0, 0, 'keep');"},
  };
  struct Damage {
    const char* name;
    std::string text;
  };
  auto damaged = [](const char* kind, int32_t tag) {
    // Each text starts well formed for its kind and goes wrong in one place.
    auto head = [kind, tag](CStream& s, int32_t n) {
      s.WriteInteger(tag);
      if (std::string(kind) == "queue") {
        s.WriteInteger(n);
        s.WriteInteger(0);
      } else if (std::string(kind) == "grid") {
        s.WriteInteger(n);
      }
      s.WriteInteger(n);
    };
    const int32_t per = std::string(kind) == "map" || std::string(kind) == "priority" ? 2 : 1;
    std::vector<Damage> cases = {
        {"a count larger than the text", Hex([&](CStream& s) {
           head(s, 3);
           for (int i = 0; i < per * 3 - 1; ++i) Value(s, 0, i, "");
         })},
        {"a huge count", Hex([&](CStream& s) {
           head(s, 0x7FFFFFFF);
           Value(s, 0, 1, "");
         })},
        {"a negative count", Hex([&](CStream& s) {
           head(s, -1);
           Value(s, 0, 1, "");
         })},
        {"a value of kind 2", Hex([&](CStream& s) {
           head(s, 1);
           for (int i = 0; i < per; ++i) Value(s, i == per - 1 ? 2 : 0, 1, "");
         })},
        {"a string longer than the text", Hex([&](CStream& s) {
           head(s, 1);
           for (int i = 0; i < per - 1; ++i) Value(s, 0, 1, "");
           s.WriteInteger(1);
           s.WriteReal(0);
           s.WriteInteger(1000);
           s.WriteInteger(0);
         })},
        {"a negative string length", Hex([&](CStream& s) {
           head(s, 1);
           for (int i = 0; i < per - 1; ++i) Value(s, 0, 1, "");
           s.WriteInteger(1);
           s.WriteReal(0);
           s.WriteInteger(-5);
         })},
        {"only the kind number", Hex([&](CStream& s) { s.WriteInteger(tag); })},
        {"three bytes", Hex([&](CStream& s) { s.WriteInteger(tag); }).substr(0, 6)},
    };
    // A sound text with one character that is no hexadecimal digit.
    std::string good = Hex([&](CStream& s) {
      head(s, 1);
      for (int i = 0; i < per; ++i) Value(s, 0, 42, "");
    });
    std::string bad = good;
    bad[bad.size() - 3] = 'G';
    cases.push_back({"a character that is no hexadecimal digit", bad});
    std::string spaced = good;
    spaced[9] = ' ';
    cases.push_back({"a blank inside the counts", spaced});
    return cases;
  };
  std::vector<CodeCase> table;
  const int32_t tags[] = {101, 201, 301, 401, 501, 601};
  for (size_t k = 0; k < 6; ++k) {
    const std::string n = kinds[k].name;
    for (const Damage& d : damaged(kinds[k].name, tags[k])) {
      table.push_back({n + ": " + d.name,
                       std::string(kinds[k].setup) + " before = ds_" + n + "_write(d); ok = ds_" + n + "_read(d, '" +
                           d.text + "');\nshow_debug_message(string(ok) + ' ' + string(before == ds_" + n +
                           "_write(d)));\n",
                       "0 1\n", ""});
    }
  }
  // Queue positions must lie inside the stored array.
  auto queue = [](int32_t first, int32_t last, int32_t capacity) {
    return Hex([&](CStream& s) {
      s.WriteInteger(201);
      s.WriteInteger(first);
      s.WriteInteger(last);
      s.WriteInteger(capacity);
      for (int i = 0; i < capacity; ++i) Value(s, 0, i, "");
    });
  };
  const struct {
    const char* name;
    std::string text;
    const char* out;
  } positions[] = {
      {"tail past the array", queue(5, 0, 4), "0 1\n"},
      {"head before the array", queue(2, -1, 4), "0 1\n"},
      {"head after the tail", queue(1, 3, 4), "0 1\n"},
      {"huge tail", queue(0x7FFFFFFF, 0, 2), "0 1\n"},
      {"a full array is sound", queue(4, 4, 4), "1 0\n"},
  };
  for (const auto& p : positions)
    table.push_back({std::string("queue: ") + p.name,
                     "d = ds_queue_create(); ds_queue_enqueue(d, 'keep'); before = ds_queue_write(d); ok = ds_queue_read(d, '" +
                         p.text + "');\nshow_debug_message(string(ok) + ' ' + string(before == ds_queue_write(d)));\n",
                     p.out, ""});
  RunTable(table);
}

}  // namespace tavrin::test
