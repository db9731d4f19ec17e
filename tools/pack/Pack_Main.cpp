// tavrin-pack: builds game packages from project folders, and shows what a
// package holds.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "Pack_Project.h"
#include "package/Support_File.h"
#include "platform/Platform.h"
#include "runner/Runner_Sections.h"

using namespace tavrin;

namespace {

int Build(const std::string& dir, const std::string& out, bool exe, uint64_t seed) {
  RPackageContent content = Project_Read(dir);
  CPackRandom random(seed);
  CStream file;
  if (exe) {
    const std::string runner = (std::filesystem::path(Platform_ExecutablePath()).parent_path() / "tavrin").string();
    if (!file.LoadFromFile(runner)) {
      std::fprintf(stderr, "tavrin-pack: cannot read the runner %s\n", runner.c_str());
      return 1;
    }
  }
  const CStream payload = Package_WritePayload(content, Game_Sections(), random);
  Package_WriteContainer(file, kPackageVersion, payload, random);
  if (!file.SaveToFile(out)) {
    std::fprintf(stderr, "tavrin-pack: cannot write %s\n", out.c_str());
    return 1;
  }
  if (exe) std::filesystem::permissions(out, std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_exec,
                                        std::filesystem::perm_options::add);
  std::printf("%s: %zu bytes\n", out.c_str(), file.Size());
  return 0;
}

class CInfoListener : public IPackageLoadListener {
 public:
  void ShowProgress(int, const std::string&) override {}
  void HeaderRead(RPackageHeader& h) override {
    std::printf("debug mode: %s\nsettings version: %d\n", h.debugMode ? "yes" : "no", h.settingsVersion);
  }
};

int Info(const std::string& path) {
  CStream stream;
  const ELocate located = LocatePackage(path, stream);
  if (located != ELocate::Ok) {
    std::fprintf(stderr, "tavrin-pack: %s: %s\n", path.c_str(), Locate_Message(located));
    return 1;
  }
  CInfoListener listener;
  try {
    const TLoadMessages failure = ReadHeader(stream, listener, Game_Sections());
    for (const std::string& message : failure) std::fprintf(stderr, "tavrin-pack: %s: %s\n", path.c_str(), message.c_str());
    if (!failure.empty()) return 1;
  } catch (const CStreamError&) {
    std::fprintf(stderr, "tavrin-pack: %s: Failed to load the game data. File seems corrupted.\n", path.c_str());
    return 1;
  }
  std::printf("game id: %d\nsettings: %s\n", g_GameIdentity.gameId, Project_SettingsToJson(g_Settings).dump(2).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tavrin-pack builds Tavrin game packages from project folders.", "tavrin-pack"};
  app.require_subcommand(1);

  std::string dir, out, file;
  bool exe = false;
  uint64_t seed = 1;
  CLI::App* build = app.add_subcommand("build", "Build a package from a project folder");
  build->add_option("DIR", dir, "The project folder (holding game.json)")->required()->check(CLI::ExistingDirectory);
  build->add_option("-o,--output", out, "The package file to write")->required()->type_name("OUT");
  build->add_flag("--exe", exe, "Append the package to the runner, making a standalone game");
  build->add_option("--seed", seed, "Seed of the package's scrambling; the same seed gives the same bytes")
      ->type_name("N");
  CLI::App* info = app.add_subcommand("info", "List what a package holds");
  info->add_option("FILE", file, "A package file or a standalone game")->required();
  CLI11_PARSE(app, argc, argv);

  try {
    if (*build) return Build(dir, out, exe, seed);
    return Info(file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrin-pack: %s\n", e.what());
    return 1;
  }
}
