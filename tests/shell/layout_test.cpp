// The arrangement of the main window for the connected controller (which
// boxes, controls and menus show, and where), the plot area between the
// status panel and the command panel, and the data panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <string>

#include "shell/widgets.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

// A window connected to a controller that has told its version and model
// (and, when given, its features and probe). The start-up sequence has run.
void Connect(FormFixture& f, const std::string& model, const std::string& version, bool probe = false,
             const std::string& features = "") {
  f.ConnectAndAnswer();
  f.Receive("[F1 VN " + version + "]\r\n[F1 ID " + model + "]\r\n");
  if (!features.empty()) f.Receive("[F1 FS " + features + "]\r\n");
  if (probe) f.Receive("[F1 PR +]\r\n");
  f.RunStartup();
  f.Sent();
}

bool Shown(const QAction* item) { return item->isVisible(); }
bool Shown(const QMenu* menu) { return menu->menuAction()->isVisible(); }
void Unlink(FormFixture& f) {
  ASSERT_TRUE(f.form->M_Tools_Link_RtoS->isChecked());
  f.form->M_Tools_Link_RtoSClick(f.form->M_Tools_Link_RtoS);
}

struct HeightCase {
  const char* model;
  const char* version;
  int sampleBox;
  int cuvetteRowTop;
};

class SampleBoxHeight : public ::testing::TestWithParam<HeightCase> {};

TEST_P(SampleBoxHeight, DependsOnFirmwareAndChanger) {
  FormFixture f;
  Connect(f, GetParam().model, GetParam().version);
  EXPECT_EQ(f.form->GrB_S_Holder->height(), GetParam().sampleBox);
  EXPECT_EQ(f.form->L_S_Cuvette->y(), GetParam().cuvetteRowTop);
  EXPECT_EQ(f.form->DDL_CuvettePosition->y(), GetParam().cuvetteRowTop + 19);
}

INSTANTIATE_TEST_SUITE_P(Controllers, SampleBoxHeight,
                         ::testing::Values(HeightCase{"32", "2.30", 249, 199}, HeightCase{"11", "2.30", 199, 199},
                                           HeightCase{"32", "7.20", 210, 160}, HeightCase{"11", "7.20", 160, 160}));

TEST(OneHolder, OlderFirmwareWithProbeStacksTheProbeBelowTheSampleBox) {
  FormFixture f;
  Connect(f, "11", "2.30", true);
  FormA& w = *f.form;
  EXPECT_EQ(w.GrB_S_Holder->height(), 199);
  EXPECT_FALSE(w.GB_ExtProbe->isHidden());
  EXPECT_EQ(w.GB_ExtProbe->y(), 204);
  EXPECT_TRUE(w.GrB_R_Holder->isHidden());
  EXPECT_FALSE(w.L_S_HeatExcT->isHidden());
  EXPECT_TRUE(Shown(w.M_Tools_TC1));
  EXPECT_TRUE(Shown(w.M_Tools_Ramp_1));
  EXPECT_TRUE(Shown(w.M_Tools_SC1));
  EXPECT_TRUE(Shown(w.M_Tools_SC1_Speed));
  EXPECT_FALSE(Shown(w.M_Tools_TC));
  EXPECT_FALSE(Shown(w.M_Tools_Ramp_3));
  EXPECT_FALSE(Shown(w.M_Tools_SC));
  EXPECT_FALSE(Shown(w.M_Tools_CP));
  EXPECT_FALSE(Shown(w.M_Tools_Link_RtoS));
  // Series menus: the sample, its heat exchanger and the probe; no reference.
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[0]));
  EXPECT_FALSE(Shown(w.M_Data_Copy_Items[1]));
  EXPECT_TRUE(Shown(w.M_Data_Copy_Probe));
  EXPECT_TRUE(Shown(w.M_Data_Load_Probe));
  EXPECT_TRUE(Shown(w.M_Plot_Shown_Probe));
  EXPECT_TRUE(w.M_Plot_Shown_Probe->isChecked());
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[3]));
  EXPECT_FALSE(Shown(w.M_Data_Copy_Items[4]));
}

TEST(OneHolder, WithoutProbeHidesTheProbeBoxAndItsItems) {
  FormFixture f;
  Connect(f, "11", "2.30");
  EXPECT_TRUE(f.form->GB_ExtProbe->isHidden());
  EXPECT_FALSE(Shown(f.form->M_Data_Copy_Probe));
  EXPECT_FALSE(Shown(f.form->M_Data_Save_Probe));
  EXPECT_FALSE(Shown(f.form->M_Data_Load_Probe));
  EXPECT_FALSE(Shown(f.form->M_Plot_Shown_Probe));
}

TEST(TwoHolders, StartLinkedWithOneBoxAndShowBothOnceUnlinked) {
  FormFixture f;
  Connect(f, "24", "2.30");
  FormA& w = *f.form;
  EXPECT_TRUE(w.M_Tools_Link_RtoS->isChecked());
  EXPECT_TRUE(Shown(w.M_Tools_Link_RtoS));
  EXPECT_TRUE(w.GrB_R_Holder->isHidden());
  EXPECT_TRUE(Shown(w.M_Tools_TC1));
  EXPECT_TRUE(Shown(w.M_Tools_Ramp_1));
  EXPECT_TRUE(Shown(w.M_Tools_SC1));
  EXPECT_FALSE(Shown(w.M_Tools_TC));
  // Linked, the reference series are still recorded and offered.
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[1]));
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[4]));

  Unlink(f);
  EXPECT_FALSE(w.GrB_R_Holder->isHidden());
  EXPECT_EQ(w.GrB_R_Holder->y(), 204);
  EXPECT_EQ(w.GrB_R_Holder->height(), 203);
  EXPECT_TRUE(Shown(w.M_Tools_Link_RtoS));
  EXPECT_FALSE(w.M_Tools_Link_RtoS->isChecked());
  EXPECT_TRUE(Shown(w.M_Tools_TC));
  EXPECT_TRUE(Shown(w.M_Tools_Ramp_3));
  EXPECT_TRUE(Shown(w.M_Tools_SC));
  EXPECT_FALSE(Shown(w.M_Tools_TC1));
  EXPECT_FALSE(Shown(w.M_Tools_Ramp_1));
  EXPECT_FALSE(Shown(w.M_Tools_SC1));
  EXPECT_TRUE(Shown(w.M_Tools_SC_Spl_Speed));
  EXPECT_TRUE(Shown(w.M_Tools_SC_Ref_Speed));
  EXPECT_TRUE(Shown(w.M_Tools_SC_Spl_S1));
  EXPECT_TRUE(Shown(w.M_Tools_SC_Ref_S1));
}

TEST(TwoHolders, ProbeAveragingDecidesTheProbeBoxHeightAndWhereTheReferenceBoxSits) {
  FormFixture f;
  Connect(f, "24", "2.30", true);
  Unlink(f);
  FormA& w = *f.form;
  w.CkB_P_Avg->setChecked(true);
  EXPECT_EQ(f.Sent(), std::vector<std::string>{"[F1 PX +]"});
  EXPECT_EQ(w.GB_ExtProbe->y(), 204);
  EXPECT_EQ(w.GB_ExtProbe->height(), 56);
  EXPECT_FALSE(w.L_P_MeanDeviation->isHidden());
  EXPECT_EQ(w.GrB_R_Holder->y(), 265);

  w.CkB_P_Avg->setChecked(false);
  EXPECT_EQ(w.GB_ExtProbe->height(), 42);
  EXPECT_TRUE(w.L_P_MeanDeviation->isHidden());
  EXPECT_EQ(w.GrB_R_Holder->y(), 251);
}

TEST(NewerFirmware, HidesHeatExchangersAndStirrerSpeedsAndMovesTheRowsUp) {
  FormFixture f;
  Connect(f, "24", "7.20");
  Unlink(f);
  FormA& w = *f.form;
  for (QWidget* hidden : {static_cast<QWidget*>(w.L_S_HeatExcT), static_cast<QWidget*>(w.L_R_HeatExcT),
                          static_cast<QWidget*>(w.L_S_StirSpeed), static_cast<QWidget*>(w.Btn_S_StirChange),
                          static_cast<QWidget*>(w.L_R_StirSpeed), static_cast<QWidget*>(w.Btn_R_StirChange)}) {
    EXPECT_TRUE(hidden->isHidden());
  }
  for (QLabel* target : {w.L_S_Target, w.L_R_Target}) EXPECT_EQ(target->y(), 79);
  for (QLabel* target : {w.L_S_TargetT, w.L_R_TargetT}) EXPECT_EQ(target->y(), 98);
  for (QPushButton* change : {w.Btn_S_TargetChange, w.Btn_R_TargetChange}) EXPECT_EQ(change->y(), 96);
  for (QLabel* stirrer : {w.L_S_Stirrer, w.L_R_Stirrer}) EXPECT_EQ(stirrer->y(), 119);
  for (QCheckBox* stirrer : {w.CkB_S_StirrerOn, w.CkB_R_StirrerOn}) EXPECT_EQ(stirrer->y(), 137);
  EXPECT_EQ(w.GrB_S_Holder->height(), 160);
  EXPECT_EQ(w.GrB_R_Holder->height(), 169);
  EXPECT_EQ(w.GrB_R_Holder->y(), 165);
  for (QAction* hidden : {w.M_Tools_SC_Spl_Speed, w.M_Tools_SC_Ref_Speed, w.M_Tools_SC_Spl_S1, w.M_Tools_SC_Ref_S1,
                          w.M_Tools_SC1_Speed}) {
    EXPECT_FALSE(Shown(hidden));
  }
  for (std::size_t cool : {3u, 4u}) {
    EXPECT_FALSE(Shown(w.M_Data_Copy_Items[cool]));
    EXPECT_FALSE(Shown(w.M_Data_Save_Items[cool]));
    EXPECT_FALSE(Shown(w.M_Data_Load_Items[cool]));
    EXPECT_FALSE(Shown(w.M_Plot_Shown_Items[cool]));
  }
  EXPECT_TRUE(Shown(w.M_Tools_Ramp_Reference));
}

TEST(NewerFirmware, AnOlderControllerConnectedAfterwardsGetsItsControlsBack) {
  FormFixture f;
  Connect(f, "24", "7.20");
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  Connect(f, "24", "2.30");
  FormA& w = *f.form;
  if (w.M_Tools_Link_RtoS->isChecked()) w.M_Tools_Link_RtoSClick(w.M_Tools_Link_RtoS);
  EXPECT_FALSE(w.L_S_HeatExcT->isHidden());
  EXPECT_FALSE(w.L_R_StirSpeed->isHidden());
  EXPECT_EQ(w.L_S_Target->y(), 99);
  EXPECT_EQ(w.GrB_R_Holder->height(), 203);
  EXPECT_TRUE(Shown(w.M_Tools_SC_Spl_Speed));
  EXPECT_TRUE(Shown(w.M_Tools_SC_Ref_Speed));
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[3]));
  EXPECT_TRUE(Shown(w.M_Data_Copy_Items[4]));
}

TEST(Changer, Model00HidesTheCuvetteMenuButKeepsTheChangerRow) {
  FormFixture f;
  Connect(f, "00", "2.30", false, "++-+-");
  EXPECT_TRUE(f.form->Controller.HasChanger);
  EXPECT_EQ(f.form->GrB_S_Holder->height(), 249);
  EXPECT_FALSE(Shown(f.form->M_Tools_CP));
  EXPECT_FALSE(Shown(f.form->M_Tools_S3));

  FormFixture other;
  Connect(other, "32", "2.30");
  EXPECT_TRUE(Shown(other.form->M_Tools_CP));
  EXPECT_EQ(other.form->GrB_S_Holder->height(), 249);
}

TEST(Changer, TwoHoldersWithChangerShowTheCuvetteMenuOnlyWhenUnlinkedAndNotModel00) {
  FormFixture f;
  Connect(f, "24", "2.30", false, "++-++");
  FormA& w = *f.form;
  if (w.M_Tools_Link_RtoS->isChecked()) w.M_Tools_Link_RtoSClick(w.M_Tools_Link_RtoS);
  ASSERT_FALSE(w.GrB_R_Holder->isHidden());
  EXPECT_TRUE(Shown(w.M_Tools_CP));
  EXPECT_TRUE(Shown(w.M_Tools_S3));
  EXPECT_EQ(w.GrB_S_Holder->height(), 249);
  EXPECT_EQ(w.GrB_R_Holder->y(), 254);
}

TEST(Features, WithoutTemperatureControlThePlotAndItsMenusGo) {
  FormFixture f;
  Connect(f, "11", "2.30", false, "-----");
  FormA& w = *f.form;
  EXPECT_TRUE(w.Panel_Plot->isHidden());
  EXPECT_FALSE(w.M_Data->menuAction()->isEnabled());
  EXPECT_FALSE(w.M_Plot->menuAction()->isEnabled());
  EXPECT_FALSE(w.M_Tools_TC1->menuAction()->isEnabled());
  EXPECT_FALSE(w.CkB_SController_On->isEnabled());
  EXPECT_FALSE(w.CkB_S_StirrerOn->isEnabled());
  EXPECT_TRUE(w.M_Tools->menuAction()->isEnabled());
}

// ---- Plot area and command panel ------------------------------------------------------

// The command panel open at its usual width, as opening it leaves the window.
void OpenCommandPanel(FormA& w) {
  w.Panels.PanelMode = kPanelCommand;
  w.Panel_Cmd_Scr->resize(230, w.Panel_Cmd_Scr->height());
  w.Btn_IncreaseWidth->move(230 - 38, w.Btn_IncreaseWidth->y());
  w.Btn_DecreaseWidth->move(230 - 23, w.Btn_DecreaseWidth->y());
  FormA::Show(w.M_Tools_HideWindow, true);
  FormA::Enable(w.M_Tools_HideWindow, true);
  FormA::Enable(w.M_Tools_CommandWindow, false);
  w.resize(w.width() + 230, w.height());
  w.FormResize(nullptr);
}

TEST(CommandPanel, NarrowingThreeTimesClosesItAndTheWindowShrinks) {
  FormFixture f;
  Connect(f, "11", "2.30");
  FormA& w = *f.form;
  OpenCommandPanel(w);
  ASSERT_EQ(w.width(), 1055);
  ASSERT_EQ(w.Layout.LayoutWidth, 674);

  w.Btn_ChangeWidthClick(w.Btn_DecreaseWidth);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 155);
  EXPECT_EQ(w.Panels.CommandPanelWidth, 230);
  EXPECT_EQ(w.Layout.LayoutWidth, 674);
  EXPECT_EQ(w.Btn_IncreaseWidth->x(), 155 - 38);
  EXPECT_EQ(w.Btn_DecreaseWidth->x(), 155 - 23);
  w.Btn_ChangeWidthClick(w.Btn_DecreaseWidth);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 80);
  EXPECT_EQ(w.Layout.LayoutWidth, 674);
  EXPECT_EQ(w.Panels.PanelMode, kPanelCommand);

  w.Btn_ChangeWidthClick(w.Btn_DecreaseWidth);
  EXPECT_EQ(w.Panels.PanelMode, kPanelHidden);
  EXPECT_EQ(w.Panels.CommandPanelWidth, 230);
  EXPECT_EQ(w.width(), 825);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 1);
  EXPECT_EQ(w.Layout.LayoutWidth, 674);
  EXPECT_FALSE(Shown(w.M_Tools_HideWindow));
  EXPECT_TRUE(w.M_Tools_ScriptWindow->isEnabled());
  EXPECT_TRUE(w.M_Tools_CommandWindow->isEnabled());
}

TEST(CommandPanel, WideningKeepsTheNewWidthAndNarrowsThePlot) {
  FormFixture f;
  Connect(f, "11", "2.30");
  FormA& w = *f.form;
  OpenCommandPanel(w);
  w.Btn_ChangeWidthClick(w.Btn_IncreaseWidth);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 305);
  EXPECT_EQ(w.Panels.CommandPanelWidth, 305);
  EXPECT_EQ(w.Panels.ScriptPanelWidth, 230);
  EXPECT_EQ(w.Layout.LayoutWidth, 1055 - 151 - 305);
  EXPECT_EQ(w.Btn_IncreaseWidth->x(), 305 - 38);
  EXPECT_EQ(w.Btn_DecreaseWidth->x(), 305 - 23);
  EXPECT_EQ(w.width(), 1055);
}

TEST(PlotArea, ResizingBeforeAnyControllerMovesTheAxisControlsButDrawsNoPlot) {
  FormFixture f;
  FormA& w = *f.form;
  w.show();
  w.resize(600, 400);
  QApplication::processEvents();
  ASSERT_EQ(w.size(), QSize(600, 400));
  EXPECT_EQ(w.Layout.LayoutWidth, 600);
  EXPECT_EQ(w.Layout.LayoutHeight, 310);
  EXPECT_EQ(w.Edit_HAxisLabel->pos(), QPoint(600 - 171, 310 - 36));
  EXPECT_EQ(w.Panel_HAxisLabel->pos(), QPoint(600 - 100, 310 - 16));
  EXPECT_EQ(w.Panel_DataShowHide->x(), 600 - 39);
  EXPECT_FALSE(w.Layout.PlotArranged);
  EXPECT_TRUE(w.Panel_Plot->isHidden());
  EXPECT_TRUE(w.Image->Picture().isNull());
}

TEST(PlotArea, AfterFirstContactResizingFitsThePlotBetweenThePanels) {
  FormFixture f;
  Connect(f, "11", "2.30");
  FormA& w = *f.form;
  w.show();
  w.resize(1000, 700);
  QApplication::processEvents();
  ASSERT_EQ(w.size(), QSize(1000, 700));
  EXPECT_EQ(w.Layout.LayoutWidth, 1000 - 151);
  EXPECT_EQ(w.Layout.LayoutHeight, 610);
  EXPECT_EQ(w.Panel_Plot->size(), QSize(849, 610));
  EXPECT_EQ(w.Edit_HAxisLabel->pos(), QPoint(849 - 171, 610 - 36));
}

TEST(DataPanel, DoubleClicksShowAndHideIt) {
  FormFixture f;
  Connect(f, "11", "2.30");
  FormA& w = *f.form;
  w.Panel_StatusDblClick(nullptr);
  EXPECT_TRUE(w.Panel_tT_Data->isHidden());
  w.Panel_StatusDblClick(w.Panel_Status);
  EXPECT_FALSE(w.Panel_tT_Data->isHidden());
  // In the 825-wide window the panel moves left so that all five memos show.
  EXPECT_EQ(w.Panel_tT_Data->x(), 825 - 687);
  EXPECT_EQ(w.Panel_tT_Data->size(), QSize(687, 201));
  w.Panel_StatusDblClick(w.Panel_DataShowHide);
  EXPECT_TRUE(w.Panel_tT_Data->isHidden());
  w.resize(1000, 600);
  w.Panel_StatusDblClick(w.Panel_Status);
  EXPECT_EQ(w.Panel_tT_Data->x(), 198);
  w.Panel_StatusDblClick(w.Panel_Status);

  w.Recording.OfflineMode = true;
  w.Panel_StatusDblClick(w.Panel_DataShowHide);
  EXPECT_EQ(w.Panel_tT_Data->x(), 68);
  w.Panel_tT_DataDblClick(w.Panel_tT_Data);
  EXPECT_TRUE(w.Panel_tT_Data->isHidden());
}

}  // namespace
}  // namespace vireo::testing
