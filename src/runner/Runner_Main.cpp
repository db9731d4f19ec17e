// The runner's entry: decide the options and the trace flag, write the
// banner, install the last-chance handler and the platform, create the
// temporary folder and the windows, and run the message loop until the game
// is over.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "functions/Function_File.h"
#include "functions/Function_Registry.h"
#include "package/DataNew_Class.h"
#include "package/Support_File.h"
#include "package/Support_TempDir.h"
#include "platform/Platform.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Transcript.h"
#include "platform/Platform_File.h"
#include "platform/Platform_Quit.h"
#include "platform/Platform_Trace.h"
#include "runner/Runner_Exception.h"
#include "runner/Run_Main.h"
#include "runner/Runner_CodeGame.h"
#include "runner/Runner_Form.h"
#include "runner/Runner_Frame.h"
#include "runner/Runner_Host.h"
#include "runner/Runner_Options.h"
#include "runner/Runner_Replay.h"
#include "script/Code_Builtins.h"
#include "sound/Sound_Class.h"
#include "sound/Sound_Main.h"

using namespace tavrin;

namespace {

std::string FolderOf(const std::string& file) {
  const std::filesystem::path parent = std::filesystem::absolute(file).parent_path();
  return parent.empty() ? "." : parent.string();
}

void WriteBanner() {
  const std::string stars(86, '*');
  WriteTrace(stars);
  WriteTrace(std::string(15, ' ') + "Tavrin Runner v8.1." + "141" + "." + "11549");
  WriteTrace(stars);
}

}  // namespace

int main(int argc, char** argv) {
  Exception_Install();
  Quit_InstallSignalHandlers();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string self = Platform_ExecutablePath();

  const RParseResult parsed =
      Runner_ParseOptions(args, self, Package_FileHasMarker(self), std::getenv("TAVRIN_OPTIONS"));
  if (!parsed.options) {
    std::fputs(parsed.output.c_str(), parsed.exitCode == 0 ? stdout : stderr);
    return parsed.exitCode;
  }
  const RRunnerOptions& options = *parsed.options;

  // The game's folder stands where a Windows game keeps its executable: the
  // trace log, the error log and "tempdir.txt" live there.
  const std::string folder = FolderOf(options.gameFile.empty() ? options.codeFile : options.gameFile);
  Trace_SetPath(folder + "/Trace.log");
  File_SetProgramFolder(folder);
  Trace_SetEnabled(Trace_FlagFrom(args, std::getenv("VXLOG_TRACE")));
  WriteBanner();

  RRunConfig run;
  run.steps = options.steps;
  run.fixedClock = options.fixedClock;
  run.seed = options.seed;
  run.plainCollisions = options.plainCollisions;
  std::string framesError;
  if (!Frame_Configure(options.framesDir, options.frameEvery, framesError)) {
    std::fprintf(stderr, "tavrin: %s\n", framesError.c_str());
    return 1;
  }
  RReplay replay;
  if (!options.inputFile.empty()) {
    std::string error;
    std::optional<RReplay> read = Replay_Read(options.inputFile, error);
    if (!read) {
      std::fprintf(stderr, "tavrin: %s\n", error.c_str());
      return 1;
    }
    replay = std::move(*read);
  }
  const bool joysticksReplayed = replay.joysticks;
  // Once a replay is over, a wait for a key can be answered only by a person
  // at a window.
  Replay_Install(std::move(replay), options.codeFile.empty() && !options.headless);
  File_SetParameters(options.gameArgs);
  // Secure mode is the player's choice, made once for the whole run.
  g_SecureMode = Registry_SecureModePreference();
  // Without speakers (headless, or capturing) sound renders along the game's clock.
  const bool rendered = options.headless || !options.soundFile.empty();
  Sample_SetOutput(rendered ? EAudioOutput::Loopback : EAudioOutput::Speakers);
  Sample_SetCapture(options.soundFile);
  std::string transcriptError;
  if (!options.transcriptFile.empty() && !Transcript_Open(options.transcriptFile, transcriptError)) {
    std::fprintf(stderr, "tavrin: %s\n", transcriptError.c_str());
    return 1;
  }
  if (!options.codeFile.empty()) {
    // Without windows, every modal window is answered from the answers.
    std::string answersError;
    if (!options.answersFile.empty() && !Answers_Load(options.answersFile, answersError)) {
      std::fprintf(stderr, "tavrin: %s\n", answersError.c_str());
      return 1;
    }
    Answers_SetHeadless(true);
    const int status = Runner_PlayCodeFile(options.codeFile, run);
    Sound_DiscardAll();
    Sample_Shutdown();
    return status;
  }
  Run_Configure(run);

  RPlatformConfig config;
  config.headless = options.headless;
  config.virtualJoysticksOnly = joysticksReplayed;
  config.answersFile = options.answersFile;
  config.applicationTitle = std::filesystem::path(options.gameFile).stem().string();
  try {
    Platform_Install(Platform_CreateSDL(config));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrin: %s\n", e.what());
    return 1;
  }

  if (!CreateTempDir(folder))
    Platform().MessageBox("Failed to create temp dir. This can cause serious problems with sounds, etc.",
                          EButtons::Ok, EBoxIcon::Warning);
  int status;
  {
    CRunnerForm form(options.gameFile);
    status = form.Run();
  }
  RemoveTempDir();
  Platform_Install(nullptr);
  return status;
}
