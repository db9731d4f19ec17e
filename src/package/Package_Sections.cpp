#include "package/Package_Sections.h"

#include "package/Package_Ahead.h"

namespace tavrin {

bool Section_ReadStandard(CStream& content, int32_t version, const std::function<void(int32_t)>& resize,
                          const std::function<bool(CStream&, int32_t, const std::string&)>& readItem) {
  if (content.ReadInteger() != version) return false;
  const int32_t count = content.ReadInteger();
  // Every item takes at least its 4-byte length: a count beyond that cannot
  // be real and must not size the lists.
  if (!content.CountFits(count, 4)) return false;
  resize(count);
  CInflateAhead ahead(content, count);
  for (int32_t i = 0; i < count; ++i) {
    CStream item = ahead.Take(content, i);
    if (!item.ReadBoolean()) continue;
    const std::string name = item.ReadString();
    if (!readItem(item, i, name)) return false;
  }
  return true;
}

void Section_WriteStandard(CStream& content, int32_t version, int32_t count,
                           const std::function<const std::string*(int32_t)>& nameIfExists,
                           const std::function<void(CStream&, int32_t)>& writeItem) {
  content.WriteInteger(version);
  content.WriteInteger(count);
  for (int32_t i = 0; i < count; ++i) {
    CStream item;
    const std::string* name = nameIfExists(i);
    item.WriteBoolean(name != nullptr);
    if (name) {
      item.WriteString(*name);
      writeItem(item, i);
    }
    content.WriteStreamC(item);
  }
}

}  // namespace tavrin
