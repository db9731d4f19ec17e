// The sixteen sections of the package content, in their fixed order, each
// with the progress it shows and the reader and writer of its resource kind.
// The runner loads through this table and the packer writes through it, so
// the two cannot drift apart.
#pragma once

#include <vector>

#include "package/Package_Sections.h"

namespace tavrin {

const std::vector<RPackageSection>& Game_Sections();

}  // namespace tavrin
