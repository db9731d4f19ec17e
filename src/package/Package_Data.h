// What a game's package says about the game as a whole: its settings, its
// identity, whether it was built for debugging, and the files it carries.
// Loading a package fills one of these; the runner then installs it as
// g_PackageData, which the running game reads.
#pragma once

#include <vector>

#include "package/DataNew_Class.h"
#include "package/Option_Main.h"
#include "package/Package_Load.h"

namespace tavrin {

struct RPackageData {
  RGameSettings settings;
  RGameIdentity identity;
  bool debugMode = false;
  std::vector<CDataFile> dataFiles;

  void Clear() { *this = RPackageData(); }
};

inline RPackageData g_PackageData;

}  // namespace tavrin
