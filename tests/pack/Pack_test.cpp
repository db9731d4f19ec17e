// tavrin-pack as authors use it: every game under tests/games/ builds,
// unpacks and builds again to the same bytes, and plays; broken projects are
// refused with a message that names the file and the problem.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

class PackTest : public test::FolderTest {
 protected:
  PackTest() : FolderTest("pack") {}
  test::RRun Pack(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {TAVRIN_PACK_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::RunProgram(argv);
  }
  // Writes a fresh project folder m_dir/project from (file, text) pairs, with
  // game.json and one room unless the files give their own.
  fs::path WriteProject(const Files& files) {
    const fs::path project = m_dir / "project";
    fs::remove_all(project);
    fs::create_directories(project / "rooms");
    std::ofstream(project / "game.json") << "{}";
    std::ofstream(project / "rooms" / "r.json") << "{}";
    for (const auto& [file, text] : files) {
      fs::create_directories((project / file).parent_path());
      std::ofstream(project / file) << text;
    }
    return project;
  }
};

// A project refused: exit 1, a message holding every fragment, no package.
void ExpectRefused(const test::RRun& r, const std::vector<std::string>& says, const fs::path& out,
                   const std::string& name) {
  EXPECT_EQ(r.status, 1) << name << ": " << r.err;
  for (const std::string& fragment : says)
    EXPECT_NE(r.err.find(fragment), std::string::npos) << name << ": wanted \"" << fragment << "\" in " << r.err;
  EXPECT_FALSE(fs::exists(out)) << name;
}

TEST_F(PackTest, EveryTestGameRoundTripsToTheSameBytesAndPlays) {
  int games = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(TAVRIN_TESTS_DIR) / "games")) {
    if (!fs::exists(entry.path() / "game.json")) continue;
    ++games;
    const std::string name = entry.path().filename().string();
    const std::string first = (m_dir / (name + "1.bin")).string(), second = (m_dir / (name + "2.bin")).string();
    const std::string unpacked = (m_dir / name).string();
    ASSERT_EQ(Pack({"build", entry.path().string(), "-o", first, "--seed", "5"}).status, 0) << name;
    const test::RRun un = Pack({"unpack", first, unpacked});
    ASSERT_EQ(un.status, 0) << name << un.err;
    ASSERT_EQ(Pack({"build", unpacked, "-o", second, "--seed", "5"}).status, 0) << name;
    EXPECT_EQ(test::ReadFile(first), test::ReadFile(second)) << name;
    if (name == "world") {  // a time line, written before the objects, still names the object it applies to
      EXPECT_NE(test::ReadFile(fs::path(unpacked) / "timelines" / "tl_intro.json").find("\"applies_to\": \"obj_wall\""),
                std::string::npos);
    }

    const test::RRun info = Pack({"info", first});
    EXPECT_EQ(info.status, 0) << name;
    const test::RRun play =
        test::RunProgram({TAVRIN_EXE, "--headless", "--steps", "3", "--fixed-clock", first}, {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
    EXPECT_EQ(play.status, 0) << name << play.err;
  }
  EXPECT_GE(games, 1);
}

TEST_F(PackTest, BrokenProjectsAreRefusedWithTheirReason) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    const char* says;
  };
  const std::string room = R"({"caption": "r"})";
  const Case cases[] = {
      {"no game.json", {{"rooms/r.json", room}}, "game.json: cannot read the file"},
      {"not JSON", {{"game.json", "{"}}, "game.json: [json.exception.parse_error"},
      {"unknown setting", {{"game.json", R"({"settings": {"fulscreen": true}})"}, {"rooms/r.json", room}},
       "unknown setting \"fulscreen\""},
      {"setting of the wrong type", {{"game.json", R"({"settings": {"scale": "big"}})"}}, "must be a whole number"},
      {"no room", {{"game.json", "{}"}}, "a game needs at least one room"},
      {"room order naming nothing", {{"game.json", R"({"room_order": ["nowhere"]})"}, {"rooms/r.json", room}},
       "there is no rooms resource named \"nowhere\""},
      {"object naming a missing sprite",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"sprite": "spr_missing"})"}},
       "objects/o.json: there is no sprites resource named \"spr_missing\""},
      {"bad event key",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"events": {"stpe": "x = 1"}})"}},
       "\"stpe\" is not an event"},
      {"collision with a missing object",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"events": {"collision:ghost": "x = 1"}})"}},
       "there is no objects resource named \"ghost\""},
      {"parent cycle",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/a.json", R"({"parent": "b"})"},
        {"objects/b.json", R"({"parent": "a"})"}},
       "form a cycle"},
      {"too many arguments",
       {{"game.json", "{}"}, {"rooms/r.json", room},
        {"objects/o.json", R"({"events": {"create": [{"kind": 0, "arguments": ["1","2","3","4","5","6","7","8","9"]}]}})"}},
       "at most 8 arguments"},
      {"unsafe name in the order", {{"game.json", R"({"order": {"rooms": ["../r"]}})"}, {"rooms/r.json", room}},
       "cannot be used as a resource name"},
  };
  for (const Case& c : cases) {
    const fs::path project = m_dir / "project";
    fs::remove_all(project);
    for (const auto& [file, text] : c.files) {
      fs::create_directories((project / file).parent_path());
      std::ofstream(project / file) << text;
    }
    fs::create_directories(project);
    const test::RRun r = Pack({"build", project.string(), "-o", (m_dir / "out.bin").string()});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.bin")) << c.name;
  }
}

TEST_F(PackTest, UnpackRefusesToWriteIntoAFolderInUse) {
  fs::create_directories(m_dir / "busy");
  std::ofstream(m_dir / "busy" / "keep.txt") << "mine";
  const std::string game = (m_dir / "g.bin").string();
  ASSERT_EQ(Pack({"build", (fs::path(TAVRIN_TESTS_DIR) / "games" / "world").string(), "-o", game}).status, 0);
  const test::RRun r = Pack({"unpack", game, (m_dir / "busy").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not empty"), std::string::npos);
  EXPECT_EQ(test::ReadFile(m_dir / "busy" / "keep.txt"), "mine");
}

// A project names files by paths; every one must lead to a file inside the
// project folder, or a build would copy the author's other files into a game
// that is handed out.
TEST_F(PackTest, FilesOutsideTheProjectAreNeverCopiedIntoThePackage) {
  const fs::path secret = m_dir / "secret.txt";
  std::ofstream(secret) << "not for the game";
  const std::string outside = "../secret.txt", absolute = secret.string();
  // Each field with a path that names the secret file.
  const auto fields = [](const std::string& path) {
    return std::vector<std::pair<std::string, Files>>{
        {"included_files.data", {{"game.json", R"({"included_files": [{"name": "a.txt", "data": ")" + path + R"("}]})"}}},
        {"game_information.text_file", {{"game.json", R"({"game_information": {"text_file": ")" + path + R"("}})"}}},
        {"runner_library.file", {{"game.json", R"({"runner_library": {"name": "lib.bin", "file": ")" + path + R"("}})"}}},
        {"files.data",
         {{"extensions/ext.json", R"({"files": [{"name": "e.dll", "kind": 1, "data": ")" + path + R"("}]})"}}},
        {"events.create.file", {{"objects/o.json", R"({"events": {"create": {"file": ")" + path + R"("}}})"}}},
        {"code.file", {{"rooms/r.json", R"({"code": {"file": ")" + path + R"("}})"}}},
        // relative to the sounds folder
        {"file", {{"sounds/s.json", R"({"file": ")" + (path[0] == '/' ? path : "../" + path) + R"("})"}}},
    };
  };
  for (const std::string& path : {outside, absolute}) {
    for (const auto& [field, files] : fields(path)) {
      const std::string why = field == "file"      ? "must be a file inside the sounds folder"
                              : path == outside ? "leads outside the project folder"
                                                : "relative to the project folder";
      const fs::path out = m_dir / "out.bin";
      const test::RRun r = Pack({"build", WriteProject(files).string(), "-o", out.string()});
      ExpectRefused(r, {"field \"" + field + "\"", path, why}, out, field + " = " + path);
      EXPECT_EQ(r.err.find("not for the game"), std::string::npos);
    }
  }
  // A symbolic link inside the folder that leads out of it, wherever a file is read.
  const std::vector<std::pair<std::string, Files>> linked = {
      {"included/0.bin", {{"game.json", R"({"included_files": [{"name": "a.txt", "data": "included/0.bin"}]})"}}},
      {"scripts/scr.tvs", {}},
      {"objects/o/create.tvs", {{"objects/o.json", R"({"events": {"create": {"file": "objects/o/create.tvs"}}})"}}},
      {"sounds/s.wav", {{"sounds/s.json", R"({"file": "s.wav"})"}}},
      {"rooms/r.json", {}},
  };
  for (const auto& [link, files] : linked) {
    const fs::path project = WriteProject(files), out = m_dir / "out.bin";
    fs::create_directories((project / link).parent_path());
    fs::remove(project / link);
    fs::create_symlink(secret, project / link);
    const std::string why = link == "sounds/s.wav" ? "must be a file inside the sounds folder" : "leads outside the project folder";
    ExpectRefused(Pack({"build", project.string(), "-o", out.string()}), {why}, out, link);
  }
}

// What the runner would refuse when the game starts (or reject quietly while it
// plays) stops the build, with the file, the field and, for code, the line.
TEST_F(PackTest, WhatTheRunnerWouldRefuseStopsTheBuild) {
  struct Case {
    const char* name;
    Files files;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {"script syntax", {{"scripts/scr.tvs", "x = 1;\ny = (2"}}, {"scripts/scr.tvs", "line 2"}},
      {"event syntax", {{"objects/o.json", R"({"events": {"step": "if x {"}})"}}, {"objects/o.json", "events.step", "line 1"}},
      {"event code file", {{"objects/o.json", R"({"events": {"draw": {"file": "d.tvs"}}})"}, {"d.tvs", "a = 1\n\nb = )"}},
       {"events.draw (d.tvs)", "line 3"}},
      {"unknown function", {{"scripts/scr.tvs", "no_such_function(1)"}}, {"scripts/scr.tvs", "no_such_function"}},
      {"action argument",
       {{"objects/o.json",
         R"({"events": {"create": [{"kind": 0, "exe": 1, "function": "f", "argument_count": 1, "argument_kinds": [0], "arguments": ["1 +"]}]}})"}},
       {"events.create", "argument 0"}},
      {"second action", {{"objects/o.json", R"({"events": {"create": [{"kind": 7, "exe": 2, "arguments": ["x = 1"]}, {"kind": 7, "exe": 2, "arguments": ["x = = 1"]}]}})"}},
       {"events.create", "action 1"}},
      {"time line moment", {{"timelines/t.json", R"({"moments": [{"step": 5, "actions": "x = ="}]})"}},
       {"timelines/t.json", "moments.step 5"}},
      {"trigger condition", {{"triggers/t.json", R"({"condition": "x >"})"}}, {"triggers/t.json", "condition"}},
      {"constant value", {{"game.json", R"({"constants": [{"name": "speed", "value": "3 +"}]})"}}, {"constants", "speed"}},
      {"constant name", {{"game.json", R"({"constants": [{"name": "2fast", "value": "3"}]})"}}, {"constants", "2fast"}},
      {"constant assigned in code",
       {{"game.json", R"({"constants": [{"name": "top", "value": "\"a\""}]})"}, {"scripts/scr.tvs", "top.x = 1"}},
       {"scripts/scr.tvs"}},
      {"room creation code", {{"rooms/r.json", R"J({"code": "x = )"})J"}}, {"rooms/r.json", "\"code\""}},
      {"instance creation code",
       {{"objects/o.json", "{}"}, {"rooms/r.json", R"({"instances": [{"x": 1, "y": 2, "object": "o", "code": "hp = ("}]})"}},
       {"rooms/r.json", "instances[0].code"}},
      {"library code", {{"game.json", R"({"library_init_code": ["a = ]"]})"}}, {"library_init_code"}},
      {"included file name climbing out", {{"game.json", R"({"included_files": [{"name": "../../x.txt", "exists": true}]})"}},
       {"included_files.name", "../../x.txt"}},
      {"export folder climbing out",
       {{"game.json", R"({"included_files": [{"name": "x.txt", "exists": true, "export": "folder", "export_folder": "a/../.."}]})"}},
       {"included_files.export_folder"}},
      {"extension folder climbing out", {{"extensions/e.json", R"({"folder": "..", "files": []})"}}, {"extensions/e.json", "\"folder\""}},
      {"extension file climbing out", {{"extensions/e.json", R"({"files": [{"name": "../e.dll", "kind": 1}]})"}},
       {"files.name"}},
      {"runner library name", {{"game.json", R"({"runner_library": {"name": "../lib.dll"}})"}}, {"runner_library.name"}},
      {"order not an object", {{"game.json", R"({"order": "x"})"}}, {"\"order\" must map"}},
      {"order of no kind", {{"game.json", R"({"order": {"sprite": ["s"]}})"}}, {"\"sprite\" is not a resource kind"}},
      {"order not a list", {{"game.json", R"({"order": {"rooms": "r"}})"}}, {"\"order\".\"rooms\" must be a list"}},
      {"name twice in the order", {{"game.json", R"({"order": {"rooms": ["r", "r"]}})"}}, {"lists \"r\" twice"}},
      {"data naming a folder",
       {{"game.json", R"({"included_files": [{"name": "a.txt", "data": "included"}]})"}, {"included/x", ""}},
       {"included_files.data", "is a folder"}},
      {"number too large", {{"objects/o.json", R"({"depth": 3000000000})"}}, {"objects/o.json", "\"depth\"", "3000000000"}},
      {"fraction for a whole number", {{"objects/o.json", R"({"depth": 1.5})"}}, {"\"depth\"", "1.5"}},
      {"truth for a number", {{"objects/o.json", R"({"depth": true})"}}, {"\"depth\""}},
      {"fractional room position",
       {{"objects/o.json", "{}"}, {"rooms/r.json", R"({"instances": [{"x": 100.4, "y": 2, "object": "o"}]})"}},
       {"rooms/r.json", "\"x\"", "100.4 is not a whole number"}},
      {"fractional tile position", {{"rooms/r.json", R"({"tiles": [{"x": 1, "y": 0.5}]})"}}, {"\"y\"", "0.5"}},
      {"setting too large", {{"game.json", R"({"settings": {"scale": 4294967296}})"}}, {"\"scale\""}},
      {"room order number too large", {{"game.json", R"({"room_order": [4294967296]})"}}, {"room_order"}},
      {"the same event twice", {{"objects/o.json", R"({"events": {"step": "x = 1", "step:0": "x = 2"}})"}},
       {"objects/o.json", "\"step\" and \"step:0\" are the same event"}},
      {"event number too large", {{"objects/o.json", R"({"events": {"alarm:100000": "x = 1"}})"}}, {"at most 99999"}},
      {"events not an object", {{"objects/o.json", R"({"events": ["x = 1"]})"}}, {"\"events\" must map"}},
      {"field of an object not an object", {{"rooms/r.json", R"({"instances": [5]})"}}, {"rooms/r.json"}},
  };
  for (const Case& c : cases) {
    const fs::path out = m_dir / "out.bin";
    ExpectRefused(Pack({"build", WriteProject(c.files).string(), "-o", out.string()}), c.says, out, c.name);
  }
  // The same checks pass what is right: whole numbers written as reals, a
  // constant used in code, code in a file.
  const fs::path out = m_dir / "good.bin";
  const test::RRun good = Pack({"build",
                                WriteProject({{"game.json", R"({"constants": [{"name": "top", "value": "3 * 4"}]})"},
                                              {"objects/o.json", R"({"depth": 2.0, "events": {"step": {"file": "s.tvs"}}})"},
                                              {"s.tvs", "x = top\ny = scr(1)"},
                                              {"scripts/scr.tvs", "return argument0 + top"},
                                              {"rooms/r.json", R"({"instances": [{"x": 100.0, "y": 2, "object": "o"}]})"}})
                                    .string(),
                                "-o", out.string()});
  EXPECT_EQ(good.status, 0) << good.err;
}

// A failed unpack leaves nothing behind, so the same command can be tried
// again, and its message names the resource it could not write.
TEST_F(PackTest, AFailedUnpackLeavesNothingBehindAndNamesTheResource) {
  // One line of code that is not UTF-8 cannot be a JSON string.
  const fs::path project = WriteProject({{"objects/o.json", R"({"events": {"step": {"file": "s.tvs"}}})"},
                                         {"s.tvs", "x = \"\xff\""}});
  const std::string game = (m_dir / "g.bin").string();
  const test::RRun built = Pack({"build", project.string(), "-o", game});
  ASSERT_EQ(built.status, 0) << built.err;
  const fs::path target = m_dir / "unpacked";
  for (int attempt = 0; attempt < 2; ++attempt) {
    const test::RRun r = Pack({"unpack", game, target.string()});
    EXPECT_EQ(r.status, 1) << attempt;
    EXPECT_NE(r.err.find((target / "objects" / "o.json").string()), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("not empty"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(target));
  }
  for (const auto& entry : fs::directory_iterator(m_dir))
    EXPECT_EQ(entry.path().filename().string().find(".writing"), std::string::npos) << entry.path();
  // An empty folder made for the purpose is filled.
  fs::create_directories(m_dir / "empty");
  const std::string world = (m_dir / "w.bin").string();
  ASSERT_EQ(Pack({"build", (fs::path(TAVRIN_TESTS_DIR) / "games" / "world").string(), "-o", world}).status, 0);
  EXPECT_EQ(Pack({"unpack", world, (m_dir / "empty").string() + "/"}).status, 0);
  EXPECT_TRUE(fs::exists(m_dir / "empty" / "game.json"));
}

// Exit statuses as command-line tools use them: 0 done, 1 failed, 2 a
// mistake in the command line; each failure says what is wrong in words.
TEST_F(PackTest, ExitStatusesAndMessagesAreClear) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const std::string dir = m_dir.string();
  const Case cases[] = {
      {{}, 2, "tavrin-pack: no command given; see tavrin-pack --help\n"},
      {{"frobnicate"}, 2, "tavrin-pack: unknown command frobnicate; see tavrin-pack --help\n"},
      {{"biuld", dir}, 2, "unknown command biuld (did you mean build?)"},
      {{"build"}, 2, "tavrin-pack: build needs DIR; see tavrin-pack build --help\n"},
      {{"build", dir}, 2, "build needs --output OUT"},
      // A mistyped option is named, rather than the option it left missing.
      {{"build", dir, "--ouput", "x.bin"}, 2, "unknown option --ouput (did you mean --output?); see tavrin-pack build --help"},
      {{"build", (m_dir / "missing").string(), "-o", "x.bin"}, 2, "no project folder " + (m_dir / "missing").string()},
      {{"build", dir, "-o", "x.bin", "--seed", "abc"}, 2, "--seed: \"abc\" is not a whole number"},
      {{"build", dir, "-o"}, 2, "--output needs a value (--output OUT)"},
      {{"info"}, 2, "info needs FILE"},
      {{"info", "a", "b"}, 2, "unexpected word b"},
      {{"new"}, 2, "new needs DIR"},
      {{"info", dir}, 1, "is a directory"},
      {{"unpack", dir, (m_dir / "u").string()}, 1, "is a directory"},
      {{"info", (m_dir / "missing.bin").string()}, 1, "tavrin-pack: no package file " + (m_dir / "missing.bin").string()},
      {{"unpack", (m_dir / "missing.bin").string(), (m_dir / "u").string()}, 1, "missing.bin"},
  };
  for (const Case& c : cases) {
    const test::RRun r = Pack(c.args);
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    EXPECT_EQ(r.status, c.status) << line << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << line << r.err;
    EXPECT_EQ(r.err.find("bad_alloc"), std::string::npos) << line;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << line << r.err;
  }
  // Help for the program and each command, with examples, fitting a terminal.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"new", "--help"}, {"build", "--help"}, {"unpack", "--help"}, {"info", "--help"}}) {
    const test::RRun help = Pack(args);
    EXPECT_EQ(help.status, 0) << args[0];
    EXPECT_NE(help.out.find("tavrin-pack " + (args.size() > 1 ? args[0] : "new")), std::string::npos) << help.out;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 100u) << line;
  }
  const test::RRun version = Pack({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, test::RunProgram({TAVRIN_EXE, "--version"}).out.replace(0, 6, "tavrin-pack"));
}

// A new project builds, and plays: the right arrow held for ten steps moves
// the square 40 pixels, and it says where it stopped.
TEST_F(PackTest, ANewProjectBuildsAndItsSquareMovesWithTheArrowKeys) {
  const fs::path project = m_dir / "mygame", game = m_dir / "mygame.bin", walk = m_dir / "walk.txt";
  const test::RRun made = Pack({"new", project.string()});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.out.find("tavrin-pack build " + project.string() + " -o mygame.bin"), std::string::npos) << made.out;
  EXPECT_NE(test::ReadFile(project / "README.txt").find("tavrin-pack build mygame -o mygame.bin"), std::string::npos);
  const test::RRun built = Pack({"build", project.string(), "-o", game.string()});
  ASSERT_EQ(built.status, 0) << built.err;
  std::ofstream(walk) << "1 key down vk_right\n11 key up vk_right\n13 key down vk_up\n15 key up vk_up\n";
  const test::RRun play = test::RunProgram(
      {TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "20", "--input", walk.string(), game.string()},
      {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  EXPECT_EQ(play.status, 0) << play.err;
  EXPECT_EQ(play.out,
            "Arrow keys move the square; Escape ends the game.\n"
            "The square stops at 184, 104\n"
            "The square stops at 184, 96\n");

  // A folder in use is refused and left as it was; an empty one is filled.
  std::ofstream(project / "game.json") << "{\"game_id\": 7}";
  const test::RRun again = Pack({"new", project.string()});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;
  EXPECT_EQ(test::ReadFile(project / "game.json"), "{\"game_id\": 7}");
  fs::create_directories(m_dir / "empty");
  EXPECT_EQ(Pack({"new", (m_dir / "empty").string()}).status, 0);
  EXPECT_TRUE(fs::exists(m_dir / "empty" / "sprites" / "spr_player" / "0.png"));
}

}  // namespace
}  // namespace tavrin
