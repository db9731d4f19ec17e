// The resource kinds a project folder holds, in package order.
#include "Pack_Project.h"

namespace tavrin {

const std::vector<RProjectKind>& Project_Kinds() {
  static const std::vector<RProjectKind> kinds = {};
  return kinds;
}

}  // namespace tavrin
