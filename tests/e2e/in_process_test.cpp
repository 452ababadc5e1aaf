// The whole window against the simulated controller served on a
// pseudo-terminal, through the program's own serial channel and timers.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "control/text_helpers.h"
#include "controller/qt_serial_channel.h"
#include "shell/widgets.h"
#include "sim/controller_server.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

// True when `wanted` appear in `lines` in this order, other lines between.
bool InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
  std::size_t next = 0;
  for (const std::string& line : lines) {
    if (next < wanted.size() && line == wanted[next]) ++next;
  }
  return next == wanted.size();
}

std::vector<std::string> LogLines(const FormA& form) {
  std::vector<std::string> lines;
  for (const QString& line : form.ScriptDisplay->toPlainText().split(QLatin1Char('\n'))) {
    lines.push_back(line.toStdString());
  }
  return lines;
}

bool ShowsATemperature(const QLabel* label) {
  static const QRegularExpression reading(QStringLiteral("^-?\\d+\\.\\d\\d \u00B0C$"));
  return reading.match(label->text()).hasMatch();
}

// Found, configured and past its start-up script: ready for the operator.
bool Configured(const FormA& w) {
  return w.Controller.ControllerFound && w.Steps.CurrentStep == kStepIdle && !w.Steps.StartupScriptPending;
}

struct SimulatedRun : WindowDoubles {
  explicit SimulatedRun(const sim::ControllerConfig& config) : server(config) {}
  ~SimulatedRun() {
    if (form) form->Shell.CloseAsked = false;
    form.reset();
  }

  // Starts the simulator and a window that searches the ports `listed`
  // (the simulator's device is added last, so it is tried first).
  void Start(std::vector<std::string> listed = {}) {
    ASSERT_TRUE(server.Start()) << server.LastError();
    ports.ports = std::move(listed);
    ports.ports.push_back(server.DevicePath());
    form = std::make_unique<FormA>(With(channel, ticks), FormOptions{});
    // Readings every second keep the test short.
    form->Recording.PlotInterval = form->Recording.PlotIntervalSetting = 1;
  }

  sim::ControllerServer server;
  QtSerialChannel channel;
  SteadyTickSource ticks;
  std::unique_ptr<FormA> form;
};

TEST(SimulatedController, IsFoundConfiguredAndReportsItsTemperatures) {
  sim::ControllerConfig config;  // a two-holder extended model, firmware 2.3, probe plugged in
  SimulatedRun run(config);
  run.Start();
  FormA& w = *run.form;
  ASSERT_TRUE(WaitUntil([&] { return w.Controller.ControllerFound; }, 10000));
  EXPECT_EQ(w.width(), 825);
  EXPECT_EQ(w.windowTitle(),
            QString::fromLatin1(kAppTitle) + QStringLiteral("  on ") + QString::fromStdString(run.server.DevicePath()));

  ASSERT_TRUE(WaitUntil(
      [&] {
        return ShowsATemperature(w.L_S_Temperature) && ShowsATemperature(w.L_R_Temperature) &&
               ShowsATemperature(w.L_P_Temperature) && w.Steps.CurrentStep == kStepIdle &&
               w.Steps.PendingCount == 0 && !w.Steps.StartupScriptPending;
      },
      15000))
      << w.L_S_Temperature->text().toStdString();
  EXPECT_EQ(w.Controller.ModelId, "24");
  EXPECT_FLOAT_EQ(w.Controller.FirmwareVersion, 2.3f);
  EXPECT_TRUE(w.Controller.ProbePresent);
  EXPECT_TRUE(w.M_Tools_Link_RtoS->isChecked());
  EXPECT_FALSE(w.Panel_Plot->isHidden());
  EXPECT_FALSE(w.GB_ExtProbe->isHidden());
  EXPECT_TRUE(InOrder(LogLines(w), {"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]",
                                    "[F1 PS +]", "[F1 FP +]", "[F1 HL ?]", "[F1 MS ?]", "[F1 LS ?]", "[F1 SS ?]",
                                    "[F1 MT ?]", "[F1 LT ?]", "[R1 IS ?]", "[R1 TT ?]", "[R1 IS +]", "[R1 ER +]",
                                    "[R1 TT +]", "[F1 CT +1]", "[F1 PT +1]", "[F1 HT +1]", "[R1 CT +1]",
                                    "[R1 HT +1]"}));
  // The readings keep coming: every series grows.
  const std::size_t sample = w.SeriesMemos[0]->blockCount();
  const std::size_t reference = w.SeriesMemos[1]->blockCount();
  ASSERT_TRUE(WaitUntil(
      [&] {
        return std::size_t(w.SeriesMemos[0]->blockCount()) > sample + 1 &&
               std::size_t(w.SeriesMemos[1]->blockCount()) > reference + 1;
      },
      10000));
  EXPECT_TRUE(run.dialogs.shown.empty());

  // Unplugged: the notice comes up, and what was recorded stays.
  run.server.Stop();
  ASSERT_TRUE(WaitUntil([&] { return !w.Panel_ErrorNotice->isHidden(); }, 5000));
  EXPECT_FALSE(w.Btn_Reconnect->isHidden());
  EXPECT_FALSE(w.SeriesMemos[0]->toPlainText().isEmpty());
}

TEST(SimulatedController, SwitchingTemperatureControlReachesTheControllerAndItsStatusComesBack) {
  sim::ControllerConfig config;
  config.model = "11";
  config.probeConnected = false;
  config.acceleration = 20.0;
  SimulatedRun run(config);
  run.Start();
  FormA& w = *run.form;
  ASSERT_TRUE(WaitUntil([&] { return Configured(w); }, 15000));
  w.CkB_SController_On->click();
  ASSERT_TRUE(WaitUntil([&] { return w.Controller.SampleControlState == kControlHolding; }, 20000))
      << "state " << w.Controller.SampleControlState;
  EXPECT_TRUE(w.CkB_SController_On->isChecked());
  ASSERT_TRUE(WaitUntil([&] { return w.L_S_LED->text() == QStringLiteral("holding"); }, 2000));
}

TEST(SimulatedController, AnEchoingDeviceIsNeverTakenForTheController) {
  sim::ControllerConfig config;
  config.echo = true;
  SimulatedRun run(config);
  run.Start();
  FormA& w = *run.form;
  // Its two seconds and the failure panel after them.
  ASSERT_TRUE(WaitUntil([&] { return !w.Panel_Failed->isHidden(); }, 10000));
  EXPECT_FALSE(w.Controller.ControllerFound);
  EXPECT_EQ(w.width(), 432);
  EXPECT_EQ(w.height(), 239);
  EXPECT_TRUE(run.dialogs.shown.empty());
}

TEST(SimulatedController, ARampSetInTheDialogIsFollowedByBothHolders) {
  sim::ControllerConfig config;  // two holders
  config.firmware = 7.2;
  config.acceleration = 60.0;
  SimulatedRun run(config);
  run.Start();
  FormA& w = *run.form;
  ASSERT_TRUE(WaitUntil([&] { return Configured(w) && ShowsATemperature(w.L_S_Temperature); }, 15000));
  w.CkB_SController_On->click();  // linked: both holders
  const float start = w.Controller.SampleTemperature;
  run.parameters.Ok(Format("%.2f", static_cast<double>(start + 8.0f)), "", 21);  // 5.0 degrees per minute
  w.M_Tools_Ramp_1->trigger();
  ASSERT_TRUE(w.Controller.TargetHold);
  // The controller reports its ramping set-point; the display keeps the end
  // temperature until the set-point gets there.
  ASSERT_TRUE(WaitUntil([&] { return w.Controller.SampleTarget > start + 1.0f && w.Controller.SampleTarget < start + 7.0f; },
                        20000));
  EXPECT_EQ(w.L_S_TargetT->text().toStdString(), Format("%.2f", static_cast<double>(start + 8.0f)));
  ASSERT_TRUE(WaitUntil([&] { return !w.Controller.TargetHold; }, 20000));
  ASSERT_TRUE(WaitUntil([&] { return w.Controller.SampleTemperature > start + 7.0f &&
                                     w.Controller.ReferenceTemperature > start + 7.0f; },
                        20000));
  EXPECT_TRUE(run.dialogs.shown.empty());
}

// A script chosen with Run Script File whose waits end on what the
// controller itself reports: the temperature passing a mark, then stability.
TEST(SimulatedController, AScriptsWaitsEndOnTheControllersOwnReports) {
  sim::ControllerConfig config;
  config.model = "11";
  config.probeConnected = false;
  config.acceleration = 60.0;
  SimulatedRun run(config);
  run.Start();
  FormA& w = *run.form;
  ASSERT_TRUE(WaitUntil([&] { return Configured(w) && ShowsATemperature(w.L_S_Temperature); }, 15000));
  const double target = std::floor(static_cast<double>(w.Controller.SampleTemperature)) + 4.0;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("steps.txt"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Format("CONTROLLER SCRIPT\r\nINTERVAL = 0.2\r\n[F1 TT S %.2f]\r\n[F1 TC +]\r\n[*WCT>=%.2f]\r\n"
                    "[*WT 3]\r\n[F1 TT ?]\r\n",
                    target, target - 1.0)
                 .c_str());
  file.close();
  w.M_Tools_ScriptWindow_Click(w.M_Tools_ScriptWindow);
  run.dialogs.fileNames.push_back(path.toStdString());
  w.Btn_RunScriptClick(w.Btn_RunScript);
  ASSERT_TRUE(w.Engine.Started());
  // The mark is passed only by heating: the condition wait holds until then.
  ASSERT_TRUE(WaitUntil([&] { return w.Engine.ConditionKind != 0; }, 10000));
  ASSERT_TRUE(WaitUntil([&] { return w.Engine.StableWaitActive; }, 60000)) << w.Controller.SampleTemperature;
  EXPECT_GE(w.Controller.SampleTemperature, static_cast<float>(target - 1.0) - 0.001f);
  EXPECT_FALSE(w.Controller.SampleStable);
  // The stable wait asks for the status itself and ends on the holder's "stable".
  ASSERT_TRUE(WaitUntil([&] { return !w.Engine.Started(); }, 90000)) << w.Controller.SampleTemperature;
  EXPECT_TRUE(w.Controller.SampleStable);
  EXPECT_NEAR(w.Controller.SampleTemperature, target, 0.5);
  const std::vector<std::string> log = LogLines(w);
  EXPECT_TRUE(InOrder(log, {"[F1 TT S " + Format("%.2f", target) + "]", "[F1 TC +]",
                            "[*WCT>=" + Format("%.2f", target - 1.0) + "]", "[*WT 3]", "[F1 TT ?]",
                            "-------Script completed"}));
  EXPECT_TRUE(run.dialogs.shown.empty());
}

}  // namespace
}  // namespace vireo::testing
