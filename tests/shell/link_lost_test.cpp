// A controller link that fails under an open connection (device unplugged,
// Bluetooth dropped): the notice strip, Reconnect, and Restart.
#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "controller/qt_serial_channel.h"
#include "shell/widgets.h"
#include "sim/pseudo_terminal.h"
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

TEST(LostLink, ShowsANoticeWithReconnectAndWritesNothingMore) {
  FormFixture f;
  Connect(f);
  const std::string sample = f.SeriesText(1);
  const std::string reference = f.SeriesText(2);
  LoseLink(f);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
  const std::string notice = f.form->L_ErrorNotice->text().toStdString();
  EXPECT_NE(notice.find("ttyUSB0"), std::string::npos) << notice;
  EXPECT_NE(notice.find("Reconnect"), std::string::npos) << notice;

  f.form->M_Plot_StopClick(f.form->M_Plot_Stop);
  f.Tick(20);
  EXPECT_TRUE(f.channel.written.empty());
  EXPECT_EQ(f.SeriesText(1), sample);
  EXPECT_EQ(f.SeriesText(2), reference);
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(LostLink, ReconnectReopensThePortKeepsTheSeriesAndAsksForReportsAgain) {
  FormFixture f;
  Connect(f);
  const std::string sample = f.SeriesText(1);
  LoseLink(f);
  f.form->Btn_ReconnectClick(nullptr);
  EXPECT_FALSE(f.channel.active);

  f.form->Btn_ReconnectClick(f.form->Btn_Reconnect);
  EXPECT_TRUE(f.channel.active);
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB0", "ttyUSB0"}));
  EXPECT_TRUE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(f.form->Btn_Reconnect->isHidden());
  EXPECT_EQ(f.RunStartup(), (Lines{"[F1 CT +3]", "[F1 HT +3]", "[R1 CT +3]", "[R1 HT +3]"}));
  EXPECT_EQ(f.SeriesText(1), sample);
  f.Receive("[F1 CT 25.50]\r\n");
  EXPECT_GT(f.SeriesText(1).size(), sample.size());
}

TEST(LostLink, AFailedReconnectSaysWhyAndKeepsTheNotice) {
  FormFixture f;
  Connect(f);
  LoseLink(f);
  f.channel.openablePorts = {"ttyUSB7"};
  f.form->Btn_ReconnectClick(f.form->Btn_Reconnect);
  EXPECT_FALSE(f.channel.active);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_NE(f.dialogs.shown[0].text.find("ttyUSB0"), std::string::npos);
  EXPECT_FALSE(f.form->Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(f.form->Btn_Reconnect->isHidden());
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
