// tavrin-pack: builds game packages from project folders, takes packages
// apart again, and shows what a package holds.
#include <CLI/CLI.hpp>

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Pack_Project.h"
#include "package/Support_File.h"
#include "platform/Platform.h"
#include "runner/Runner_GameData.h"
#include "runner/Runner_Usage.h"
#include "runner/Runner_Version.h"

using namespace tavrin;

namespace {

// Exit statuses, as command-line tools use them.
constexpr int kExitDone = 0, kExitFailed = 1, kExitUsage = 2;

class CQuietListener : public IPackageLoadListener {
 public:
  void ShowProgress(int, const std::string&) override {}
  void HeaderRead(RPackageHeader& header, const RGameSettings&) override { pictures = std::move(header.pictures); }
  RLoadPictures pictures;
};

// Loads a package file or standalone game.
void LoadPackage(const std::string& path, RPackedGame& game) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw CProjectError(path + ": is a directory, not a package or a game");
  CStream stream;
  const ELocate located = LocatePackage(path, stream);
  if (located != ELocate::Ok) throw CProjectError(path + ": " + Locate_Message(located));
  CQuietListener listener;
  try {
    const TLoadMessages failure = ReadHeader(stream, listener, Game_Sections(game.data), game.data.package, &game.header);
    if (!failure.empty()) throw CProjectError(path + ": " + failure.back());
  } catch (const CStreamError&) {
    throw CProjectError(path + ": Failed to load the game data. File seems corrupted.");
  }
  game.header.pictures = std::move(listener.pictures);
}

int Build(const std::string& dir, const std::string& out, bool exe, uint64_t seed) {
  RPackedGame game;
  Project_Read(dir, game);
  CPackRandom random(seed);
  CStream file;
  if (exe) {
    const std::string runner = (fs::path(Platform_ExecutablePath()).parent_path() / "tavrin").string();
    if (!file.LoadFromFile(runner)) throw CProjectError("cannot read the runner " + runner);
  }
  const CStream payload = Package_WritePayload(game.header, game.data.package, Game_Sections(game.data), random);
  Package_WriteContainer(file, kPackageVersion, payload, random);
  errno = 0;
  if (!file.SaveToFile(out)) throw CProjectError("cannot write " + out + (errno ? std::string(": ") + std::strerror(errno) : ""));
  if (exe)
    fs::permissions(out, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
  std::printf("%s: %zu bytes\n", out.c_str(), file.Size());
  return kExitDone;
}

int Unpack(const std::string& file, const std::string& dir) {
  Project_CreateFolder(dir, [&](const fs::path& folder) {
    RPackedGame game;
    LoadPackage(file, game);
    Project_Write(folder, game);
  });
  std::printf("%s: unpacked into %s\n", file.c_str(), dir.c_str());
  return kExitDone;
}

int Version() {
  std::printf("tavrin-pack %s\n", kTavrinVersion);
  return kExitDone;
}

// A mistake in the command line, in one line, pointing at the help of the
// command it was made in.
int Mistake(const std::string& what, const std::string& command) {
  std::fprintf(stderr, "tavrin-pack: %s; see tavrin-pack%s --help\n", what.c_str(), command.empty() ? "" : (" " + command).c_str());
  return kExitUsage;
}

int Info(const std::string& path) {
  RPackedGame game;
  LoadPackage(path, game);
  std::printf("game id: %d\ndebug mode: %s\nsettings version: %d\n", game.data.package.identity.gameId,
              game.header.debugMode ? "yes" : "no", game.header.settingsVersion);
  std::printf("settings: %s\n", Project_SettingsToJson(game.data.package.settings).dump().c_str());
  return kExitDone;
}

constexpr const char* kFooter =
    "Exit status: 0 when the command did its work, 1 when it failed (the message names the file and the "
    "reason), 2 for a mistake in the command line. Each command has its own help: tavrin-pack build --help.\n"
    "\n"
    "Examples:\n"
    "  Start a new project in the folder mygame, build it and play it:\n"
    "    tavrin-pack new mygame\n"
    "    tavrin-pack build mygame -o mygame.bin && tavrin mygame.bin\n"
    "  Build a standalone game ./mygame, the same bytes on every build with the same seed:\n"
    "    tavrin-pack build mygame -o mygame --exe --seed 7\n"
    "  Turn a package back into a project folder, and list what a package holds:\n"
    "    tavrin-pack unpack mygame.bin mygame-again\n"
    "    tavrin-pack info mygame.bin\n"
    "  Show the version:\n"
    "    tavrin-pack --version";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tavrin-pack makes Tavrin games: it starts new projects, builds packages from project folders, "
               "and takes packages apart again.",
               "tavrin-pack"};
  app.formatter(Usage_Formatter());
  app.require_subcommand(1);
  app.footer(kFooter);
  app.set_help_flag("-h,--help", "Show this help and exit");
  bool showVersion = false;
  app.add_flag("--version", showVersion, "Show the version and exit");

  std::string dir, out, file;
  bool exe = false;
  uint64_t seed = 1;
  CLI::App* create = app.add_subcommand("new", "Make a small starting project in a new folder: one room, one object moved with the arrow keys");
  create->add_option("DIR", dir, "The folder to make (new, or empty)")->required();
  create->footer("Example:\n  tavrin-pack new mygame");
  CLI::App* build = app.add_subcommand("build", "Build a package from a project folder");
  build->add_option("DIR", dir, "The project folder (holding game.json)")->required();
  build->add_option("-o,--output", out, "The package file to write")->required()->type_name("OUT");
  build->add_flag("--exe", exe, "Append the package to the runner, making a standalone game");
  build->add_option("--seed", seed, "Seed of the package's scrambling; the same seed gives the same bytes")
      ->type_name("N")
      ->check(Usage_WholeNumber(0, UINT64_MAX, "a whole number, 0 or more"));
  build->footer("Examples:\n  tavrin-pack build mygame -o mygame.bin\n  tavrin-pack build mygame -o mygame --exe --seed 7");
  CLI::App* unpack = app.add_subcommand("unpack", "Turn a package or standalone game back into a project folder");
  unpack->add_option("FILE", file, "A package file or a standalone game")->required();
  unpack->add_option("DIR", dir, "The project folder to create (new or empty)")->required();
  unpack->footer("Example:\n  tavrin-pack unpack mygame.bin mygame-again");
  CLI::App* info = app.add_subcommand("info", "List what a package holds");
  info->add_option("FILE", file, "A package file or a standalone game")->required();
  info->footer("Example:\n  tavrin-pack info mygame.bin");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    if (showVersion) return Version();
    const RUsageMistake mistake = Usage_Mistake(app, e);
    return Mistake(mistake.what, mistake.command);
  }
  if (showVersion) return Version();

  // A folder or file that is not there: one line, before any work.
  std::error_code ec;
  if (*build && !fs::is_directory(dir, ec))
    return Mistake(fs::exists(dir, ec) ? dir + " is a file, not a project folder" : "no project folder " + dir, "build");
  if ((*unpack || *info) && !fs::exists(file, ec)) {
    std::fprintf(stderr, "tavrin-pack: no package file %s; see tavrin-pack --help\n", file.c_str());
    return kExitFailed;
  }

  try {
    if (*create) {
      Project_New(dir);
      const std::string name = fs::path(dir).lexically_normal().filename().string();
      std::printf("%s: a new project; build and play it with\n  tavrin-pack build %s -o %s.bin\n  tavrin %s.bin\n",
                  dir.c_str(), dir.c_str(), name.c_str(), name.c_str());
      return kExitDone;
    }
    if (*build) return Build(dir, out, exe, seed);
    if (*unpack) return Unpack(file, dir);
    return Info(file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrin-pack: %s\n", e.what());
    return kExitFailed;
  }
}
