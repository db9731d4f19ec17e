// The containers of game code: stacks, queues, lists, maps, priority queues
// and grids, each kind in its own table of numbered slots, and their text form
// (a hexadecimal dump of a little-endian byte stream) that games use to save
// them.
//
// Writing one is refused beyond the string cap before anything is built; its
// length is known from the values alone.
//
// Reading a text form is all-or-nothing: the whole text is parsed first and
// the structure changes only when every count, position and value kind in it
// is sound. A damaged or hostile save must never leave a structure half
// loaded, nor make the runner allocate more than the text can describe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/Variable_Class.h"

namespace tavrin {

// Fills in the routines of the ds_* functions in the function table.
void Function_RegisterDataStructures();

// The tolerance of real comparisons (its absolute value is stored). With 0,
// reals are equal within a relative 1e-12, so tiny rounding still matches.
void DS_SetPrecision(double precision);
double DS_GetPrecision();

// The one comparison of every search, sort and ordered structure: -1, 0, +1.
// Reals are smaller than strings; strings compare by their 16-bit code units.
// NaN is equal to NaN and smaller than every other real, so a sort or a map
// holding NaN still sees one consistent order.
int DS_Compare(const RValue& a, const RValue& b);

class CDS_Stack {
 public:
  std::vector<RValue> i_val;  // bottom to top
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);
};

class CDS_Queue {
 public:
  int32_t i_first = 0;  // one past the tail
  int32_t i_last = 0;   // the head
  std::vector<RValue> i_val;  // the whole array: dequeued and spare entries too
  int32_t Size() const { return i_first - i_last; }
  void Enqueue(const RValue& v);
  RValue Dequeue();
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);
};

class CDS_List {
 public:
  std::vector<RValue> i_val;
  void Sort(bool ascending);
  void Shuffle();
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);
};

// Pairs in ascending key order, equal keys in the order added, addressed by
// their position in that order. They are kept in a run of short blocks with
// a running count of pairs per block (a binary indexed tree), so adding or
// deleting a pair moves at most one block's pairs and finding a position
// takes a logarithmic number of steps: a game that fills a map with
// thousands of keys does not slow down with every key.
class CDS_Map {
 public:
  int32_t Size() const { return m_size; }
  const RValue& Key(int32_t i) const { return At(i).key; }
  const RValue& Value(int32_t i) const { return At(i).val; }
  void SetValue(int32_t i, const RValue& val);
  int32_t Lower(const RValue& key) const;  // first key not smaller, or -1
  int32_t Upper(const RValue& key) const;  // last key not greater, or -1
  void Add(const RValue& key, const RValue& val);
  void Delete(int32_t i);
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);

 private:
  struct RPair {
    RValue key;
    RValue val;
  };
  using Block = std::vector<RPair>;
  // A block is split in two when it grows beyond this many pairs.
  static constexpr size_t kBlockPairs = 256;
  // Where position i is: its block, and its offset in the block.
  struct RPlace {
    size_t block;
    int32_t offset;
  };
  RPlace Locate(int32_t i) const;
  const RPair& At(int32_t i) const;
  void Recount();                          // the tree anew from the blocks
  void CountChange(size_t block, int32_t delta);
  std::vector<Block> m_blocks;  // none empty
  std::vector<int32_t> m_counts;  // the tree over the blocks' sizes, from index 1
  int32_t m_size = 0;
  // The block of the last position looked up: a search narrows down inside
  // one block, so most looks need not walk the tree.
  mutable RPlace m_lastBlock{0, 0};  // the block, and the position of its first pair
  mutable bool m_lastValid = false;
};

class CDS_Priority {
 public:
  std::vector<RValue> i_val;
  std::vector<RValue> i_priority;
  int32_t FindMin() const;  // index, or -1 when empty
  int32_t FindMax() const;
  void DeleteAt(int32_t index);
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);
};

// The most cells a grid may have (2^24, 4096 x 4096, about 400 MB): a
// mistyped size must not take all the machine's memory and end the game.
constexpr uint64_t kMaxGridCells = uint64_t(1) << 24;

class CDS_Grid {
 public:
  int32_t i_w = 0, i_h = 0;
  std::vector<RValue> i_val;  // column by column: cell (x, y) at x * i_h + y
  // Negative sizes count as 0. False, with the grid unchanged, when the
  // size has more than kMaxGridCells cells.
  bool Create(int32_t w, int32_t h);
  bool Resize(int32_t w, int32_t h);
  RValue& Cell(int32_t x, int32_t y) { return i_val[static_cast<size_t>(x) * i_h + y]; }
  const RValue& Cell(int32_t x, int32_t y) const { return i_val[static_cast<size_t>(x) * i_h + y]; }
  void Shuffle();
  // Combines the region x1..x2, y1..y2 of `source` into this grid at xpos,
  // ypos with `op` (1 set, 2 add, 3 multiply). `source` may be this grid.
  // Coordinates are within the 32-bit range.
  void GridOperation(int op, const CDS_Grid& source, int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t xpos,
                     int64_t ypos);
  std::string WriteToString() const;
  size_t TextLength() const;  // of WriteToString's text, without making it
  bool ReadFromString(std::string_view text);
};

// Cell operation `op` (1 set, 2 add, 3 multiply) on one value.
void DS_CellOperation(int op, RValue& cell, const RValue& val);

}  // namespace tavrin
