// The spectrometer window beside a main window, both on test doubles: the
// instrument's bytes go in through the spectrometer's fake channel, the
// controller's reports through the main window's.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "control/text_helpers.h"

#include "recording/series_memo.h"
#include "shell/hint_timing.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"
#include "status/program_events.h"
#include "support/form_fixture.h"
#include "support/recording_journal.h"

namespace vireo::testing {
namespace {

class SpectrometerWindow : public ::testing::Test {
 protected:
  SpectrometerWindow() {
    ports.ports = {"ttyUSB1"};
    S = std::make_unique<TFormS>(FormSServices{channel, f.dialogs, f.clipboard, ports},
                                 FormSContext{W().Controller, W().Recording, W().Renderer, f.form.get(), &journal, {}});
    W().AttachSpectrometerWindow(*S);
  }
  ~SpectrometerWindow() override { W().FormS = nullptr; }

  FormA& W() { return *f.form; }
  // Opens the window and connects to the listed port; what was written is dropped.
  void Connect() {
    W().M_SpectrometerClick(W().M_Spectrometer);
    S->Btn_COMClick(S->Btn_COM);
    channel.Receive(std::string(1, kAck));  // the wavelength goes out
    channel.Receive(std::string(1, kEot));  // and is set
    channel.written.clear();
  }
  // A sample temperature report, with the instrument's answers to the reading it asks.
  void ReportAndRead(const std::string& report, const std::string& reply) {
    f.Receive(report + "\r\n");
    channel.Receive(std::string(1, kAck));
    channel.Receive(reply + kEot);
  }
  std::vector<std::string> TableLines() const {
    std::vector<std::string> lines;
    for (const QString& l : S->Memo_Received->toPlainText().split(QLatin1Char('\n'))) lines.push_back(l.toStdString());
    return lines;
  }
  void Enter(EditBox* box, const char* text) {
    box->setText(QString::fromLatin1(text));
    S->EB_PlotLimitExit(box);
  }

  struct RecordedEvents : ProgramEvents {
    void Raise(ProgramEvent event, std::string_view) override { names.emplace_back(EventName(event)); }
    std::vector<std::string> names;
  } events;
  FormFixture f{{"ttyUSB0"}, [this] {
                  FormOptions options;
                  options.events = &events;
                  return options;
                }()};
  FakeSerialChannel channel;
  FixedPortLister ports;
  RecordingJournal journal;
  std::unique_ptr<TFormS> S;
};

TEST_F(SpectrometerWindow, EachWindowShowsItsHintsForItsOwnTime) {
  const auto displayTimes = [](const QObject& window) {
    std::vector<int> times;
    for (const QObject* child : window.children()) {
      if (const auto* timing = dynamic_cast<const HintTiming*>(child)) times.push_back(timing->DisplayMs());
    }
    return times;
  };
  EXPECT_EQ(displayTimes(W()), std::vector<int>{10000});
  EXPECT_EQ(displayTimes(*S), std::vector<int>{5000});
}

TEST_F(SpectrometerWindow, OpeningTheWindowListsPortsAndRunsTheTimer) {
  W().M_SpectrometerClick(W().M_Spectrometer);
  EXPECT_TRUE(S->isVisible());
  EXPECT_EQ(S->Combo_COM->currentText(), "ttyUSB1");
  EXPECT_EQ(W().RunState, kRunIdleTimer);
  EXPECT_EQ(W().Timer1->interval(), 600);
  EXPECT_TRUE(W().Timer1->isActive());
  W().M_SpectrometerClick(W().M_Spectrometer);
  EXPECT_FALSE(S->isVisible());
}

TEST_F(SpectrometerWindow, ConnectOpensTheLinkAndWritesTheHeader) {
  W().SetAxisLabels("temperature", "time");
  Connect();
  S->Btn_PlotOrDataClick(S->Btn_PlotOrData);
  // The main plot keeps its labels: "absorbance" is this plot's.
  EXPECT_EQ(W().Renderer.VerticalAxisLabel.View(), "temperature");
  EXPECT_EQ(W().Renderer.HorizontalAxisLabel.View(), "time");
  EXPECT_EQ(channel.opened, std::vector<std::string>({"ttyUSB1", "ttyUSB1"}));  // connect, then Clear's refresh
  EXPECT_EQ(channel.settings.baudRate, 9600);
  EXPECT_FALSE(channel.settings.dtr);
  EXPECT_TRUE(channel.settings.rts);
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800  on ttyUSB1");
  EXPECT_TRUE(S->GBox_COM->isHidden());
  EXPECT_FALSE(S->CkB_Sample->isHidden());
  EXPECT_EQ(TableLines(), std::vector<std::string>({"   P/S\t nm\t min\t  \u00B0C\t  abs"}));
  // The refresh lets the wavelength's ENQ reach the instrument before it reopens.
  EXPECT_GE(channel.flushes, 1);
  EXPECT_EQ(S->Protocol.Link().PendingCommand.View(), "");
}

TEST_F(SpectrometerWindow, TheWavelengthGoesOutAfterConnectsLastPurge) {
  // An instrument that answers ENQ at once must find the ACK still wanted.
  W().M_SpectrometerClick(W().M_Spectrometer);
  S->Btn_COMClick(S->Btn_COM);
  EXPECT_EQ(channel.written.substr(channel.writtenAtPurge), std::string(1, kEnq));
  channel.Receive(std::string(1, kAck));
  EXPECT_EQ(channel.written.substr(channel.writtenAtPurge), std::string("\x05w5500") + '\0');
  // No reading before the instrument is at the wavelength.
  S->CkB_Sample->setChecked(true);
  S->RequestReading('S', " 1.000\t 20.00");
  EXPECT_EQ(channel.written.substr(channel.writtenAtPurge), std::string("\x05w5500") + '\0');
}

TEST_F(SpectrometerWindow, EnterInTheWavelengthBoxSetsIt) {
  Connect();
  S->Edit_WLnm->setText(QStringLiteral("600"));
  S->Edit_WLnmKeyPress(S->Edit_WLnm);
  EXPECT_EQ(S->Edit_WLnm->text(), "600.0");
  channel.Receive(std::string(1, kAck));
  EXPECT_EQ(channel.written, std::string("\x05w6000") + '\0');
}

TEST_F(SpectrometerWindow, ReadingsFollowTheSettledSampleAndProbeReports) {
  f.ConnectAndAnswer();
  Connect();
  S->CkB_Sample->setChecked(true);
  EXPECT_FALSE(S->Btn_Clear->isEnabled());
  ReportAndRead("[F1 CT 25.00]", "d 0.1000");
  // Both ticked: the probe wins.
  S->CkB_Probe->setChecked(true);
  ReportAndRead("[F1 CT 26.00]", "d 0.2000");
  ReportAndRead("[F1 PT 26.50]", "d 0.3000");
  // While the changer moves no reading is taken, for the probe as for the sample.
  W().Controller.PositionSettled = false;
  ReportAndRead("[F1 PT 27.00]", "d 0.4000");
  W().Controller.PositionSettled = true;
  // Unticking the probe resumes sample readings at once.
  S->CkB_Probe->setChecked(false);
  ReportAndRead("[F1 CT 28.00]", "d 0.5000");
  const std::vector<std::string> lines = TableLines();
  ASSERT_EQ(lines.size(), 4u);
  const char* expected[] = {"    S", "    P", "    S"};
  const char* readings[] = {" 0.1000", " 0.3000", " 0.5000"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i + 1].substr(0, 5), expected[i]);
    EXPECT_NE(lines[i + 1].find(std::string(readings[i]) + "\t\t\t\t\t"), std::string::npos) << lines[i + 1];
  }
  S->CkB_Sample->setChecked(false);
  EXPECT_TRUE(S->Btn_Clear->isEnabled());
}

TEST_F(SpectrometerWindow, ChangerTablesHaveAColumnPerPosition) {
  W().Controller.PositionCount = 6;
  W().Controller.CuvettePosition = 3;
  Connect();
  EXPECT_EQ(TableLines()[0], "   P/S\t nm\t min\t  \u00B0C\t abs(1)\t abs(2)\t abs(3)\t abs(4)\t abs(5)\t abs(6)");
  S->RequestReading('S', " 1.234\t 25.00");
  channel.Receive(std::string(1, kAck));
  channel.Receive("d 0.4321\x04");
  EXPECT_EQ(TableLines().back(), "    S\t550.0\t 1.234\t 25.00\t\t\t 0.4321\t\t\t");
  EXPECT_EQ(S->Table.Points(3, PlotQuantity::Temperature).Count(), 1u);
  EXPECT_TRUE(S->State.MultiCellTable);
}

TEST_F(SpectrometerWindow, ReadingsDrawnOnTopOfThePlotPaintAsAWholeRedraw) {
  Connect();
  S->Btn_PlotOrDataClick(S->Btn_PlotOrData);
  std::string text = std::string(kOneCellHeader) + "\r\n";
  for (int i = 0; i < 40; ++i) {
    text += Format("    S\t550.0\t%d\t %d.%d\t %.4f\t\t\t\t\t\r\n", i, 20 + i % 7, i % 10, 0.1 + 0.01 * (i % 5));
  }
  S->SetTableText(text);  // sets the axes: the readings below stay within them
  for (const char* reading : {"d 0.1100", "d 0.1300", "d 0.1200"}) {
    S->RequestReading('S', " 5.000\t 23.50");
    channel.Receive(std::string(1, kAck));
    channel.Receive(std::string(reading) + kEot);
  }
  ASSERT_EQ(S->Table.RecordCount(), 43u);
  const QImage drawnOnTop = S->SImage->Picture().copy();
  S->Picture.valid = false;
  S->RedrawSpectrometerPlot();
  EXPECT_TRUE(drawnOnTop == S->SImage->Picture());
  // A loaded table with the same axes and more readings is another picture.
  for (int i = 0; i < 5; ++i) text.insert(text.find("\r\n") + 2, "    S\t550.0\t2\t 21.0\t 0.1400\t\t\t\t\t\r\n");
  S->SetTableText(text);
  const QImage loaded = S->SImage->Picture().copy();
  S->Picture.valid = false;
  S->RedrawSpectrometerPlot();
  EXPECT_TRUE(loaded == S->SImage->Picture());
}

TEST_F(SpectrometerWindow, LoadedTablesShowCellBoxesForLongHeaders) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("t.txt")).toStdString();
  Connect();
  S->Btn_PlotOrDataClick(S->Btn_PlotOrData);  // the plot is shown
  struct Case {
    std::string header;
    bool cellBoxes;
  };
  for (const Case& c : {Case{std::string(30, 'h'), false}, Case{std::string(31, 'h'), true}}) {
    S->GB_ShowControl->hide();
    S->SetTableText(c.header + "\r\n    S\t550.0\t 1\t 25\t 0.5\t\t\t\t\t\r\n");
    EXPECT_EQ(S->GB_ShowControl->isVisible(), c.cellBoxes) << c.header.size();
  }
  // Loading goes through the file dialog and keeps the bytes as they are.
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("h\nline\n");
  file.close();
  f.dialogs.fileNames.push_back(path);
  S->Btn_SaveClick(S->Btn_Save);  // reads "Load File" after Clear
  EXPECT_EQ(S->Table.Text(), "h\nline\n");
}

TEST_F(SpectrometerWindow, SavingWritesTheTableAndReportsFailures) {
  QTemporaryDir dir;
  Connect();
  S->CkB_Sample->setChecked(true);  // "Save Data"
  const std::string path = dir.filePath(QStringLiteral("s.txt")).toStdString();
  f.dialogs.fileNames.push_back(path);
  S->Btn_SaveClick(S->Btn_Save);
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), S->Table.Text());
  f.dialogs.fileNames.push_back(dir.filePath(QStringLiteral("no/such/dir.txt")).toStdString());
  S->Btn_SaveClick(S->Btn_Save);
  ASSERT_FALSE(f.dialogs.shown.empty());
  EXPECT_EQ(f.dialogs.shown.back().text, "Failed to open stream.");
  EXPECT_EQ(f.dialogs.shown.back().caption, "Save Data");
  // A full disk must not pass for a saved table.
  if (!QFile::exists(QStringLiteral("/dev/full"))) return;
  f.dialogs.fileNames.push_back("/dev/full");
  S->Btn_SaveClick(S->Btn_Save);
  EXPECT_EQ(f.dialogs.shown.back().text, "Failed to write /dev/full.");
}

TEST_F(SpectrometerWindow, PlotLimitBoxes) {
  Connect();
  S->SetTableText(std::string(kOneCellHeader) + "\r\n    S\t550.0\t 1\t 70\t 0.5\t\t\t\t\t\r\n" +
                  "    S\t550.0\t 2\t 80\t 0.6\t\t\t\t\t\r\n");
  Enter(S->EB_MinX, "60");
  EXPECT_EQ(S->EB_MinX->text(), "60");
  Enter(S->EB_MaxX, "50");
  EXPECT_EQ(f.dialogs.shown.back().caption, "Plot parameter error");
  EXPECT_EQ(S->EB_MaxX->text(), "A");
  EXPECT_TRUE(S->State.Limits.Settings[1].Automatic);
  Enter(S->EB_IncY, "a");
  EXPECT_EQ(S->EB_IncY->text(), "A");
  Enter(S->EB_IncX, "5");
  // "nm" resets the four minimum and maximum boxes, not the increments.
  S->RG_X_Units_Items->button(2)->click();
  for (EditBox* box : {S->EB_MinX, S->EB_MaxX, S->EB_MinY, S->EB_MaxY}) EXPECT_EQ(box->text(), "A");
  EXPECT_EQ(S->EB_IncX->text(), "5");
  EXPECT_FALSE(S->State.Limits.Settings[2].Automatic);
  EXPECT_EQ(S->State.Quantity, PlotQuantity::Wavelength);
  EXPECT_TRUE(S->L_temperature->isHidden());
}

TEST_F(SpectrometerWindow, HidingAndShowingTheMainWindow) {
  W().show();
  W().M_SpectrometerClick(W().M_Spectrometer);
  S->Panel_ControlDblClick(S->Panel_Control);
  EXPECT_FALSE(W().isVisible());
  EXPECT_EQ(S->Btn_HideWindow->text(), "Show Vireo");
  S->Btn_HideWindowClick(S->Btn_HideWindow);
  EXPECT_TRUE(W().isVisible());
  EXPECT_FALSE(S->isVisible());
  W().M_SpectrometerClick(W().M_Spectrometer);
  EXPECT_TRUE(S->isVisible());
  EXPECT_FALSE(W().isVisible());
}

TEST_F(SpectrometerWindow, MainWindowClearAndRestart) {
  Connect();
  S->SetTableText(std::string(kOneCellHeader) + "\r\n    S\t550.0\t 1\t 70\t 0.5\t\t\t\t\t\r\n");
  W().M_Plot_ClearAllClick(W().M_Plot_ClearAll);
  EXPECT_EQ(S->Table.RecordCount(), 0u);
  EXPECT_EQ(S->Table.Text(), std::string(kOneCellHeader) + "\r\n");
  S->CkB_Sample->setChecked(true);
  W().M_File_RestartClick(W().M_File_Restart);
  EXPECT_FALSE(channel.active);
  EXPECT_FALSE(S->GBox_COM->isHidden());
  EXPECT_FALSE(S->CkB_Sample->isChecked());
  EXPECT_FALSE(S->State.RecordSample);
  EXPECT_TRUE(S->Btn_Save->isHidden());
  // A lost link brings the connect box back; a command left waiting by the
  // earlier connection is not sent on the new one.
  channel.active = true;
  S->SendSpectrometerCommand("x");
  channel.active = false;
  Connect();
  EXPECT_FALSE(S->Protocol.Exchanging());
  channel.active = false;
  channel.onLost("unplugged");
  EXPECT_FALSE(S->GBox_COM->isHidden());
  EXPECT_EQ(S->Table.Text(), std::string(kOneCellHeader) + "\r\n");
  // With the port closed, Clear All leaves the table alone.
  S->SetTableText("kept\r\n");
  W().M_Plot_ClearAllClick(W().M_Plot_ClearAll);
  EXPECT_EQ(S->Table.Text(), "kept\r\n");
}

TEST_F(SpectrometerWindow, ARefreshThatCannotReopenThePortShowsTheLinkLost) {
  Connect();
  channel.openablePorts = {"elsewhere"};  // unplugged
  W().SpectrometerLinkRefresh();
  EXPECT_FALSE(S->SpectrometerPortOpen());
  EXPECT_FALSE(S->GBox_COM->isHidden());
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800  (link lost)");
  EXPECT_EQ(S->Table.Text(), std::string(kOneCellHeader) + "\r\n");
}

TEST_F(SpectrometerWindow, ALostPortIsTriedAgainAndRecordingGoesOnInTheSameTable) {
  f.ConnectAndAnswer();
  Connect();
  S->CkB_Sample->setChecked(true);
  ReportAndRead("[F1 CT 25.00]", "d 0.1000");
  f.Receive("[F1 CT 25.10]\r\n");  // asked, and then the adapter is pulled
  channel.active = false;
  channel.onLost("unplugged");
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800  (link lost)");
  EXPECT_FALSE(S->GBox_COM->isHidden());
  EXPECT_TRUE(S->Btn_Save->isHidden());  // the connect box is never under them
  EXPECT_TRUE(S->Btn_AutoZero->isHidden());
  EXPECT_FALSE(W().Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(W().L_ErrorNotice->text().startsWith(QStringLiteral("Spectrometer link lost on ttyUSB1")));
  EXPECT_NE(f.DisplayLog().back().find("Spectrometer link lost on ttyUSB1 (unplugged)"), std::string::npos);
  channel.written.clear();
  channel.openablePorts = {"elsewhere"};  // not back yet
  S->Timer_ReconnectTimer();
  f.Receive("[F1 CT 25.20]\r\n");
  EXPECT_TRUE(S->LinkLost());
  EXPECT_EQ(channel.written, "");
  channel.openablePorts.clear();
  S->Timer_ReconnectTimer();
  ASSERT_FALSE(S->LinkLost());
  EXPECT_EQ(channel.opened.back(), "ttyUSB1");
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800  on ttyUSB1");
  EXPECT_TRUE(W().Panel_ErrorNotice->isHidden());
  EXPECT_NE(f.DisplayLog().back().find("Spectrometer link back on ttyUSB1"), std::string::npos);
  EXPECT_EQ(events.names, (std::vector<std::string>{"link-lost", "link-back"}));  // once each, retries aside
  // The instrument may have been off: its wavelength is set before any reading.
  channel.Receive(std::string(1, kAck));
  EXPECT_EQ(channel.written, std::string("\x05w5500") + '\0');
  channel.Receive(std::string(1, kEot));
  ReportAndRead("[F1 CT 25.30]", "d 0.3000");
  const std::vector<std::string> lines = TableLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find(" 25.00\t 0.1000"), std::string::npos);
  EXPECT_NE(lines[2].find(" 25.30\t 0.3000"), std::string::npos);
}

TEST_F(SpectrometerWindow, ARestartWhileTheLinkIsLostClearsTheSentenceButTellsOfNoLinkBack) {
  Connect();
  channel.active = false;
  channel.onLost("unplugged");
  W().M_File_RestartClick(W().M_File_Restart);
  EXPECT_TRUE(W().Panel_ErrorNotice->isHidden());
  EXPECT_FALSE(S->LinkLost());
  EXPECT_EQ(events.names, (std::vector<std::string>{"link-lost"}));
}

TEST_F(SpectrometerWindow, AChangerWithMoreThanSixPositionsIsRecordedAtItsFirstOnly) {
  W().Controller.PositionCount = 8;
  W().Controller.CuvettePosition = 2;
  Connect();
  EXPECT_EQ(TableLines(), std::vector<std::string>({"   P/S\t nm\t min\t  \u00B0C\t  abs"}));
  EXPECT_NE(f.DisplayLog().back().find("8 positions"), std::string::npos);
  S->CkB_Sample->setChecked(true);
  S->RequestReading('S', " 1.000\t 20.00");
  EXPECT_EQ(channel.written, "");
  W().Controller.CuvettePosition = 1;
  S->RequestReading('S', " 1.100\t 21.00");
  channel.Receive(std::string(1, kAck));
  channel.Receive(std::string("d 0.2000\r\n") + kEot);
  EXPECT_EQ(TableLines().back(), "    S\t550.0\t 1.100\t 21.00\t 0.2000\t\t\t\t\t");
}

TEST_F(SpectrometerWindow, ReportsWithoutAReadingAreCountedAtTheEndOfTheRun) {
  Connect();
  S->CkB_Sample->setChecked(true);
  S->RequestReading('S', " 1.000\t 20.00");
  channel.Receive(std::string(1, kAck));
  const std::size_t before = f.DisplayLog().size();
  S->RequestReading('S', " 1.050\t 20.50");  // the instrument is slower than the reports
  S->RequestReading('S', " 1.100\t 21.00");
  EXPECT_EQ(f.DisplayLog().size(), before + 1);
  channel.Receive(std::string("d 0.2000") + kEot);
  S->CkB_Sample->setChecked(false);
  EXPECT_EQ(f.DisplayLog().back(), "Spectrometer: 2 temperature reports got no reading (the instrument was still busy)");
  EXPECT_EQ(TableLines().back(), "    S\t550.0\t 1.000\t 20.00\t 0.2000\t\t\t\t\t");
}

TEST_F(SpectrometerWindow, OfflineClearSwitchesBetweenOneAndSixCells) {
  W().Recording.OfflineMode = true;
  W().AppendRecord(1, 20.0f);
  W().M_SpectrometerClick(W().M_Spectrometer);
  S->Btn_COMClick(S->Btn_COM);
  EXPECT_TRUE(channel.opened.empty());
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800 (Simulation Mode)");
  EXPECT_EQ(S->Btn_Clear->text(), "Six Cell");
  EXPECT_EQ(TableLines(), std::vector<std::string>({"   P/S\t nm\t min\t  \u00B0C\t  abs"}));
  EXPECT_EQ(W().Controller.PositionCount, 1);
  EXPECT_EQ(f.SeriesText(1), "");
  S->Btn_ClearClick(S->Btn_Clear);
  EXPECT_EQ(S->Btn_Clear->text(), "One Cell");
  EXPECT_EQ(S->Table.Text(), std::string(kSixCellSimulationHeader) + "\r\n");
  EXPECT_TRUE(S->State.MultiCellTable);
  EXPECT_EQ(W().Controller.PositionCount, 6);
  EXPECT_EQ(S->State.SimulationRestarts, -1);
}

TEST_F(SpectrometerWindow, TheJournalGetsTheHeaderAndEachLiveReadingOnly) {
  f.ConnectAndAnswer();
  Connect();
  S->CkB_Sample->setChecked(true);
  ReportAndRead("[F1 CT 25.00]", "d 0.1000");
  const std::string record = TableLines().back();
  // A loaded table comes from disk already; the simulation's readings are no instrument's.
  S->SetTableText(std::string(kOneCellHeader) + "\r\n    S\t550.0\t 1\t 25\t 0.5\t\t\t\t\t\r\n");
  W().Recording.OfflineMode = true;
  S->Btn_ClearClick(nullptr);
  S->RequestReading('S', " 1.000\t 20.00");
  S->HandleSpectrometerBytes(std::string_view("d 0.2000"));  // as the simulation answers
  EXPECT_EQ(TableLines().size(), 2u);
  EXPECT_EQ(journal.calls, (std::vector<std::string>{"header " + std::string(kOneCellHeader), "spectrometer " + record}));
}

TEST_F(SpectrometerWindow, CommandPanelCalls) {
  Connect();
  W().SpectrometerWavelength('+', "50");
  EXPECT_EQ(S->Edit_WLnm->text(), "600.0");
  W().SpectrometerSend("W1234]");
  EXPECT_EQ(S->Protocol.Link().PendingCommand.View(), "w1234");
  W().SpectrometerSend("abcdefghij");  // too long for the instrument's buffer
  EXPECT_EQ(S->Protocol.Link().PendingCommand.View(), "w1234");
  EXPECT_NE(f.DisplayLog().back().find("not sent"), std::string::npos);
  W().SpectrometerRecordProbe(true);
  EXPECT_TRUE(S->State.RecordProbe);
  W().SpectrometerRecordSample(true);
  EXPECT_FALSE(S->State.RecordSample);
  W().SpectrometerRecordProbe(false);
  EXPECT_TRUE(S->State.RecordSample);
  // The link refresh does not reopen the port under a command's answer.
  const std::size_t opens = channel.opened.size();
  W().SpectrometerLinkRefresh();
  EXPECT_EQ(channel.opened.size(), opens);
  channel.Receive(std::string(1, kAck) + kEot);
  W().SpectrometerLinkRefresh();
  EXPECT_EQ(channel.opened.size(), opens + 1);
}

}  // namespace
}  // namespace vireo::testing
