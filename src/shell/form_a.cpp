// The main window: construction, event wiring and the toolkit's window events.
#include "shell/form_a.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "controller/serial_channel.h"
#include "shell/hint_timing.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

// Connects a menu item so that it behaves as an item whose check mark only
// the program sets: the toolkit's own toggle on a click is undone before the
// handler runs, and the handler receives the item as its sender.
template <typename Handler>
void OnMenu(QAction* item, FormA* form, Handler handler) {
  QObject::connect(item, &QAction::triggered, form, [item, form, handler] {
    if (item->isCheckable()) item->setChecked(!item->isChecked());
    (form->*handler)(item);
  });
}

}  // namespace

// The main window's hints stay 10 seconds.
constexpr int kHintDisplayMs = 10000;

FormA::FormA(FormServices services, FormOptions options, QWidget* parent)
    : QMainWindow(parent), services_(services), options_(std::move(options)) {
  setObjectName(QStringLiteral("FormA"));
  new HintTiming(this, kHintDisplayMs);
  BuildMenus();
  Client = new QWidget(this);
  setCentralWidget(Client);
  BuildErrorNotice();
  BuildStatusPanel();
  BuildPlotPanel();
  BuildDataPanel();
  BuildCommandPanel();
  BuildSearchBox();

  Timer_LED = new QTimer(this);
  Timer_LED->setInterval(200);
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  ConnectHandlers();

  SerialChannel& channel = services_.controllerChannel;
  channel.onReceived = [this](int count) { VaCommRxChar(Client, count); };
  // A break on the line clears the display log as "Clear Display" does. It
  // never cancels a script's loop, though the button reads "Cancel Loop".
  channel.onBreak = [this] { ScriptDisplay->clear(); };
  channel.onLost = [this](const std::string& reason) { LinkLost(reason); };

  FormCreate(this);
  Timer_LED->start();
  // Once the event loop runs, so that the window is there behind the message.
  QTimer::singleShot(0, this, [this] { ReportUnendedRun(); });
}

FormA::~FormA() {
  SerialChannel& channel = services_.controllerChannel;
  channel.onReceived = nullptr;
  channel.onBreak = nullptr;
  channel.onLost = nullptr;
}

void FormA::SetChecked(QCheckBox* box, bool checked) { box->setChecked(checked); }

void FormA::ConnectHandlers() {
  On(Timer_LED, &QTimer::timeout, this, &FormA::Timer_LEDTimer, Timer_LED);
  On(Timer1, &QTimer::timeout, this, &FormA::Timer1Timer, Timer1);

  // Search box.
  On(Btn_COM, &QPushButton::clicked, this, &FormA::Btn_COMClick, Btn_COM);
  On(Btn_Pole, &QPushButton::clicked, this, &FormA::Btn_PoleClick, Btn_Pole);
  On(Btn_TryAgain, &QPushButton::clicked, this, &FormA::Btn_TryAgainClick, Btn_TryAgain);
  On(Btn_Exit, &QPushButton::clicked, this, &FormA::Btn_ExitClick, Btn_Exit);
  On(Btn_Offline, &QPushButton::clicked, this, &FormA::Btn_OfflineClick, Btn_Offline);
  On(GBox_COM, &GroupBox::doubleClicked, this, &FormA::GBox_COMDblClick, GBox_COM);

  // Status panel. A check box's handler runs whenever its state changes,
  // also when the program changes it.
  On(CkB_SController_On, &QCheckBox::toggled, this, &FormA::M_Tools_TC_OnOff_Click, CkB_SController_On);
  On(CkB_RController_On, &QCheckBox::toggled, this, &FormA::M_Tools_TC_OnOff_Click, CkB_RController_On);
  On(CkB_S_StirrerOn, &QCheckBox::toggled, this, &FormA::M_Tools_SC_Spl_OnOff_Click, CkB_S_StirrerOn);
  On(CkB_R_StirrerOn, &QCheckBox::toggled, this, &FormA::M_Tools_SC_Ref_OnOff_Click, CkB_R_StirrerOn);
  On(CkB_P_Avg, &QCheckBox::toggled, this, &FormA::CkB_P_AvgClick, CkB_P_Avg);
  On(DDL_CuvettePosition, &QComboBox::activated, this, &FormA::M_Tools_CP_Click, DDL_CuvettePosition);
  On(CkB_HomeBefore, &QCheckBox::toggled, this, &FormA::M_Tools_CP_HomeBefore_Click, CkB_HomeBefore);
  On(L_CuvPosHome, &ClickLabel::clicked, this, &FormA::M_Tools_CP_HomeBefore_Click, L_CuvPosHome);
  On(L_CuvPosBefore, &ClickLabel::clicked, this, &FormA::M_Tools_CP_HomeBefore_Click, L_CuvPosBefore);
  On(Btn_ErrorNotice, &QPushButton::clicked, this, &FormA::Btn_ErrorNoticeClick, Btn_ErrorNotice);
  On(Btn_Reconnect, &QPushButton::clicked, this, &FormA::Btn_ReconnectClick, Btn_Reconnect);
  On(Panel_Status, &Panel::doubleClicked, this, &FormA::Panel_StatusDblClick, Panel_Status);
  On(Panel_DataShowHide, &Panel::doubleClicked, this, &FormA::Panel_StatusDblClick, Panel_DataShowHide);
  On(Panel_tT_Data, &Panel::doubleClicked, this, &FormA::Panel_tT_DataDblClick, Panel_tT_Data);
  for (QPushButton* b : {Btn_S_TargetChange, Btn_R_TargetChange, Btn_S_StirChange, Btn_R_StirChange}) {
    On(b, &QPushButton::clicked, this, &FormA::M_ParameterEntry, b);
  }

  // Plot panel.
  for (EditBox* box : EB_Limits) {
    On(box, &EditBox::exited, this, &FormA::EB_PlotLimitExit, box);
    On(box, &EditBox::enterPressed, this, &FormA::EB_PlotLimitExit, box);
    On(box, &EditBox::clicked, this, &FormA::Plot_ScaleClick, box);
  }
  On(Panel_VAxisLabel, &Panel::clicked, this, &FormA::Panel_AxisLabelClick, Panel_VAxisLabel);
  On(Panel_HAxisLabel, &Panel::clicked, this, &FormA::Panel_AxisLabelClick, Panel_HAxisLabel);
  for (EditBox* editor : {Edit_VAxisLabel, Edit_HAxisLabel}) {
    On(editor, &EditBox::exited, this, &FormA::Edit_AxisLabelExit, editor);
    On(editor, &EditBox::enterPressed, this, &FormA::Edit_AxisLabelExit, editor);
  }
  On(Image, &PlotImage::clicked, this, &FormA::ImageClick, Image);

  // Command panel.
  On(Btn_Clear, &QPushButton::clicked, this, &FormA::Btn_ClearClick, Btn_Clear);
  On(Btn_IncreaseWidth, &QPushButton::clicked, this, &FormA::Btn_ChangeWidthClick, Btn_IncreaseWidth);
  On(Btn_DecreaseWidth, &QPushButton::clicked, this, &FormA::Btn_ChangeWidthClick, Btn_DecreaseWidth);
  On(Btn_Send, &QPushButton::clicked, this, &FormA::Btn_SendClick, Btn_Send);
  On(Btn_RunScript, &QPushButton::clicked, this, &FormA::Btn_RunScriptClick, Btn_RunScript);
  On(CkB_ShowComments, &QCheckBox::toggled, this, &FormA::CkB_ShowCommentsClick, CkB_ShowComments);
  On(EndWaitBtn, &QPushButton::clicked, this, &FormA::EndWaitBtnClick, EndWaitBtn);
  OnMenu(M_Tools_ScriptWindow, this, &FormA::M_Tools_ScriptWindow_Click);
  OnMenu(M_Tools_CommandWindow, this, &FormA::M_Tools_CommandWindow_Click);
  OnMenu(M_Tools_HideWindow, this, &FormA::M_Tools_HideWindowClick);
  OnMenu(M_Tools_CheckScript, this, &FormA::M_Tools_CheckScriptClick);

  // Menus.
  OnMenu(M_File_WorkOffline, this, &FormA::Btn_OfflineClick);
  OnMenu(M_File_Restart, this, &FormA::M_File_RestartClick);
  OnMenu(M_File_OpenDataFolder, this, &FormA::M_File_OpenDataFolderClick);
  OnMenu(M_File_Exit, this, &FormA::M_File_ExitClick);
  for (QAction* a : {M_Tools_TC1_On, M_Tools_TC1_Off, M_Tools_TC_Spl_On, M_Tools_TC_Spl_Off, M_Tools_TC_Ref_On,
                     M_Tools_TC_Ref_Off}) {
    OnMenu(a, this, &FormA::M_Tools_TC_OnOff_Click);
  }
  for (QAction* a : {M_Tools_SC1_On, M_Tools_SC1_Off, M_Tools_SC_Spl_On, M_Tools_SC_Spl_Off}) {
    OnMenu(a, this, &FormA::M_Tools_SC_Spl_OnOff_Click);
  }
  for (QAction* a : {M_Tools_SC_Ref_On, M_Tools_SC_Ref_Off}) OnMenu(a, this, &FormA::M_Tools_SC_Ref_OnOff_Click);
  for (std::size_t k = 0; k < 6; ++k) OnMenu(M_Tools_CP_Items[k], this, &FormA::M_Tools_CP_Click);
  OnMenu(M_Tools_CP_HomeBefore, this, &FormA::M_Tools_CP_HomeBefore_Click);
  OnMenu(M_Tools_Link_RtoS, this, &FormA::M_Tools_Link_RtoSClick);
  for (QAction* a : {M_Tools_TC1_Target, M_Tools_TC_Spl_Target, M_Tools_TC_Ref_Target, M_Tools_SC1_Speed,
                     M_Tools_SC_Spl_Speed, M_Tools_SC_Ref_Speed, M_Tools_Ramp_1, M_Tools_Ramp_Sample,
                     M_Tools_Ramp_Reference, M_Tools_Ramp_Both, M_Plot_TimeInterval, M_EquilRem_Delay}) {
    OnMenu(a, this, &FormA::M_ParameterEntry);
  }
  for (QAction* a : M_Data_Copy_Items) OnMenu(a, this, &FormA::M_Data_CopyClick);
  for (QAction* a : M_Data_Save_Items) OnMenu(a, this, &FormA::M_Data_SaveClick);
  for (QAction* a : M_Data_Load_Items) OnMenu(a, this, &FormA::M_Data_LoadClick);
  for (QAction* a : M_Plot_Shown_Items) OnMenu(a, this, &FormA::M_Plot_ShownClick);
  OnMenu(M_Plot_ClearAll, this, &FormA::M_Plot_ClearAllClick);
  OnMenu(M_Plot_ClearRestart, this, &FormA::M_Plot_ClearRestartClick);
  OnMenu(M_Plot_Stop, this, &FormA::M_Plot_StopClick);
  for (QAction* a : {M_Plot_Copy_Other, M_Plot_Copy_Large, M_Plot_Copy_Medium, M_Plot_Copy_Small}) {
    OnMenu(a, this, &FormA::M_Plot_CopyClick);
  }
  OnMenu(M_EquilRem_On, this, &FormA::M_EquilRem_OnOffClick);
  OnMenu(M_EquilRem_Off, this, &FormA::M_EquilRem_OnOffClick);
  OnMenu(M_EquilRem_StopBeep, this, &FormA::M_EquilRem_StopBeepClick);
  OnMenu(M_Spectrometer, this, &FormA::M_SpectrometerClick);
  OnMenu(M_Help_Help, this, &FormA::M_Help_HelpClick);
  OnMenu(M_Help_About, this, &FormA::M_Help_AboutClick);
}

void FormA::AlignPanels() {
  const int w = Client->width();
  const int h = Client->height();
  int top = 0;
  L_ErrorNotice->setToolTip(L_ErrorNotice->text());
  if (Panel_ErrorNotice->isVisible()) {
    // The text wraps beside the buttons, at most three lines; the whole of
    // it is also the hint, for a window too narrow even for that.
    const int buttonsLeft = Btn_Reconnect->isHidden() ? w - 60 : w - 136;
    const int labelWidth = std::max(0, buttonsLeft - 14);
    const int lineHeight = L_ErrorNotice->fontMetrics().height();
    const int labelHeight = std::clamp(L_ErrorNotice->heightForWidth(labelWidth), 16, 3 * lineHeight);
    L_ErrorNotice->setGeometry(8, 2, labelWidth, labelHeight);
    Panel_ErrorNotice->setGeometry(0, 0, w, labelHeight + 4);
    // Above the plot panel, which is placed from the top of the client area.
    Panel_ErrorNotice->raise();
    Btn_ErrorNotice->move(std::max(0, w - 60), 1);
    Btn_Reconnect->move(std::max(0, w - 136), 1);
    top = Panel_ErrorNotice->height();
  }
  Panel_Status->setGeometry(0, top, Panel_Status->width(), std::max(0, h - top));
  const int panelWidth = Panel_Cmd_Scr->width();
  Panel_Cmd_Scr->setGeometry(w - panelWidth, top, panelWidth, std::max(0, h - top));
  const int controlsTop = std::max(0, Panel_Cmd_Scr->height() - 78);
  ScriptDisplay->setGeometry(0, 0, panelWidth, controlsTop);
  Panel_Cmd_Scr_Controls->setGeometry(0, controlsTop, panelWidth, 78);
}

void FormA::RaiseEvent(ProgramEvent event, std::string_view text) {
  if (options_.events) options_.events->Raise(event, text);
}

void FormA::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void FormA::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  AlignPanels();
  FormResize(this);
}

}  // namespace vireo
