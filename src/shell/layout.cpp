// The arrangement of the main window for the connected controller: which
// holder controls and menus show, how the boxes stack, and the plot area
// between the status panel and the command/script panel.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

void MoveTop(QWidget* w, int top) { w->move(w->x(), top); }
void MoveUp(QWidget* w, int by) { w->move(w->x(), w->y() - by); }
void SetHeight(QWidget* w, int height) { w->resize(w->width(), height); }
void Shrink(QWidget* w, int by) { w->resize(w->width(), w->height() - by); }

}  // namespace

void FormA::ArrangeMainWindow() {
  const ControllerState& c = Controller;
  const float v = c.FirmwareVersion;
  const bool linked = M_Tools_Link_RtoS->isChecked();
  const std::size_t kSpl = 0, kRef = 1, kProbe = 2, kCool = 3, kCoolR = 4;
  auto showSeriesItems = [this](std::size_t series, bool visible) {
    for (QAction* a : {M_Data_Copy_Items[series], M_Data_Save_Items[series], M_Data_Load_Items[series],
                       M_Plot_Shown_Items[series]}) {
      Show(a, visible);
    }
  };

  // 1. Base arrangement of the sample holder box.
  SetHeight(GrB_S_Holder, 249);
  L_S_HeatExcT->show();
  MoveTop(L_S_Target, 99);
  MoveTop(L_S_TargetT, 118);
  MoveTop(Btn_S_TargetChange, 116);
  MoveTop(L_S_Stirrer, 139);
  MoveTop(CkB_S_StirrerOn, 157);
  L_S_StirSpeed->show();
  Btn_S_StirChange->show();
  for (QWidget* w : std::initializer_list<QWidget*>{L_S_Cuvette, DDL_CuvettePosition, CkB_HomeBefore, L_CuvPosHome,
                                                    L_CuvPosBefore}) {
    w->show();
  }
  MoveTop(L_S_Cuvette, 199);
  MoveTop(DDL_CuvettePosition, 218);
  MoveTop(CkB_HomeBefore, 219);
  MoveTop(L_CuvPosHome, 215);
  MoveTop(L_CuvPosBefore, 227);

  // 2. Probe box.
  SetHeight(GB_ExtProbe, 56);
  GB_ExtProbe->show();
  L_P_MeanDeviation->show();

  // 3. Reference holder box.
  GrB_R_Holder->setVisible(!linked);
  SetHeight(GrB_R_Holder, 203);
  MoveTop(GrB_R_Holder, 316);
  L_R_HeatExcT->show();
  MoveTop(L_R_Target, 99);
  MoveTop(L_R_TargetT, 118);
  MoveTop(Btn_R_TargetChange, 116);
  MoveTop(L_R_Stirrer, 139);
  MoveTop(CkB_R_StirrerOn, 157);
  L_R_StirSpeed->show();
  Btn_R_StirChange->show();

  // 4. Menus. The stirrer speed items belong to the base arrangement too: the
  // initial firmware version counts as newer, so the first arrangement at
  // first contact hides them before the controller's own version is known.
  Show(M_Tools_SC1, true);
  Show(M_Tools_SC, true);
  for (QAction* a : {M_Tools_SC1_S, M_Tools_SC1_Speed, M_Tools_SC_Spl_S1, M_Tools_SC_Spl_Speed, M_Tools_SC_Ref_S1,
                     M_Tools_SC_Ref_Speed}) {
    Show(a, true);
  }
  for (std::size_t s : {kSpl, kRef, kCool, kCoolR}) showSeriesItems(s, true);
  showSeriesItems(kProbe, false);

  // 5. Probe.
  if (c.ProbePresent) {
    GB_ExtProbe->show();
    Show(M_Plot_Shown_Probe, true);
    if (!Recording.OfflineMode) M_Plot_Shown_Probe->setChecked(true);
    for (QAction* a : {M_Data_Copy_Probe, M_Data_Save_Probe, M_Data_Load_Probe}) Show(a, true);
  } else {
    GB_ExtProbe->hide();
    Show(M_Plot_Shown_Probe, false);
    M_Plot_Shown_Probe->setChecked(false);
    for (QAction* a : {M_Data_Copy_Probe, M_Data_Save_Probe, M_Data_Load_Probe}) Show(a, false);
  }

  // 6. Newer firmware shows neither heat-exchanger temperatures nor stirrer speeds.
  if (v > 7.0f) {
    L_S_HeatExcT->hide();
    L_R_HeatExcT->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{L_S_Target, L_S_TargetT, Btn_S_TargetChange, L_S_Stirrer,
                                                      CkB_S_StirrerOn, L_R_Target, L_R_TargetT, Btn_R_TargetChange,
                                                      L_R_Stirrer, CkB_R_StirrerOn}) {
      MoveUp(w, 20);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{L_S_StirSpeed, Btn_S_StirChange, L_R_StirSpeed, Btn_R_StirChange}) {
      w->hide();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{L_S_Cuvette, DDL_CuvettePosition, CkB_HomeBefore, L_CuvPosHome,
                                                      L_CuvPosBefore}) {
      MoveUp(w, 39);
    }
    Shrink(GrB_S_Holder, 39);
    Shrink(GrB_R_Holder, 34);
    SetHeight(GB_ExtProbe, 56);
    L_P_MeanDeviation->show();
    for (QAction* a : {M_Tools_SC1_S, M_Tools_SC1_Speed, M_Tools_SC_Spl_S1, M_Tools_SC_Spl_Speed, M_Tools_SC_Ref_S1,
                       M_Tools_SC_Ref_Speed}) {
      Show(a, false);
    }
    Show(M_Tools_SC1, false);
    Show(M_Tools_SC, false);
    Show(M_Tools_Ramp_Reference, true);
    showSeriesItems(kCool, false);
    showSeriesItems(kCoolR, false);
  }

  // 7. Temperature control feature.
  const bool tc = c.HasTemperatureControl;
  Enable(M_Data, tc);
  Enable(M_Plot, tc);
  Enable(M_Tools_TC1, tc);
  Enable(M_Tools_TC, tc);
  Enable(M_Tools_Ramp_1, tc);
  Enable(M_Tools_Ramp_3, tc);
  Enable(M_EquilRem, tc);
  Panel_Plot->setVisible(tc);
  for (QWidget* w : std::initializer_list<QWidget*>{
           L_S_Status, L_S_Temperature, CkB_SController_On, Shape_S_LED, L_S_LED, L_S_HeatExcT, L_S_Target, L_S_TargetT,
           Btn_S_TargetChange, L_R_Status, L_R_Temperature, CkB_RController_On, Shape_R_LED, L_R_LED, L_R_HeatExcT,
           L_R_Target, L_R_TargetT, Btn_R_TargetChange}) {
    w->setEnabled(tc);
  }

  // 8. Stirrer feature.
  Show(M_Tools_SC, c.HasStirrers);
  for (QWidget* w : std::initializer_list<QWidget*>{L_S_Stirrer, CkB_S_StirrerOn, L_S_StirSpeed, Btn_S_StirChange,
                                                    L_R_Stirrer, CkB_R_StirrerOn, L_R_StirSpeed, Btn_R_StirChange}) {
    w->setEnabled(c.HasStirrers);
  }

  // 9. Probe feature.
  GB_ExtProbe->setVisible(c.HasProbe);
  Show(M_Plot_Shown_Probe, c.HasProbe);

  // 10, 11. One holder or two on screen: the cuvette menu, and which of the
  // two menu sets (single-holder or per-holder submenus) the Tools menu offers.
  // A changer with ten or more positions has no position menu: it could not
  // offer them all.
  const bool positionMenu = c.ModelId != "00" && c.PositionCount < 10;
  auto arrangeHolders = [&](bool twoHolders) {
    if (c.HasChanger) {
      Show(M_Tools_CP, positionMenu);
      DDL_CuvettePosition->setCurrentIndex(c.CuvettePosition - 1);
    } else {
      Shrink(GrB_S_Holder, 50);
      Show(M_Tools_CP, false);
    }
    Show(M_Tools_S3, twoHolders && c.HasChanger && positionMenu);
    GrB_R_Holder->setVisible(twoHolders);
    for (QMenu* m : {M_Tools_TC1, M_Tools_SC1}) Show(m, !twoHolders);
    Show(M_Tools_Ramp_1, !twoHolders);
    for (QMenu* m : {M_Tools_TC, M_Tools_Ramp_3, M_Tools_SC}) Show(m, twoHolders);
  };
  if (!c.ReferenceShown || linked) {
    arrangeHolders(false);
    Show(M_Tools_Link_RtoS, linked);
    showSeriesItems(kRef, linked);
    if (linked && v < 7.0f) showSeriesItems(kCoolR, true);
    if (!linked) showSeriesItems(kCoolR, false);
    if (v < 7.0f) Show(M_Tools_SC1_Speed, true);
  }
  if (c.ReferenceShown) {
    arrangeHolders(true);
    Show(M_Tools_Link_RtoS, true);
  }

  // 12, 13. Stacking.
  MoveTop(GB_ExtProbe, GrB_S_Holder->height() + 5);
  if (c.ProbePresent) {
    if (!CkB_P_Avg->isChecked()) {
      L_P_MeanDeviation->hide();
      SetHeight(GB_ExtProbe, 42);
    }
    MoveTop(GrB_R_Holder, GB_ExtProbe->y() + GB_ExtProbe->height() + 5);
  } else {
    MoveTop(GrB_R_Holder, GrB_S_Holder->height() + 5);
    GB_ExtProbe->hide();
    Show(M_Data_Copy_Probe, false);
    Show(M_Data_Save_Probe, false);
    Show(M_Plot_Shown_Probe, false);
  }
}

void FormA::EnableMainMenus(bool on) {
  Enable(M_Tools, on);
  Enable(M_Data, on);
  Enable(M_Plot, on);
}

void FormA::FormResize(QObject*) {
  int width = this->width();
  if (!Recording.OfflineMode) width -= Panel_Status->width();
  if (Panels.PanelMode == kPanelScript) width -= Panels.ScriptPanelWidth;
  if (Panels.PanelMode == kPanelCommand) width -= Panels.CommandPanelWidth;
  Layout.LayoutWidth = width;
  Layout.LayoutHeight = height() - 90;
  PlacePlotControls();
  if (Layout.PlotArranged) {
    AttachMainPlot();
    RedrawPlot();
  }
}

void FormA::Btn_ChangeWidthClick(QObject* sender) {
  const int step = sender == Btn_IncreaseWidth ? 75 : -75;
  const int newWidth = Panel_Cmd_Scr->width() + step;
  Panel_Cmd_Scr->resize(newWidth, Panel_Cmd_Scr->height());
  Btn_IncreaseWidth->move(Btn_IncreaseWidth->x() + step, Btn_IncreaseWidth->y());
  Btn_DecreaseWidth->move(Btn_DecreaseWidth->x() + step, Btn_DecreaseWidth->y());
  auto storeWidth = [this](int w) {
    if (Panels.PanelMode == kPanelScript) Panels.ScriptPanelWidth = w;
    if (Panels.PanelMode == kPanelCommand) Panels.CommandPanelWidth = w;
  };
  if (newWidth >= 230) {
    storeWidth(newWidth);
    AlignPanels();
    FormResize(nullptr);
  } else if (newWidth < 22) {
    storeWidth(230);
    // Closed as Hide Panel closes it: 1 pixel wide, the window 230 narrower.
    M_Tools_HideWindowClick(M_Tools_HideWindow);
  } else {
    storeWidth(230);
    AlignPanels();
    FormResize(nullptr);
  }
  Btn_IncreaseWidth->move(Panel_Cmd_Scr->width() - 38, Btn_IncreaseWidth->y());
  Btn_DecreaseWidth->move(Panel_Cmd_Scr->width() - 23, Btn_DecreaseWidth->y());
}

void FormA::Panel_StatusDblClick(QObject* sender) {
  if (!sender) return;
  if (Panel_tT_Data->isHidden()) {
    // Moved left as far as needed for all five memos to stay inside the window.
    const int left = std::min(Recording.OfflineMode ? 68 : 198, width() - Panel_tT_Data->width());
    Panel_tT_Data->move(std::max(0, left), std::max(0, Layout.LayoutHeight - Panel_tT_Data->height()));
    Panel_tT_Data->raise();
    Panel_tT_Data->show();
  } else {
    Panel_tT_Data->hide();
  }
}

}  // namespace vireo
