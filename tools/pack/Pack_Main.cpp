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

// The message of a failed unpack names the folder asked for, not the
// temporary one it was being written into.
std::string Renamed(std::string message, const std::string& from, const std::string& to) {
  for (size_t at = message.find(from); at != std::string::npos; at = message.find(from, at + to.size()))
    message.replace(at, from.size(), to);
  return message;
}

int Unpack(const std::string& file, const std::string& dir) {
  fs::path target = fs::absolute(dir).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();  // "out/" is "out"
  std::error_code ec;
  if (fs::exists(target, ec) && !fs::is_directory(target, ec)) throw CProjectError(dir + ": is a file, not a folder");
  if (fs::exists(target, ec) && !fs::is_empty(target, ec)) throw CProjectError(dir + ": the folder is not empty");
  RPackedGame game;
  LoadPackage(file, game);
  // Written into a new folder beside the target and renamed at the end: a
  // failure leaves nothing half-written behind to block the next try.
  fs::create_directories(target.parent_path(), ec);
  std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".unpacking-XXXXXX")).string();
  if (!::mkdtemp(pattern.data()))
    throw CProjectError(target.parent_path().string() + ": cannot create a folder here: " + std::strerror(errno));
  const fs::path temp = pattern;
  try {
    try {
      Project_Write(temp, game);
    } catch (const std::exception& e) {
      throw CProjectError(Renamed(e.what(), temp.string(), target.string()));
    }
    if (fs::exists(target, ec)) fs::remove(target);  // the empty folder it replaces
    fs::rename(temp, target);
  } catch (...) {
    fs::remove_all(temp, ec);
    throw;
  }
  std::printf("%s: unpacked into %s\n", file.c_str(), dir.c_str());
  return kExitDone;
}

int Info(const std::string& path) {
  RPackedGame game;
  LoadPackage(path, game);
  std::printf("game id: %d\ndebug mode: %s\nsettings version: %d\n", game.data.package.identity.gameId,
              game.header.debugMode ? "yes" : "no", game.header.settingsVersion);
  std::printf("settings: %s\n", Project_SettingsToJson(game.data.package.settings).dump().c_str());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tavrin-pack builds Tavrin game packages from project folders, and takes them apart.", "tavrin-pack"};
  app.require_subcommand(1);
  app.footer(
      "Exit status: 0 when the command did its work, 1 when a build, unpack or info failed\n"
      "(the message names the file and the reason), 2 for a mistake in the command line.");

  std::string dir, out, file;
  bool exe = false;
  uint64_t seed = 1;
  CLI::App* build = app.add_subcommand("build", "Build a package from a project folder");
  build->add_option("DIR", dir, "The project folder (holding game.json)")->required()->check(CLI::ExistingDirectory);
  build->add_option("-o,--output", out, "The package file to write")->required()->type_name("OUT");
  build->add_flag("--exe", exe, "Append the package to the runner, making a standalone game");
  build->add_option("--seed", seed, "Seed of the package's scrambling; the same seed gives the same bytes")
      ->type_name("N");
  CLI::App* unpack = app.add_subcommand("unpack", "Turn a package or standalone game back into a project folder");
  unpack->add_option("FILE", file, "A package file or a standalone game")->required();
  unpack->add_option("DIR", dir, "The project folder to create (new or empty)")->required();
  CLI::App* info = app.add_subcommand("info", "List what a package holds");
  info->add_option("FILE", file, "A package file or a standalone game")->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version are "errors" that print and succeed.
    return app.exit(e) == 0 ? kExitDone : kExitUsage;
  }

  try {
    if (*build) return Build(dir, out, exe, seed);
    if (*unpack) return Unpack(file, dir);
    return Info(file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrin-pack: %s\n", e.what());
    return kExitFailed;
  }
}
