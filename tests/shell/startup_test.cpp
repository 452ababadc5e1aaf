// The main window's life: the small search window at start, the working
// window after first contact, Restart, closing with the controller left in a
// safe state, Help and About.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "shell/widgets.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

// Connected to a controller that identified itself; its start-up sequence
// has run. Nothing sent is left to read.
void Connect(FormFixture& f, const std::string& model, const std::string& version) {
  f.ConnectAndAnswer();
  f.Receive("[F1 VN " + version + "]\r\n[F1 ID " + model + "]\r\n");
  f.RunStartup();
  f.Sent();
}

TEST(StartupWindow, IsSmallWithTheSearchBoxAndDisabledMenus) {
  FormFixture f;
  FormA& w = *f.form;
  EXPECT_EQ(w.width(), 432);
  EXPECT_EQ(w.height(), 239);
  EXPECT_EQ(w.windowTitle(), QString::fromLatin1(kAppTitle));
  EXPECT_EQ(w.Panel_Status->width(), 0);
  EXPECT_TRUE(w.Panel_Plot->isHidden());
  EXPECT_TRUE(w.Panel_tT_Data->isHidden());
  EXPECT_TRUE(w.Panel_ErrorNotice->isHidden());
  EXPECT_EQ(w.GBox_COM->pos(), QPoint(27, 23));
  EXPECT_FALSE(w.GBox_COM->isHidden());
  EXPECT_FALSE(w.M_Tools->menuAction()->isEnabled());
  EXPECT_FALSE(w.M_Data->menuAction()->isEnabled());
  EXPECT_FALSE(w.M_Plot->menuAction()->isEnabled());
  EXPECT_TRUE(w.M_Spectrometer->isVisible());
  EXPECT_EQ(w.M_Help_Help->text(), QStringLiteral("Vireo &Help"));
  EXPECT_EQ(w.M_Help_About->text(), QStringLiteral("&About Vireo"));
}

TEST(StartupWindow, GrowsToItsWorkingSizeAtFirstContact) {
  FormFixture f;
  f.ConnectAndAnswer();
  FormA& w = *f.form;
  EXPECT_EQ(w.width(), 825);
  EXPECT_EQ(w.height(), 600);
  EXPECT_EQ(w.Panel_Status->width(), 151);
  EXPECT_EQ(w.Panel_Plot->pos(), QPoint(151, 1));
  EXPECT_TRUE(w.GBox_COM->isHidden());
  EXPECT_TRUE(w.M_Tools->menuAction()->isEnabled());
  EXPECT_FALSE(w.M_File_WorkOffline->isVisible());
  EXPECT_EQ(w.Layout.LayoutWidth, 674);
  EXPECT_EQ(w.Layout.LayoutHeight, 510);
  // The plot shows once the controller says it controls temperatures.
  f.Receive("[F1 ID 11]\r\n");
  EXPECT_FALSE(w.Panel_Plot->isHidden());
  EXPECT_EQ(w.Panel_Plot->size(), QSize(674, 510));
}

// ---- Closing -----------------------------------------------------------------------

struct CloseCase {
  const char* name;
  const char* model;
  const char* version;
  const char* status;  // the last status report: stirrer and control flags
  Answer answer;
  bool asked;
  Lines sent;
};

class Closing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(Closing, LeavesTheControllerSafe) {
  const CloseCase& c = GetParam();
  FormFixture f;
  Connect(f, c.model, c.version);
  f.Receive(std::string(c.status) + "\r\n");
  f.Sent();
  f.dialogs.answers = {c.answer};
  EXPECT_TRUE(f.form->close());
  EXPECT_EQ(f.Sent(), c.sent);
  ASSERT_EQ(f.dialogs.shown.size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(f.dialogs.shown[0].text, "Turn temperature control off?");
    EXPECT_EQ(f.dialogs.shown[0].caption, "Question");
    EXPECT_EQ(f.dialogs.shown[0].buttons, Buttons::YesNoCancel);
  }
  EXPECT_TRUE(f.form->Shell.Closing);
  EXPECT_EQ(f.channel.flushes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Controllers, Closing,
    ::testing::Values(
        // The reference holder of a linked two-holder controller follows the sample holder.
        CloseCase{"YesBothHoldersAndStirrer", "24", "2.30", "[F1 IS 0++S]", Answer::Yes, true,
                  {"[F1 TC -]", "[R1 TC -]", "[F1 SS -]"}},
        CloseCase{"YesOneHolder", "11", "2.30", "[F1 IS 0-+S]", Answer::Yes, true, {"[F1 TC -]"}},
        CloseCase{"NoSendsNothing", "11", "2.30", "[F1 IS 0++S]", Answer::No, true, {}},
        CloseCase{"Model13WithoutAsking", "13", "1.00", "[F1 IS 0++S]", Answer::No, false,
                  {"[F1 TC -]", "[F1 SS -]"}},
        CloseCase{"Firmware70StopsTheStirrer", "11", "7.00", "[F1 IS 0++S]", Answer::Yes, true,
                  {"[F1 TC -]", "[F1 SS -]"}},
        CloseCase{"Firmware70LeavesAStoppedStirrer", "11", "7.00", "[F1 IS 0-+S]", Answer::Yes, true,
                  {"[F1 TC -]"}},
        CloseCase{"NewerFirmwareStartsTheStirrerOnNo", "11", "7.20", "[F1 IS 0-+S]", Answer::No, true,
                  {"[F1 SS +]"}},
        CloseCase{"NewerFirmwareStartsTheStirrerOnYes", "11", "7.20", "[F1 IS 0-+S]", Answer::Yes, true,
                  {"[F1 TC -]", "[F1 SS +]"}},
        CloseCase{"NewerFirmwareLeavesARunningStirrer", "11", "7.20", "[F1 IS 0++S]", Answer::Yes, true,
                  {"[F1 TC -]"}},
        CloseCase{"NewerFirmwareWithControlOffStillStartsTheStirrer", "11", "7.20", "[F1 IS 0---]", Answer::Yes,
                  false, {"[F1 SS +]"}},
        CloseCase{"OlderFirmwareWithControlOffSendsNothing", "11", "2.30", "[F1 IS 0+--]", Answer::Yes, false,
                  {}}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(ClosingCancelled, KeepsTheWindowOpenAndTheNextCloseAsksAgain) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 IS 0++S]\r\n");
  f.Sent();
  f.dialogs.answers = {Answer::Cancel, Answer::Yes};
  EXPECT_FALSE(f.form->close());
  EXPECT_TRUE(f.Sent().empty());
  EXPECT_FALSE(f.form->Shell.Closing);
  EXPECT_TRUE(f.form->Shell.CloseAsked);
  // Still listening to the controller.
  f.Receive("[F1 CT 30.00]\r\n");
  EXPECT_NE(f.SeriesText(1), "");

  EXPECT_TRUE(f.form->close());
  EXPECT_EQ(f.dialogs.shown.size(), 2u);
  EXPECT_EQ(f.Sent(), (Lines{"[F1 TC -]", "[F1 SS -]"}));
  EXPECT_TRUE(f.form->Shell.Closing);
}

TEST(ClosingWithoutLink, AsksNothingAndSendsNothing) {
  FormFixture f;
  Connect(f, "11", "7.20");
  f.Receive("[F1 IS 0++S]\r\n");
  f.Sent();
  f.channel.active = false;
  EXPECT_TRUE(f.form->close());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_TRUE(f.channel.written.empty());
  EXPECT_EQ(f.channel.flushes, 0);
}

TEST(ClosingWithoutLink, ManualProbeOfASilentPortSendsNothingAtClose) {
  FormOptions manual;
  manual.automaticSearch = false;
  FormFixture f({"ttyUSB0"}, manual);
  f.form->Btn_COMClick(f.form->Btn_COM);
  f.Timer1Tick();
  f.Sent();
  EXPECT_TRUE(f.form->close());
  EXPECT_TRUE(f.Sent().empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(ClosedWindow, IgnoresWhatArrivesAfterwards) {
  FormFixture f;
  Connect(f, "11", "2.30");
  const std::string series = f.SeriesText(1);
  const QString shown = f.form->L_S_Temperature->text();
  ASSERT_TRUE(f.form->close());
  f.Receive("[F1 CT 31.25]\r\n");
  EXPECT_EQ(f.SeriesText(1), series);
  EXPECT_EQ(f.form->L_S_Temperature->text(), shown);
}

TEST(Exit, StopsRecordingThenClosesAskingAboutTemperatureControl) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 IS 0-+S]\r\n");
  f.Sent();
  f.form->M_File_ExitClick(nullptr);
  EXPECT_FALSE(f.form->Shell.Closing);
  f.dialogs.answers = {Answer::Yes};
  f.form->M_File_ExitClick(f.form->M_File_Exit);
  EXPECT_EQ(f.form->Recording.PlotInterval, 0);
  EXPECT_FALSE(f.form->Recording.LivePlot);
  EXPECT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.Sent(), Lines{"[F1 TC -]"});
  EXPECT_TRUE(f.form->Shell.Closing);
}

// ---- Help and About ------------------------------------------------------------------

TEST(Help, OpensTheManualBesideTheProgram) {
  FormFixture f;
  f.form->M_Help_HelpClick(nullptr);
  EXPECT_TRUE(f.desktop.documents.empty());
  f.form->M_Help_HelpClick(f.form->M_Help_Help);
  ASSERT_EQ(f.desktop.documents.size(), 1u);
  EXPECT_EQ(f.desktop.documents[0],
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Vireo Help.html")).toStdString());
}

TEST(About, ShowsTheVersionInAShortBox) {
  FormFixture f;
  f.form->M_Help_AboutClick(f.form->M_Help_About);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  const auto& box = f.dialogs.shown[0];
  EXPECT_EQ(box.caption, "About Vireo");
  EXPECT_EQ(box.buttons, Buttons::Ok);
  EXPECT_EQ(box.text.rfind("Version 1.50M\n\n", 0), 0u) << box.text;
  EXPECT_LE(box.text.size(), 104u);
}

// ---- Restart -------------------------------------------------------------------------

TEST(Restart, WithoutAConnectionReturnsToTheSearch) {
  FormFixture f({"ttyUSB0", "ttyUSB1"});
  f.Tick();
  f.Timer1Tick();
  ASSERT_TRUE(f.channel.active);
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  EXPECT_FALSE(f.channel.active);
  EXPECT_EQ(f.form->RunState, kRunIdle);
  EXPECT_FALSE(f.form->Timer1->isActive());
  EXPECT_TRUE(f.form->Search.Searching);
  EXPECT_EQ(f.form->width(), 432);
  EXPECT_EQ(f.form->height(), 239);
  EXPECT_TRUE(f.DisplayLog().empty());
  f.Tick();
  EXPECT_EQ(f.channel.opened, (Lines{"ttyUSB1", "ttyUSB1"}));
}

TEST(Restart, AfterAConnectionReturnsToTheSmallWindowAndClearsTheSeries) {
  FormFixture f;
  Connect(f, "24", "2.30");
  f.Receive("[F1 CT 25.00]\r\n[F1 PR +]\r\n");
  f.form->GBox_COMDblClick(f.form->GBox_COM);
  f.form->Controller.ModemWarningArmed = false;
  ASSERT_NE(f.SeriesText(1), "");

  f.form->M_File_RestartClick(f.form->M_File_Restart);
  FormA& w = *f.form;
  EXPECT_EQ(w.width(), 432);
  EXPECT_EQ(w.height(), 239);
  EXPECT_EQ(w.Panel_Status->width(), 0);
  EXPECT_TRUE(w.Panel_Plot->isHidden());
  EXPECT_FALSE(w.GBox_COM->isHidden());
  EXPECT_TRUE(w.Panel_Failed->isHidden());
  EXPECT_FALSE(w.M_Tools->menuAction()->isEnabled());
  EXPECT_TRUE(w.M_File_WorkOffline->isVisible());
  EXPECT_EQ(w.windowTitle(), QString::fromLatin1(kAppTitle));
  EXPECT_EQ(f.SeriesText(1), "");
  EXPECT_TRUE(f.DisplayLog().empty());
  EXPECT_FALSE(w.Controller.ControllerFound);
  EXPECT_FALSE(w.Controller.ProbePresent);
  EXPECT_FALSE(w.Controller.EchoQueries);
  EXPECT_TRUE(w.Controller.ModemWarningArmed);
  EXPECT_FALSE(f.channel.active);
  EXPECT_TRUE(w.Search.Searching);

  // The next controller gets the whole start-up sequence again.
  f.ConnectAndAnswer();
  const Lines sent = f.RunStartup();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "[F1 VN ?]");
  EXPECT_EQ(w.width(), 825);
}

TEST(Restart, TheNextControllerStartsUnlinkedWhateverTheLastOneWas) {
  FormFixture f;
  Connect(f, "24", "2.30");
  ASSERT_TRUE(f.form->M_Tools_Link_RtoS->isChecked());
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  Connect(f, "11", "2.30");
  // A one-holder controller has nothing to link.
  EXPECT_FALSE(f.form->M_Tools_Link_RtoS->isVisible());
  EXPECT_FALSE(f.form->M_Data_Copy_Items[1]->isVisible());
  EXPECT_FALSE(f.form->M_Plot_Shown_Items[1]->isVisible());

  // A two-holder controller after it starts linked, as on the first connection.
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  Connect(f, "24", "2.30");
  EXPECT_TRUE(f.form->M_Tools_Link_RtoS->isChecked());
  EXPECT_TRUE(f.form->GrB_R_Holder->isHidden());
}

TEST(Restart, WithoutSenderKeepsTheSeries) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.Receive("[F1 CT 25.00]\r\n");
  const std::string series = f.SeriesText(1);
  f.form->M_File_RestartClick(nullptr);
  EXPECT_EQ(f.SeriesText(1), series);
  EXPECT_TRUE(f.form->Search.Searching);
}

TEST(Restart, ClosesAnOpenCommandPanel) {
  FormFixture f;
  Connect(f, "11", "2.30");
  f.form->Panels.PanelMode = kPanelCommand;
  f.form->Panel_Cmd_Scr->resize(230, f.form->Panel_Cmd_Scr->height());
  f.form->resize(f.form->width() + 230, f.form->height());
  FormA::Show(f.form->M_Tools_HideWindow, true);
  FormA::Enable(f.form->M_Tools_HideWindow, true);
  FormA::Enable(f.form->M_Tools_CommandWindow, false);
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  EXPECT_EQ(f.form->Panels.PanelMode, kPanelHidden);
  EXPECT_EQ(f.form->Panel_Cmd_Scr->width(), 1);
  EXPECT_FALSE(f.form->M_Tools_HideWindow->isVisible());
  EXPECT_TRUE(f.form->M_Tools_CommandWindow->isEnabled());
  EXPECT_EQ(f.form->width(), 432);
}

}  // namespace
}  // namespace vireo::testing
