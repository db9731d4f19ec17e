// The framing of the package's resource sections, shared by every resource
// kind. A kind's module supplies the item record reader and writer; the
// framing (versions, counts, compressed items, exists flags, names) and its
// checks live here once.
#pragma once

#include <functional>
#include <string>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

// The standard section version of most kinds.
inline constexpr int32_t kSectionVersion = 800;

// Reads: version (must equal `version`), count, then per index a compressed
// item holding an exists flag and, when set, the name and the item record.
// `readItem(item, index, name)` reads the record; false fails the section.
// `resize(count)` is called once the count is known. Stream errors propagate.
bool Section_ReadStandard(CStream& content, int32_t version, const std::function<void(int32_t)>& resize,
                          const std::function<bool(CStream&, int32_t, const std::string&)>& readItem);
// The inverse: `exists(index)` says whether a slot is filled, `writeItem`
// writes the record after the name.
void Section_WriteStandard(CStream& content, int32_t version, int32_t count,
                           const std::function<const std::string*(int32_t)>& nameIfExists,
                           const std::function<void(CStream&, int32_t)>& writeItem);

// The two for a resource list whose type T has `bool LoadFromStream(CStream&)`
// and `void SaveToStream(CStream&) const`.
template <class T>
bool Section_ReadList(CStream& content, CResourceList<T>& list, int32_t version = kSectionVersion) {
  list.Clear();
  return Section_ReadStandard(
      content, version, [&](int32_t n) { list.Resize(n); },
      [&](CStream& item, int32_t index, const std::string& name) {
        auto resource = std::make_unique<T>();
        if (!resource->LoadFromStream(item)) return false;
        list.Set(index, std::move(resource), name);
        return true;
      });
}

template <class T>
void Section_WriteList(CStream& content, const CResourceList<T>& list, int32_t version = kSectionVersion) {
  Section_WriteStandard(
      content, version, list.Count(),
      [&](int32_t i) { return list.Exists(i) ? &list.Name(i) : nullptr; },
      [&](CStream& item, int32_t i) { list.Get(i)->SaveToStream(item); });
}

// One of the sixteen sections, in package order: the progress shown before it
// and its reader and writer.
struct RPackageSection {
  int percent;
  const char* text;
  std::function<bool(CStream&)> read;
  std::function<void(CStream&)> write;
  const char* failureNote = nullptr;  // a message shown before the general one
};

}  // namespace tavrin
