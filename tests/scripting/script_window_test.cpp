// Running scripts through the main window: Run Script File starts and
// cancels, the start-up script runs once per program run, --script takes its
// place, the wait panel with End Wait, Cancel Loop, and the reconnect reset.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kHeader = "CONTROLLER SCRIPT\r\nINTERVAL = 0.5\r\n";

struct Folder {
  QTemporaryDir dir;
  std::string Write(const std::string& name, const std::string& body) {
    const QString path = dir.filePath(QString::fromStdString(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(body.data(), static_cast<qint64>(body.size()));
    return path.toStdString();
  }
  FormOptions Options(std::string scriptFile = {}) {
    FormOptions options;
    options.startupScriptFolders = {dir.path().toStdString()};
    options.scriptFile = std::move(scriptFile);
    return options;
  }
};

// A window connected to a two-holder controller with firmware 9.0; the
// start-up script (when one was written before) has been requested.
struct ScriptWindow : Folder, FormFixture {
  explicit ScriptWindow(const std::string& startup = {}, bool scriptOption = false)
      : FormFixture({"ttyUSB0"}, OptionsFor(startup, scriptOption)) {}
  FormOptions OptionsFor(const std::string& startup, bool scriptOption) {
    if (startup.empty()) return Options();
    if (scriptOption) return Options(Write("melt.txt", startup));
    Write("Vireo Startup Script.txt", startup);
    return Options();
  }
  void Connect() {
    ConnectAndAnswer();
    Receive("[F1 VN 9.0]\r\n[F1 ID 24]\r\n");
    RunStartup();
    Sent();
  }
  // Opens the script panel and runs `body` (header added) as the user's choice.
  void Run(const std::string& body) {
    form->M_Tools_ScriptWindow_Click(form->M_Tools_ScriptWindow);
    dialogs.fileNames.push_back(Write("run.txt", kHeader + body));
    form->Btn_RunScriptClick(form->Btn_RunScript);
  }
  std::string RunCaption() const { return form->Btn_RunScript->text().toStdString(); }
};

TEST(RunScript, StartsRunsOneCommandPerTickAndCompletes) {
  ScriptWindow w;
  w.Connect();
  w.Run("[f1 tt s 25.00]\r\n");
  FormA& f = *w.form;
  EXPECT_EQ(w.RunCaption(), "Cancel Script");
  EXPECT_EQ(f.RunState, kRunScript);
  EXPECT_EQ(f.Timer1->interval(), 500);
  w.Timer1Tick();
  EXPECT_TRUE(w.Sent().empty());
  w.Timer1Tick();
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT S 25.00]"});
  EXPECT_EQ(f.L_S_TargetT->text(), QString::fromLatin1(" 25.00 \xB0" "C"));
  w.Timer1Tick();
  EXPECT_EQ(f.RunState, kRunIdleTimer);
  EXPECT_EQ(f.Timer1->interval(), 600);
  EXPECT_EQ(w.RunCaption(), "Run Script File");
  EXPECT_EQ(w.DisplayLog(), (Lines{"", "-------Starting Script", "run.txt", "  ", "[F1 TT S 25.00]", "",
                                   "-------Script completed", "run.txt", "  "}));
  // The user's panel stays open.
  EXPECT_EQ(f.Panels.PanelMode, kPanelScript);
}

TEST(RunScript, ATargetStepIsShownAndAwaitsStabilityAgain) {
  ScriptWindow w;
  w.Connect();
  FormA& f = *w.form;
  f.Controller.SampleTarget = 30.0f;
  f.Controller.SampleStable = true;
  f.Controller.ReferenceStable = true;
  w.Run("[*TT+5]\r\n[*WT 1]\r\n[F1 TC +]\r\n");
  w.Timer1Tick(3);  // banner, [*TT+5], [*WT 1]
  EXPECT_EQ(w.Sent(), (Lines{"[F1 TT S 35.00]", "[F1 TT ?]"}));
  EXPECT_EQ(f.L_S_TargetT->text(), QString::fromLatin1(" 35.00 \xB0" "C"));
  w.Timer1Tick();  // the holder has not reported since: the wait goes on
  EXPECT_EQ(w.Sent(), (Lines{"[F1 IS ?]", "[R1 IS ?]"}));
  EXPECT_FALSE(f.Delay_Panel->isHidden());
}

// The window's own local handling, not a stand-in: a position past the
// changer is clamped before it goes out, the wait lasts until the changer
// reports, and a scripted target makes the holder's old "stable" stale.
TEST(RunScript, ScriptedCommandsPassTheWindowsLocalHandling) {
  ScriptWindow w;
  w.ConnectAndAnswer();
  w.Receive("[F1 VN 9.0]\r\n[F1 ID 31]\r\n");  // a four-position changer
  w.RunStartup();
  w.Receive("[F2 PL 1]\r\n");
  w.Sent();
  FormA& f = *w.form;
  ASSERT_TRUE(f.Controller.HasChanger);
  ASSERT_EQ(f.Controller.PositionCount, 4);
  f.Controller.SampleStable = true;
  w.Run("[F2 PL 9]\r\n[*WPL]\r\n[F1 TT S 35.00]\r\n[*WT 1]\r\n[F1 TC +]\r\n");
  w.Timer1Tick(3);  // banner, the move, the wait
  EXPECT_EQ(w.Sent(), Lines{"[F2 PL 4]"});
  w.Timer1Tick(3);
  EXPECT_TRUE(w.Sent().empty());  // the changer has not reported
  w.Receive("[F2 PL 4]\r\n");
  w.Timer1Tick(3);  // the wait ends, the target, the stable wait
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT S 35.00]"});
  EXPECT_FALSE(f.Controller.SampleStable);
  w.Timer1Tick(2);
  EXPECT_EQ(w.Sent(), Lines{"[F1 IS ?]"});  // asked again, not taken from before the target
  w.Receive("[F1 IS 0++S]\r\n");
  w.Timer1Tick(2);
  EXPECT_EQ(w.Sent(), Lines{"[F1 TC +]"});
}

TEST(RunScript, CancelDuringARampStopsItOnBothHolders) {
  ScriptWindow w;
  w.Connect();
  w.Run("[F1 RS S 5]\r\n[*D 100]\r\n");
  w.Timer1Tick(3);
  EXPECT_EQ(w.Sent(), Lines{"[F1 RS S 5]"});
  EXPECT_FALSE(w.form->Delay_Panel->isHidden());
  w.form->Btn_RunScriptClick(w.form->Btn_RunScript);
  EXPECT_EQ(w.Sent(), (Lines{"  ", "[F1 RS S 0]", "[F1 RT S 0]", "[R1 RS S 0]", "[R1 RT S 0]"}));
  EXPECT_EQ(w.RunCaption(), "Run Script File");
  EXPECT_TRUE(w.form->Delay_Panel->isHidden());
  EXPECT_EQ(w.form->RunState, kRunIdleTimer);
  const Lines log = w.DisplayLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "-------Script Canceled"), log.end());
}

TEST(RunScript, ACancelledDialogOrAnUnreadableFileStartsNothing) {
  ScriptWindow w;
  w.Connect();
  w.form->M_Tools_ScriptWindow_Click(w.form->M_Tools_ScriptWindow);
  w.form->Btn_RunScriptClick(w.form->Btn_RunScript);  // the dialog is cancelled
  w.dialogs.fileNames.push_back(w.dir.filePath(QStringLiteral("missing.txt")).toStdString());
  w.form->Btn_RunScriptClick(w.form->Btn_RunScript);
  ASSERT_EQ(w.dialogs.shown.size(), 1u);
  EXPECT_EQ(w.dialogs.shown[0].text, "Failed to open file.");
  EXPECT_EQ(w.RunCaption(), "Run Script File");
}

TEST(WaitPanel, EndWaitLetsTheNextCommandRunOnTheNextTick) {
  ScriptWindow w;
  w.Connect();
  w.Run("[*D 50]\r\n[F1 TT ?]\r\n");
  w.Timer1Tick(3);
  FormA& f = *w.form;
  EXPECT_FALSE(f.Delay_Panel->isHidden());
  EXPECT_EQ(f.Delay_Label->text().toStdString(), "Wait for Delay");
  EXPECT_EQ(f.Delay_Display->text().toStdString(), "     49");
  f.EndWaitBtnClick(nullptr);
  f.EndWaitBtnClick(f.EndWaitBtn);
  EXPECT_EQ(w.DisplayLog().back(), "-------Wait canceled");
  w.Sent();
  w.Timer1Tick();
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT ?]"});
  EXPECT_TRUE(f.Delay_Panel->isHidden());
}

TEST(Loops, CancelLoopInTheSecondPassLeavesTheLoopAtItsEnd) {
  ScriptWindow w;
  w.Connect();
  w.Run("[*LS 5]\r\n[F1 TT ?]\r\n[*LE]\r\n[F1 IS ?]\r\n");
  FormA& f = *w.form;
  w.Timer1Tick(5);  // banner, [*LS 5], pass 1, [*LE], pass 2
  EXPECT_EQ(f.Btn_Clear->text().toStdString(), "Cancel Loop");
  f.Btn_ClearClick(f.Btn_Clear);
  EXPECT_FALSE(w.DisplayLog().empty());  // the button cancelled, it did not clear
  w.Timer1Tick(2);
  const Lines log = w.DisplayLog();
  EXPECT_EQ(Lines(log.end() - 3, log.end()), (Lines{"[*LE] (2/5)", "-------Loop(1) canceled", "[F1 IS ?]"}));
  EXPECT_EQ(f.Btn_Clear->text().toStdString(), "Clear Display");
}

TEST(Loops, ABreakOnTheControllerLineClearsTheLogButCancelsNoLoop) {
  ScriptWindow w;
  w.Connect();
  w.Run("[*LS 2]\r\n[F1 TT ?]\r\n[*LE]\r\n");
  w.Timer1Tick(3);  // banner, [*LS 2], pass 1
  w.channel.onBreak();
  EXPECT_TRUE(w.DisplayLog().empty());
  w.Timer1Tick(2);
  EXPECT_EQ(w.DisplayLog(), (Lines{"[*LE] (1/2)", "|  [F1 TT ?]"}));
}

TEST(Reconnect, ResetsTheEngineWithoutABannerAndTheButtonStillCancels) {
  ScriptWindow w;
  w.Connect();
  w.Run("[*D 100]\r\n");
  w.Timer1Tick(2);
  const std::size_t lines = w.DisplayLog().size();
  w.form->Btn_COMClick(w.form->Btn_COM);
  EXPECT_EQ(w.form->RunState, kRunProbing);
  EXPECT_EQ(w.DisplayLog().size(), lines);
  EXPECT_EQ(w.RunCaption(), "Cancel Script");
  w.form->Btn_RunScriptClick(w.form->Btn_RunScript);
  EXPECT_EQ(w.RunCaption(), "Run Script File");
  EXPECT_EQ(w.DisplayLog()[lines + 1], "-------Script Canceled");
}

TEST(StartupScript, RunsOnceInItsOwnPanelThatClosesWhenItCompletes) {
  ScriptWindow w(std::string(kHeader) + "[F1 TT ?]\r\n");
  const int closedWidth = 825;
  w.Connect();
  FormA& f = *w.form;
  ASSERT_EQ(w.RunCaption(), "Cancel Script");
  EXPECT_EQ(f.Panels.PanelMode, kPanelHidden);
  EXPECT_EQ(f.width(), closedWidth + 230);
  w.Timer1Tick(2);
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT ?]"});
  w.Timer1Tick();
  EXPECT_EQ(f.width(), closedWidth);
  EXPECT_FALSE(f.M_Tools_HideWindow->isEnabled());
  // Restart and connect again: not run a second time.
  f.M_File_RestartClick(f.M_File_Restart);
  w.Connect();
  EXPECT_EQ(w.RunCaption(), "Run Script File");
  EXPECT_NE(f.RunState, kRunScript);
}

TEST(StartupScript, TheCommandPanelOpenedOverItsPanelTakesThePanelsPlace) {
  ScriptWindow w(std::string(kHeader) + "[*D 100]\r\n");
  w.Connect();
  FormA& f = *w.form;
  ASSERT_EQ(f.width(), 825 + 230);
  f.M_Tools_CommandWindow_Click(f.M_Tools_CommandWindow);
  EXPECT_EQ(f.width(), 825 + 230);
  EXPECT_EQ(f.Panels.PanelMode, kPanelCommand);
  f.M_Tools_HideWindowClick(f.M_Tools_HideWindow);
  EXPECT_EQ(f.width(), 825);
}

TEST(StartupScript, DoesNotReplaceAScriptTheUserStarted) {
  ScriptWindow w;
  w.Connect();
  w.Write("Vireo Startup Script.txt", std::string(kHeader) + "[F1 IS ?]\r\n");
  w.Run("[F1 TT ?]\r\n");
  w.form->Btn_RunScriptClick(nullptr);
  w.Timer1Tick(2);
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT ?]"});
}

// The configuration may end, and the start-up script start, while the user
// is choosing a file: that script runs on whole, and the user is told.
TEST(RunScript, AScriptStartedWhileTheDialogIsOpenRunsOnAndTheChoiceIsRefused) {
  ScriptWindow w;
  w.Connect();
  w.Write("Vireo Startup Script.txt", std::string(kHeader) + "[F1 IS ?]\r\n[*D 2]\r\n[F1 TT ?]\r\n");
  w.dialogs.whileChoosing = [&w] {
    w.dialogs.whileChoosing = nullptr;
    w.form->Btn_RunScriptClick(nullptr);
    w.Timer1Tick(3);  // banner, [F1 IS ?], [*D 2]
  };
  w.Run("[F1 TT S 20.00]\r\n[F1 TC +]\r\n");
  ASSERT_EQ(w.dialogs.shown.size(), 1u);
  // The start-up script is named by its whole path: it may come from more than one folder.
  EXPECT_THAT(w.dialogs.shown[0].text,
              ::testing::EndsWith("Vireo Startup Script.txt\" is running.\n\nPress \"Cancel Script\" to end it, "
                                "then run the file again."));
  w.Timer1Tick(6);
  EXPECT_EQ(w.Sent(), (Lines{"[F1 IS ?]", "[F1 TT ?]"}));
  EXPECT_EQ(w.RunCaption(), "Run Script File");
}

TEST(ScriptOption, RunsTheGivenFileWhereTheStartupScriptWouldWithThePanelKeptOpen) {
  ScriptWindow w(std::string(kHeader) + "[F1 TT ?]\r\n", true);
  w.Write("Vireo Startup Script.txt", std::string(kHeader) + "[F1 IS ?]\r\n");
  FormA& f = *w.form;
  w.ConnectAndAnswer();
  EXPECT_EQ(w.RunCaption(), "Run Script File");  // not before the first configuration
  w.Receive("[F1 VN 9.0]\r\n[F1 ID 24]\r\n");
  w.RunStartup();
  w.Sent();
  EXPECT_EQ(w.RunCaption(), "Cancel Script");
  EXPECT_EQ(f.Panels.PanelMode, kPanelScript);
  w.Timer1Tick(3);
  EXPECT_EQ(w.Sent(), Lines{"[F1 TT ?]"});
  EXPECT_EQ(f.Panels.PanelMode, kPanelScript);
  EXPECT_TRUE(f.M_Tools_HideWindow->isEnabled());
}

TEST(CheckScript, ReportsEachProblemWithItsLineInTheOpenedScriptPanel) {
  ScriptWindow w;
  w.Connect();
  FormA& f = *w.form;
  w.dialogs.fileNames.push_back(w.Write("bad.txt", std::string(kHeader) + "[*LE]\r\n[*D 1][F1 TT ?]\r\n"));
  f.M_Tools_CheckScriptClick(f.M_Tools_CheckScript);
  EXPECT_EQ(f.Panels.PanelMode, kPanelScript);
  const Lines log = w.DisplayLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "-------Checking bad.txt");
  EXPECT_EQ(log[1].rfind("bad.txt:3: ", 0), 0u) << log[1];
  EXPECT_EQ(log[2].rfind("bad.txt:4: ", 0), 0u) << log[2];
  EXPECT_EQ(log[3], "-------2 problem(s) found");
  w.dialogs.fileNames.push_back(w.Write("good.txt", std::string(kHeader) + "[F1 TT ?]\r\n"));
  f.M_Tools_CheckScriptClick(f.M_Tools_CheckScript);
  EXPECT_EQ(w.DisplayLog().back(), "-------No problems found");
  // Checking runs nothing.
  EXPECT_TRUE(w.Sent().empty());
  EXPECT_EQ(w.RunCaption(), "Run Script File");
}

TEST(OperatorMessage, HoldsTheScriptTurnsTheLogAquaAndBeepsOnEveryTickWhileOpen) {
  FakeSerialChannel channel;
  FakeTicks ticks;
  WindowDoubles doubles;
  FormA form(doubles.With(channel, ticks), {});
  form.Timer_LED->stop();
  form.Shell.CloseAsked = false;
  // While the message is "open", two ticks arrive as in a modal box's own event loop.
  QColor background;
  doubles.dialogs.whileShown = [&] {
    background = form.ScriptDisplay->palette().color(QPalette::Base);
    form.Timer1Timer(form.Timer1);
    form.Timer1Timer(form.Timer1);
  };
  const QColor normal = form.ScriptDisplay->palette().color(QPalette::Base);
  ASSERT_TRUE(form.Engine.StartScriptText("m.txt", std::string(kHeader) + "[*MSG + Insert sample]\r\n[*D 5]\r\n"));
  form.Timer1Timer(form.Timer1);
  form.Timer1Timer(form.Timer1);
  ASSERT_EQ(doubles.dialogs.shown.size(), 1u);
  EXPECT_EQ(doubles.dialogs.shown[0].text, "Insert sample");
  EXPECT_EQ(background, QColor(0, 255, 255));
  EXPECT_EQ(doubles.beeper.beeps, 2);
  EXPECT_EQ(form.ScriptDisplay->palette().color(QPalette::Base), normal);
  EXPECT_TRUE(form.Delay_Panel->isHidden());  // the ticks during the message ran nothing
  form.Timer1Timer(form.Timer1);
  EXPECT_FALSE(form.Delay_Panel->isHidden());
  EXPECT_EQ(doubles.beeper.beeps, 2);
}

}  // namespace
}  // namespace vireo::testing
