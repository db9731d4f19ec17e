#include "world/Path_Class.h"

#include "package/Package_Sections.h"

namespace tavrin {

CResourceList<CPath> g_Paths;

namespace {
constexpr int32_t kPathVersion = 530;
}

bool CPath::LoadFromStream(CStream& s) {
  *this = CPath{};
  if (s.ReadInteger() != kPathVersion) return false;
  i_kind = s.ReadInteger();
  i_closed = s.ReadBoolean();
  i_precision = s.ReadInteger();
  const int32_t count = s.ReadInteger();
  if (!s.CountFits(count, 24)) return false;
  i_points.resize(size_t(count));
  for (RWayPoint& p : i_points) {
    p.x = s.ReadReal();
    p.y = s.ReadReal();
    p.speed = s.ReadReal();
  }
  return true;
}

void CPath::SaveToStream(CStream& s) const {
  s.WriteInteger(kPathVersion);
  s.WriteInteger(i_kind);
  s.WriteBoolean(i_closed);
  s.WriteInteger(i_precision);
  s.WriteInteger(int32_t(i_points.size()));
  for (const RWayPoint& p : i_points) {
    s.WriteReal(p.x);
    s.WriteReal(p.y);
    s.WriteReal(p.speed);
  }
}

bool Path_LoadAll(CStream& content) { return Section_ReadList(content, g_Paths); }
void Path_SaveAll(CStream& content) { Section_WriteList(content, g_Paths); }

}  // namespace tavrin
