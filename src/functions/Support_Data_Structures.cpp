// Stacks, queues, lists, maps, priority queues and grids of game code.
#include "functions/Support_Data_Structures.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "functions/Function_Math.h"
#include "package/Support_Stream.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Text.h"

namespace tavrin {

// ------------------------------------------------------------- comparison

namespace {
double g_Precision = 0.00000001;
}  // namespace

void DS_SetPrecision(double precision) { g_Precision = std::fabs(precision); }
double DS_GetPrecision() { return g_Precision; }

int DS_Compare(const RValue& a, const RValue& b) {
  if (a.IsReal() != b.IsReal()) return a.IsReal() ? -1 : 1;
  if (a.IsString()) return Text_Compare(a.AsText(), b.AsText());
  const double x = a.AsReal(), y = b.AsReal();
  const bool nx = std::isnan(x), ny = std::isnan(y);
  if (nx || ny) return nx && ny ? 0 : nx ? -1 : 1;
  if (x == y) return 0;  // equal infinities too
  const double tolerance =
      g_Precision != 0 ? g_Precision : std::max(std::min(std::fabs(x), std::fabs(y)) * 1e-12, 1e-12);
  if (std::fabs(x - y) <= tolerance) return 0;
  return x < y ? -1 : 1;
}

void DS_CellOperation(int op, RValue& cell, const RValue& val) {
  switch (op) {
    case 1:
      cell = val;
      break;
    case 2:
      if (cell.IsReal() && val.IsReal())
        cell.SetReal(cell.AsReal() + val.AsReal());
      else if (cell.IsString() && val.IsString()) {
        if (Error_StringTooLong(cell.AsText().size() + val.AsText().size())) return;
        cell.SetString(RString::Concat(cell.AsText(), val.AsText()));
      } else
        cell = val;
      break;
    case 3:
      if (cell.IsReal() && val.IsReal()) cell.SetReal(cell.AsReal() * val.AsReal());
      break;
    default:
      break;
  }
}

// -------------------------------------------------------------- text form

namespace {

constexpr int32_t kStackTag = 101, kQueueTag = 201, kListTag = 301, kMapTag = 401, kPriorityTag = 501,
                  kGridTag = 601;
// The fewest bytes a value takes in the stream (kind, real, string length):
// a count is refused when the bytes left cannot hold that many values.
constexpr size_t kMinValueBytes = 4 + 8 + 4;

int32_t ReadCount(CStream& s) {
  const int32_t n = s.ReadInteger();
  if (!s.CountFits(n, kMinValueBytes)) throw CStreamError("bad count");
  return n;
}

void ReadValues(CStream& s, std::vector<RValue>& out, int32_t n) {
  out.clear();
  out.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) out.push_back(Value_Load(s, EValueRecord::Strict));
}

void WriteValues(CStream& s, const std::vector<RValue>& values) {
  for (const RValue& v : values) Value_Save(s, v);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes of a text form, checked to be hexadecimal digits (a last unpaired
// character is ignored), then the kind's number. False leaves `stream` unused.
bool OpenText(std::string_view text, int32_t tag, CStream& stream) {
  const size_t pairs = text.size() / 2;
  for (size_t i = 0; i < pairs * 2; ++i)
    if (HexDigit(text[i]) < 0) return false;
  stream.ConvertFromString(text.substr(0, pairs * 2));
  if (stream.Remaining() < 4) return false;
  return stream.ReadInteger() == tag;
}

// The stream bytes of values, and the length of the text of a stream holding
// the kind's number and `bytes` more.
size_t ValuesBytes(const std::vector<RValue>& values) {
  size_t n = 0;
  for (const RValue& v : values) n += kMinValueBytes + v.AsText().size();
  return n;
}
size_t TextLengthOf(size_t bytes) { return 2 * (4 + bytes); }

// The text of a stream that starts with the kind's number.
template <class F>
std::string WriteText(int32_t tag, F&& fill) {
  CStream s;
  s.WriteInteger(tag);
  fill(s);
  return s.ConvertToString();
}

// Parses a text whole; `parse` applies what it read only once every part of
// it is sound, so any failure leaves the structure as it was.
template <class F>
bool ReadText(std::string_view text, int32_t tag, F&& parse) {
  CStream s;
  if (!OpenText(text, tag, s)) return false;
  try {
    return parse(s);
  } catch (const CStreamError&) {
    return false;
  }
}

// A count then that many values.
std::vector<RValue> ReadCounted(CStream& s) {
  std::vector<RValue> values;
  ReadValues(s, values, ReadCount(s));
  return values;
}
void WriteCounted(CStream& s, const std::vector<RValue>& values) {
  s.WriteInteger(static_cast<int32_t>(values.size()));
  WriteValues(s, values);
}

// A count then two runs of that many values (map keys and values, priorities
// and values).
bool ReadPairs(CStream& s, std::vector<RValue>& first, std::vector<RValue>& second) {
  const int32_t n = s.ReadInteger();
  if (!s.CountFits(int64_t(n) * 2, kMinValueBytes)) return false;
  std::vector<RValue> a, b;
  ReadValues(s, a, n);
  ReadValues(s, b, n);
  first = std::move(a);
  second = std::move(b);
  return true;
}
void WritePairs(CStream& s, const std::vector<RValue>& first, const std::vector<RValue>& second) {
  WriteCounted(s, first);
  WriteValues(s, second);
}

}  // namespace

size_t CDS_Stack::TextLength() const { return TextLengthOf(4 + ValuesBytes(i_val)); }
std::string CDS_Stack::WriteToString() const {
  return WriteText(kStackTag, [&](CStream& s) { WriteCounted(s, i_val); });
}
bool CDS_Stack::ReadFromString(std::string_view text) {
  return ReadText(text, kStackTag, [&](CStream& s) {
    i_val = ReadCounted(s);
    return true;
  });
}

size_t CDS_Queue::TextLength() const { return TextLengthOf(12 + ValuesBytes(i_val)); }
std::string CDS_Queue::WriteToString() const {
  return WriteText(kQueueTag, [&](CStream& s) {
    s.WriteInteger(i_first);
    s.WriteInteger(i_last);
    WriteCounted(s, i_val);
  });
}
bool CDS_Queue::ReadFromString(std::string_view text) {
  return ReadText(text, kQueueTag, [&](CStream& s) {
    const int32_t first = s.ReadInteger();
    const int32_t last = s.ReadInteger();
    std::vector<RValue> values = ReadCounted(s);
    // The positions must lie inside the array, head before tail: a queue
    // whose positions point outside it would read and write past its end.
    if (last < 0 || first < last || static_cast<size_t>(first) > values.size()) return false;
    i_first = first;
    i_last = last;
    i_val = std::move(values);
    return true;
  });
}

size_t CDS_List::TextLength() const { return TextLengthOf(4 + ValuesBytes(i_val)); }
std::string CDS_List::WriteToString() const {
  return WriteText(kListTag, [&](CStream& s) { WriteCounted(s, i_val); });
}
bool CDS_List::ReadFromString(std::string_view text) {
  return ReadText(text, kListTag, [&](CStream& s) {
    i_val = ReadCounted(s);
    return true;
  });
}

size_t CDS_Map::TextLength() const {
  size_t n = 4;
  for (const Block& b : m_blocks)
    for (const RPair& p : b) n += 2 * kMinValueBytes + p.key.AsText().size() + p.val.AsText().size();
  return TextLengthOf(n);
}
std::string CDS_Map::WriteToString() const {
  return WriteText(kMapTag, [&](CStream& s) {
    s.WriteInteger(m_size);
    for (const Block& b : m_blocks)
      for (const RPair& p : b) Value_Save(s, p.key);
    for (const Block& b : m_blocks)
      for (const RPair& p : b) Value_Save(s, p.val);
  });
}
bool CDS_Map::ReadFromString(std::string_view text) {
  std::vector<RValue> keys, vals;
  if (!ReadText(text, kMapTag, [&](CStream& s) { return ReadPairs(s, keys, vals); })) return false;
  // The pairs stay in the order read, sorted or not, as a saved map was.
  *this = CDS_Map();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (m_blocks.empty() || m_blocks.back().size() >= kBlockPairs) m_blocks.emplace_back();
    m_blocks.back().push_back(RPair{std::move(keys[i]), std::move(vals[i])});
  }
  m_size = static_cast<int32_t>(keys.size());
  Recount();
  return true;
}

size_t CDS_Priority::TextLength() const {
  return TextLengthOf(4 + ValuesBytes(i_priority) + ValuesBytes(i_val));
}
std::string CDS_Priority::WriteToString() const {
  return WriteText(kPriorityTag, [&](CStream& s) { WritePairs(s, i_priority, i_val); });
}
bool CDS_Priority::ReadFromString(std::string_view text) {
  return ReadText(text, kPriorityTag, [&](CStream& s) { return ReadPairs(s, i_priority, i_val); });
}

size_t CDS_Grid::TextLength() const { return TextLengthOf(8 + ValuesBytes(i_val)); }
std::string CDS_Grid::WriteToString() const {
  return WriteText(kGridTag, [&](CStream& s) {
    s.WriteInteger(i_w);
    s.WriteInteger(i_h);
    WriteValues(s, i_val);
  });
}
bool CDS_Grid::ReadFromString(std::string_view text) {
  return ReadText(text, kGridTag, [&](CStream& s) {
    const int32_t w = s.ReadInteger();
    const int32_t h = s.ReadInteger();
    if (w < 0 || h < 0) return false;
    const uint64_t cells = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (!s.CountFits(int64_t(cells), kMinValueBytes)) return false;
    std::vector<RValue> values;
    ReadValues(s, values, static_cast<int32_t>(cells));
    i_w = w;
    i_h = h;
    i_val = std::move(values);
    return true;
  });
}

// ------------------------------------------------------------- algorithms

void CDS_Queue::Enqueue(const RValue& v) {
  if (static_cast<size_t>(i_first) >= i_val.size()) i_val.resize(static_cast<size_t>(i_first) + 16);
  i_val[static_cast<size_t>(i_first)] = v;
  ++i_first;
}

RValue CDS_Queue::Dequeue() {
  if (i_first <= i_last) return RValue();
  RValue v = i_val[static_cast<size_t>(i_last)];
  ++i_last;
  // Moving the queued entries back to the start keeps a queue that is used
  // for a long time from growing without bound.
  if (i_last > 16 && i_first / 2 < i_last) {
    const int32_t n = i_first - i_last;
    std::move(i_val.begin() + i_last, i_val.begin() + i_first, i_val.begin());
    std::fill(i_val.begin() + n, i_val.end(), RValue());
    i_first = n;
    i_last = 0;
  }
  return v;
}

namespace {

// Whether `right` goes before `left` when two sorted runs are merged. Ascending
// keeps equal values in their order; descending reverses them, as moving
// each value left past every value not greater than it would.
bool TakeRight(const RValue& left, const RValue& right, bool ascending) {
  const int c = DS_Compare(left, right);
  return ascending ? c > 0 : c <= 0;
}

// Sorts v[lo, hi) by merging sorted halves through `buffer`. Short runs are
// sorted by moving each value left past its neighbours. Every step compares
// two values and moves one, so even an inconsistent order (reals within the
// tolerance of each other) can never take the sort out of bounds.
void MergeSort(std::vector<RValue>& v, std::vector<RValue>& buffer, size_t lo, size_t hi, bool ascending) {
  if (hi - lo <= 16) {
    for (size_t i = lo + 1; i < hi; ++i)
      for (size_t j = i; j > lo && TakeRight(v[j - 1], v[j], ascending); --j) std::swap(v[j - 1], v[j]);
    return;
  }
  const size_t mid = lo + (hi - lo) / 2;
  MergeSort(v, buffer, lo, mid, ascending);
  MergeSort(v, buffer, mid, hi, ascending);
  size_t i = lo, j = mid, k = lo;
  while (i < mid && j < hi) buffer[k++] = std::move(TakeRight(v[i], v[j], ascending) ? v[j++] : v[i++]);
  while (i < mid) buffer[k++] = std::move(v[i++]);
  while (j < hi) buffer[k++] = std::move(v[j++]);
  std::move(buffer.begin() + static_cast<std::ptrdiff_t>(lo), buffer.begin() + static_cast<std::ptrdiff_t>(hi),
            v.begin() + static_cast<std::ptrdiff_t>(lo));
}

}  // namespace

void CDS_List::Sort(bool ascending) {
  // A stable merge sort: the order of moving each value left past the values
  // it belongs after, in n log n steps, so a game can sort long lists.
  std::vector<RValue> buffer(i_val.size());
  MergeSort(i_val, buffer, 0, i_val.size(), ascending);
}

void CDS_List::Shuffle() {
  const auto n = static_cast<uint32_t>(i_val.size());
  for (uint64_t k = 0; k < 8ull * n; ++k) {
    const uint32_t p = Random_Below(n);
    const uint32_t q = Random_Below(n);
    std::swap(i_val[p], i_val[q]);
  }
}

void CDS_Map::Recount() {
  const size_t n = m_blocks.size();
  m_counts.assign(n + 1, 0);
  for (size_t b = 1; b <= n; ++b) {
    m_counts[b] += static_cast<int32_t>(m_blocks[b - 1].size());
    const size_t parent = b + (b & (~b + 1));
    if (parent <= n) m_counts[parent] += m_counts[b];
  }
  m_lastValid = false;
}

void CDS_Map::CountChange(size_t block, int32_t delta) {
  for (size_t b = block + 1; b < m_counts.size(); b += b & (~b + 1)) m_counts[b] += delta;
  m_lastValid = false;
}

CDS_Map::RPlace CDS_Map::Locate(int32_t i) const {
  if (m_lastValid && i >= m_lastBlock.offset &&
      i - m_lastBlock.offset < static_cast<int32_t>(m_blocks[m_lastBlock.block].size()))
    return {m_lastBlock.block, i - m_lastBlock.offset};
  // Down the tree: the most whole blocks whose pairs all lie before i.
  const size_t n = m_blocks.size();
  size_t step = 1;
  while (step * 2 <= n) step *= 2;
  size_t before = 0;
  int32_t rest = i;
  for (; step > 0; step /= 2)
    if (before + step <= n && m_counts[before + step] <= rest) {
      before += step;
      rest -= m_counts[before];
    }
  m_lastBlock = {before, i - rest};
  m_lastValid = true;
  return {before, rest};
}

const CDS_Map::RPair& CDS_Map::At(int32_t i) const {
  const RPlace p = Locate(i);
  return m_blocks[p.block][static_cast<size_t>(p.offset)];
}

void CDS_Map::SetValue(int32_t i, const RValue& val) {
  const RPlace p = Locate(i);
  m_blocks[p.block][static_cast<size_t>(p.offset)].val = val;
}

// The searches look at the pairs by position exactly as a binary search over
// one sorted array would: a map read from a saved text need not be sorted,
// and keys that are equal only within the real tolerance need not be in a
// consistent order, yet the same calls must find the same pairs.
int32_t CDS_Map::Lower(const RValue& key) const {
  int32_t lo = 0, hi = m_size - 1;
  while (hi - lo > 7) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (DS_Compare(Key(mid), key) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  for (int32_t i = lo; i <= hi; ++i)
    if (DS_Compare(Key(i), key) >= 0) return i;
  return -1;
}

int32_t CDS_Map::Upper(const RValue& key) const {
  int32_t lo = 0, hi = m_size - 1;
  while (hi - lo > 7) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (DS_Compare(Key(mid), key) > 0)
      hi = mid - 1;
    else
      lo = mid;
  }
  for (int32_t i = hi; i >= lo; --i)
    if (DS_Compare(Key(i), key) <= 0) return i;
  return -1;
}

void CDS_Map::Add(const RValue& key, const RValue& val) {
  const int32_t at = Upper(key) + 1;
  if (m_blocks.empty()) {
    m_blocks.emplace_back();
    Recount();
  }
  // A pair that goes after all others joins the last block.
  const RPlace p =
      at == m_size ? RPlace{m_blocks.size() - 1, static_cast<int32_t>(m_blocks.back().size())} : Locate(at);
  Block& block = m_blocks[p.block];
  block.insert(block.begin() + p.offset, RPair{key, val});
  ++m_size;
  if (block.size() <= kBlockPairs) {
    CountChange(p.block, 1);
    return;
  }
  const auto half = block.begin() + static_cast<std::ptrdiff_t>(block.size() / 2);
  Block upper(std::make_move_iterator(half), std::make_move_iterator(block.end()));
  block.erase(half, block.end());
  m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(p.block) + 1, std::move(upper));
  Recount();
}

void CDS_Map::Delete(int32_t i) {
  const RPlace p = Locate(i);
  Block& block = m_blocks[p.block];
  block.erase(block.begin() + p.offset);
  --m_size;
  if (!block.empty()) {
    CountChange(p.block, -1);
    return;
  }
  m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(p.block));
  Recount();
}

int32_t CDS_Priority::FindMin() const {
  if (i_priority.empty()) return -1;
  int32_t best = 0;
  for (size_t i = 1; i < i_priority.size(); ++i)
    if (DS_Compare(i_priority[i], i_priority[best]) < 0) best = static_cast<int32_t>(i);
  return best;
}

int32_t CDS_Priority::FindMax() const {
  if (i_priority.empty()) return -1;
  int32_t best = 0;
  for (size_t i = 1; i < i_priority.size(); ++i)
    if (DS_Compare(i_priority[i], i_priority[best]) > 0) best = static_cast<int32_t>(i);
  return best;
}

void CDS_Priority::DeleteAt(int32_t index) {
  const size_t last = i_val.size() - 1;
  if (static_cast<size_t>(index) != last) {
    i_val[index] = std::move(i_val[last]);
    i_priority[index] = std::move(i_priority[last]);
  }
  i_val.pop_back();
  i_priority.pop_back();
}

bool CDS_Grid::Create(int32_t w, int32_t h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxGridCells) return false;
  i_w = w;
  i_h = h;
  i_val.assign(static_cast<size_t>(w) * static_cast<size_t>(h), RValue());
  return true;
}

bool CDS_Grid::Resize(int32_t w, int32_t h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxGridCells) return false;
  std::vector<RValue> cells(static_cast<size_t>(w) * static_cast<size_t>(h));
  const int32_t cw = std::min(w, i_w), ch = std::min(h, i_h);
  for (int32_t x = 0; x < cw; ++x)
    for (int32_t y = 0; y < ch; ++y) cells[static_cast<size_t>(x) * h + y] = std::move(Cell(x, y));
  i_w = w;
  i_h = h;
  i_val = std::move(cells);
  return true;
}

void CDS_Grid::Shuffle() {
  if (i_w <= 0 || i_h <= 0) return;
  const uint64_t swaps = 8ull * static_cast<uint64_t>(i_w) * static_cast<uint64_t>(i_h);
  for (uint64_t k = 0; k < swaps; ++k) {
    const uint32_t x1 = Random_Below(static_cast<uint32_t>(i_w));
    const uint32_t x2 = Random_Below(static_cast<uint32_t>(i_w));
    const uint32_t y1 = Random_Below(static_cast<uint32_t>(i_h));
    const uint32_t y2 = Random_Below(static_cast<uint32_t>(i_h));
    std::swap(Cell(static_cast<int32_t>(x1), static_cast<int32_t>(y1)),
              Cell(static_cast<int32_t>(x2), static_cast<int32_t>(y2)));
  }
}

void CDS_Grid::GridOperation(int op, const CDS_Grid& source, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                             int64_t xpos, int64_t ypos) {
  int64_t sx1 = std::max<int64_t>(std::min(x1, x2), 0), sx2 = std::min<int64_t>(std::max(x1, x2), source.i_w - 1);
  int64_t sy1 = std::max<int64_t>(std::min(y1, y2), 0), sy2 = std::min<int64_t>(std::max(y1, y2), source.i_h - 1);
  if (xpos < 0) {
    sx1 -= xpos;
    xpos = 0;
  }
  if (ypos < 0) {
    sy1 -= ypos;
    ypos = 0;
  }
  if (sx2 + xpos - sx1 > i_w - 1) sx2 = i_w + sx1 - xpos - 1;
  if (sy2 + ypos - sy1 > i_h - 1) sy2 = i_h + sy1 - ypos - 1;
  if (sx2 < sx1 || sy2 < sy1) return;
  const int64_t cw = sx2 - sx1 + 1, ch = sy2 - sy1 + 1;
  // The source region is taken whole before any cell changes, so a region
  // combined into an overlapping place of the same grid reads every cell as
  // it was (no smearing of moved cells, whatever the direction or operation).
  std::vector<RValue> copy;
  const CDS_Grid* from = &source;
  if (&source == this) {
    copy.reserve(static_cast<size_t>(cw * ch));
    for (int64_t x = sx1; x <= sx2; ++x)
      for (int64_t y = sy1; y <= sy2; ++y) copy.push_back(source.Cell(static_cast<int32_t>(x), static_cast<int32_t>(y)));
    from = nullptr;
  }
  for (int64_t dx = 0; dx < cw; ++dx)
    for (int64_t dy = 0; dy < ch; ++dy) {
      const RValue& v = from ? from->Cell(static_cast<int32_t>(sx1 + dx), static_cast<int32_t>(sy1 + dy))
                             : copy[static_cast<size_t>(dx * ch + dy)];
      DS_CellOperation(op, Cell(static_cast<int32_t>(xpos + dx), static_cast<int32_t>(ypos + dy)), v);
    }
}

// ------------------------------------------------------------ slot tables

namespace {

// One table per kind. A new structure takes the first empty slot, so a
// destroyed structure's index is handed out again by the next create.
template <class T>
class CTable {
 public:
  int32_t Create() {
    for (size_t i = 0; i < m_slots.size(); ++i)
      if (!m_slots[i]) {
        m_slots[i] = std::make_unique<T>();
        return static_cast<int32_t>(i);
      }
    m_slots.push_back(std::make_unique<T>());
    return static_cast<int32_t>(m_slots.size() - 1);
  }
  // The structure with index `id`, or null after reporting the error.
  T* Get(const RValue& id) {
    const int32_t i = Real_ToInt32(id.AsReal());
    if (i >= 0 && static_cast<size_t>(i) < m_slots.size() && m_slots[i]) return m_slots[i].get();
    Error_ReportAction("Data structure with index does not exist.", false);
    return nullptr;
  }
  void Destroy(const RValue& id) {
    if (Get(id)) m_slots[Real_ToInt32(id.AsReal())].reset();
  }

 private:
  std::vector<std::unique_ptr<T>> m_slots;
};

CTable<CDS_Stack> g_Stacks;
CTable<CDS_Queue> g_Queues;
CTable<CDS_List> g_Lists;
CTable<CDS_Map> g_Maps;
CTable<CDS_Priority> g_Priorities;
CTable<CDS_Grid> g_Grids;

int32_t Int(const RValue& v) { return Real_ToInt32(v.AsReal()); }
void SetTruth(RValue& result, bool b) { result.SetReal(b ? 1 : 0); }

// Functions every kind shares, over its table.
template <class T, CTable<T>& table>
struct Common {
  static FUNCTION_ROUTINE(Create) { result.SetReal(table.Create()); }
  static FUNCTION_ROUTINE(Destroy) { table.Destroy(a[0]); }
  static FUNCTION_ROUTINE(Copy) {
    T* d = table.Get(a[0]);
    T* s = table.Get(a[1]);
    if (d && s && d != s) *d = *s;
  }
  static FUNCTION_ROUTINE(Write) {
    T* d = table.Get(a[0]);
    if (d && !Error_StringTooLong(d->TextLength())) result.SetString(RString(d->WriteToString()));
  }
  // 1 when the text was read, 0 when it was of another kind or damaged (the
  // structure is then unchanged).
  static FUNCTION_ROUTINE(Read) {
    if (T* d = table.Get(a[0])) SetTruth(result, a[1].IsString() && d->ReadFromString(a[1].AsText()));
  }
};

FUNCTION_ROUTINE(F_SetPrecision) { DS_SetPrecision(a[0].AsReal()); }

// --- stacks
using Stacks = Common<CDS_Stack, g_Stacks>;
FUNCTION_ROUTINE(F_StackClear) {
  if (auto* d = g_Stacks.Get(a[0])) d->i_val.clear();
}
FUNCTION_ROUTINE(F_StackSize) {
  if (auto* d = g_Stacks.Get(a[0])) result.SetReal(static_cast<double>(d->i_val.size()));
}
FUNCTION_ROUTINE(F_StackEmpty) {
  if (auto* d = g_Stacks.Get(a[0])) SetTruth(result, d->i_val.empty());
}
FUNCTION_ROUTINE(F_StackPush) {
  if (auto* d = g_Stacks.Get(a[0])) d->i_val.push_back(a[1]);
}
FUNCTION_ROUTINE(F_StackPop) {
  auto* d = g_Stacks.Get(a[0]);
  if (!d || d->i_val.empty()) return;
  result = std::move(d->i_val.back());
  d->i_val.pop_back();
}
FUNCTION_ROUTINE(F_StackTop) {
  auto* d = g_Stacks.Get(a[0]);
  if (d && !d->i_val.empty()) result = d->i_val.back();
}

// --- queues
using Queues = Common<CDS_Queue, g_Queues>;
FUNCTION_ROUTINE(F_QueueClear) {
  if (auto* d = g_Queues.Get(a[0])) *d = CDS_Queue();
}
FUNCTION_ROUTINE(F_QueueSize) {
  if (auto* d = g_Queues.Get(a[0])) result.SetReal(d->Size());
}
FUNCTION_ROUTINE(F_QueueEmpty) {
  if (auto* d = g_Queues.Get(a[0])) SetTruth(result, d->Size() <= 0);
}
FUNCTION_ROUTINE(F_QueueEnqueue) {
  if (auto* d = g_Queues.Get(a[0])) d->Enqueue(a[1]);
}
FUNCTION_ROUTINE(F_QueueDequeue) {
  if (auto* d = g_Queues.Get(a[0])) result = d->Dequeue();
}
FUNCTION_ROUTINE(F_QueueHead) {
  auto* d = g_Queues.Get(a[0]);
  if (d && d->Size() > 0) result = d->i_val[static_cast<size_t>(d->i_last)];
}
FUNCTION_ROUTINE(F_QueueTail) {
  auto* d = g_Queues.Get(a[0]);
  if (d && d->Size() > 0) result = d->i_val[static_cast<size_t>(d->i_first - 1)];
}

// --- lists
using Lists = Common<CDS_List, g_Lists>;
FUNCTION_ROUTINE(F_ListClear) {
  if (auto* d = g_Lists.Get(a[0])) d->i_val.clear();
}
FUNCTION_ROUTINE(F_ListSize) {
  if (auto* d = g_Lists.Get(a[0])) result.SetReal(static_cast<double>(d->i_val.size()));
}
FUNCTION_ROUTINE(F_ListEmpty) {
  if (auto* d = g_Lists.Get(a[0])) SetTruth(result, d->i_val.empty());
}
FUNCTION_ROUTINE(F_ListAdd) {
  if (auto* d = g_Lists.Get(a[0])) d->i_val.push_back(a[1]);
}
FUNCTION_ROUTINE(F_ListInsert) {
  auto* d = g_Lists.Get(a[0]);
  const int64_t pos = Real_ToInt64(a[1].AsReal());
  if (d && pos >= 0 && pos <= static_cast<int64_t>(d->i_val.size())) d->i_val.insert(d->i_val.begin() + pos, a[2]);
}
FUNCTION_ROUTINE(F_ListReplace) {
  auto* d = g_Lists.Get(a[0]);
  const int64_t pos = Real_ToInt64(a[1].AsReal());
  if (d && pos >= 0 && pos < static_cast<int64_t>(d->i_val.size())) d->i_val[static_cast<size_t>(pos)] = a[2];
}
FUNCTION_ROUTINE(F_ListDelete) {
  auto* d = g_Lists.Get(a[0]);
  const int64_t pos = Real_ToInt64(a[1].AsReal());
  if (d && pos >= 0 && pos < static_cast<int64_t>(d->i_val.size())) d->i_val.erase(d->i_val.begin() + pos);
}
FUNCTION_ROUTINE(F_ListFindIndex) {
  auto* d = g_Lists.Get(a[0]);
  if (!d) return;
  result.SetReal(-1);
  for (size_t i = 0; i < d->i_val.size(); ++i)
    if (DS_Compare(d->i_val[i], a[1]) == 0) {
      result.SetReal(static_cast<double>(i));
      return;
    }
}
FUNCTION_ROUTINE(F_ListFindValue) {
  auto* d = g_Lists.Get(a[0]);
  const int64_t pos = Real_ToInt64(a[1].AsReal());
  if (d && pos >= 0 && pos < static_cast<int64_t>(d->i_val.size())) result = d->i_val[static_cast<size_t>(pos)];
}
FUNCTION_ROUTINE(F_ListSort) {
  if (auto* d = g_Lists.Get(a[0])) d->Sort(Value_IsTrue(a[1]));
}
FUNCTION_ROUTINE(F_ListShuffle) {
  if (auto* d = g_Lists.Get(a[0])) d->Shuffle();
}

// --- maps
using Maps = Common<CDS_Map, g_Maps>;
// The index of the first pair whose key equals `key`, or -1.
int32_t MapFind(const CDS_Map& m, const RValue& key) {
  const int32_t i = m.Lower(key);
  return i >= 0 && DS_Compare(m.Key(i), key) == 0 ? i : -1;
}
FUNCTION_ROUTINE(F_MapClear) {
  if (auto* d = g_Maps.Get(a[0])) *d = CDS_Map();
}
FUNCTION_ROUTINE(F_MapSize) {
  if (auto* d = g_Maps.Get(a[0])) result.SetReal(d->Size());
}
FUNCTION_ROUTINE(F_MapEmpty) {
  if (auto* d = g_Maps.Get(a[0])) SetTruth(result, d->Size() == 0);
}
FUNCTION_ROUTINE(F_MapAdd) {
  if (auto* d = g_Maps.Get(a[0])) d->Add(a[1], a[2]);
}
FUNCTION_ROUTINE(F_MapReplace) {
  auto* d = g_Maps.Get(a[0]);
  if (!d) return;
  if (const int32_t i = MapFind(*d, a[1]); i >= 0) d->SetValue(i, a[2]);
}
FUNCTION_ROUTINE(F_MapDelete) {
  auto* d = g_Maps.Get(a[0]);
  if (!d) return;
  if (const int32_t i = MapFind(*d, a[1]); i >= 0) d->Delete(i);
}
FUNCTION_ROUTINE(F_MapExists) {
  if (auto* d = g_Maps.Get(a[0])) SetTruth(result, MapFind(*d, a[1]) >= 0);
}
FUNCTION_ROUTINE(F_MapFindValue) {
  auto* d = g_Maps.Get(a[0]);
  if (!d) return;
  if (const int32_t i = MapFind(*d, a[1]); i >= 0) result = d->Value(i);
}
FUNCTION_ROUTINE(F_MapFindPrevious) {
  auto* d = g_Maps.Get(a[0]);
  if (!d) return;
  int32_t i = d->Lower(a[1]);
  i = i < 0 ? d->Size() - 1 : i - 1;
  if (i >= 0) result = d->Key(i);
}
FUNCTION_ROUTINE(F_MapFindNext) {
  auto* d = g_Maps.Get(a[0]);
  if (!d) return;
  const int32_t i = d->Upper(a[1]) + 1;
  if (i < d->Size()) result = d->Key(i);
}
FUNCTION_ROUTINE(F_MapFindFirst) {
  auto* d = g_Maps.Get(a[0]);
  if (d && d->Size() > 0) result = d->Key(0);
}
FUNCTION_ROUTINE(F_MapFindLast) {
  auto* d = g_Maps.Get(a[0]);
  if (d && d->Size() > 0) result = d->Key(d->Size() - 1);
}

// --- priority queues
using Priorities = Common<CDS_Priority, g_Priorities>;
int32_t PriorityFind(const CDS_Priority& p, const RValue& val) {
  for (size_t i = 0; i < p.i_val.size(); ++i)
    if (DS_Compare(p.i_val[i], val) == 0) return static_cast<int32_t>(i);
  return -1;
}
FUNCTION_ROUTINE(F_PriorityClear) {
  if (auto* d = g_Priorities.Get(a[0])) *d = CDS_Priority();
}
FUNCTION_ROUTINE(F_PrioritySize) {
  if (auto* d = g_Priorities.Get(a[0])) result.SetReal(static_cast<double>(d->i_val.size()));
}
FUNCTION_ROUTINE(F_PriorityEmpty) {
  if (auto* d = g_Priorities.Get(a[0])) SetTruth(result, d->i_val.empty());
}
FUNCTION_ROUTINE(F_PriorityAdd) {
  if (auto* d = g_Priorities.Get(a[0])) {
    d->i_val.push_back(a[1]);
    d->i_priority.push_back(a[2]);
  }
}
FUNCTION_ROUTINE(F_PriorityChange) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = PriorityFind(*d, a[1]); i >= 0) d->i_priority[i] = a[2];
}
FUNCTION_ROUTINE(F_PriorityFindPriority) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = PriorityFind(*d, a[1]); i >= 0) result = d->i_priority[i];
}
FUNCTION_ROUTINE(F_PriorityDeleteValue) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = PriorityFind(*d, a[1]); i >= 0) d->DeleteAt(i);
}
FUNCTION_ROUTINE(F_PriorityFindMin) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = d->FindMin(); i >= 0) result = d->i_val[i];
}
FUNCTION_ROUTINE(F_PriorityDeleteMin) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = d->FindMin(); i >= 0) {
    result = d->i_val[i];
    d->DeleteAt(i);
  }
}
FUNCTION_ROUTINE(F_PriorityFindMax) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = d->FindMax(); i >= 0) result = d->i_val[i];
}
FUNCTION_ROUTINE(F_PriorityDeleteMax) {
  auto* d = g_Priorities.Get(a[0]);
  if (!d) return;
  if (const int32_t i = d->FindMax(); i >= 0) {
    result = d->i_val[i];
    d->DeleteAt(i);
  }
}

// --- grids
using Grids = Common<CDS_Grid, g_Grids>;

// The cells of a rectangle clipped to the grid, column by column.
template <class F>
void ForRegion(CDS_Grid& g, const RValue* a, F&& f) {
  const int64_t x1 = Real_ToInt64(a[0].AsReal()), y1 = Real_ToInt64(a[1].AsReal()), x2 = Real_ToInt64(a[2].AsReal()),
                y2 = Real_ToInt64(a[3].AsReal());
  const int64_t xa = std::max<int64_t>(std::min(x1, x2), 0), xb = std::min<int64_t>(std::max(x1, x2), g.i_w - 1);
  const int64_t ya = std::max<int64_t>(std::min(y1, y2), 0), yb = std::min<int64_t>(std::max(y1, y2), g.i_h - 1);
  for (int64_t x = xa; x <= xb; ++x)
    for (int64_t y = ya; y <= yb; ++y)
      if (!f(static_cast<int32_t>(x), static_cast<int32_t>(y), g.Cell(static_cast<int32_t>(x), static_cast<int32_t>(y))))
        return;
}

// The cells of a disk (centre a[0], a[1], radius a[2]) clipped to the grid.
template <class F>
void ForDisk(CDS_Grid& g, const RValue* a, F&& f) {
  const double cx = a[0].AsReal(), cy = a[1].AsReal(), r = a[2].AsReal();
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return;
  const double xa = std::max(std::floor(cx - r), 0.0), xb = std::min(std::ceil(cx + r), g.i_w - 1.0);
  const double ya = std::max(std::floor(cy - r), 0.0), yb = std::min(std::ceil(cy + r), g.i_h - 1.0);
  if (xb < xa || yb < ya) return;
  for (auto x = static_cast<int32_t>(xa); x <= static_cast<int32_t>(xb); ++x)
    for (auto y = static_cast<int32_t>(ya); y <= static_cast<int32_t>(yb); ++y)
      if (r * r >= (x - cx) * (x - cx) + (y - cy) * (y - cy))
        if (!f(x, y, g.Cell(x, y))) return;
}

template <int op>
FUNCTION_ROUTINE(F_GridCell) {
  auto* d = g_Grids.Get(a[0]);
  if (!d) return;
  const int64_t x = Real_ToInt64(a[1].AsReal()), y = Real_ToInt64(a[2].AsReal());
  if (x >= 0 && x < d->i_w && y >= 0 && y < d->i_h)
    DS_CellOperation(op, d->Cell(static_cast<int32_t>(x), static_cast<int32_t>(y)), a[3]);
}
template <int op>
FUNCTION_ROUTINE(F_GridRegion) {
  if (auto* d = g_Grids.Get(a[0]))
    ForRegion(*d, a + 1, [&](int32_t, int32_t, RValue& c) {
      DS_CellOperation(op, c, a[5]);
      return true;
    });
}
template <int op>
FUNCTION_ROUTINE(F_GridDisk) {
  if (auto* d = g_Grids.Get(a[0]))
    ForDisk(*d, a + 1, [&](int32_t, int32_t, RValue& c) {
      DS_CellOperation(op, c, a[4]);
      return true;
    });
}
template <int op>
FUNCTION_ROUTINE(F_GridGridRegion) {
  auto* d = g_Grids.Get(a[0]);
  auto* s = g_Grids.Get(a[1]);
  if (!d || !s) return;
  // Positions saturate at the 32-bit range, so the clipping sums below stay
  // far inside 64 bits whatever the game passes.
  d->GridOperation(op, *s, Int(a[2]), Int(a[3]), Int(a[4]), Int(a[5]), Int(a[6]), Int(a[7]));
}

const char* const kGridTooLarge = "Grid is too large.";
// A grid too large to make is reported and made empty, so the game still
// gets an index that later calls accept.
FUNCTION_ROUTINE(F_GridCreate) {
  const int32_t id = g_Grids.Create();
  if (!g_Grids.Get(RValue::Real(id))->Create(Int(a[0]), Int(a[1]))) Error_ReportAction(kGridTooLarge, false);
  result.SetReal(id);
}
FUNCTION_ROUTINE(F_GridResize) {
  if (auto* d = g_Grids.Get(a[0]))
    if (!d->Resize(Int(a[1]), Int(a[2]))) Error_ReportAction(kGridTooLarge, false);
}
FUNCTION_ROUTINE(F_GridWidth) {
  if (auto* d = g_Grids.Get(a[0])) result.SetReal(d->i_w);
}
FUNCTION_ROUTINE(F_GridHeight) {
  if (auto* d = g_Grids.Get(a[0])) result.SetReal(d->i_h);
}
FUNCTION_ROUTINE(F_GridClear) {
  if (auto* d = g_Grids.Get(a[0]))
    for (RValue& c : d->i_val) c = a[1];
}
FUNCTION_ROUTINE(F_GridGet) {
  auto* d = g_Grids.Get(a[0]);
  if (!d) return;
  const int64_t x = Real_ToInt64(a[1].AsReal()), y = Real_ToInt64(a[2].AsReal());
  if (x >= 0 && x < d->i_w && y >= 0 && y < d->i_h) result = d->Cell(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

// Region statistics over the real cells: 0 sum, 1 max, 2 min, 3 mean. Max
// and min start from -1e8 and 1e8, the values an area without reals gives.
template <int stat, bool disk>
FUNCTION_ROUTINE(F_GridStat) {
  auto* d = g_Grids.Get(a[0]);
  if (!d) return;
  double sum = 0, hi = -100000000.0, lo = 100000000.0;
  int64_t count = 0;
  auto visit = [&](int32_t, int32_t, RValue& c) {
    if (c.IsReal()) {
      sum += c.AsReal();
      if (c.AsReal() > hi) hi = c.AsReal();
      if (c.AsReal() < lo) lo = c.AsReal();
      ++count;
    }
    return true;
  };
  if (disk)
    ForDisk(*d, a + 1, visit);
  else
    ForRegion(*d, a + 1, visit);
  const double r[] = {sum, hi, lo, count > 0 ? sum / static_cast<double>(count) : 0.0};
  result.SetReal(r[stat]);
}

// Value searches: 0 exists, 1 x, 2 y of the first cell equal to the value.
template <int what, bool disk>
FUNCTION_ROUTINE(F_GridValue) {
  auto* d = g_Grids.Get(a[0]);
  if (!d) return;
  const RValue& val = a[disk ? 4 : 5];
  auto visit = [&](int32_t x, int32_t y, RValue& c) {
    if (DS_Compare(c, val) != 0) return true;
    result.SetReal(what == 0 ? 1 : what == 1 ? x : y);
    return false;
  };
  if (disk)
    ForDisk(*d, a + 1, visit);
  else
    ForRegion(*d, a + 1, visit);
}
FUNCTION_ROUTINE(F_GridShuffle) {
  if (auto* d = g_Grids.Get(a[0])) d->Shuffle();
}


constexpr RFunctionRoutine kDataStructureFunctions[] = {
    {"ds_set_precision", F_SetPrecision},
    {"ds_stack_create", Stacks::Create},
    {"ds_stack_destroy", Stacks::Destroy},
    {"ds_stack_clear", F_StackClear},
    {"ds_stack_copy", Stacks::Copy},
    {"ds_stack_size", F_StackSize},
    {"ds_stack_empty", F_StackEmpty},
    {"ds_stack_push", F_StackPush},
    {"ds_stack_pop", F_StackPop},
    {"ds_stack_top", F_StackTop},
    {"ds_stack_write", Stacks::Write},
    {"ds_stack_read", Stacks::Read},
    {"ds_queue_create", Queues::Create},
    {"ds_queue_destroy", Queues::Destroy},
    {"ds_queue_clear", F_QueueClear},
    {"ds_queue_copy", Queues::Copy},
    {"ds_queue_size", F_QueueSize},
    {"ds_queue_empty", F_QueueEmpty},
    {"ds_queue_enqueue", F_QueueEnqueue},
    {"ds_queue_dequeue", F_QueueDequeue},
    {"ds_queue_head", F_QueueHead},
    {"ds_queue_tail", F_QueueTail},
    {"ds_queue_write", Queues::Write},
    {"ds_queue_read", Queues::Read},
    {"ds_list_create", Lists::Create},
    {"ds_list_destroy", Lists::Destroy},
    {"ds_list_clear", F_ListClear},
    {"ds_list_copy", Lists::Copy},
    {"ds_list_size", F_ListSize},
    {"ds_list_empty", F_ListEmpty},
    {"ds_list_add", F_ListAdd},
    {"ds_list_insert", F_ListInsert},
    {"ds_list_replace", F_ListReplace},
    {"ds_list_delete", F_ListDelete},
    {"ds_list_find_index", F_ListFindIndex},
    {"ds_list_find_value", F_ListFindValue},
    {"ds_list_sort", F_ListSort},
    {"ds_list_shuffle", F_ListShuffle},
    {"ds_list_write", Lists::Write},
    {"ds_list_read", Lists::Read},
    {"ds_map_create", Maps::Create},
    {"ds_map_destroy", Maps::Destroy},
    {"ds_map_clear", F_MapClear},
    {"ds_map_copy", Maps::Copy},
    {"ds_map_size", F_MapSize},
    {"ds_map_empty", F_MapEmpty},
    {"ds_map_add", F_MapAdd},
    {"ds_map_replace", F_MapReplace},
    {"ds_map_delete", F_MapDelete},
    {"ds_map_exists", F_MapExists},
    {"ds_map_find_value", F_MapFindValue},
    {"ds_map_find_previous", F_MapFindPrevious},
    {"ds_map_find_next", F_MapFindNext},
    {"ds_map_find_first", F_MapFindFirst},
    {"ds_map_find_last", F_MapFindLast},
    {"ds_map_write", Maps::Write},
    {"ds_map_read", Maps::Read},
    {"ds_priority_create", Priorities::Create},
    {"ds_priority_destroy", Priorities::Destroy},
    {"ds_priority_clear", F_PriorityClear},
    {"ds_priority_copy", Priorities::Copy},
    {"ds_priority_size", F_PrioritySize},
    {"ds_priority_empty", F_PriorityEmpty},
    {"ds_priority_add", F_PriorityAdd},
    {"ds_priority_change_priority", F_PriorityChange},
    {"ds_priority_find_priority", F_PriorityFindPriority},
    {"ds_priority_delete_value", F_PriorityDeleteValue},
    {"ds_priority_delete_min", F_PriorityDeleteMin},
    {"ds_priority_find_min", F_PriorityFindMin},
    {"ds_priority_delete_max", F_PriorityDeleteMax},
    {"ds_priority_find_max", F_PriorityFindMax},
    {"ds_priority_write", Priorities::Write},
    {"ds_priority_read", Priorities::Read},
    {"ds_grid_create", F_GridCreate},
    {"ds_grid_destroy", Grids::Destroy},
    {"ds_grid_copy", Grids::Copy},
    {"ds_grid_resize", F_GridResize},
    {"ds_grid_width", F_GridWidth},
    {"ds_grid_height", F_GridHeight},
    {"ds_grid_clear", F_GridClear},
    {"ds_grid_set", F_GridCell<1>},
    {"ds_grid_add", F_GridCell<2>},
    {"ds_grid_multiply", F_GridCell<3>},
    {"ds_grid_set_region", F_GridRegion<1>},
    {"ds_grid_add_region", F_GridRegion<2>},
    {"ds_grid_multiply_region", F_GridRegion<3>},
    {"ds_grid_set_disk", F_GridDisk<1>},
    {"ds_grid_add_disk", F_GridDisk<2>},
    {"ds_grid_multiply_disk", F_GridDisk<3>},
    {"ds_grid_set_grid_region", F_GridGridRegion<1>},
    {"ds_grid_add_grid_region", F_GridGridRegion<2>},
    {"ds_grid_multiply_grid_region", F_GridGridRegion<3>},
    {"ds_grid_get", F_GridGet},
    {"ds_grid_get_sum", F_GridStat<0, false>},
    {"ds_grid_get_max", F_GridStat<1, false>},
    {"ds_grid_get_min", F_GridStat<2, false>},
    {"ds_grid_get_mean", F_GridStat<3, false>},
    {"ds_grid_get_disk_sum", F_GridStat<0, true>},
    {"ds_grid_get_disk_max", F_GridStat<1, true>},
    {"ds_grid_get_disk_min", F_GridStat<2, true>},
    {"ds_grid_get_disk_mean", F_GridStat<3, true>},
    {"ds_grid_value_exists", F_GridValue<0, false>},
    {"ds_grid_value_x", F_GridValue<1, false>},
    {"ds_grid_value_y", F_GridValue<2, false>},
    {"ds_grid_value_disk_exists", F_GridValue<0, true>},
    {"ds_grid_value_disk_x", F_GridValue<1, true>},
    {"ds_grid_value_disk_y", F_GridValue<2, true>},
    {"ds_grid_shuffle", F_GridShuffle},
    {"ds_grid_write", Grids::Write},
    {"ds_grid_read", Grids::Read},
};

}  // namespace

void Function_RegisterDataStructures() { Function_ImplementTable(kDataStructureFunctions); }

}  // namespace tavrin
