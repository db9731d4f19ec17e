#include "runner/Runner_Form.h"

#include "graphics/Font_List.h"
#include "graphics/Sprite_List.h"
#include "package/Package_Load.h"
#include "package/Support_File.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Trace.h"
#include "runner/Run_Main.h"
#include "runner/Runner_Exception.h"
#include "runner/Runner_Frame.h"
#include "runner/Runner_GameData.h"
#include "package/DataNew_Class.h"
#include "runner/Runner_Host.h"
#include "script/Code_Constant.h"
#include "script/Code_Error.h"
#include "script/Script_Class.h"
#include "script/Script_Package.h"
#include "sound/Sound_Class.h"
#include "sound/Sound_Main.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "world/TimeLine_Main.h"
#include "package/Package_Data.h"

namespace tavrin {

namespace {
constexpr int64_t kTimerInterval = 100000;  // 100 ms
constexpr const char* kCorrupted = "Failed to load the game data. File seems corrupted.";

void ShowError(const std::string& text) { Platform().MessageBox(text, EButtons::Ok, EBoxIcon::Error); }
}  // namespace

const char* Runner_WindowName(ERunnerWindow window) {
  static const char* const kNames[] = {"TRunnerForm", "THelpForm",    "TDebugForm",     "TScoreForm", "TSplashForm",
                                       "TLoadForm",   "TMessageForm", "TParticleForm", "TErrorForm"};
  return kNames[int(window)];
}

// ------------------------------------------------------------------ preparing

std::vector<RPreparePhase> Runner_PreparePhases() {
  // Phases whose subsystems are not part of the runner yet have nothing to
  // prepare and succeed.
  auto nothing = [] { return true; };
  return {
      {50, "Extracting included files", "Failed to extract the included files.",
       [] {
         // A refused export is reported, and the game starts all the same.
         for (const std::string& refusal : PrepareDataFiles()) Error_ReportAction(refusal, false);
         return true;
       }},
      {55, "Preparing extension packages", "Failed to prepare extension packages.", nothing},
      {60, "Preparing constants", "Failed to define the constants.", [] { return Constant_DefineUser(g_ScriptData.constants); }},
      {61, "Preparing triggers", "Failed to prepare triggers.", Trigger_PrepareAll},
      {62, "Compiling scripts", "Failed to compile the scripts.", Script_CompileAll},
      {70, "Compiling time line actions", "Failed to compile the actions in the time lines.", TimeLine_CompileAll},
      {72, "Compiling object actions", "Failed to compile the actions in the objects.", Object_CompileAll},
      {80, "Preparing sounds", "Failed to prepare the sounds.",
       [] {
         Sample_AttachWindow(Sound_CountExisting());
         Sound_PrepareAll();
         return true;
       }},
      {90, "Preparing graphics", nullptr, PrepareGraphics},
  };
}

bool PrepareGame(IPackageLoadListener& progress, const std::vector<RPreparePhase>& phases) {
  Runner_SetPriority(g_PackageData.settings.opt_priority);
  for (const RPreparePhase& phase : phases) {
    progress.ShowProgress(phase.percent, phase.text);
    if (!phase.run()) {
      if (phase.failure) ShowError(phase.failure);
      return false;
    }
  }
  progress.ShowProgress(100, "Ready");
  return true;
}

void Runner_SetPriority(int level) {
  if (level != 1 && level != 2) return;
  if (!Platform().Process_SetPriority(level))
    WriteTrace("Process priority not raised: this user may not raise it");
}

RDisplayMode Runner_TargetMode(const RGameSettings& s) {
  RDisplayMode m;
  if (!s.opt_changemode) return m;
  static const int kDepth[] = {0, 16, 32};
  static const int kWidth[] = {0, 320, 640, 800, 1024, 1280, 1600};
  static const int kHeight[] = {0, 240, 480, 600, 768, 1024, 1200};
  static const int kFrequency[] = {0, 60, 70, 85, 100, 120};
  if (s.opt_colordepth >= 1 && s.opt_colordepth <= 2) m.bitsPerPixel = kDepth[s.opt_colordepth];
  if (s.opt_resolution >= 1 && s.opt_resolution <= 6) {
    m.width = kWidth[s.opt_resolution];
    m.height = kHeight[s.opt_resolution];
  }
  if (s.opt_frequency >= 1 && s.opt_frequency <= 5) m.refresh = kFrequency[s.opt_frequency];
  return m;
}

bool PrepareGraphics() {
  IPlatform& platform = Platform();
  RDisplayMode target = Runner_TargetMode(g_PackageData.settings);
  bool change = target.width > 0 || target.height > 0 || target.bitsPerPixel > 0 || target.refresh > 0;
  if (target.bitsPerPixel == 0) {
    const int depth = platform.Display_GetMode().bitsPerPixel;
    if (depth != 16 && depth != 32) {
      const EAnswer answer = platform.MessageBox(
          "This application requires 16-bit or 32-bit color mode. Should I switch to a valid color mode?",
          EButtons::YesNo, EBoxIcon::Question);
      if (answer != EAnswer::Yes) return false;
      target.bitsPerPixel = 16;
      change = true;
    }
  }
  if (change) platform.Display_SetMode(target);
  WriteTrace("Init_Graphics :: GR_D3D_Init");
  // Without a device nothing could be seen: one clear message, and the game
  // does not start.
  const std::string failure = Frame_OpenDisplay();
  if (!failure.empty()) {
    ShowError("Cannot show the game: " + failure);
    return false;
  }
  WriteTrace("Init_Graphics :: Background_InitTextures");
  Background_InitTextures();
  WriteTrace("Init_Graphics :: Sprite_InitTextures");
  Sprite_InitTextures();
  WriteTrace("Init_Graphics :: Background_FontTextures");
  Font_InitTextures();
  WriteTrace("Init_Graphics :: GR_D3D_Start_Frame");
  WriteTrace("Init_Graphics :: Finished");
  return true;
}

// ------------------------------------------------------------------ the runner window

CRunnerForm::CRunnerForm(std::string gameFile) : m_gameFile(std::move(gameFile)) {
  IPlatform& platform = Platform();
  for (int i = 0; i < int(ERunnerWindow::Count); ++i) {
    const auto which = ERunnerWindow(i);
    if (which == ERunnerWindow::Load) {
      // Headless runs show no load window at all.
      m_load = std::make_unique<CLoadWindow>(!Answers_Headless());
      continue;
    }
    // The runner window starts borderless at 115 x 45 and is then shrunk to
    // nothing until the game gives it a size.
    const bool runner = which == ERunnerWindow::Runner;
    m_windows[i] = platform.Window_Create(runner ? "Tavrin" : Runner_WindowName(which), runner ? 115 : 100,
                                          runner ? 45 : 100, runner ? uint32_t(kWindowBorderless) : 0u);
    if (runner) platform.Window_SetBounds(m_windows[i], 0, 0, 0, 0);
  }
  const int64_t now = platform.Clock_Microseconds();
  m_startTimer = platform.Timers().Create(kTimerInterval, true, [this] { StartTimerTimer(); }, now);
  m_endTimer = platform.Timers().Create(kTimerInterval, false, [this] { EndTimerTimer(); }, now);
}

CRunnerForm::~CRunnerForm() {
  Frame_CloseDisplay();
  m_load.reset();
  for (WindowId w : m_windows)
    if (w) Platform().Window_Destroy(w);
}

int CRunnerForm::Run() {
  Platform().RunMessageLoop();
  return m_exitStatus;
}

void CRunnerForm::StartTimerTimer() {
  IPlatform& platform = Platform();
  platform.Timers().Enable(m_startTimer, false, platform.Clock_Microseconds());
  platform.Window_Show(m_windows[int(ERunnerWindow::Runner)], false);
  const bool ok = RunGame();
  m_exitStatus = ok ? Run_ExitStatus() : 1;
  if (ok && g_PackageData.debugMode) {
    // The debug window can pause and resume the game; the end timer waits
    // until the game has really stopped.
    platform.Timers().Enable(m_endTimer, true, platform.Clock_Microseconds());
    return;
  }
  if (ok) {
    FinishGame();
    platform.Window_Show(m_windows[int(ERunnerWindow::Runner)], false);
  }
  platform.QuitMessageLoop();
}

void CRunnerForm::EndTimerTimer() {
  if (Run_IsRunning()) return;
  IPlatform& platform = Platform();
  platform.Timers().Enable(m_endTimer, false, platform.Clock_Microseconds());
  FinishGame();
  platform.Window_Show(m_windows[int(ERunnerWindow::Runner)], false);
  m_exitStatus = Run_ExitStatus();
  platform.QuitMessageLoop();
}

bool CRunnerForm::LoadGameData() {
  Runner_InstallHost();
  CStream stream;
  const ELocate located = LocatePackage(m_gameFile, stream);
  if (located != ELocate::Ok) {
    ShowError(Locate_Message(located));
    return false;
  }
  RGameData game;
  const TLoadMessages failure = ReadHeader(stream, *m_load, Game_Sections(game), game.package);
  for (const std::string& message : failure) ShowError(message);
  if (!failure.empty()) return false;
  Game_Install(std::move(game));
  Room_PrepareIds();
  return true;
}

bool CRunnerForm::RunGame() {
  try {
    bool loaded;
    try {
      loaded = LoadGameData();
    } catch (const std::exception&) {
      ShowError(kCorrupted);
      return false;
    }
    if (!loaded || !PrepareGame(*m_load, Runner_PreparePhases())) return false;
    m_load->Finish();
    const WindowId debug = m_windows[int(ERunnerWindow::Debug)];
    if (g_PackageData.debugMode) {
      Platform().Window_Show(debug, true);
    } else {
      Platform().Window_Destroy(debug);
      m_windows[int(ERunnerWindow::Debug)] = 0;
    }
    RunMain();
    return true;
  } catch (...) {
    VXExceptionHandler(Exception_Text(std::current_exception()), Exception_StackTrace());
    ShowError("Unexpected error occured when running the game.");
    return false;
  }
}

void CRunnerForm::FinishGame() {
  // The temporary folder goes when the process ends.
  Sound_DiscardAll();
  Sample_Shutdown();
  Frame_CloseDisplay();
  RemoveDataFiles();
}

}  // namespace tavrin
