// The dialog functions in a running game, answered from --answers: what the
// game gets back, what the transcript says, and the end of a run whose
// answers do not fit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace tavrin {
namespace {

class DialogRun : public test::FolderTest {
 protected:
  DialogRun() : FolderTest("dialogrun") {}
  test::RRun Play(const std::string& code, const std::string* answers) {
    std::ofstream(m_dir / "game.tvs") << code;
    std::vector<std::string> args = {TAVRIN_EXE, "--headless", "--fixed-clock", "--code", (m_dir / "game.tvs").string()};
    if (answers) {
      std::ofstream(m_dir / "answers.txt") << *answers;
      args.push_back("--answers");
      args.push_back((m_dir / "answers.txt").string());
    }
    return test::RunProgram(args, {"TAVRIN_HOME=" + (m_dir / "home").string()});
  }
};

constexpr const char* kGame = R"(
show_debug_message("question " + string(show_question("Quit?")));
show_debug_message("ext " + string(show_message_ext("Save?", "&Save", "Don't save", "Cancel")));
show_debug_message("name " + get_string("Your#name?", "Ada"));
show_debug_message("age " + string(get_integer("Age?", 30.4)));
show_debug_message("again " + string(get_integer("Age?", 30)));
show_message("done");
)";

TEST_F(DialogRun, EachDialogTakesItsLine) {
  const std::string answers =
      "# comments and blank lines are skipped\n"
      "no\n"
      "\n"
      "don't save\n"
      "text: Grace Hopper\n"
      "41\n"
      "text: forty\n"
      "ok\n";
  const test::RRun r = Play(kGame, &answers);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "question 0\next 2\nname Grace Hopper\nage 41\nagain 30\n");
}

TEST_F(DialogRun, WithoutAnswersEachDialogTakesItsDefaultButton) {
  const test::RRun r = Play(kGame, nullptr);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "question 1\next 1\nname Ada\nage 30\nagain 30\n");
}

TEST_F(DialogRun, AnAnswerThatDoesNotFitEndsTheRunWithStatus1) {
  const std::string answers = "yes\ntext: typed into a question\nok\n";
  const test::RRun r = Play(kGame + std::string("show_debug_message(\"not reached\");\n"), &answers);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("not reached"), std::string::npos);
  EXPECT_NE(r.err.find("answer \"text: typed into a question\" (line 2 of the answers) does not fit the message "
                       "dialog \"Save?\": it has no text field; its buttons are save, don't save, cancel"),
            std::string::npos)
      << r.err;
}

TEST_F(DialogRun, ADialogWithoutButtonsNeedsAnAnswer) {
  const test::RRun r = Play("show_message_ext(\"Wait\", \"\", \"\", \"\");\n", nullptr);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the message dialog \"Wait\" needs an answer"), std::string::npos) << r.err;
  const std::string escape = "escape\n";
  EXPECT_EQ(Play("show_message_ext(\"Wait\", \"\", \"\", \"\");\n", &escape).status, 0);
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

// dialogs/every_dialog.tvs calls every dialog function, each answered by a
// line of dialogs/answers.txt or by its default; what it prints and the
// transcript are held to the files beside it. Its files and folders are
// made in the game's folder, the run's working folder.
TEST_F(DialogRun, EveryDialogFunctionTakesItsAnswerAndIsInTheTranscript) {
  const std::filesystem::path here = std::filesystem::path(TAVRIN_TESTS_DIR) / "windows" / "dialogs";
  std::filesystem::create_directories(m_dir / "levels");
  std::filesystem::create_directories(m_dir / "saves");
  std::ofstream(m_dir / "levels" / "forest.lvl") << "trees";
  std::ofstream(m_dir / "levels" / "cave.lvl") << "rocks";
  const test::RRun r = test::RunProgram(
      {TAVRIN_EXE, "--headless", "--fixed-clock", "--answers", (here / "answers.txt").string(), "--transcript",
       (m_dir / "transcript.txt").string(), "--code", (here / "every_dialog.tvs").string()},
      {"TAVRIN_HOME=" + (m_dir / "home").string()}, m_dir.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadAll(here / "expected.out"));
  std::string transcript = ReadAll(m_dir / "transcript.txt");
  for (size_t at; (at = transcript.find(m_dir.string())) != std::string::npos;)
    transcript.replace(at, m_dir.string().size(), "<game folder>");
  EXPECT_EQ(transcript, ReadAll(here / "expected.transcript"));
  // Errors without an answer meant for their window are only written.
  EXPECT_NE(r.err.find("Trying to set a non-existing message background"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Trying to set a non-existing message button"), std::string::npos) << r.err;
  // A save chooser only names a file.
  EXPECT_FALSE(std::filesystem::exists(m_dir / "saves" / "slot2.sav"));
}

}  // namespace
}  // namespace tavrin
