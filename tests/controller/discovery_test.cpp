// Finding the controller: the automatic search over the listed ports, the
// manual choice of port and baud rate, the failure panel, and the order in
// which Linux ports are listed. Most tests drive the search tick by tick on
// test doubles; the last ones run it on pseudo-terminals in real time.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controller/port_order.h"
#include "controller/qt_serial_channel.h"
#include "controller/search_state.h"
#include "shell/widgets.h"
#include "sim/pseudo_terminal.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

// Runs a test in a fresh working directory, the place where the program
// looks for its marker file.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(bool marker) : previous_(QDir::currentPath()) {
    EXPECT_TRUE(dir_.isValid());
    QDir::setCurrent(dir_.path());
    if (marker) CreateMarker();
  }
  ~WorkingDirectory() { QDir::setCurrent(previous_); }
  void CreateMarker() {
    QFile marker(QStringLiteral("Vireo_UserSelectedCOM.txt"));
    EXPECT_TRUE(marker.open(QIODevice::WriteOnly));
  }

 private:
  QString previous_;
  QTemporaryDir dir_;
};

bool ManualControlsShown(const FormA& form) {
  for (const QWidget* w : {static_cast<QWidget*>(form.Btn_COM), static_cast<QWidget*>(form.Btn_Pole),
                           static_cast<QWidget*>(form.Btn_Offline), static_cast<QWidget*>(form.Label_BAUD),
                           static_cast<QWidget*>(form.Combo_BAUD), static_cast<QWidget*>(form.Combo_COM)}) {
    if (w->isHidden()) return false;
  }
  return true;
}

bool ManualControlsHidden(const FormA& form) {
  for (const QWidget* w : {static_cast<QWidget*>(form.Btn_COM), static_cast<QWidget*>(form.Btn_Pole),
                           static_cast<QWidget*>(form.Btn_Offline), static_cast<QWidget*>(form.Label_BAUD),
                           static_cast<QWidget*>(form.Combo_BAUD), static_cast<QWidget*>(form.Combo_COM)}) {
    if (!w->isHidden()) return false;
  }
  return true;
}

// ---- Automatic search ------------------------------------------------------------

TEST(AutomaticSearch, TriesTheLastListedPortFirstEachForTwoSecondsThenFails) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  ASSERT_TRUE(f.form->Search.Searching);
  EXPECT_TRUE(ManualControlsHidden(*f.form));
  EXPECT_FALSE(f.form->Label_TestingCOM->isHidden());

  f.Tick();
  EXPECT_EQ(f.channel.opened, Lines{"ttyUSB1"});
  EXPECT_EQ(f.form->Label_TestingCOM->text(), QStringLiteral("Testing ttyUSB1"));
  f.Tick(9);
  EXPECT_EQ(f.channel.opened, Lines{"ttyUSB1"});
  f.Tick();
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB1", "ttyUSB0"}));
  EXPECT_EQ(f.form->Label_TestingCOM->text(), QStringLiteral("Testing ttyUSB0"));
  // The last port tried has its two seconds too.
  f.Tick(9);
  EXPECT_TRUE(f.form->Panel_Failed->isHidden());
  EXPECT_TRUE(f.form->Search.Searching);
  f.Tick();
  EXPECT_FALSE(f.form->Panel_Failed->isHidden());
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_TRUE(f.form->Label_TestingCOM->isHidden());
  EXPECT_TRUE(f.form->Label_Waiting->isHidden());
  EXPECT_EQ(f.form->Combo_COM->currentText(), QStringLiteral("ttyUSB1"));
  EXPECT_EQ(f.form->windowTitle(), QString::fromLatin1(kAppTitle));
  EXPECT_EQ(f.channel.opened.size(), 2u);
  // Failed is final: nothing is tried until the user asks.
  f.Tick(30);
  EXPECT_EQ(f.channel.opened.size(), 2u);
}

TEST(AutomaticSearch, ProbesEachOpenPortWithTheConnectionQuery) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  f.Tick();
  f.Timer1Tick(2);
  EXPECT_EQ(f.Sent(), (Lines{"[F1 IS ?]", "[F1 IS ?]"}));
  EXPECT_EQ(f.channel.port, "ttyUSB1");
  f.Tick(10);
  f.Timer1Tick();
  EXPECT_EQ(f.Sent(), Lines{"[F1 IS ?]"});
  EXPECT_EQ(f.channel.port, "ttyUSB0");
  const Lines log = f.DisplayLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "[F1 IS ?]");
}

TEST(AutomaticSearch, AControllerOnTheSecondPortTriedEndsIt) {
  FormFixture f({"ttyS0", "ttyUSB0", "ttyUSB1"});
  f.Tick(11);
  ASSERT_EQ(f.channel.port, "ttyUSB0");
  f.Timer1Tick();
  f.Receive("[F1 IS 0---]\r\n");
  EXPECT_TRUE(f.form->Controller.ControllerFound);
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_TRUE(f.form->GBox_COM->isHidden());
  EXPECT_EQ(f.form->RunState, kRunIdle);
  EXPECT_FALSE(f.form->Timer1->isActive());
  EXPECT_EQ(f.form->windowTitle(), QString::fromLatin1(kAppTitle) + QStringLiteral("  on ttyUSB0"));
  f.Tick(40);
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB1", "ttyUSB0"}));
  EXPECT_TRUE(f.channel.active);
  EXPECT_TRUE(f.form->Panel_Failed->isHidden());
}

TEST(AutomaticSearch, AReturnedProbeIsNoAnswerUnlessEchoedQueriesAreAccepted) {
  FormFixture f({"ttyUSB0"});
  f.Tick();
  f.Receive("[F1 IS ?]\r\n");
  EXPECT_FALSE(f.form->Controller.ControllerFound);
  EXPECT_TRUE(f.form->Search.Searching);

  f.form->GBox_COMDblClick(f.form->GBox_COM);
  EXPECT_TRUE(f.form->Controller.EchoQueries);
  f.Receive("[F1 IS ?]\r\n");
  EXPECT_TRUE(f.form->Controller.ControllerFound);
  EXPECT_FALSE(f.form->Search.Searching);
}

TEST(AutomaticSearch, WithoutPortsFailsOnTheFirstTick) {
  FormFixture f(Lines{});
  EXPECT_EQ(f.form->Combo_COM->count(), 0);
  f.Tick();
  EXPECT_FALSE(f.form->Panel_Failed->isHidden());
  EXPECT_TRUE(f.channel.opened.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(AutomaticSearch, APortThatDoesNotOpenIsReportedAndPassedOver) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  f.channel.openablePorts = {"ttyUSB0"};
  f.Tick();
  EXPECT_FALSE(f.channel.active);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_NE(f.dialogs.shown[0].text.find("ttyUSB1"), std::string::npos);
  f.Timer1Tick();
  EXPECT_TRUE(f.Sent().empty());
  f.Tick(10);
  EXPECT_EQ(f.channel.opened, Lines{"ttyUSB0"});
  EXPECT_TRUE(f.channel.active);
}

// A port the user may not open (not in the dialout group) is named once with
// the fix, in the error strip and the display log; the search goes on without it.
TEST(AutomaticSearch, APortTheUserMayNotOpenIsNamedOnceWithTheFix) {
  FormFixture f({"ttyUSB0"});
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  f.ports.denied = {"ttyUSB1", "ttyACM0"};
  f.form->M_File_RestartClick(nullptr);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_EQ(f.form->L_ErrorNotice->text().toStdString(),
            "ttyUSB1, ttyACM0 denied: sudo usermod -aG dialout $USER, log in again");
  EXPECT_EQ(f.DisplayLog(), Lines{"No permission to open ttyUSB1, ttyACM0 (your user is not in the dialout group): "
                                  "run sudo usermod -aG dialout $USER, then log out and in again."});
  f.form->Btn_ErrorNoticeClick(f.form->Btn_ErrorNotice);
  f.form->M_File_RestartClick(nullptr);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(f.DisplayLog().empty());
  f.Tick();
  EXPECT_EQ(f.channel.opened, Lines{"ttyUSB0"});
}

TEST(AutomaticSearch, RestartAfterAConnectionTriesTheFirstPortOnTheFirstTick) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  f.Tick(3);
  f.Receive("[F1 IS 0---]\r\n");
  ASSERT_TRUE(f.form->Controller.ControllerFound);
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  ASSERT_TRUE(f.form->Search.Searching);
  f.Tick();
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB1", "ttyUSB1"}));
  EXPECT_TRUE(f.channel.active);
}

// ---- Failure panel ------------------------------------------------------------------

TEST(FailurePanel, TryAgainListsThePortsAgainAndSearchesKeepingTheSeries) {
  FormFixture f({"ttyUSB0"});
  f.form->AppendRecord(2, 25.0f);
  const std::string series = f.SeriesText(2);
  ASSERT_FALSE(series.empty());
  f.Tick(11);
  ASSERT_FALSE(f.form->Panel_Failed->isHidden());

  f.ports.ports = {"ttyACM0", "rfcomm0"};
  f.form->Btn_TryAgainClick(f.form->Btn_TryAgain);
  EXPECT_TRUE(f.form->Panel_Failed->isHidden());
  EXPECT_TRUE(f.form->Search.Searching);
  EXPECT_FALSE(f.form->Label_TestingCOM->isHidden());
  EXPECT_EQ(f.form->Combo_COM->count(), 2);
  EXPECT_FALSE(f.channel.active);
  f.Tick();
  EXPECT_EQ(f.channel.opened.back(), "rfcomm0");
  EXPECT_EQ(f.SeriesText(2), series);
  EXPECT_EQ(f.form->width(), 432);
  EXPECT_EQ(f.form->height(), 239);
}

TEST(FailurePanel, ExitEndsTheProgramWithoutAsking) {
  FormFixture f({"ttyUSB0"});
  f.Tick(11);
  f.form->Btn_ExitClick(f.form->Btn_Exit);
  EXPECT_TRUE(f.form->Shell.Closing);
  EXPECT_TRUE(f.dialogs.shown.empty());
  // The port probed last gets the closing flush; nothing else is sent.
  EXPECT_TRUE(f.Sent().empty());
}

// ---- Manual choice --------------------------------------------------------------

TEST(ManualChoice, TheMarkerFileLeavesThePortToTheUser) {
  WorkingDirectory cwd(true);
  FormFixture f({"ttyS0", "ttyUSB0"});
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_TRUE(ManualControlsShown(*f.form));
  EXPECT_TRUE(f.form->Label_TestingCOM->isHidden());
  EXPECT_EQ(f.form->Combo_COM->currentText(), QStringLiteral("ttyUSB0"));
  f.Tick(30);
  f.Timer1Tick(3);
  EXPECT_TRUE(f.channel.opened.empty());
  EXPECT_TRUE(f.Sent().empty());

  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_EQ(f.channel.opened, Lines{"ttyUSB0"});
  EXPECT_EQ(f.form->RunState, kRunProbing);
  EXPECT_TRUE(f.form->Timer1->isActive());
  f.Timer1Tick();
  EXPECT_EQ(f.Sent(), Lines{"[F1 IS ?]"});
}

TEST(ManualChoice, ControlsReturnAfterASearchHadHiddenThem) {
  WorkingDirectory cwd(false);
  FormFixture f({"ttyUSB0"});
  f.Tick(11);
  ASSERT_FALSE(f.form->Panel_Failed->isHidden());
  ASSERT_TRUE(ManualControlsHidden(*f.form));
  cwd.CreateMarker();
  f.form->Btn_TryAgainClick(f.form->Btn_TryAgain);
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_TRUE(ManualControlsShown(*f.form));
  EXPECT_TRUE(f.form->Label_TestingCOM->isHidden());
  EXPECT_TRUE(f.form->Panel_Failed->isHidden());
}

TEST(ManualChoice, AGivenPortOptionAlsoLeavesTheChoiceToTheUser) {
  FormOptions options;
  options.automaticSearch = false;
  options.extraPorts = {"/dev/pts/7"};
  FormFixture f({"ttyUSB0"}, options);
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_TRUE(ManualControlsShown(*f.form));
  EXPECT_EQ(f.form->Combo_COM->count(), 2);
  EXPECT_EQ(f.form->Combo_COM->currentText(), QStringLiteral("/dev/pts/7"));
  // Pole starts the search by hand, given port first.
  f.form->Btn_PoleClick(f.form->Btn_Pole);
  f.Tick();
  EXPECT_EQ(f.channel.opened, Lines{"/dev/pts/7"});
}

TEST(Connect, UsesTheBaudRateOfTheBoxEachTime) {
  FormOptions options;
  options.automaticSearch = false;
  FormFixture f({"ttyUSB0"}, options);
  f.form->Combo_BAUD->setEditText(QStringLiteral("9600"));
  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_EQ(f.channel.settings.baudRate, 9600);
  EXPECT_FALSE(f.channel.settings.dtr);
  EXPECT_FALSE(f.channel.settings.rts);
  f.form->Combo_BAUD->setEditText(QStringLiteral("19200"));
  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_EQ(f.channel.settings.baudRate, 19200);
  f.form->Combo_BAUD->setCurrentIndex(2);
  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_EQ(f.channel.settings.baudRate, 115200);
  // Each connection closed the one before and probes again.
  EXPECT_EQ(f.channel.opened.size(), 3u);
  EXPECT_EQ(f.form->RunState, kRunProbing);
  EXPECT_EQ(f.channel.purges, 3);
}

TEST(Connect, BaudRateRuleLooksAtTheFirstAndThirdCharacters) {
  EXPECT_EQ(BaudRateFromText("9600"), 9600);
  EXPECT_EQ(BaudRateFromText("9"), 9600);
  EXPECT_EQ(BaudRateFromText("115200"), 115200);
  EXPECT_EQ(BaudRateFromText("115"), 115200);
  EXPECT_EQ(BaudRateFromText("19200"), 19200);
  EXPECT_EQ(BaudRateFromText("57600"), 19200);
  EXPECT_EQ(BaudRateFromText("11"), 19200);
  EXPECT_EQ(BaudRateFromText(""), 19200);
}

TEST(Connect, PortNamesArePassedWholeAndAnEmptyNameConnectsNothing) {
  FormOptions options;
  options.automaticSearch = false;
  FormFixture f({"ttyUSB0"}, options);
  const std::string longPath = "/dev/serial/by-id/usb-Vireo_Temperature_Controller_A1B2C3-if00-port0";
  f.form->Combo_COM->setEditText(QString::fromStdString("  " + longPath + " "));
  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_EQ(f.channel.opened, Lines{longPath});
  EXPECT_EQ(f.form->Search.PortName, longPath);

  f.form->Combo_COM->setEditText(QString());
  f.form->Btn_COMClick(f.form->Btn_COM);
  EXPECT_FALSE(f.channel.active);
  EXPECT_EQ(f.channel.opened.size(), 1u);
  EXPECT_TRUE(f.dialogs.shown.empty());
  f.Timer1Tick();
  EXPECT_TRUE(f.Sent().empty());
}

TEST(Connect, DoesNothingWithoutASender) {
  FormOptions options;
  options.automaticSearch = false;
  FormFixture f({"ttyUSB0"}, options);
  f.form->Btn_COMClick(nullptr);
  EXPECT_TRUE(f.channel.opened.empty());
  EXPECT_EQ(f.form->RunState, kRunIdle);
}

// ---- Port order ----------------------------------------------------------------------

TEST(PortOrder, BuiltInPortsFirstThenUsbAcmAndBluetoothEachByNumber) {
  std::vector<std::string> ports{"rfcomm0", "ttyACM1",      "ttyUSB10", "ttyS0",  "ttyUSB2",
                                 "ttyS11",  "/dev/ttyUSB1", "ttyS2",    "ttyACM0", "ttyAMA0"};
  OrderPortsForSearch(ports);
  const std::vector<std::string> expected{"ttyAMA0", "ttyS0",   "ttyS2",   "ttyS11",  "/dev/ttyUSB1",
                                          "ttyUSB2", "ttyUSB10", "ttyACM0", "ttyACM1", "rfcomm0"};
  EXPECT_EQ(ports, expected);
}

TEST(PortOrder, NamesThatOnlyLookLikeAGroupCountAsUnknown) {
  std::vector<std::string> ports{"ttyUSB0", "ttyUSBx", "ttyS", "rfcomm"};
  OrderPortsForSearch(ports);
  EXPECT_EQ(ports, (std::vector<std::string>{"rfcomm", "ttyS", "ttyUSBx", "ttyUSB0"}));
}

// ---- Over pseudo-terminals, in real time ----------------------------------------------

class ListedPorts final : public PortLister {
 public:
  std::vector<std::string> ListPorts() override { return ports; }
  std::vector<std::string> DeniedPorts() const override { return {}; }
  std::vector<std::string> ports;
};

// A search over pseudo-terminals with the program's own serial channel and
// timers. The test holds each master side: it sees the probes and may answer.
class PtySearch : public ::testing::Test {
 protected:
  void Start(int portCount) {
    for (int i = 0; i < portCount; ++i) {
      auto pty = std::make_unique<sim::PseudoTerminal>();
      ASSERT_TRUE(pty->Open());
      lister.ports.push_back(pty->SlavePath());
      ptys.push_back(std::move(pty));
      received.emplace_back();
      firstProbeTick.push_back(-1);
    }
    form = std::make_unique<FormA>(FormServices{channel, dialogs, ticks, beeper, lister, desktop, clipboard, parameters},
                                   FormOptions{});
    // Runs after the window's own handler of the same tick.
    QObject::connect(form->Timer_LED, &QTimer::timeout, [this] {
      ++tickCount;
      if (failedAt < 0 && !form->Panel_Failed->isHidden()) failedAt = tickCount;
    });
  }

  void TearDown() override {
    if (form) form->Shell.CloseAsked = false;
    form.reset();
  }

  // Reads what each master side has received; `answerOn` answers the probe.
  void Pump(int answerOn = -1) {
    for (std::size_t i = 0; i < ptys.size(); ++i) {
      char buffer[256];
      ssize_t n;
      while ((n = ::read(ptys[i]->MasterFd(), buffer, sizeof buffer)) > 0) {
        received[i].append(buffer, static_cast<std::size_t>(n));
      }
      if (firstProbeTick[i] < 0 && received[i].find("[F1 IS ?]") != std::string::npos) {
        firstProbeTick[i] = tickCount;
        if (static_cast<int>(i) == answerOn) {
          const std::string reply = "[F1 IS 0---]\r\n";
          ASSERT_EQ(::write(ptys[i]->MasterFd(), reply.data(), reply.size()), ssize_t(reply.size()));
        }
      }
    }
  }

  QtSerialChannel channel;
  ScriptedDialogs dialogs;
  SteadyTickSource ticks;
  CountingBeeper beeper;
  ListedPorts lister;
  RecordingDesktop desktop;
  RecordingClipboard clipboard;
  ScriptedParameterDialog parameters;
  std::vector<std::unique_ptr<sim::PseudoTerminal>> ptys;
  std::vector<std::string> received;
  std::vector<int> firstProbeTick;
  std::unique_ptr<FormA> form;
  int tickCount = 0;
  int failedAt = -1;
};

TEST_F(PtySearch, ProbesTheLastListedPortFirstAndFailsAfterTwoSecondsPerPort) {
  Start(2);
  ASSERT_TRUE(WaitUntil(
      [&] {
        Pump();
        return failedAt >= 0;
      },
      15000));
  EXPECT_EQ(failedAt, 21);
  ASSERT_GE(firstProbeTick[1], 1);
  ASSERT_GE(firstProbeTick[0], 1);
  EXPECT_LE(firstProbeTick[1], 10);
  EXPECT_GT(firstProbeTick[0], 10);
  EXPECT_LE(firstProbeTick[0], 21);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PtySearch, TheControllerOnTheSecondPortTriedIsFoundAndTheFirstPortIsLeftAlone) {
  Start(3);
  ASSERT_TRUE(WaitUntil(
      [&] {
        Pump(1);
        return form->Controller.ControllerFound;
      },
      15000));
  EXPECT_FALSE(form->Search.Searching);
  EXPECT_EQ(form->Search.PortName, ptys[1]->SlavePath());
  EXPECT_EQ(form->width(), 825);
  // The start-up sequence goes to the controller's port.
  ASSERT_TRUE(WaitUntil(
      [&] {
        Pump();
        return received[1].find("[F1 VN ?]") != std::string::npos;
      },
      5000));
  EXPECT_TRUE(received[0].empty());
  EXPECT_EQ(received[2].find("[F1 VN ?]"), std::string::npos);
}

}  // namespace
}  // namespace vireo::testing
