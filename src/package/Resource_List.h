// A resource list: the resources of one kind by index, with their names.
// Slots may be empty (a resource deleted in the editor or at run time): the
// indices of later resources never move, and an empty slot has an empty name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

template <class T>
class CResourceList {
 public:
  int32_t Count() const { return int32_t(m_items.size()); }
  bool Exists(int32_t index) const { return index >= 0 && index < Count() && m_items[size_t(index)] != nullptr; }
  T* Get(int32_t index) const { return Exists(index) ? m_items[size_t(index)].get() : nullptr; }
  const std::string& Name(int32_t index) const {
    static const std::string kNone;
    return index >= 0 && index < Count() ? m_names[size_t(index)] : kNone;
  }
  // The first existing resource of that name, or -1.
  int32_t Find(const std::string& name) const {
    for (size_t i = 0; i < m_items.size(); ++i)
      if (m_items[i] && m_names[i] == name) return int32_t(i);
    return -1;
  }
  void Clear() {
    m_items.clear();
    m_names.clear();
  }
  void Resize(int32_t count) {
    m_items.resize(size_t(count));
    m_names.resize(size_t(count));
  }
  // Puts `item` at `index` (growing the list), replacing what was there.
  void Set(int32_t index, std::unique_ptr<T> item, std::string name) {
    if (index >= Count()) Resize(index + 1);
    m_items[size_t(index)] = std::move(item);
    m_names[size_t(index)] = m_items[size_t(index)] ? std::move(name) : std::string();
  }
  int32_t Add(std::unique_ptr<T> item, std::string name) {
    Set(Count(), std::move(item), std::move(name));
    return Count() - 1;
  }
  void Remove(int32_t index) {
    if (!Exists(index)) return;
    m_items[size_t(index)].reset();
    m_names[size_t(index)].clear();
  }

 private:
  std::vector<std::unique_ptr<T>> m_items;
  std::vector<std::string> m_names;
};

}  // namespace tavrin
