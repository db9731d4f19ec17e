// One routine per record, for both directions: a record's fields are listed
// once, in file order, in a function `Transfer(CTransfer&, Record&)`; written
// with a writing transfer, read with a reading one. The order can then never
// drift between the reader and the writer.
//
// Reading goes through CStream, so bytes that end early, or a count larger
// than what remains, throw CStreamError before anything is allocated.
#pragma once

#include <cstdint>
#include <string>

#include "package/Support_Stream.h"

namespace tavrin {

class CTransfer {
 public:
  CTransfer(CStream& stream, bool writing) : m_s(stream), m_writing(writing) {}
  bool Writing() const { return m_writing; }
  bool Reading() const { return !m_writing; }
  CStream& Stream() { return m_s; }

  void Int(int32_t& v) { m_writing ? m_s.WriteInteger(v) : void(v = m_s.ReadInteger()); }
  void Real(double& v) { m_writing ? m_s.WriteReal(v) : void(v = m_s.ReadReal()); }
  void Bool(bool& v) { m_writing ? m_s.WriteBoolean(v) : void(v = m_s.ReadBoolean()); }
  void Text(std::string& v) { m_writing ? m_s.WriteString(v) : void(v = m_s.ReadString()); }
  // A colour or other unsigned word stored as an integer.
  void Word(uint32_t& v) {
    int32_t i = int32_t(v);
    Int(i);
    v = uint32_t(i);
  }
  template <class... T>
  void Ints(T&... v) { (Int(v), ...); }
  template <class... T>
  void Reals(T&... v) { (Real(v), ...); }
  template <class... T>
  void Bools(T&... v) { (Bool(v), ...); }

  // A version mark: written as `version`; on reading, anything else throws.
  void Version(int32_t version) {
    int32_t v = version;
    Int(v);
    if (v != version) throw CStreamError("unexpected record version " + std::to_string(v));
  }
  // The number of items that follow: written from `n`; on reading, checked
  // against what remains (each item takes at least `minItemBytes`), so a
  // huge count sizes nothing.
  void Count(int32_t& n, size_t minItemBytes) {
    Int(n);
    if (Reading() && !m_s.CountFits(n, minItemBytes)) throw CStreamError("count beyond the data");
  }

 private:
  CStream& m_s;
  bool m_writing;
};

}  // namespace tavrin
