#include "script/Variable_Class.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "package/Option_Main.h"
#include "package/Support_Stream.h"
#include "package/Package_Data.h"

namespace tavrin {

RString::Rep* RString::Allocate(size_t len) {
  void* mem = std::malloc(offsetof(Rep, data) + len + 1);
  if (!mem) throw std::bad_alloc();
  Rep* rep = static_cast<Rep*>(mem);
  rep->refs = 1;
  rep->len = static_cast<uint32_t>(len);
  rep->data[len] = '\0';
  return rep;
}

void RString::Free(Rep* rep) { std::free(rep); }

RString::RString(std::string_view text) {
  if (text.empty()) return;
  rep_ = Allocate(text.size());
  std::memcpy(rep_->data, text.data(), text.size());
}

RString RString::Concat(std::string_view a, std::string_view b) {
  RString r;
  if (a.size() + b.size() == 0) return r;
  r.rep_ = Allocate(a.size() + b.size());
  if (!a.empty()) std::memcpy(r.rep_->data, a.data(), a.size());
  if (!b.empty()) std::memcpy(r.rep_->data + a.size(), b.data(), b.size());
  return r;
}

RString RString::Repeat(std::string_view text, size_t count) {
  RString r;
  if (text.empty() || count == 0) return r;
  r.rep_ = Allocate(text.size() * count);
  for (size_t i = 0; i < count; ++i) std::memcpy(r.rep_->data + i * text.size(), text.data(), text.size());
  return r;
}

bool operator==(const RString& a, const RString& b) { return a.view() == b.view(); }

int64_t Real_ToInt64Slow(double v) {
  if (std::isnan(v)) return 0;
  // 2^63 is exactly representable; anything at or above it saturates.
  if (v >= 9223372036854775808.0) return INT64_MAX;
  if (v <= -9223372036854775808.0) return INT64_MIN;
  double r = std::nearbyint(v);  // the default rounding mode rounds ties to even
  if (r >= 9223372036854775808.0) return INT64_MAX;
  return static_cast<int64_t>(r);
}

int32_t Real_ToInt32Slow(double v) {
  int64_t i = Real_ToInt64Slow(v);
  if (i > INT32_MAX) return INT32_MAX;
  if (i < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(i);
}

int64_t Real_TruncToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775808.0) return INT64_MAX;
  if (v <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(v);
}

int32_t CVariableList::Find(int32_t var_ind) const {
  for (int32_t i = v_numb() - 1; i >= 0; --i)
    if (v_vars[i].ind == var_ind) return i;
  return -1;
}

void CVariableList::StoreCell(RVariable& var, int32_t arr_ind, const RValue& val) {
  if (arr_ind == 0) {
    var.simplevalue = val;
    return;
  }
  size_t r = static_cast<size_t>(arr_ind / kArrayRowLength);
  size_t c = static_cast<size_t>(arr_ind % kArrayRowLength);
  if (var.value.size() < r + 1) var.value.resize(r + 1);
  auto& row = var.value[r];
  if (row.size() < c + 1) row.resize(c + 1);
  row[c] = val;
}

bool CVariableList::ReadCell(const RVariable& var, int32_t arr_ind, RValue& val) {
  if (arr_ind == 0) {
    val = var.simplevalue;
    return true;
  }
  size_t r = static_cast<size_t>(arr_ind / kArrayRowLength);
  size_t c = static_cast<size_t>(arr_ind % kArrayRowLength);
  if (r < var.value.size() && c < var.value[r].size()) {
    val = var.value[r][c];
    return true;
  }
  return false;
}

void CVariableList::SetVar(int32_t var_ind, int32_t arr_ind, const RValue& val) {
  int32_t hint = -1;
  SetVarHinted(var_ind, arr_ind, val, hint);
}

void CVariableList::SetVarSlow(int32_t var_ind, int32_t arr_ind, const RValue& val, int32_t& hint) {
  int32_t pos = FindHinted(var_ind, hint);
  if (pos < 0) {
    v_vars.emplace_back();
    v_vars.back().ind = var_ind;
    pos = hint = v_numb() - 1;
  }
  StoreCell(v_vars[pos], arr_ind, val);
}

bool CVariableList::GetVar(int32_t var_ind, int32_t arr_ind, RValue& val) const {
  int32_t hint = -1;
  return GetVarHinted(var_ind, arr_ind, val, hint);
}

bool CVariableList::GetVarSlow(int32_t var_ind, int32_t arr_ind, RValue& val, int32_t& hint) const {
  int32_t pos = FindHinted(var_ind, hint);
  if (pos >= 0 && ReadCell(v_vars[pos], arr_ind, val)) return true;
  if (g_PackageData.settings.opt_uninitzero) {
    val.SetReal(0.0);
    return true;
  }
  return false;
}

void CVariableList::Init(int32_t var_ind) {
  if (Find(var_ind) >= 0) return;
  v_vars.emplace_back();
  v_vars.back().ind = var_ind;
}

void Value_Save(CStream& stream, const RValue& v) {
  stream.WriteInteger(v.kind);
  stream.WriteReal(v.val);
  stream.WriteString(v.str.view());
}

RValue Value_Load(CStream& stream, EValueRecord rule) {
  RValue v;
  const int32_t kind = stream.ReadInteger();
  if (rule == EValueRecord::Strict && kind != VALUE_REAL && kind != VALUE_STRING) throw CStreamError("bad value kind");
  v.kind = kind == VALUE_STRING ? VALUE_STRING : VALUE_REAL;
  v.val = stream.ReadReal();
  if (rule == EValueRecord::Strict) {
    const size_t n = stream.ReadLength();
    v.str = RString(std::string_view(reinterpret_cast<const char*>(stream.Data() + stream.Position()), n));
    stream.Seek(stream.Position() + n);
  } else {
    v.str = RString(stream.ReadString());
  }
  return v;
}

namespace {
constexpr int32_t kListVersion = 440;
// The fewest bytes an entry, a row and a cell take in the record: counts larger
// than the remaining bytes allow are refused before anything is allocated.
constexpr size_t kMinValueBytes = 4 + 8 + 4;
constexpr size_t kMinEntryBytes = 4 + kMinValueBytes + 4;

size_t CheckedCount(CStream& stream, size_t unit) {
  int32_t n = stream.ReadInteger();
  if (!stream.CountFits(n, unit)) throw CStreamError("count beyond the record");
  return static_cast<size_t>(n);
}
}  // namespace

void CVariableList::SaveToStream(CStream& stream) const {
  stream.WriteInteger(kListVersion);
  stream.WriteInteger(v_numb());
  for (const RVariable& var : v_vars) {
    stream.WriteInteger(var.ind);
    Value_Save(stream, var.simplevalue);
    stream.WriteInteger(static_cast<int32_t>(var.value.size()));
    for (const auto& row : var.value) {
      stream.WriteInteger(static_cast<int32_t>(row.size()));
      for (const RValue& cell : row) Value_Save(stream, cell);
    }
  }
}

bool CVariableList::LoadFromStream(CStream& stream) {
  try {
    std::vector<RVariable> vars;
    if (stream.ReadInteger() == kListVersion) {
      vars.resize(CheckedCount(stream, kMinEntryBytes));
      for (RVariable& var : vars) {
        var.ind = stream.ReadInteger();
        var.simplevalue = Value_Load(stream);
        var.value.resize(CheckedCount(stream, 4));
        for (auto& row : var.value) {
          row.resize(CheckedCount(stream, kMinValueBytes));
          for (RValue& cell : row) cell = Value_Load(stream);
        }
      }
    }
    v_vars = std::move(vars);
    return true;
  } catch (const CStreamError&) {
    return false;
  }
}

}  // namespace tavrin
