// Values and variable lists of the script language.
//
// A value is a real or a string. Values are copied everywhere (assignment,
// arguments, results), so strings are immutable and reference counted: a copy
// costs a counter increment, never an allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

class CStream;

// Immutable UTF-8 text shared between copies. The empty string owns nothing.
// Single-threaded by design: all game code runs on the game thread.
class RString {
 public:
  RString() = default;
  RString(std::string_view text);  // NOLINT(google-explicit-constructor)
  RString(const char* text) : RString(std::string_view(text)) {}
  RString(const std::string& text) : RString(std::string_view(text)) {}
  RString(const RString& o) : rep_(o.rep_) {
    if (rep_) ++rep_->refs;
  }
  RString(RString&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  RString& operator=(const RString& o) {
    if (rep_ == o.rep_) return *this;  // the same text, or (most often) two reals' nothing
    if (o.rep_) ++o.rep_->refs;
    Release();
    rep_ = o.rep_;
    return *this;
  }
  RString& operator=(RString&& o) noexcept {
    if (this != &o) {
      Release();
      rep_ = o.rep_;
      o.rep_ = nullptr;
    }
    return *this;
  }
  ~RString() { Release(); }

  std::string_view view() const {
    return rep_ ? std::string_view(rep_->data, rep_->len) : std::string_view();
  }
  const char* c_str() const { return rep_ ? rep_->data : ""; }
  size_t size() const { return rep_ ? rep_->len : 0; }
  bool empty() const { return size() == 0; }
  std::string str() const { return std::string(view()); }

  // Joins two texts; the caller checks the length limit first.
  static RString Concat(std::string_view a, std::string_view b);
  // `count` copies of `text`; the caller checks the length limit first.
  static RString Repeat(std::string_view text, size_t count);

 private:
  struct Rep {
    uint32_t refs;
    uint32_t len;
    char data[1];
  };
  static Rep* Allocate(size_t len);
  void Release() {
    if (rep_ && --rep_->refs == 0) Free(rep_);
    rep_ = nullptr;
  }
  static void Free(Rep* rep);
  Rep* rep_ = nullptr;
};

bool operator==(const RString& a, const RString& b);

// The longest string a game may build. Repeating or joining beyond this is an
// error: a runaway `n * "abc"` must not take the machine's memory with it.
constexpr size_t kMaxStringLength = 256u * 1024u * 1024u;

enum : int32_t { VALUE_REAL = 0, VALUE_STRING = 1 };

// The value of the language. A fresh value is the real 0.
struct RValue {
  int32_t kind = VALUE_REAL;
  double val = 0.0;
  RString str;

  RValue() = default;
  static RValue Real(double v) {
    RValue r;
    r.val = v;
    return r;
  }
  static RValue String(RString s) {
    RValue r;
    r.kind = VALUE_STRING;
    r.str = std::move(s);
    return r;
  }
  void SetReal(double v) {
    kind = VALUE_REAL;
    val = v;
    if (!str.empty()) str = RString();
  }
  void SetString(RString s) {
    kind = VALUE_STRING;
    val = 0.0;
    str = std::move(s);
  }
  // What a value is and holds. Code outside the script engine asks through
  // these, never the fields, so that the value's layout can change.
  bool IsReal() const { return kind == VALUE_REAL; }
  bool IsString() const { return kind == VALUE_STRING; }
  double AsReal() const { return val; }                  // 0 for a string
  std::string_view AsText() const { return str.view(); }  // "" for a real
  const RString& AsString() const { return str; }
};

// The value record: kind, real, text.
void Value_Save(CStream& stream, const RValue& v);
// Texts that games hand in (data-structure strings) are read strictly: a kind
// other than real or string, or a negative length, is damage and throws
// CStreamError. Records of the runner's own keep the lenient rule: any other
// kind reads as a real.
enum class EValueRecord { Lenient, Strict };
RValue Value_Load(CStream& stream, EValueRecord rule = EValueRecord::Lenient);

// Truth rule: a real is true from 0.5 upwards; a string is never true.
inline bool Value_IsTrue(const RValue& v) { return v.kind == VALUE_REAL && v.val >= 0.5; }

// Integer rule, used wherever a real becomes an integer: round to nearest with
// ties to even. NaN becomes 0; values beyond the range saturate at its ends,
// so a huge or infinite real is a huge integer, never undefined behaviour.
int64_t Real_ToInt64Slow(double v);
int32_t Real_ToInt32Slow(double v);
inline int64_t Real_ToInt64(double v) {
  // Adding and removing 1.5 * 2^52 rounds to an integer in the default
  // rounding mode (ties to even); exact for |v| below 2^51.
  if (v > -2251799813685248.0 && v < 2251799813685248.0)
    return static_cast<int64_t>((v + 6755399441055744.0) - 6755399441055744.0);
  return Real_ToInt64Slow(v);
}
inline int32_t Real_ToInt32(double v) {
  if (v > -2147483648.0 && v < 2147483647.0)
    return static_cast<int32_t>((v + 6755399441055744.0) - 6755399441055744.0);
  return Real_ToInt32Slow(v);
}
// Truncation toward zero with the same saturation (for `div` and `mod`).
int64_t Real_TruncToInt64(double v);

constexpr int32_t kArrayRowLength = 32000;

// One variable of a list: cell 0 is `simplevalue`; other cells live in rows of
// `value`, addressed as arr_ind div 32000, arr_ind mod 32000.
struct RVariable {
  int32_t ind = 0;
  RValue simplevalue;
  std::vector<std::vector<RValue>> value;
};

// A set of variables in order of creation. Entries are never removed one by
// one, so a position found once stays valid until Clear; the interpreter keeps
// such positions as hints.
class CVariableList {
 public:
  std::vector<RVariable> v_vars;

  int32_t v_numb() const { return static_cast<int32_t>(v_vars.size()); }
  void Clear() { v_vars.clear(); }
  void Assign(const CVariableList& val) { v_vars = val.v_vars; }

  // Position of the entry for `var_ind`, or -1. `hint` is a position tried
  // first and updated on a hit.
  int32_t Find(int32_t var_ind) const;
  int32_t FindHinted(int32_t var_ind, int32_t& hint) const {
    if (static_cast<uint32_t>(hint) < v_vars.size() && v_vars[hint].ind == var_ind) return hint;
    int32_t pos = Find(var_ind);
    if (pos >= 0) hint = pos;
    return pos;
  }
  // The common case inline: the entry at the hint, and a cell that exists.
  bool GetVarHinted(int32_t var_ind, int32_t arr_ind, RValue& val, int32_t& hint) const {
    if (static_cast<uint32_t>(hint) < v_vars.size() && v_vars[hint].ind == var_ind) {
      if (const RValue* cell = Cell(v_vars[hint], arr_ind)) {
        val = *cell;
        return true;
      }
    }
    return GetVarSlow(var_ind, arr_ind, val, hint);
  }
  void SetVarHinted(int32_t var_ind, int32_t arr_ind, const RValue& val, int32_t& hint) {
    if (static_cast<uint32_t>(hint) < v_vars.size() && v_vars[hint].ind == var_ind) {
      if (RValue* cell = const_cast<RValue*>(Cell(v_vars[hint], arr_ind))) {
        *cell = val;
        return;
      }
    }
    SetVarSlow(var_ind, arr_ind, val, hint);
  }
  // The stored cell `arr_ind` of `var`, or none when it was never made.
  static const RValue* Cell(const RVariable& var, int32_t arr_ind) {
    return CellAt(var, static_cast<uint32_t>(arr_ind) / kArrayRowLength,
                  static_cast<uint32_t>(arr_ind) % kArrayRowLength);
  }
  // The same by row and column.
  static const RValue* CellAt(const RVariable& var, uint32_t r, uint32_t c) {
    if ((r | c) == 0) return &var.simplevalue;
    if (r < var.value.size() && c < var.value[r].size()) return &var.value[r][c];
    return nullptr;
  }

  void SetVar(int32_t var_ind, int32_t arr_ind, const RValue& val);
  // False when the variable or cell does not exist (and uninitialised
  // variables are not read as 0); `val` is then unchanged.
  bool GetVar(int32_t var_ind, int32_t arr_ind, RValue& val) const;
  void Init(int32_t var_ind);

  // The list record (version 440). Loading reads the whole record first and
  // changes the list only when it is sound: a record of another version
  // leaves the list empty, bytes that end early leave it unchanged and
  // return false.
  void SaveToStream(CStream& stream) const;
  bool LoadFromStream(CStream& stream);

 private:
  bool GetVarSlow(int32_t var_ind, int32_t arr_ind, RValue& val, int32_t& hint) const;
  void SetVarSlow(int32_t var_ind, int32_t arr_ind, const RValue& val, int32_t& hint);
  static void StoreCell(RVariable& var, int32_t arr_ind, const RValue& val);
  static bool ReadCell(const RVariable& var, int32_t arr_ind, RValue& val);
};

// The part of an instance the script engine sees: its variables, its id, its
// object and whether it is marked for removal. The world's instance class
// derives from it.
class CInstanceBase {
 public:
  virtual ~CInstanceBase() = default;
  CVariableList i_vars;
  int32_t i_id = 0;
  int32_t i_objectindex = -1;
  bool i_marked = false;
};

}  // namespace tavrin
