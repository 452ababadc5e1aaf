// Timer1 and the run control of scripts: each tick goes to the script
// engine, which also probes for the controller and serves the other run
// states; the Run Script button starts and cancels scripts, and without a
// sender runs the start-up script; Tools, "Check Script File ..." reports a
// script's problems before it is run.
#include <QAction>
#include <QCoreApplication>
#include <QTimer>

#include "control/text_helpers.h"
#include "scripting/script_checker.h"
#include "scripting/script_language.h"
#include "shell/form_a.h"
#include "shell/services.h"

namespace vireo {
namespace {

constexpr const char* kScriptRunningMessage =
    "The script \"%s\" is running.\n\nPress \"Cancel Script\" to end it, then run the file again.";

}  // namespace

void FormA::Timer1Timer(QObject* sender) {
  if (!sender) {
    Engine.Reset();
    return;
  }
  Engine.Tick();
}

void FormA::Btn_RunScriptClick(QObject* sender) {
  if (sender) {
    if (Engine.Started()) {
      Engine.Cancel();
      return;
    }
    const auto path = services_.dialogs.OpenFileName("Run Script File", "text files|*.txt", "txt");
    if (!path) return;
    // The start-up script may have started while the dialog was open: it
    // runs on, and the user is told why the chosen file does not.
    if (Engine.Started()) {
      services_.dialogs.Message(Format(kScriptRunningMessage, Engine.ScriptFileName.c_str()), kScriptCaption,
                                Buttons::Ok);
      return;
    }
    Engine.StartScript(*path, ScriptOrigin::User);
    return;
  }
  // The start-up script request. A script the user started meanwhile runs on.
  if (Engine.Started()) return;
  if (!options_.scriptFile.empty()) {
    // Given on the command line: run as if chosen with "Run Script File".
    if (Panels.PanelMode != kPanelScript) M_Tools_ScriptWindow_Click(M_Tools_ScriptWindow);
    Engine.StartScript(options_.scriptFile, ScriptOrigin::User);
    return;
  }
  if (options_.startupScriptFolders.empty()) {
    Engine.RunStartupScript({QCoreApplication::applicationDirPath().toStdString()});
  } else {
    Engine.RunStartupScript(options_.startupScriptFolders);
  }
}

void FormA::EndWaitBtnClick(QObject* sender) {
  if (sender) Engine.EndWait();
}

void FormA::M_Tools_CheckScriptClick(QObject* sender) {
  if (!sender) return;
  const auto path = services_.dialogs.OpenFileName("Check Script File", "text files|*.txt", "txt");
  if (!path) return;
  // The report goes to the display log: it must be in view.
  if (!M_Tools_HideWindow->isEnabled()) M_Tools_ScriptWindow_Click(M_Tools_ScriptWindow);
  const std::string name = ScriptDisplayName(*path);
  const std::optional<std::string> text = ReadScriptFile(*path);
  if (!text) {
    AppendToDisplayLog(-1, std::string("-------Cannot read ").append(name));
    return;
  }
  const std::vector<ScriptProblem> problems = CheckScript(*text);
  AppendToDisplayLog(-1, std::string("-------Checking ").append(name));
  for (const ScriptProblem& p : problems) AppendToDisplayLog(-1, ProblemLine(name, p));
  AppendToDisplayLog(-1, problems.empty() ? std::string("-------No problems found")
                                          : Format("-------%zu problem(s) found", problems.size()));
}

}  // namespace vireo
