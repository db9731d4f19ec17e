// Whole games, built with tavrin-pack and played headless with a fixed clock:
// every game of tests/games/ that has a trace in tests/world/traces/ must
// print exactly that trace, twice in a row; and small games made on the spot
// show how the step ends when the game ends from each kind of event.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

// A small game made of objects (name, events as JSON) and rooms (name, JSON),
// played for some steps: the rules of instances, events and rooms that show
// in a few lines of output.
struct RWorldCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> objects;
  std::vector<std::pair<std::string, std::string>> rooms;  // in room order
  int steps;  // -1: the game must end by itself
  const char* out;
  int status = 0;
  const char* err = "";    // text the error output must contain
  const char* game = "";   // more fields of game.json
  bool ball = false;       // the game has spr_ball: 8 x 8, origin and box from its top left
};

class GameTest : public test::FolderTest {
 protected:
  GameTest() : FolderTest("games") {}

  // Builds the project and plays it; `options` come before the game.
  test::RRun Play(const fs::path& project, const std::vector<std::string>& options) {
    const std::string game = (m_dir / (project.filename().string() + ".bin")).string();
    const test::RRun packed = test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game});
    EXPECT_EQ(packed.status, 0) << packed.err;
    // A game that must end by itself gets a minute before it counts as hung.
    std::vector<std::string> argv = {"timeout", "60", TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "7"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(game);
    return test::RunProgram(argv, {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  }

  // A project written from (file, text) pairs.
  fs::path Project(const std::string& name, const std::map<std::string, std::string>& files) {
    const fs::path dir = m_dir / name;
    for (const auto& [file, text] : files) {
      fs::create_directories((dir / file).parent_path());
      std::ofstream(dir / file) << text;
    }
    return dir;
  }

  // Plays each case as its own game and compares what it prints.
  template <size_t N>
  void PlayWorldCases(const RWorldCase (&cases)[N]) {
    int k = 0;
    for (const RWorldCase& c : cases) {
      SCOPED_TRACE(c.name);
      std::map<std::string, std::string> files;
      std::string order;
      for (const auto& [name, json] : c.objects) files["objects/" + name + ".json"] = json;
      for (const auto& [name, json] : c.rooms) {
        files["rooms/" + name + ".json"] = json;
        order += (order.empty() ? "\"" : ", \"") + name + "\"";
      }
      files["game.json"] =
          "{\"room_order\": [" + order + "], \"settings\": {\"uninitzero\": true}" + c.game + "}";
      if (c.ball) files["sprites/spr_ball.json"] = R"({"mask": {"shape": "rectangle", "bbox": "full"}})";
      const fs::path project = Project("case" + std::to_string(k++), files);
      if (c.ball) {
        fs::create_directories(project / "sprites" / "spr_ball");
        fs::copy_file(fs::path(TAVRIN_TESTS_DIR) / "games" / "media" / "sprites" / "spr_ball" / "0.png",
                      project / "sprites" / "spr_ball" / "0.png");
      }
      const test::RRun r = Play(project, c.steps >= 0 ? std::vector<std::string>{"--steps", std::to_string(c.steps)}
                                                      : std::vector<std::string>{});
      EXPECT_EQ(r.out, c.out) << r.err;
      EXPECT_EQ(r.status, c.status) << r.err;
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
  }
};

// Code as a JSON string.
std::string JsonString(const std::string& code) {
  std::string out = "\"";
  for (char c : code) {
    if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + "\"";
}

// The first line of a trace file holds the options of the run, the second
// the exit status; the rest is the output the game prints.
struct RTrace {
  std::vector<std::string> options;
  int status = 0;
  std::string out;
};

RTrace ReadTrace(const fs::path& path) {
  std::ifstream in(path);
  RTrace t;
  std::string line, word;
  std::getline(in, line);
  std::istringstream words(line.substr(line.find(':') + 1));
  while (words >> word) t.options.push_back(word);
  std::getline(in, line);
  t.status = std::stoi(line.substr(line.find(':') + 1));
  std::ostringstream rest;
  rest << in.rdbuf();
  t.out = rest.str();
  return t;
}

TEST_F(GameTest, EveryTracedGamePrintsItsTraceTheSameWayTwice) {
  int games = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(TAVRIN_TESTS_DIR) / "world" / "traces")) {
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    ++games;
    RTrace trace = ReadTrace(entry.path());
    // A replay the options name lies in the game's folder.
    for (size_t i = 1; i < trace.options.size(); ++i)
      if (trace.options[i - 1] == "--input")
        trace.options[i] = (fs::path(TAVRIN_TESTS_DIR) / "games" / name / trace.options[i]).string();
    const test::RRun first = Play(fs::path(TAVRIN_TESTS_DIR) / "games" / name, trace.options);
    EXPECT_EQ(first.out, trace.out) << first.err;
    EXPECT_EQ(first.status, trace.status) << first.err;
    const test::RRun second = Play(fs::path(TAVRIN_TESTS_DIR) / "games" / name, trace.options);
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(second.err, first.err);
  }
  EXPECT_GE(games, 1);
}

// The events of room entry (which ends by drawing the room) and of one step
// in the order they run, each printing its name; the event of each case ends
// the game. Nothing after it runs, except the
// room-end and game-end events when the loop stops.
TEST_F(GameTest, EndingTheGameFromAnyEventSkipsTheRestOfTheStep) {
  const std::vector<std::pair<std::string, std::string>> events = {
      {"create", "create"},  {"other:2", "game start"}, {"other:4", "room start"}, {"draw", "draw"},
      {"step:1", "begin step"}, {"alarm:0", "alarm"},   {"step", "step"},    {"other:10", "user event"},
      {"step:2", "end step"},
  };
  for (size_t ending = 0; ending < events.size(); ++ending) {
    SCOPED_TRACE(events[ending].second);
    std::string json = "{\"events\": {";
    std::string expected;
    for (size_t i = 0; i < events.size(); ++i) {
      // Code after game_end() still runs, but it performs no more events.
      std::string code = "show_debug_message('" + events[i].second + "')";
      if (i == ending) code += "\\ngame_end()";
      if (events[i].first == "create") code += "\\nalarm[0] = 1";
      if (events[i].first == "step") code += "\\nevent_user(0)";
      json += "\"" + events[i].first + "\": \"" + code + "\", ";
      if (i <= ending) expected += events[i].second + "\n";
    }
    json += "\"other:5\": \"show_debug_message('room end')\", \"other:3\": \"show_debug_message('game end')\"}}";
    expected += "room end\ngame end\n";
    const fs::path project = Project("end" + std::to_string(ending),
                                     {{"game.json", R"({"room_order": ["r"]})"},
                                      {"objects/o.json", json},
                                      {"rooms/r.json", R"({"instances": [{"x": 0, "y": 0, "object": "o"}]})"}});
    const test::RRun r = Play(project, {"--steps", "5"});
    EXPECT_EQ(r.out, expected) << r.err;
    EXPECT_EQ(r.status, 0);
  }
}

// With create-first on, an instance's create event runs before its creation
// code and sees the variables the code has not set yet.
TEST_F(GameTest, CreateFirstDecidesWhetherCreationCodeOrCreateEventRunsFirst) {
  for (const bool first : {false, true}) {
    SCOPED_TRACE(first);
    const fs::path project = Project(
        first ? "first" : "code",
        {{"game.json", std::string(R"({"room_order": ["r"], "settings": {"createfirst": )") +
                           (first ? "true" : "false") + R"(, "uninitzero": true}})"},
         {"objects/o.json", R"j({"events": {"create": "show_debug_message('create sees ' + string(n))"}})j"},
         {"rooms/r.json",
          R"j({"instances": [{"x": 0, "y": 0, "object": "o", "code": "n = 2\nshow_debug_message('code')"}]})j"}});
    const test::RRun r = Play(project, {"--steps", "1"});
    EXPECT_EQ(r.out, first ? "create sees 0\ncode\n" : "code\ncreate sees 2\n") << r.err;
  }
}

TEST_F(GameTest, InstanceEventAndRoomRulesHold) {
  const std::string one = R"j({"instances": [{"x": 0, "y": 0, "object": "ctl"}]})j";
  const RWorldCase cases[] = {
      {"an instance created in a create event runs its own create event at once",
       {{"ctl", R"j({"events": {"create": "show_debug_message('in ' + string(id))\nif (id < 100003) instance_create(0, 0, ctl)\nshow_debug_message('out ' + string(id))"}})j"}},
       {{"r", one}}, 1, "in 100001\nin 100002\nin 100003\nout 100003\nout 100002\nout 100001\n"},
      {"destroyed instances are skipped by queries at once; instances made during a loop are not visited",
       {{"t", R"j({})j"},
        {"ctl", R"j({"events": {"create": "with (instance_find(all, 0)) instance_destroy()\nshow_debug_message(instance_find(all, 0))\nshow_debug_message(instance_number(t))\nwith (t) instance_create(0, 0, t)\nshow_debug_message(instance_number(t))\nshow_debug_message(instance_count)"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "t"}, {"x": 0, "y": 0, "object": "t"}, {"x": 0, "y": 0, "object": "ctl"}]})j"}},
       1, "100002\n1\n2\n4\n"},
      {"instance_number counts the instances of child objects",
       {{"p", R"j({})j"}, {"c", R"j({"parent": "p"})j"},
        {"ctl", R"j({"events": {"create": "show_debug_message(string(instance_number(p)) + ' ' + string(instance_number(c)) + ' ' + string(instance_exists(c)) + ' ' + string(instance_number(all)))"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "c"}, {"x": 0, "y": 0, "object": "p"}, {"x": 0, "y": 0, "object": "c"}, {"x": 0, "y": 0, "object": "ctl"}]})j"}},
       1, "3 2 1 4\n"},
      {"entering a room draws it, in depth order, before the first step; a pending change skips the drawing",
       {{"a", R"j({"depth": 1, "events": {"draw": "show_debug_message('draw a ' + string(room))", "step": "show_debug_message('step')\nif (room == 0) room_goto_next()"}})j"},
        {"b", R"j({"depth": 5, "events": {"draw": "show_debug_message('draw b')", "create": "if (room == 1) room_goto(2)"}})j"}},
       {{"r0", R"j({"instances": [{"x": 0, "y": 0, "object": "a"}, {"x": 0, "y": 0, "object": "b"}]})j"},
        {"r1", R"j({"instances": [{"x": 0, "y": 0, "object": "b"}]})j"},
        {"r2", R"j({"instances": [{"x": 0, "y": 0, "object": "a"}]})j"}},
       3, "draw b\ndraw a 0\nstep\ndraw a 2\nstep\ndraw a 2\n"},
      {"a copy keeps alarms and variables under a new id",
       {{"ctl", R"j({"events": {"create": "if (id > 100001) exit\nalarm[2] = 7\nhp = 3\nn = instance_copy(true)\nshow_debug_message(string(n) + ' ' + string(n.alarm[2]) + ' ' + string(n.hp))"}})j"}},
       {{"r", one}}, 1, "100002 7 3\n"},
      {"nearest and furthest: never beyond 100000 pixels, the first of equals",
       {{"t", R"j({})j"},
        {"ctl", R"j({"events": {"create": "show_debug_message(instance_nearest(0, 0, t))\ninstance_create(10, 0, t)\ninstance_create(0, 10, t)\nshow_debug_message(instance_nearest(0, 0, t))\nshow_debug_message(instance_furthest(0, 0, t))\nshow_debug_message(instance_nearest(0, 0, 100003))"}})j"}},
       {{"r", R"j({"instances": [{"x": 200000, "y": 0, "object": "t"}, {"x": 0, "y": 0, "object": "ctl"}]})j"}},
       1, "-4\n100003\n100001\n-4\n"},
      {"deactivating a region keeps self with notme, and activation brings the rest back",
       {{"t", R"j({})j"},
        {"ctl", R"j({"events": {"create": "instance_deactivate_region(0, 0, 100, 100, true, 0.5)\nshow_debug_message(string(instance_count) + ' ' + string(instance_exists(100001)))\ninstance_activate_all()\nshow_debug_message(instance_count)\ninstance_deactivate_object(t)\nshow_debug_message(instance_number(t))"}})j"}},
       {{"r", R"j({"instances": [{"x": 50, "y": 50, "object": "t"}, {"x": 500, "y": 500, "object": "t"}, {"x": 5, "y": 5, "object": "ctl"}]})j"}},
       1, "2 0\n3\n0\n"},
      {"draw events follow depth, highest first, equal depths in their order, at room entry and in each step",
       {{"d", R"j({"events": {"draw": "show_debug_message(string(id) + ' ' + string(depth))"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "d"}, {"x": 0, "y": 0, "object": "d", "code": "depth = 10"}, {"x": 0, "y": 0, "object": "d"}]})j"}},
       1, "100002 10\n100001 0\n100003 0\n100002 10\n100001 0\n100003 0\n"},
      {"a nested event leaves the event context of the outer one",
       {{"ctl", R"j({"events": {"create": "event_user(0)\nshow_debug_message(string(event_type) + ' ' + string(event_number))", "other:10": "show_debug_message(string(event_type) + ' ' + string(event_number))"}})j"}},
       {{"r", one}}, 1, "7 10\n0 0\n"},
      {"an event that performs itself without end stops the game with an error; code stops with it",
       {{"ctl", R"j({"events": {"create": "event_user(0)\nshow_debug_message('back')", "other:10": "event_user(0)"}})j"}},
       {{"r", one}}, 1, "", 2},
      {"a destroy event that destroys its own kind stops with an error",
       {{"a", R"j({"events": {"destroy": "with (a) instance_destroy()"}})j"},
        {"ctl", R"j({"events": {"create": "with (a) instance_destroy()\nshow_debug_message('done')"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "a"}, {"x": 0, "y": 0, "object": "a"}, {"x": 0, "y": 0, "object": "ctl"}]})j"}},
       1, "", 2},
      {"the last of two room changes in a step wins; a change pending skips the room start",
       {{"ctl", R"j({"persistent": true, "events": {"create": "room_goto(r3)\nroom_goto(r2)", "other:4": "show_debug_message('start ' + string(room))"}})j"}},
       {{"r1", one}, {"r2", "{}"}, {"r3", "{}"}}, 3, "start 1\n"},
      {"moving past the last room stops the game",
       {{"ctl", R"j({"events": {"create": "show_debug_message(room_next(room_last))\nshow_debug_message(room_previous(room_first))\nroom_goto_next()\nshow_debug_message('asked')", "other:3": "show_debug_message('game end')"}})j"}},
       {{"r", one}}, 2, "-1\n-1\ngame end\n", 2},
      {"lives and health raise their events once when they drop to 0",
       {{"ctl", R"j({"events": {"create": "lives = 3\nlives = 0\nlives = 0\nhealth = -1\nhealth = -5", "other:6": "show_debug_message('no more lives')", "other:9": "show_debug_message('no more health')"}})j"}},
       {{"r", one}}, 1, "no more lives\nno more health\n"},
      {"an instance without a sprite ends its animation every step",
       {{"ctl", R"j({"events": {"other:7": "show_debug_message('animation end ' + string(image_index))"}})j"}},
       {{"r", one}}, 2, "animation end 1\nanimation end 2\n"},
      {"a room speed of 0 runs one step a second and is corrected to 1",
       {{"ctl", R"j({"events": {"step": "show_debug_message(string(current_time) + ' ' + string(room_speed))"}})j"}},
       {{"r", R"j({"speed": 0, "instances": [{"x": 0, "y": 0, "object": "ctl"}]})j"}}, 3, "0 0\n1000 1\n2000 1\n"},
      {"an error after a nested event names the action that was running",
       {{"ctl", R"j({"events": {"create": [{"exe": 2, "code": "x = 1"}, {"exe": 2, "code": "event_user(0)\ns = 'a'\nshow_debug_message(1 + s)"}], "other:10": [{"exe": 2, "code": "a = 1"}, {"exe": 2, "code": "b = 1"}, {"exe": 2, "code": "c = 1"}]}})j"}},
       {{"r", one}}, 1, "", 0, "ERROR in\naction number 2\nof Create Event\nfor object ctl"},
      {"instance ids never run into the negative codes",
       {{"ctl", R"j({"events": {"create": "n = instance_create(0, 0, ctl)\nshow_debug_message('made')"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "ctl", "id": 2147483646}]})j"}}, 1, "", 2,
       "Out of instance ids"},
      {"a fatal error while leaving a room ends the game instead of entering the next",
       {{"ctl", R"j({"events": {"create": "room_goto_next()", "other:5": "show_debug_message('leaving')\nroom_goto_previous()", "other:4": "show_debug_message('entered ' + string(room))"}})j"}},
       {{"r1", one}, {"r2", "{}"}}, -1, "leaving\n", 2, "Moving to previous room before the first room."},
      {"score and lives actions add when relative; their questions compare",
       {{"ctl", R"j({"events": {"create": [
          {"exe": 1, "function": "action_set_score", "use_relative": true, "relative": true, "argument_count": 1, "arguments": ["5"]},
          {"exe": 1, "function": "action_set_score", "use_relative": true, "relative": true, "argument_count": 1, "arguments": ["2.6"]},
          {"exe": 1, "function": "action_if_score", "question": true, "argument_count": 2, "arguments": ["8", "0"]},
          {"exe": 2, "code": "show_debug_message('score ' + string(score))"},
          {"exe": 1, "function": "action_set_life", "argument_count": 1, "arguments": ["2"]},
          {"exe": 1, "function": "action_set_life", "use_relative": true, "relative": true, "argument_count": 1, "arguments": ["-2"]},
          {"exe": 1, "function": "action_if_life", "question": true, "argument_count": 2, "arguments": ["1", "1"]},
          {"exe": 2, "code": "show_debug_message('lives ' + string(lives))"}],
          "other:6": "show_debug_message('no more lives')"}})j"}},
       {{"r", one}}, 1, "score 8\nno more lives\nlives 0\n"},
      {"fps counts the steps of the last whole second",
       {{"ctl", R"j({"events": {"create": "n = 0", "step": "n += 1\nif (n == 1 || n == 32) show_debug_message(fps)"}})j"}},
       {{"r", one}}, 32, "0\n30\n"},
  };
  PlayWorldCases(cases);
}


// Motion in the step: friction and gravity before the move, the events of
// leaving the room and the views, in every step their condition holds.
TEST_F(GameTest, MotionAndBoundaryRulesHold) {
  const auto at = [](const char* object, int x, int y) {
    return std::string(R"j({"instances": [{"x": )j") + std::to_string(x) + ", \"y\": " + std::to_string(y) +
           ", \"object\": \"" + object + "\"}]}";
  };
  const std::string edges =
      R"j("other:0": "show_debug_message('outside')", "other:1": "show_debug_message('boundary')")j";
  const RWorldCase cases[] = {
      {"friction stops a slow instance at 0 instead of reversing it; a negative friction speeds it up",
       {{"o", R"j({"events": {"create": "if (x == 0) { speed = 0.5; friction = 1 } else { speed = 1; friction = -0.5 }", "step:2": "show_debug_message(string(x) + ' ' + string(speed))"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}, {"x": 10, "y": 0, "object": "o"}]})j"}},
       2, "0 0\n11.50 1.50\n0 0\n13.50 2\n"},
      {"gravity pulls a resting instance: half a pixel down after one step",
       {{"o", R"j({"events": {"create": "gravity = 0.5\ngravity_direction = 270", "step:2": "show_debug_message(string(y) + ' ' + string(vspeed) + ' ' + string(direction) + ' ' + string(speed))"}})j"}},
       {{"r", at("o", 0, 0)}}, 1, "0.50 0.50 270 0.50\n"},
      {"an instance without a sprite just left of the room is outside in every step",
       {{"o", std::string(R"j({"events": {)j") + edges + "}}"}}, {{"r", at("o", -1, 10)}}, 2,
       "outside\nboundary\noutside\nboundary\n"},
      {"with a sprite, only the whole box left of the room is outside; any part is a boundary",
       {{"o", std::string(R"j({"sprite": "spr_ball", "events": {)j") + edges + ", \"step:2\": \"x -= 7\"}}"}},
       {{"r", at("o", -1, 10)}}, 2, "boundary\noutside\nboundary\n", 0, "", "", true},
      {"an instance moving out of the room raises the events in the step it leaves",
       {{"o", std::string(R"j({"events": {"create": "hspeed = -3", "step": "show_debug_message(x)", )j") + edges + "}}"}},
       {{"r", at("o", 4, 10)}}, 3, "4\n1\noutside\nboundary\n-2\noutside\nboundary\n"},
      {"views: outside and boundary of each visible view; hidden views and disabled views raise nothing",
       {{"o", R"j({"events": {"other:40": "show_debug_message('outside view 0')", "other:50": "show_debug_message('boundary view 0')", "other:41": "show_debug_message('outside view 1')", "other:51": "show_debug_message('boundary view 1')", "step": "if (x > 140) exit\nshow_debug_message('step')\nx = 150"}})j"}},
       {{"r", R"j({"views_enabled": true, "views": [{"visible": true, "xview": 0, "yview": 0, "wview": 100, "hview": 100}, {"visible": false, "xview": 500, "yview": 0, "wview": 100, "hview": 100}], "instances": [{"x": 50, "y": 50, "object": "o"}]})j"}},
       2, "step\noutside view 0\nboundary view 0\noutside view 0\nboundary view 0\n"},
      {"the end of a path comes after the step event; a destroyed instance moves but gets no event",
       {{"o", R"j({"events": {"create": "p = path_add()\npath_set_closed(p, false)\npath_add_point(p, 0, 0, 100)\npath_add_point(p, 10, 0, 100)\npath_start(p, 10, 0, false)", "step": "show_debug_message('step ' + string(id))\nif (id == 100002) instance_destroy()", "other:8": "show_debug_message('end of path ' + string(id) + ' at ' + string(x))", "destroy": "show_debug_message('destroyed ' + string(x))"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}, {"x": 0, "y": 0, "object": "o"}]})j"}},
       1, "step 100001\nstep 100002\ndestroyed 0\nend of path 100001 at 10\n"},
      {"a path without length or with a speed of 0 is not followed",
       {{"o", R"j({"events": {"create": "p = path_add()\npath_add_point(p, 0, 0, 100)\nif (x == 0) path_start(p, 10, 0, false)\nelse { path_add_point(p, 10, 0, 100); path_start(p, 0, 1, false) }", "step:2": "show_debug_message(x)", "other:8": "show_debug_message('end of path')"}})j"}},
       {{"r", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}, {"x": 5, "y": 0, "object": "o"}]})j"}},
       2, "0\n5\n0\n5\n"},
      {"movement actions: relative motion adds, action_wrap wraps only towards the motion",
       {{"o", R"j({"events": {"create": [
          {"exe": 1, "function": "action_set_motion", "argument_count": 2, "arguments": ["0", "3"]},
          {"exe": 1, "function": "action_set_motion", "use_relative": true, "relative": true, "argument_count": 2, "arguments": ["90", "4"]},
          {"exe": 2, "code": "show_debug_message(string(speed) + ' ' + string(direction))"},
          {"exe": 1, "function": "action_set_friction", "use_relative": true, "relative": true, "argument_count": 1, "arguments": ["0.25"]},
          {"exe": 1, "function": "action_set_friction", "use_relative": true, "relative": true, "argument_count": 1, "arguments": ["0.25"]},
          {"exe": 1, "function": "action_move_to", "use_relative": true, "relative": true, "argument_count": 2, "arguments": ["-5", "0"]},
          {"exe": 2, "code": "show_debug_message(string(friction) + ' ' + string(x))\nhspeed = -1\naction_wrap(0)\nshow_debug_message(x)\nhspeed = 0\nx = -1\naction_wrap(2)\nshow_debug_message(x)"}]}})j"}},
       {{"r", at("o", 2, 0)}}, 0, "5 53.13\n0.50 -3\n637\n-1\n"},
  };
  PlayWorldCases(cases);
}

// A seeded random world of 2,000 instances that move, collide, bounce, make
// and destroy others, deactivate and come back, and ask where things are:
// answered through the spatial index and by testing every instance, its
// trace is the same to the byte.
TEST_F(GameTest, TheSpatialIndexAnswersExactlyAsTheFullScan) {
  const fs::path sprites = fs::path(TAVRIN_TESTS_DIR) / "games" / "collisions" / "sprites";
  const fs::path project = Project("crowd", {
      {"game.json", R"j({"room_order": ["r"], "settings": {"uninitzero": true}})j"},
      {"sprites/spr_ball.json", R"j({"origin": {"x": 4, "y": 4}})j"},
      {"sprites/spr_wall.json", "{}"},
      {"objects/obj_mover.json", R"j({"sprite": "spr_ball", "events": {
        "create": "speed = 1 + random(3)\ndirection = random(360)\nsolid = irandom(7) == 0\nimage_xscale = choose(1, 1, 2, -1)\nimage_angle = choose(0, 0, 45)",
        "step": "if (x < 0) x += 400\nif (x > 400) x -= 400\nif (y < 0) y += 400\nif (y > 400) y -= 400\nif (irandom(300) == 0) instance_deactivate_object(id)\nif (irandom(100) == 0) show_debug_message('place ' + string(id) + ' ' + string(instance_place(x + hspeed, y + vspeed, obj_block)) + ' ' + string(place_free(x, y)) + ' ' + string(place_meeting(x, y, obj_mover)))",
        "collision:obj_mover": "show_debug_message(string(id) + ' meets ' + string(other.id) + ' at ' + string(x) + ',' + string(y))\nif (irandom(20) == 0) instance_destroy()\nif (irandom(30) == 0) instance_create(random(400), random(400), obj_mover)",
        "collision:obj_block": "show_debug_message(string(id) + ' blocked by ' + string(other.id))\nif (irandom(3) == 0) move_bounce_solid(irandom(1))\nif (irandom(50) == 0) instance_deactivate_region(x - 20, y - 20, 40, 40, true, true)"}})j"},
      {"objects/obj_block.json", R"j({"sprite": "spr_wall", "solid": true, "events": {
        "step": "if (irandom(200) == 0) instance_activate_all()\nif (irandom(100) == 0) { x += 3; image_angle += 30 }"}})j"},
      {"objects/obj_ctl.json", R"j({"events": {
        "create": "repeat (1900) instance_create(random(400), random(400), obj_mover)\nrepeat (100) instance_create(random(400), random(400), obj_block)",
        "step": "repeat (3) show_debug_message('shapes ' + string(collision_rectangle(random(400), random(400), random(400), random(400), obj_mover, true, false)) + ' ' + string(collision_line(random(400), random(400), random(400), random(400), all, true, true)) + ' ' + string(collision_circle(random(400), random(400), random(30), obj_block, false, false)) + ' ' + string(instance_position(random(400), random(400), all)) + ' ' + string(collision_point(random(400), random(400), obj_mover, true, false)))"}})j"},
      {"rooms/r.json", R"j({"width": 400, "height": 400, "instances": [{"x": 0, "y": 0, "object": "obj_ctl"}]})j"},
  });
  fs::copy(sprites, project / "sprites", fs::copy_options::recursive | fs::copy_options::skip_existing);
  const test::RRun indexed = Play(project, {"--steps", "20"});
  const test::RRun plain = Play(project, {"--steps", "20", "--plain-collisions"});
  EXPECT_EQ(indexed.status, 0) << indexed.err;
  EXPECT_EQ(indexed.err, "");
  // The world is busy enough to mean something.
  size_t meets = 0;
  for (size_t at = 0; (at = indexed.out.find(" meets ", at)) != std::string::npos; ++at) ++meets;
  EXPECT_GT(meets, 2000u);
  EXPECT_NE(indexed.out.find(" blocked by "), std::string::npos);
  EXPECT_TRUE(indexed.out == plain.out) << "the traces differ; sizes " << indexed.out.size() << " and "
                                        << plain.out.size();
}

// Collision rules in small games with the 8 x 8 round ball (origin 4, 4) and
// the 16 x 16 wall of tests/games/collisions.
TEST_F(GameTest, CollisionRulesHold) {
  const fs::path sprites = fs::path(TAVRIN_TESTS_DIR) / "games" / "collisions" / "sprites";
  const std::string wall = R"j({"sprite": "spr_wall", "solid": true})j";
  struct RCase {
    const char* name;
    const char* ctl;  // the create code of an instance of obj_ctl (sprite spr_ball) at (40, 40)
    const char* out;
  };
  const RCase cases[] = {
      {"an instance without sprite or mask never collides precisely",
       "sprite_index = -1\nshow_debug_message(string(bbox_left) + ' ' + string(place_free(100, 100)) + ' ' + string(position_meeting(x, y, self)) + ' ' + string(place_meeting(100, 100, obj_wall)))",
       "-100000 1 0 0\n"},
      {"self is no obstacle to itself; position_empty counts it",
       "solid = true\nshow_debug_message(string(place_free(x, y)) + ' ' + string(place_meeting(x, y, self)) + ' ' + string(collision_point(x, y, self, true, false)) + ' ' + string(position_empty(x, y)) + ' ' + string(collision_point(x, y, all, true, true)))",
       "1 0 -4 0 -4\n"},
      {"move_contact_solid stops before the wall; without a limit it may go 1000 pixels",
       "move_contact_solid(0, 0)\nshow_debug_message(x)\nx = 40\ny = 400\nmove_contact_solid(0, -1)\nshow_debug_message(x)",
       "96\n1040\n"},
      {"move_outside_solid leaves a free place alone and walks out of a wall",
       "move_outside_solid(180, 50)\nshow_debug_message(x)\nx = 104\nmove_outside_solid(180, 50)\nshow_debug_message(x)",
       "40\n96\n"},
      {"a contact move with nothing left in its way ends at once, the whole distance on",
       "move_contact_all(180, 1000000000000)\nshow_debug_message(x)\nx = 40\nmove_contact_solid(90, 1000000000000)\nshow_debug_message(y)\nx = 40\ny = 400\nmove_contact_all(0, 1000000000000)\nshow_debug_message(x)",
       "-999999999960\n-999999999960\n1000000000040\n"},
      {"a contact move of any length still stops at the wall in its way",
       "move_contact_all(0, 1000000000000)\nshow_debug_message(x)\nx = 40\ny = 350\nmove_contact_solid(45, 1000000000000)\na = x\nb = y\nx = 40\ny = 350\ndx = cos(degtorad(45))\ndy = -sin(degtorad(45))\nwhile (place_free(x + dx, y + dy)) { x += dx\ny += dy }\nshow_debug_message(string(a == x && b == y) + ' ' + string(x) + ' ' + string(y))",
       "96\n1 95.86 294.14\n"},
      {"move_outside_solid and move_outside_all say whether the instance ended outside",
       "a = move_outside_solid(180, 50)\nx = 104\nb = move_outside_solid(180, 50)\nc = x\nx = 108\nd = move_outside_all(0, 3)\nshow_debug_message(string(a) + ' ' + string(b) + ' ' + string(c) + ' ' + string(d) + ' ' + string(x))",
       "1 1 96 0 111\n"},
      {"bouncing reverses the blocked speeds only",
       "hspeed = 3\nvspeed = 0\nmove_bounce_solid(false)\nshow_debug_message(string(hspeed) + ' ' + string(vspeed))\nx = 94\nhspeed = 3\nvspeed = 2\nmove_bounce_solid(false)\nshow_debug_message(string(hspeed) + ' ' + string(vspeed))",
       "3 0\n-3 2\n"},
      {"advanced bouncing off a vertical wall turns right round",
       "x = 96\ny = 150\nspeed = 3\ndirection = 0\nmove_bounce_solid(true)\nshow_debug_message(direction)",
       "180\n"},
      {"a vertical collision line tests the one-pixel column between its ends",
       "show_debug_message(string(collision_line(110, 0, 110, 300, obj_wall, true, false)) + ' ' + string(collision_line(116, 300, 116, 0, obj_wall, false, false)))",
       "100001 -4\n"},
      {"mirroring and turning change the box",
       "image_xscale = -1\nshow_debug_message(string(bbox_left) + ' ' + string(bbox_right))\nimage_xscale = 1\nimage_yscale = 2\nimage_angle = 90\nshow_debug_message(string(bbox_right - bbox_left + 1) + ' ' + string(bbox_bottom - bbox_top + 1))",
       "35 44\n16 8\n"},
      {"extreme scales and positions never break the tests",
       "image_xscale = 0\nshow_debug_message(collision_point(x, y, obj_ctl, true, false))\nimage_xscale = 1\nimage_angle = 37\nbig = power(10, 300)\nx = big\nshow_debug_message(place_free(big, -big))\nx = 40\ny = 40\nshow_debug_message(collision_circle(40, 40, 100, obj_wall, true, false))\nshow_debug_message(collision_rectangle(-big, -big, big, big, all, false, true))\nhuge = big * big\nimage_angle = huge - huge\nshow_debug_message(place_meeting(x, y, obj_wall))",
       "-4\n1\n100001\n100001\n0\n"},
  };
  int k = 0;
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path project = Project(
        "collide" + std::to_string(k++),
        {{"game.json", R"j({"room_order": ["r"], "settings": {"uninitzero": true}})j"},
         {"sprites/spr_ball.json", R"j({"origin": {"x": 4, "y": 4}})j"},
         {"sprites/spr_wall.json", "{}"},
         {"objects/obj_wall.json", wall},
         {"objects/obj_ctl.json", std::string(R"j({"sprite": "spr_ball", "events": {"create": )j") +
                                      JsonString(c.ctl) + "}}"},
         {"rooms/r.json",
          R"j({"width": 300, "height": 300, "instances": [{"x": 100, "y": 0, "object": "obj_wall", "yscale": 20}, {"x": 40, "y": 40, "object": "obj_ctl"}]})j"}});
    fs::copy(sprites, project / "sprites", fs::copy_options::recursive | fs::copy_options::skip_existing);
    const test::RRun r = Play(project, {"--steps", "1"});
    EXPECT_EQ(r.out, c.out) << r.err;
    EXPECT_EQ(r.err, "");
  }
}

// An instance whose path ends against a solid wall: the motion raises the
// end-of-path event once; the collision puts it back, and its repeated move
// along the path raises no second one.
TEST_F(GameTest, ASolidCollisionRepeatsThePathMoveWithoutASecondEndEvent) {
  const fs::path sprites = fs::path(TAVRIN_TESTS_DIR) / "games" / "collisions" / "sprites";
  const fs::path project = Project("pathwall", {
      {"game.json", R"j({"room_order": ["r"], "settings": {"uninitzero": true}})j"},
      {"sprites/spr_ball.json", R"j({"origin": {"x": 4, "y": 4}})j"},
      {"sprites/spr_wall.json", "{}"},
      {"objects/obj_wall.json", R"j({"sprite": "spr_wall", "solid": true})j"},
      {"objects/obj_ball.json", R"j({"sprite": "spr_ball", "events": {
        "create": "p = path_add()\npath_set_closed(p, false)\npath_add_point(p, 40, 40, 100)\npath_add_point(p, 104, 40, 100)\npath_start(p, 100, 1, true)",
        "other:8": "show_debug_message('end of path at ' + string(x))",
        "collision:obj_wall": "show_debug_message('wall at ' + string(x) + ', path position ' + string(path_position))",
        "step:2": "show_debug_message('end step at ' + string(x) + ', path position ' + string(path_position))"}})j"},
      {"rooms/r.json", R"j({"width": 300, "height": 300, "instances": [{"x": 100, "y": 0, "object": "obj_wall", "yscale": 20}, {"x": 40, "y": 40, "object": "obj_ball"}]})j"},
  });
  fs::copy(sprites, project / "sprites", fs::copy_options::recursive | fs::copy_options::skip_existing);
  const test::RRun r = Play(project, {"--steps", "2"});
  // The path restarts at its end; the second step ends it against the wall.
  EXPECT_EQ(r.out,
            "end of path at 76\nend step at 76, path position 0.56\n"
            "end of path at 104\nwall at 76, path position 0.56\nend step at 76, path position 0.56\n")
      << r.err;
}

// The step limit ends the game even when the game asks for a room change or
// a restart in every step (a room given as text included): the last step's
// request gives way to the end, and the end events run once.
TEST_F(GameTest, TheStepLimitEndsTheGameWhateverIsPending) {
  const char* requests[][2] = {
      {"room_goto(room)", "create\nstep\nroom end\ncreate\nstep\nroom end\ncreate\nstep\nroom end\ngame end\n"},
      {"room_goto('r')", "create\nstep\nroom end\ncreate\nstep\nroom end\ncreate\nstep\nroom end\ngame end\n"},
      {"game_restart()",
       "create\nstep\nroom end\ngame end\ncreate\nstep\nroom end\ngame end\ncreate\nstep\nroom end\ngame end\n"},
  };
  int k = 0;
  for (const auto& [request, expected] : requests) {
    SCOPED_TRACE(request);
    const fs::path project = Project(
        "pending" + std::to_string(k++),
        {{"game.json", R"({"room_order": ["r"]})"},
         {"objects/o.json", std::string(R"j({"events": {"create": "show_debug_message('create')", "step": )j") +
                                JsonString(std::string("show_debug_message('step')\n") + request) +
                                R"j(, "other:5": "show_debug_message('room end')", "other:3": "show_debug_message('game end')"}})j"},
         {"rooms/r.json", R"({"instances": [{"x": 0, "y": 0, "object": "o"}]})"}});
    const test::RRun r = Play(project, {"--steps", "3"});
    EXPECT_EQ(r.out, expected) << r.err;
    EXPECT_EQ(r.status, 0);
  }
}

// A game that never ends by itself ends like the game's own end when it is
// asked to quit (SIGTERM, SIGINT, SIGHUP, SIGQUIT), even while its code loops
// or sleeps: the code stops, room-end and game-end events run, the exit
// status is 0 and the game's temporary folder is gone.
TEST_F(GameTest, AQuitRequestEndsTheGameWhateverItIsDoing) {
  struct Case {
    const char* signal;
    const char* step;  // the step event's code
  };
  const Case cases[] = {
      {"TERM", "x = 1"},
      {"TERM", "while (true) { x += 1 }"},
      {"INT", "for (i = 0; i >= 0; i += 1) {}"},
      {"HUP", "repeat (1000000000000) { x += 1 }"},
      {"QUIT", "do { x += 1 } until (false)"},
      {"TERM", "sleep(1000000)\nshow_debug_message('woke')"},
  };
  std::ofstream(m_dir / "tempdir.txt") << (m_dir / "tmp").string() << "\n";
  fs::create_directories(m_dir / "tmp");
  int k = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.signal) + ": " + c.step);
    const std::string name = "endless" + std::to_string(k++);
    // The game leaves a file behind once it has started, so that the signal
    // comes while it runs its steps however slowly it loaded.
    const std::string ready = (m_dir / (name + ".ready")).string();
    const fs::path project = Project(
        name, {{"game.json", R"j({"room_order": ["r"]})j"},
               {"objects/o.json",
                std::string(R"j({"events": {"create": )j") +
                    JsonString("show_debug_message('started')\nfile_text_close(file_text_open_write('" + ready + "'))") +
                    R"j(, "step": )j" + JsonString(c.step) +
                    R"j(, "other:3": "show_debug_message('game end')"}})j"},
               {"rooms/r.json", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}]})j"}});
    const std::string game = (m_dir / (name + ".bin")).string();
    ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
    const std::string script = "'" + std::string(TAVRIN_EXE) + "' --headless '" + game +
                               "' & pid=$!; i=0; while [ ! -e '" + ready +
                               "' ] && [ $i -lt 400 ]; do sleep 0.1; i=$((i+1)); done; sleep 0.2; kill -" + c.signal +
                               " $pid; wait $pid";
    const test::RRun r = test::RunProgram({"timeout", "60", "sh", "-c", script});
    EXPECT_EQ(r.out, "started\ngame end\n") << r.err;
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(fs::is_empty(m_dir / "tmp"));
  }
}

// A reader that goes away (a pipe into `head`) ends the output, not the
// game: it plays to its end and cleans up.
TEST_F(GameTest, AClosedOutputEndsTheOutputNotTheGame) {
  const fs::path project = Project(
      "talker", {{"game.json", R"j({"room_order": ["r"]})j"},
                 {"objects/o.json", R"j({"events": {"step": "repeat (100) show_debug_message(string_repeat('x', 100))"}})j"},
                 {"rooms/r.json", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}]})j"}});
  std::ofstream(m_dir / "tempdir.txt") << (m_dir / "tmp").string() << "\n";
  fs::create_directories(m_dir / "tmp");
  const std::string game = (m_dir / "talker.bin").string();
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
  const std::string script = "'" + std::string(TAVRIN_EXE) + "' --headless --fixed-clock --steps 20 '" + game +
                             "' | head -n 1 >/dev/null; exit ${PIPESTATUS[0]}";
  const test::RRun r = test::RunProgram({"timeout", "60", "bash", "-c", script});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_empty(m_dir / "tmp"));
}

// Running out of memory in a game's step is no reason to repeat the step
// forever: the game ends as after a fatal error (status 2) with a message.
TEST_F(GameTest, AnExceptionInAStepEndsTheGameAsAFatalError) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer cannot start under an address space limit";
#endif
  const fs::path project = Project(
      "greedy", {{"game.json", R"j({"room_order": ["r"]})j"},
                 {"objects/o.json", R"j({"events": {"step": "l = ds_list_create()\nrepeat (1000000000) ds_list_add(l, 'x')"}})j"},
                 {"rooms/r.json", R"j({"instances": [{"x": 0, "y": 0, "object": "o"}]})j"}});
  const std::string game = (m_dir / "greedy.bin").string();
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
  const std::string script = "ulimit -v 600000; exec '" + std::string(TAVRIN_EXE) + "' --headless --steps 5 '" + game + "'";
  const test::RRun r = test::RunProgram({"timeout", "60", "sh", "-c", script});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("Unexpected error occurred when running the game"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavrin
