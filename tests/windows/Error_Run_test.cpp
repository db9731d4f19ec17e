// Errors in a headless run: written to standard error as the game goes on,
// unless the answers file answers the error window; and the transcript of
// every window a run opened.
#include <gtest/gtest.h>

#include <fstream>

#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace tavrin {
namespace {

class ErrorRun : public test::FolderTest {
 protected:
  ErrorRun() : FolderTest("errorrun") {}
  test::RRun Play(const std::string& code, const std::string* answers) {
    std::ofstream(m_dir / "game.tvs") << code;
    std::vector<std::string> args = {TAVRIN_EXE, "--headless", "--fixed-clock", "--transcript",
                                     (m_dir / "transcript.txt").string()};
    if (answers) {
      std::ofstream(m_dir / "answers.txt") << *answers;
      args.push_back("--answers");
      args.push_back((m_dir / "answers.txt").string());
    }
    args.push_back("--code");
    args.push_back((m_dir / "game.tvs").string());
    return test::RunProgram(args, {"TAVRIN_HOME=" + (m_dir / "home").string()});
  }
  std::string Transcript() { return test::ReadFile(m_dir / "transcript.txt"); }
};

constexpr const char* kGame = R"(
show_error("first", false);
show_debug_message("after first " + string(error_occurred));
show_debug_message("question " + string(show_question("Go on?")));
show_error("second", false);
show_debug_message("after second");
)";

TEST_F(ErrorRun, UnansweredErrorsGoToStandardErrorAndTheGameGoesOn) {
  const std::string answers = "no\n";  // for the question: the errors leave it alone
  const test::RRun r = Play(kGame, &answers);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "after first 1\nquestion 0\nafter second\n");
  EXPECT_NE(r.err.find("ERROR in\naction number 1\nof Create Event\nfor object object0:\n\nfirst\n"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("\nsecond\n"), std::string::npos);
  // Errors that were only written are no windows.
  EXPECT_EQ(Transcript(),
            "window: message dialog\ncaption:\ntext: Go on?\nbuttons: Yes | No\nanswer: No\nby: line 1\n\n");
}

TEST_F(ErrorRun, ErrorLinesAnswerTheErrorWindow) {
  const std::string answers = "error: ignore\nyes\nerror: abort\n";
  const test::RRun r = Play(kGame, &answers);
  EXPECT_EQ(r.status, 2) << r.err;  // aborted, as after a fatal error
  EXPECT_EQ(r.out, "after first 1\nquestion 1\n");
  EXPECT_NE(r.err.find("\nfirst\n"), std::string::npos);  // still written, answered or not
  const std::string heading = "text: ERROR in\\naction number 1\\nof Create Event\\nfor object object0:\\n\\n";
  EXPECT_EQ(Transcript(),
            "window: error window\ncaption: Error Messages\n" + heading +
                "first\nbuttons: &Abort | &Ignore | &Copy | C&lear\nanswer: ignore\nby: line 1\n\n"
                "window: message dialog\ncaption:\ntext: Go on?\nbuttons: Yes | No\nanswer: Yes\nby: line 2\n\n"
                "window: error window\ncaption: Error Messages\n" + heading +
                "second\nbuttons: &Abort | &Ignore | &Copy | C&lear\nanswer: abort\nby: line 3\n\n");
}

TEST_F(ErrorRun, IgnoringAFatalErrorDoesNotFit) {
  const std::string answers = "error: ignore\n";
  const test::RRun r = Play("show_error(\"boom\", true);\nshow_debug_message(\"not reached\");\n", &answers);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("answer \"error: ignore\" (line 1 of the answers) does not fit the error window \"FATAL "
                       "ERROR in\": the error is fatal: its window answers \"error: abort\" only"),
            std::string::npos)
      << r.err;
}

// Only a window that was answered clears what the game thinks is typed and
// held: an error that is only written leaves it.
TEST_F(ErrorRun, OnlyAnAnsweredErrorWindowClearsTheInput) {
  const std::string answers = "yes\nerror: ignore\n";
  const test::RRun r = Play(R"(
keyboard_string = "typed";
show_error("only written", false);
show_debug_message("kept " + keyboard_string);
show_question("Go on?");
keyboard_string = "typed";
show_error("answered", false);
show_debug_message("cleared " + keyboard_string);
)",
                            &answers);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "kept typed\ncleared \n");
}

}  // namespace
}  // namespace tavrin
