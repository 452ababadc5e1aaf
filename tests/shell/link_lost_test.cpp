// A controller link that fails under an open connection (device unplugged,
// Bluetooth dropped) or a controller that stops answering: the notice, the
// port opened again by itself, the controller read again, a script held.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controller/qt_serial_channel.h"
#include "shell/widgets.h"
#include "shell/window_status.h"
#include "sim/pseudo_terminal.h"
#include "spectrometer/form_s.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

void Connect(FormFixture& f) {
  f.ConnectAndAnswer();
  f.Receive("[F1 VN 2.30]\r\n[F1 ID 24]\r\n");
  f.RunStartup();
  f.Receive("[F1 CT 25.00]\r\n[R1 CT 24.50]\r\n");
  f.Sent();
}

void LoseLink(FormFixture& f) {
  f.channel.active = false;  // the channel closes itself before telling
  f.channel.onLost("Input/output error");
}

// The settings a two-holder controller with firmware 2.3 is read again with
// after a loss: queries and report switches, nothing that sets a holder, no Clear All.
const Lines kReadAgain = {"[F1 VN ?]", "[F1 ID ?]", "[F1 TT ?]", "[F1 IS +]", "[F1 ER +]", "[F1 TT +]",
                          "[F1 PS +]", "[F1 FP +]", "[F1 HL ?]", "[F1 MS ?]", "[F1 LS ?]", "[F1 SS ?]",
                          "[F1 MT ?]", "[F1 LT ?]", "[R1 IS ?]", "[R1 TT ?]", "[R1 IS +]", "[R1 ER +]",
                          "[R1 TT +]", "[F1 CT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"};

bool Logged(const FormFixture& f, const std::string& line) {
  const Lines log = f.DisplayLog();
  return std::find(log.begin(), log.end(), line) != log.end();
}

bool Stale(const FormFixture& f) { return !f.form->GrB_S_Holder->isEnabled() && !f.form->GB_ExtProbe->isEnabled(); }

// Answers the probe of a reopened port and runs the reading-again to its end.
Lines ComeBack(FormFixture& f, const std::string& answer = "[F1 IS 0---]\r\n") {
  f.Tick();
  EXPECT_EQ(f.Sent(), (Lines{"[F1 IS ?]"}));
  f.Receive(answer);
  return f.RunStartup();
}

TEST(LostLink, ShowsTheNoticeMarksTheValuesStaleAndWritesNothingMore) {
  FormFixture f;
  Connect(f);
  const std::string sample = f.SeriesText(1);
  const std::string reference = f.SeriesText(2);
  f.channel.openablePorts = {"ttyUSB9"};  // the device stays away
  LoseLink(f);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
  const std::string notice = f.form->L_ErrorNotice->text().toStdString();
  EXPECT_NE(notice.find("ttyUSB0"), std::string::npos) << notice;
  EXPECT_EQ(f.form->L_ErrorNotice->toolTip().toStdString(), notice);
  EXPECT_TRUE(Stale(f));
  EXPECT_TRUE(Logged(f, "-------Link to the controller lost on ttyUSB0: Input/output error"));

  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  f.Tick(100);
  EXPECT_TRUE(f.channel.written.empty());
  EXPECT_EQ(f.SeriesText(1), sample);
  EXPECT_EQ(f.SeriesText(2), reference);
  EXPECT_TRUE(f.dialogs.shown.empty());  // the attempts every few seconds ask nothing
}

TEST(LostLink, ThePortIsOpenedAgainByItselfAndTheControllerReadAgainWithoutClearingTheSeries) {
  FormFixture f;
  Connect(f);
  const std::string sample = f.SeriesText(1);
  f.channel.openablePorts = {"ttyUSB9"};
  LoseLink(f);
  f.Tick(14);  // 2.8 s: no attempt yet
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB0"}));
  f.channel.openablePorts = {};
  f.Tick();
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB0", "ttyUSB0"}));
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());  // open is not yet answering

  EXPECT_EQ(ComeBack(f), kReadAgain);
  EXPECT_TRUE(Logged(f, "-------Link to the controller back on ttyUSB0"));
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(Stale(f));
  EXPECT_EQ(f.SeriesText(1), sample);
  f.Receive("[F1 CT 25.50]\r\n");
  EXPECT_GT(f.SeriesText(1).size(), sample.size());
}

TEST(LostLink, AControllerThatRestartedMeanwhileIsReadOnceAndNothingIsSetOnIt) {
  FormFixture f;
  Connect(f);
  LoseLink(f);
  f.Tick(15);
  Lines expected = {"[F1 IS ?]"};  // the restart's own status query
  expected.insert(expected.end(), kReadAgain.begin(), kReadAgain.end());
  EXPECT_EQ(ComeBack(f, "[F1 IS R]\r\n"), expected);
  EXPECT_FALSE(f.form->Link.Lost());
}

TEST(LostLink, ACuvetteChangerIsNeitherHomedNorMovedWhenItsControllerIsReadAgain) {
  FormFixture f;
  f.ConnectAndAnswer();
  f.Receive("[F1 VN 7.20]\r\n[F1 ID 31]\r\n");
  const Lines startup = f.RunStartup();
  ASSERT_NE(std::find(startup.begin(), startup.end(), "[F2 DI]"), startup.end());  // homed at connection
  LoseLink(f);
  f.Tick(15);
  for (const std::string& line : ComeBack(f, "[F1 IS 0---]\r\n[F1 ID 31]\r\n")) {
    EXPECT_NE(line.rfind("[F2 ", 0), 0u) << line;
  }
  EXPECT_FALSE(f.form->Link.Lost());
}

TEST(LostLink, ReconnectOpensThePortAtOnce) {
  FormFixture f;
  Connect(f);
  LoseLink(f);
  f.form->Btn_ReconnectClick(nullptr);
  EXPECT_FALSE(f.channel.active);
  f.channel.openablePorts = {"ttyUSB7"};
  f.form->Btn_ReconnectClick(f.form->Btn_Reconnect);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);  // asked for by a click: says why
  EXPECT_NE(f.dialogs.shown[0].text.find("ttyUSB0"), std::string::npos);
  f.channel.openablePorts = {};
  f.form->Btn_ReconnectClick(f.form->Btn_Reconnect);
  EXPECT_TRUE(f.channel.active);
  EXPECT_EQ(ComeBack(f), kReadAgain);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
}

TEST(LostLink, AfterThreeAttemptsTheOtherPortsAreTriedAndOnlyTheSameModelIsTaken) {
  FormFixture f({"ttyUSB0", "ttyUSB1", "ttyUSB2"});
  f.form->Combo_COM->setCurrentIndex(0);
  Connect(f);
  const std::string sample = f.SeriesText(1);
  f.channel.openablePorts = {"ttyUSB1", "ttyUSB2"};
  LoseLink(f);
  f.Tick(3 * 15);
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB0"}));  // three attempts on the lost port
  f.Tick(15);
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB0", "ttyUSB2"}));  // then in the search's order
  f.Tick();
  EXPECT_EQ(f.Sent(), (Lines{"[F1 ID ?]"}));
  // Another model answers there: its readings are not this run's.
  f.Receive("[F1 CT 30.00]\r\n[F1 ID 12]\r\n");
  EXPECT_EQ(f.SeriesText(1), sample);
  f.Tick(2 * 15);
  EXPECT_EQ(f.channel.opened.back(), "ttyUSB1");
  f.Tick();
  EXPECT_EQ(f.Sent().back(), "[F1 ID ?]");
  f.Receive("[F1 ID 24]\r\n");
  Lines readAgain = {"[F1 PS ?]"};  // asked on every identity reply
  readAgain.insert(readAgain.end(), kReadAgain.begin(), kReadAgain.end());
  EXPECT_EQ(f.RunStartup(), readAgain);
  EXPECT_TRUE(Logged(f, "-------Link to the controller back on ttyUSB1"));
  EXPECT_EQ(f.form->Search.PortName, "ttyUSB1");
}

TEST(LostLink, AControllerThatStopsAnsweringIsNoticedAndClearsByItselfWhenItReportsAgain) {
  FormFixture f;
  Connect(f);
  // Reports every 3 s: silent after 3 x 3 + 5 = 14 s.
  f.Tick(69);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  f.Tick();
  EXPECT_NE(f.form->L_ErrorNotice->text().toStdString().find("stopped answering"), std::string::npos);
  EXPECT_TRUE(Stale(f));
  EXPECT_TRUE(f.channel.active);  // the port stays open and is asked every 3 s
  f.Sent();
  f.Tick(15);
  EXPECT_EQ(f.Sent(), (Lines{"[F1 IS ?]"}));
  f.Receive("[F1 CT 25.10]\r\n");
  EXPECT_EQ(f.RunStartup(), kReadAgain);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(Stale(f));
}

// The status page reads the link as the window does: an open port whose
// controller has fallen silent is no link.
TEST(LostLink, TheStatusSnapshotCountsASilentControllerAsDown) {
  FormFixture f;
  Connect(f);
  FakeSerialChannel spectrometer;
  FixedPortLister ports;
  TFormS formS{FormSServices{spectrometer, f.dialogs, f.clipboard, ports},
               FormSContext{f.form->Controller, f.form->Recording, f.form->Renderer, nullptr, nullptr, {}}};
  WindowStatus status(*f.form, formS, nullptr);
  EXPECT_TRUE(status.Snapshot().controllerLinkUp);
  f.Tick(70);
  ASSERT_TRUE(f.channel.active);
  EXPECT_FALSE(status.Snapshot().controllerLinkUp);
}

TEST(LostLink, AStoppedRecordingIsNotTakenForSilence) {
  FormFixture f;
  Connect(f);
  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  f.Tick(300);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(Stale(f));
}

TEST(LostLink, AScriptHoldsWhileTheLinkIsLostAndGoesOnOnceTheControllerIsReadAgain) {
  FormFixture f;
  Connect(f);
  ASSERT_TRUE(f.form->Engine.StartScriptText("night.txt", "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n[F1 TT S 45.00]\r\n"));
  f.Timer1Tick();  // the banner
  f.Sent();
  f.channel.openablePorts = {"ttyUSB9"};
  LoseLink(f);
  f.Timer1Tick(5);
  EXPECT_TRUE(Logged(f, "-------Script held: the link to the controller is lost"));
  f.channel.openablePorts = {};
  f.Tick(15);
  f.Tick();
  f.Receive("[F1 IS 0---]\r\n");
  f.Sent();
  f.Timer1Tick(3);  // still reading the controller
  EXPECT_TRUE(f.Sent().empty());
  f.RunStartup();
  f.Timer1Tick();
  EXPECT_TRUE(Logged(f, "-------Script goes on"));
  EXPECT_EQ(f.Sent(), (Lines{"[F1 TT S 45.00]"}));
}

TEST(LostLink, AScriptHoldsWhileTheExitQuestionIsOpen) {
  FormFixture f;
  Connect(f);
  f.Receive("[F1 IS 0-+S]\r\n");
  ASSERT_TRUE(f.form->CkB_SController_On->isChecked());
  ASSERT_TRUE(f.form->Engine.StartScriptText("night.txt", "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n[F1 TT S 45.00]\r\n"));
  f.Timer1Tick();
  f.Sent();
  Lines sentWhileAsked;
  f.dialogs.answers = {Answer::Cancel};
  f.dialogs.whileShown = [&] {
    f.Timer1Tick(3);
    sentWhileAsked = f.Sent();
  };
  EXPECT_FALSE(f.form->close());
  ASSERT_EQ(f.dialogs.shown.back().text, "Turn temperature control off?");
  EXPECT_TRUE(sentWhileAsked.empty()) << sentWhileAsked.front();
  EXPECT_TRUE(Logged(f, "-------Script held: the program is asking a question"));
  f.dialogs.whileShown = nullptr;
  f.Timer1Tick(2);
  EXPECT_EQ(f.Sent().back(), "[F1 TT S 45.00]");
}

TEST(LostLink, NothingSteersTowardsLosingTheSeries) {
  FormFixture f;
  Connect(f);
  const std::string sample = f.SeriesText(1);
  LoseLink(f);
  EXPECT_EQ(f.form->L_ErrorNotice->text().toStdString().find("Restart"), std::string::npos);
  // "Clear" leaves Reconnect reachable while the link is lost.
  f.form->Btn_ErrorNoticeClick(f.form->Btn_ErrorNotice);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
  EXPECT_TRUE(f.form->Btn_ErrorNotice->isHidden());

  // Restart asks before it clears; Cancel changes nothing.
  f.dialogs.answers = {Answer::Cancel};
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].caption, "Restart");
  EXPECT_EQ(f.SeriesText(1), sample);
  EXPECT_FALSE(f.form->Search.Searching);
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  EXPECT_EQ(f.dialogs.shown.size(), 2u);
  EXPECT_EQ(f.SeriesText(1), "");
  EXPECT_FALSE(f.form->Btn_ErrorNotice->isHidden());
}

// The strip has several writers: none wipes another's sentence that still holds.
TEST(LostLink, TheSpectrometerSentenceOutlivesTheControllersNotice) {
  FormFixture f;
  Connect(f);
  f.form->ShowSpectrometerLinkLost(true, "ttyUSB3");
  LoseLink(f);
  const std::string both = f.form->L_ErrorNotice->text().toStdString();
  EXPECT_NE(both.find("controller on ttyUSB0"), std::string::npos) << both;
  EXPECT_NE(both.find("Spectrometer link lost on ttyUSB3"), std::string::npos) << both;
  EXPECT_EQ(f.form->L_ErrorNotice->toolTip().toStdString(), both);
  f.Tick(15);
  ComeBack(f);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  const std::string left = f.form->L_ErrorNotice->text().toStdString();
  EXPECT_EQ(left.find("Spectrometer link lost on ttyUSB3"), 0u) << left;
  EXPECT_EQ(f.form->L_ErrorNotice->toolTip().toStdString(), left);
  f.form->ShowSpectrometerLinkLost(false, "ttyUSB3");
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
}

TEST(LostLink, AJournalFailureKeepsTheLostLinkNoticeAndItsReconnect) {
  FormFixture f;
  Connect(f);
  f.channel.openablePorts = {"ttyUSB9"};
  LoseLink(f);
  const QString lost = f.form->L_ErrorNotice->text();
  f.form->JournalWriteFailed("disk full");
  EXPECT_EQ(f.form->L_ErrorNotice->text(), lost);
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
  f.channel.openablePorts = {};
  f.Tick(15);
  ComeBack(f);
  EXPECT_NE(f.form->L_ErrorNotice->text().toStdString().find("journal still cannot write"), std::string::npos);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
}

TEST(LostLink, RestartHidesTheNotice) {
  FormFixture f;
  Connect(f);
  LoseLink(f);
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(f.form->Btn_Reconnect->isHidden());
  EXPECT_TRUE(f.form->Search.Searching);
}

TEST(LostLink, APortThatFailsDuringTheSearchIsPassedOverQuietly) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  f.Tick();
  LoseLink(f);
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(f.form->Btn_Reconnect->isHidden());
  f.Tick(10);
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB1", "ttyUSB0"}));
  EXPECT_TRUE(f.channel.active);
}

// ---- Over a pseudo-terminal --------------------------------------------------------

TEST(LostLinkOverPty, TheDeviceGoingAwayShowsTheNotice) {
  sim::PseudoTerminal pty;
  ASSERT_TRUE(pty.Open());
  const std::string path = pty.SlavePath();
  QtSerialChannel channel;
  SteadyTickSource ticks;
  WindowDoubles doubles;
  FormOptions options;
  options.automaticSearch = false;
  options.extraPorts = {path};
  FormA form(doubles.With(channel, ticks), options);
  form.Btn_COMClick(form.Btn_COM);
  ASSERT_TRUE(channel.Active()) << channel.LastError();

  std::string received;
  bool answered = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        char buffer[256];
        ssize_t n;
        while ((n = ::read(pty.MasterFd(), buffer, sizeof buffer)) > 0) received.append(buffer, std::size_t(n));
        if (!answered && received.find("[F1 IS ?]") != std::string::npos) {
          const std::string reply = "[F1 IS 0---]\r\n[F1 CT 22.00]\r\n";
          answered = ::write(pty.MasterFd(), reply.data(), reply.size()) == ssize_t(reply.size());
        }
        return form.Controller.ControllerFound && !form.SeriesMemos[0]->toPlainText().isEmpty();
      },
      10000));

  pty.Close();
  ASSERT_TRUE(WaitUntil([&] { return !form.Panel_ErrorNotice->isHidden(); }, 5000))
      << "the serial channel did not report the hang-up";
  EXPECT_FALSE(channel.Active());
  EXPECT_FALSE(form.Btn_Reconnect->isHidden());
  EXPECT_NE(form.L_ErrorNotice->text().toStdString().find(path), std::string::npos);
  EXPECT_FALSE(form.SeriesMemos[0]->toPlainText().isEmpty());

  // The device is gone for good: reconnecting says so and keeps the notice.
  form.Btn_ReconnectClick(form.Btn_Reconnect);
  EXPECT_EQ(doubles.dialogs.shown.size(), 1u);
  EXPECT_FALSE(form.Panel_ErrorNotice->isHidden());
  form.Shell.CloseAsked = false;
}

}  // namespace
}  // namespace vireo::testing
