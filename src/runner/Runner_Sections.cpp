#include "runner/Runner_Sections.h"

namespace tavrin {

const std::vector<RPackageSection>& Game_Sections() {
  static const std::vector<RPackageSection> sections = {};
  return sections;
}

}  // namespace tavrin
