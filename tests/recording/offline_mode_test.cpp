// Working offline: the main window as a viewer without a controller, and the
// spectrometer window's simulated experiment driven by the main window's
// timer. Both windows on test doubles; ticks are driven by hand.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "shell/widgets.h"
#include "spectrometer/form_s.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;
const std::string kTitle = std::string(kAppTitle) + " (Offline Mode)";

class Offline : public ::testing::Test {
 protected:
  Offline() {
    spectrometerPorts.ports = {"ttyUSB1"};
    S = std::make_unique<TFormS>(FormSServices{spectrometerChannel, f.dialogs, f.clipboard, spectrometerPorts},
                                 FormSContext{W().Controller, W().Recording, W().Renderer, f.form.get(), nullptr, {}});
    W().AttachSpectrometerWindow(*S);
  }
  ~Offline() override { W().FormS = nullptr; }

  FormA& W() { return *f.form; }
  void GoOffline() { W().Btn_OfflineClick(W().Btn_Offline); }
  // Offline, the spectrometer window opened and connected: one cell.
  void ConnectSimulation() {
    GoOffline();
    W().M_SpectrometerClick(W().M_Spectrometer);
    S->Btn_COMClick(S->Btn_COM);
  }
  // Whether `action` redrew the main plot.
  bool Redraws(const std::function<void()>& action) {
    W().Image->Picture().fill(Qt::magenta);
    action();
    return W().Image->Picture().pixelColor(2, 2) != QColor(Qt::magenta);
  }
  static Lines VisibleCaptions(QMenu* menu) {
    Lines captions;
    for (QAction* a : menu->actions()) {
      if (a->isVisible()) captions.push_back(a->text().toStdString());
    }
    return captions;
  }
  Lines TableLines() const {
    Lines lines;
    for (const QString& l : S->Memo_Received->toPlainText().split(QLatin1Char('\n'))) lines.push_back(l.toStdString());
    return lines;
  }
  QString WriteFile(const char* name, const char* text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }

  FormFixture f;  // searching ttyUSB0 from the first tick
  FakeSerialChannel spectrometerChannel;
  FixedPortLister spectrometerPorts;
  std::unique_ptr<TFormS> S;
  QTemporaryDir dir;
};

TEST_F(Offline, DuringTheSearchItStopsTheSearchAndShowsTheViewer) {
  f.Tick();
  ASSERT_TRUE(f.channel.active);
  ASSERT_EQ(W().RunState, kRunProbing);
  W().Btn_Offline->click();
  EXPECT_FALSE(f.channel.active);
  EXPECT_FALSE(W().Search.Searching);
  EXPECT_TRUE(W().GBox_COM->isHidden());
  EXPECT_EQ(W().size(), QSize(849, 580));
  EXPECT_EQ(W().Image->size(), QSize(849, 490));
  EXPECT_EQ(W().windowTitle().toStdString(), kTitle);
  EXPECT_FALSE(W().Panel_Plot->isHidden());
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(f.SeriesText(s), "");
  EXPECT_EQ(W().Controller.ModelId.View(), "24");
  EXPECT_FLOAT_EQ(W().Controller.FirmwareVersion, 2.0f);
  EXPECT_TRUE(W().Controller.ProbePresent);
  EXPECT_EQ(W().RunState, kRunOffline);
  EXPECT_TRUE(W().Timer1->isActive());
  EXPECT_TRUE(W().Recording.OfflineMode);
  // Neither the search nor the probe goes on.
  f.channel.written.clear();
  f.Tick(20);
  f.Timer1Tick(3);
  EXPECT_EQ(f.channel.opened.size(), 1u);
  EXPECT_TRUE(f.channel.written.empty());
}

TEST_F(Offline, TheMenusOfferLoadingAndTheSeriesByColour) {
  W().M_File_WorkOffline->trigger();
  EXPECT_EQ(W().windowTitle().toStdString(), kTitle);
  EXPECT_FALSE(W().M_File_WorkOffline->isVisible() || W().M_File_Restart->isVisible());
  const Lines colours = {"Black", "Red", "Green", "Blue", "Fuchsia"};  // in the menus' order
  EXPECT_EQ(VisibleCaptions(W().M_Data_Load), colours);
  EXPECT_EQ(VisibleCaptions(W().M_Plot_Shown), colours);
  EXPECT_TRUE(VisibleCaptions(W().M_Data_Copy).empty());
  EXPECT_TRUE(VisibleCaptions(W().M_Data_Save).empty());
  EXPECT_TRUE(W().M_Data->menuAction()->isEnabled());
  EXPECT_TRUE(W().M_Data_Load->menuAction()->isEnabled());
  EXPECT_FALSE(W().M_Data_Copy->menuAction()->isEnabled());
  EXPECT_FALSE(W().M_Data_Save->menuAction()->isEnabled());
  Lines checked;
  for (QAction* a : W().M_Plot_Shown->actions()) {
    if (a->isChecked()) checked.push_back(a->text().toStdString());
  }
  EXPECT_EQ(checked, (Lines{"Black", "Red"}));
  EXPECT_FALSE(W().M_Tools->menuAction()->isEnabled());
  for (QAction* a : {W().M_Plot_TimeInterval, W().M_Plot_ClearRestart, W().M_Plot_Stop}) EXPECT_FALSE(a->isEnabled());
  EXPECT_TRUE(W().M_Plot_Shown->menuAction()->isEnabled());
  EXPECT_TRUE(W().M_Spectrometer->isEnabled() && W().M_Spectrometer->isVisible());

  // A loaded series can be copied and saved.
  f.dialogs.fileNames = {WriteFile("green.txt", " 0.000\t 20.00\r\n 1.000\t 21.00\r\n").toStdString()};
  W().M_Data_Load_Items[1]->trigger();
  EXPECT_EQ(VisibleCaptions(W().M_Data_Copy), (Lines{"Green"}));
  EXPECT_TRUE(W().M_Data_Copy->menuAction()->isEnabled());
  EXPECT_TRUE(W().M_Plot_Shown_Items[1]->isChecked());
}

TEST_F(Offline, ThePlotIsRedrawnByTheViewersActionsButNotByTheClock) {
  GoOffline();
  const std::string file = WriteFile("black.txt", " 0.000\t 20.00\r\n 1.000\t 21.00\r\n").toStdString();
  struct Case {
    const char* name;
    std::function<void()> action;
    bool redraws;
  };
  const Case cases[] = {
      {"seconds pass", [&] { f.Tick(10); }, false},
      {"Load", [&] { f.dialogs.fileNames = {file}; W().M_Data_Load_Items[0]->trigger(); }, true},
      {"Data Shown", [&] { W().M_Plot_Shown_Items[2]->trigger(); }, true},
      {"a limit", [&] { W().EB_MaxTemp->setText("40"); W().EB_PlotLimitExit(W().EB_MaxTemp); }, true},
      {"a label", [&] { W().Panel_AxisLabelClick(W().Panel_VAxisLabel); W().Edit_AxisLabelExit(W().Edit_VAxisLabel); }, true},
      {"resizing", [&] { W().resize(900, 600); W().FormResize(&W()); }, true},
      {"copying", [&] { W().M_Plot_Copy_Small->trigger(); }, true},
      {"Clear All", [&] { W().M_Plot_ClearAll->trigger(); }, true},
  };
  for (const Case& c : cases) EXPECT_EQ(Redraws(c.action), c.redraws) << c.name;
}

TEST_F(Offline, ClearAllWorksOfflineAgainAndKeepsAResizedPlot) {
  GoOffline();
  W().resize(1000, 700);
  W().FormResize(&W());
  f.dialogs.fileNames = {WriteFile("probe.txt", " 0.000\t 20.00\r\n").toStdString()};
  W().M_Data_Load_Items[2]->trigger();
  W().M_Plot_Shown_Items[0]->trigger();  // Black off
  W().M_Plot_ClearAll->trigger();
  EXPECT_EQ(W().size(), QSize(1000, 700));
  EXPECT_EQ(W().Image->size(), QSize(1000, 610));
  EXPECT_EQ(f.SeriesText(3), "");
  EXPECT_TRUE(W().M_Plot_Shown_Items[0]->isChecked());
  EXPECT_TRUE(VisibleCaptions(W().M_Data_Copy).empty());
  EXPECT_EQ(W().RunState, kRunOffline);
}

TEST_F(Offline, ClosingAsksNothingAndSendsNothing) {
  f.Tick();
  GoOffline();
  f.channel.written.clear();
  EXPECT_TRUE(W().close());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_TRUE(f.channel.written.empty());
  EXPECT_EQ(f.channel.flushes, 0);
}

TEST_F(Offline, TheSpectrometerConnectsToItsSimulationAndClearSwitchesCells) {
  ConnectSimulation();
  EXPECT_EQ(S->windowTitle(), "Shimadzu UV-1800 (Simulation Mode)");
  EXPECT_TRUE(spectrometerChannel.opened.empty());
  struct Step {
    const char* caption;
    const char* header;
    int positions;
    bool panelOpen;
  };
  const Step steps[] = {
      {"Six Cell", kOneCellHeader, 1, false},  // the connect's Clear
      {"One Cell", kSixCellSimulationHeader, 6, true},
      {"Six Cell", kOneCellHeader, 1, false},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(S->Btn_Clear->text().toStdString(), s.caption);
    EXPECT_EQ(TableLines().front(), QString::fromLatin1(s.header).toStdString());
    EXPECT_EQ(W().Controller.PositionCount, s.positions);
    EXPECT_EQ(W().M_Tools_HideWindow->isEnabled(), s.panelOpen) << s.caption;
    EXPECT_EQ(W().Panels.PanelMode, s.panelOpen ? kPanelScript : kPanelHidden);
    S->Btn_Clear->click();
  }
}

TEST_F(Offline, SixCellsRecordEachTickInTheNextCellsColumn) {
  ConnectSimulation();
  S->Btn_Clear->click();  // six cells
  S->CkB_Sample->click();
  f.Timer1Tick(7);
  const Lines table = TableLines();
  ASSERT_EQ(table.size(), 8u);
  EXPECT_EQ(table[1], "    S\t550.0\t0.00\t15.00\t 0.1030\t\t\t\t\t");
  EXPECT_EQ(table[2], "    S\t550.0\t0.10\t15.10\t\t 0.1110\t\t\t\t");
  EXPECT_EQ(table[7], "    S\t550.0\t0.60\t15.60\t 0.1036\t\t\t\t\t");
  const Lines log = f.DisplayLog();
  const Lines firstTick = {"[F1 CT ?]", "...[F1 CT 15.00]", "[F2 PL 2]", "...[F2 DL 2]", "[*D 8]"};
  ASSERT_GE(log.size(), 35u);
  EXPECT_EQ(Lines(log.end() - 35, log.end() - 30), firstTick);
  EXPECT_EQ(f.SeriesText(3).substr(0, 12), "0.00\t14.50\r\n");
}

TEST_F(Offline, ClearStopsARunAndClearAndRestartStartsOne) {
  ConnectSimulation();
  S->CkB_Sample->click();
  f.Timer1Tick(3);
  S->CkB_Sample->click();  // unticked: the run goes on
  f.Timer1Tick(2);
  EXPECT_EQ(TableLines().size(), 4u);
  EXPECT_EQ(f.SeriesText(1).size(), 5 * 12u);
  S->Btn_Clear->click();
  f.Timer1Tick(2);
  EXPECT_EQ(f.SeriesText(1), "");
  EXPECT_FLOAT_EQ(S->State.SimulationTime, 15.0f);
  W().M_Plot_ClearRestartClick(W().M_Plot_ClearRestart);
  EXPECT_EQ(S->State.SimulationRestarts, 2);
  f.Timer1Tick();
  EXPECT_EQ(f.SeriesText(1), "0.00\t15.00\r\n");
}

TEST_F(Offline, AScriptThatEndsReturnsToTheSimulation) {
  ConnectSimulation();
  const std::string script = WriteFile("s.txt", "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n").toStdString();
  for (const bool cancel : {false, true}) {
    f.dialogs.fileNames = {script};
    W().Btn_RunScriptClick(W().Btn_RunScript);
    ASSERT_EQ(W().RunState, kRunScript);
    if (cancel) {
      W().Btn_RunScriptClick(W().Btn_RunScript);
    } else {
      f.Timer1Tick(2);  // the banner, then the end of the script
    }
    EXPECT_EQ(W().RunState, kRunOffline) << (cancel ? "cancelled" : "completed");
  }
  S->CkB_Sample->click();
  f.Timer1Tick();
  EXPECT_EQ(f.SeriesText(1), "0.00\t15.00\r\n");
}

}  // namespace
}  // namespace vireo::testing
