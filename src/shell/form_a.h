#pragma once
// The main window: the search for the controller, the status panel, the
// plot, the series and the command/script panel. Its handlers carry the
// program's logic; each is defined in the source file of the subsystem it
// belongs to (controller/, shell/, control/, recording/, scripting/).
//
// Handlers take the sender the way the toolkit delivers it; a handler called
// by the program itself without a sender (nullptr) either does nothing or
// runs a reduced variant, as its comment says.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/reminder.h"
#include "control/setpoints.h"
#include "controller/controller_state.h"
#include "controller/link_watch.h"
#include "controller/reply_assembler.h"
#include "controller/port_access.h"
#include "controller/search_state.h"
#include "controller/status_led.h"
#include "controller/step_machine.h"
#include "recording/plot_limits.h"
#include "recording/plot_renderer.h"
#include "recording/record_format.h"
#include "recording/recording_state.h"
#include "scripting/form_script_host.h"
#include "scripting/script_engine.h"
#include "shell/shell_state.h"
#include "status/program_events.h"

class QAction;
class QImage;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QString;
class QTimer;
class QWidget;

namespace vireo {

class Beeper;
class Clipboard;
class Desktop;
class Dialogs;
class EditBox;
class GroupBox;
class LedShape;
class Panel;
class PlotImage;
class PortLister;
class SerialChannel;
class TickSource;
class ClickLabel;
class SeriesMemo;
class TFormS;
class Journal;

// The system services the main window works through.
struct FormServices {
  SerialChannel& controllerChannel;
  Dialogs& dialogs;
  TickSource& ticks;
  Beeper& beeper;
  PortLister& ports;
  Desktop& desktop;
  Clipboard& clipboard;
  ParameterDialog& parameters;  // the numeric entry dialog
};

// Our own start options (none of them changes what the window does once running).
struct FormOptions {
  std::vector<std::string> extraPorts;  // join the port list, tried first by the search
  bool automaticSearch = true;          // false when a port was given to connect to
  std::string helpFile = "Vireo Help.html";  // a bare name is looked for beside the program
  Journal* journal = nullptr;  // the recording journal; none: nothing is journaled
  // Run in the place of the start-up script, as if chosen with "Run Script File".
  std::string scriptFile;
  // Where the start-up script is looked for, in this order; none: the program's own folder.
  std::vector<std::string> startupScriptFolders;
  // Told of the moments worth a notification; none: nobody is told.
  ProgramEvents* events = nullptr;
};

class FormA : public QMainWindow {
  Q_OBJECT

 public:
  FormA(FormServices services, FormOptions options, QWidget* parent = nullptr);
  ~FormA() override;

  // ---- Program-wide state --------------------------------------------------
  ControllerState Controller;
  ReplyLog Log;
  ReadingBeep Beeps;
  ReplyAssembler Assembler;
  SearchState Search;
  PortAccessNotice PortAccess;
  StepMachine Steps;
  StatusDisplay Status;
  RecordingState Recording;
  LayoutState Layout;
  ShellState Shell;
  PanelState Panels;
  Reminder EquilReminder;
  RecordFormats Formats;
  PlotRenderer Renderer;
  PlotLimits Limits;
  PointExtents PlotExtents{};  // of the series drawn last; kept between redraws
  LinkWatch Link;
  std::int32_t RunState = kRunIdle;
  bool RampActive = false;      // a temperature ramp rate is in force

  // ---- Controller link: sending and framing --------------------------------
  // Echoes the command into the display log (when echo), then writes it with
  // CR LF. Returns the length of the command text, or 0 when the port is closed.
  int SendControllerCommand(std::string_view text, int echo);
  void VaCommRxChar(QObject* sender, int count);

  // ---- Reply interpreter ----------------------------------------------------
  void InterpretReply(std::string_view frame);

  // ---- Discovery ------------------------------------------------------------
  void EnumeratePorts();
  void Btn_PoleClick(QObject* sender);
  void Btn_COMClick(QObject* sender);  // nothing without a sender
  void SearchStep();
  void Btn_TryAgainClick(QObject* sender);
  void Btn_ExitClick(QObject* sender);
  void GBox_COMDblClick(QObject* sender);

  // ---- Poll cycle -------------------------------------------------------------
  void Timer_LEDTimer(QObject* sender);  // nothing without a sender
  void Timer1Timer(QObject* sender);     // without a sender: reset the script engine
  void Btn_ErrorNoticeClick(QObject* sender);
  void QueueStep(std::int32_t step);

  // ---- Start-up, restart, shutdown -------------------------------------------
  void FormCreate(QObject* sender);
  void M_File_RestartClick(QObject* sender);  // without a sender the series are kept
  void M_File_ExitClick(QObject* sender);
  // Returns false when the window stays open (the user cancelled).
  bool FormClose();
  // A termination signal (`name`, "SIGTERM"): the program ends as by Exit,
  // without the question and without sending anything to the controller.
  void EndBySignal(std::string_view name);
  void M_Help_HelpClick(QObject* sender);
  void M_Help_AboutClick(QObject* sender);
  void Panel_tT_DataDblClick(QObject* sender);

  // ---- Layout ---------------------------------------------------------------
  void ArrangeMainWindow();
  void EnableMainMenus(bool on);
  void FormResize(QObject* sender);
  void Btn_ChangeWidthClick(QObject* sender);
  void Panel_StatusDblClick(QObject* sender);

  // ---- Direct control toggles -------------------------------------------------
  void M_Tools_TC_OnOff_Click(QObject* sender);
  void M_Tools_SC_Spl_OnOff_Click(QObject* sender);
  void M_Tools_SC_Ref_OnOff_Click(QObject* sender);
  void M_Tools_CP_Click(QObject* sender);
  void M_Tools_CP_HomeBefore_Click(QObject* sender);
  void M_Tools_Link_RtoSClick(QObject* sender);
  void CkB_P_AvgClick(QObject* sender);

  // ---- Setpoints and parameter entry ------------------------------------------
  // The "Change" buttons and the menu items that ask for a value (targets,
  // stirrer speeds, ramps, plot interval, reminder delay); other senders do nothing.
  void M_ParameterEntry(QObject* sender);
  // Asks for a value of the given kind (see ParameterKind) and applies it.
  void EnterParameter(int kind);
  SetpointTexts Setpoints;

  // ---- Series and data files ---------------------------------------------------
  // Adds one record to a series (1 to 5) and returns its text.
  std::string AppendRecord(int series, float temperature);
  void M_Plot_ClearAllClick(QObject* sender);
  void M_Plot_ClearRestartClick(QObject* sender);
  void M_Plot_StopClick(QObject* sender);
  void M_Data_CopyClick(QObject* sender);
  void M_Data_SaveClick(QObject* sender);
  void M_Data_LoadClick(QObject* sender);
  void SetRecordDecimals(char digit);

  // ---- Plot view --------------------------------------------------------------
  void RedrawPlot();
  void M_Plot_ShownClick(QObject* sender);
  // Binds the renderer's main plot to the on-screen image at the plot size.
  void AttachMainPlot();
  void SetAxisLabels(std::string_view vertical, std::string_view horizontal);
  void SetPlotBackground(const PlotColour& colour);
  // Places the plot panel and its label controls for the current layout size.
  void PlacePlotControls();
  void EB_PlotLimitExit(QObject* sender);  // leaving a limit box, or Enter in it
  void Plot_ScaleClick(QObject* sender);
  void Panel_AxisLabelClick(QObject* sender);
  void Edit_AxisLabelExit(QObject* sender);  // leaving an axis label editor, or Enter in it
  void M_Plot_CopyClick(QObject* sender);
  void ImageClick(QObject* sender);

  // ---- Equilibration reminder ---------------------------------------------------
  void M_EquilRem_OnOffClick(QObject* sender);
  void M_EquilRem_StopBeepClick(QObject* sender);

  // ---- Display log ------------------------------------------------------------
  void AppendToDisplayLog(int level, std::string_view text);
  // The same for a text from the toolkit, reduced to single bytes.
  void AppendWideToDisplayLog(int level, const QString& text);
  // "Clear Display", or "Cancel Loop" while the button reads so.
  void Btn_ClearClick(QObject* sender);
  // Without a sender: opened for the start-up script, closed again when it completes.
  void M_Tools_ScriptWindow_Click(QObject* sender);
  void M_Tools_CommandWindow_Click(QObject* sender);  // nothing without a sender
  void M_Tools_HideWindowClick(QObject* sender);
  void Btn_SendClick(QObject* sender);  // nothing without a sender
  // A character typed into the command box; set to 0 when it is swallowed.
  void CbB_Edit_CommandKeyPress(QObject* sender, char& key);
  // The local handling of a typed or scripted controller command before it is
  // sent: may rewrite it (the changer position) and updates the displays.
  void ApplyCommandLocally(std::string& command);
  void CkB_ShowCommentsClick(QObject* sender);  // nothing without a sender
  bool ShowComments = false;    // scripts show their comments instead of their commands
  bool HistoryPending = false;  // the command box was typed into since the last send

  // ---- Script engine ----------------------------------------------------------
  // Without a sender: the start-up script request, once per program run.
  void Btn_RunScriptClick(QObject* sender);
  void EndWaitBtnClick(QObject* sender);  // nothing without a sender
  // Tools, "Check Script File ...": the checker's report in the display log.
  void M_Tools_CheckScriptClick(QObject* sender);
  FormScriptHost ScriptHostOfForm{*this};
  ScriptEngine Engine{ScriptHostOfForm};
  // The display log's nesting level: the script engine's loop level.
  std::int32_t& LoopLevel = Engine.LoopLevel;

  // ---- Spectrometer window ------------------------------------------------------
  // The spectrometer window, created after this one; null until attached.
  TFormS* FormS = nullptr;
  void AttachSpectrometerWindow(TFormS& window);
  void M_SpectrometerClick(QObject* sender);
  // A sample ("S") or probe ("P") record for a reading, when that recording is on.
  void RequestReading(char kind, std::string_view record);
  void UpdateProbeBox(bool probePresent);
  bool SpectrometerPortOpen() const;
  void SpectrometerLinkRefresh();                                  // Btn_COMClick of FormS without a sender
  // The strip says while the spectrometer's port is lost and tried again.
  void ShowSpectrometerLinkLost(bool lost, const std::string& port);
  void SpectrometerSend(std::string_view text);                    // [*SC text]
  void SpectrometerWavelength(char mode, std::string_view number); // [*SW x], [*SW+x], [*SW-x] -> SetWavelength
  void SpectrometerZero();                                         // [*SZ]
  void SpectrometerRecordSample(bool on);                          // [*SS +/-]: tick/untick, CkB_SampleClick(nullptr)
  void SpectrometerRecordProbe(bool on);                           // [*SP +/-]

  // ---- Offline work -------------------------------------------------------------
  // "Work Offline", from the search box's button or the File menu; nothing
  // without a sender. The first run turns the window into a viewer without a
  // controller; Clear All runs it again offline, which re-applies only the
  // menus, caption, run state and plot image (a resized plot keeps its size).
  void Btn_OfflineClick(QObject* sender);
  // One tick of the spectrometer window's simulated experiment (run state 10).
  void SimulationStep();

  // ---- Recording journal ----------------------------------------------------------
  // File > "Open Data Folder": the folder of the journal's runs, through the desktop.
  void M_File_OpenDataFolderClick(QObject* sender);
  // At start: names the run the previous session left open, offering to open its folder.
  void ReportUnendedRun();
  // Takes what the journal reports after a write: a failure, or (every few
  // seconds while it fails) whether it has written all it missed.
  void ShowJournalFailure();
  // The journal could not write; it keeps what it missed and tries again.
  // The one place this event is raised.
  void JournalWriteFailed(const std::string& why);
  // The journal has written everything it missed. The one place this event is raised.
  void JournalCompleteAgain();
  // Every few seconds while the journal misses lines: asks it to write them.
  void RetryJournalTick();
  // The journal of the options, or one that keeps nothing.
  Journal& JournalInUse() const;
  QAction* M_File_OpenDataFolder = nullptr;

  // ---- Notifications ---------------------------------------------------------------
  // Passes an event (text: one line, UTF-8) to the options' listener.
  void RaiseEvent(ProgramEvent event, std::string_view text);

  // ---- A lost link ----------------------------------------------------------------
  // Reopens the port the link was lost on at once, keeping every series.
  void Btn_ReconnectClick(QObject* sender);
  // The controller link is lost: the port failed or the controller stopped
  // answering. The one place this event is raised.
  void ControllerLinkLost(const std::string& why);
  // The controller answers again and its settings have been read again. The
  // one place this event is raised.
  void ControllerLinkBack();

  // ---- Keeping a connection's data and settings ---------------------------------
  // The link of a two-holder controller, set up by its first identity or
  // feature reply of a connection; later ones keep the user's choice.
  void LinkReferenceOnce();
  // A controller had answered and its link is lost since (not yet back).
  bool LinkIsLost() const { return Link.Lost(); }

  // ---- Controls -----------------------------------------------------------------
  // Menus. Submenus are addressed through their QMenu; `Show`/`Enable` below
  // treat items and submenus alike.
  QMenu* M_File = nullptr;
  QAction* M_File_WorkOffline = nullptr;
  QAction* M_File_Restart = nullptr;
  QAction* M_File_Exit = nullptr;

  QMenu* M_Tools = nullptr;
  QMenu* M_Tools_TC1 = nullptr;
  QAction* M_Tools_TC1_On = nullptr;
  QAction* M_Tools_TC1_Off = nullptr;
  QAction* M_Tools_TC1_Target = nullptr;
  QMenu* M_Tools_TC = nullptr;
  QAction* M_Tools_TC_Spl_On = nullptr;
  QAction* M_Tools_TC_Spl_Off = nullptr;
  QAction* M_Tools_TC_Spl_Target = nullptr;
  QAction* M_Tools_TC_Ref_On = nullptr;
  QAction* M_Tools_TC_Ref_Off = nullptr;
  QAction* M_Tools_TC_Ref_Target = nullptr;
  QAction* M_Tools_Ramp_1 = nullptr;
  QMenu* M_Tools_Ramp_3 = nullptr;
  QAction* M_Tools_Ramp_Sample = nullptr;
  QAction* M_Tools_Ramp_Reference = nullptr;
  QAction* M_Tools_Ramp_Both = nullptr;
  QMenu* M_Tools_SC1 = nullptr;
  QAction* M_Tools_SC1_On = nullptr;
  QAction* M_Tools_SC1_Off = nullptr;
  QAction* M_Tools_SC1_S = nullptr;  // separator
  QAction* M_Tools_SC1_Speed = nullptr;
  QMenu* M_Tools_SC = nullptr;
  QAction* M_Tools_SC_Spl_On = nullptr;
  QAction* M_Tools_SC_Spl_Off = nullptr;
  QAction* M_Tools_SC_Spl_S1 = nullptr;  // separator
  QAction* M_Tools_SC_Spl_Speed = nullptr;
  QAction* M_Tools_SC_Ref_On = nullptr;
  QAction* M_Tools_SC_Ref_Off = nullptr;
  QAction* M_Tools_SC_Ref_S1 = nullptr;  // separator
  QAction* M_Tools_SC_Ref_Speed = nullptr;
  QAction* M_Tools_S3 = nullptr;  // separator before the cuvette menu
  QMenu* M_Tools_CP = nullptr;
  std::array<QAction*, 9> M_Tools_CP_Items{};  // M_Tools_CP_1 .. M_Tools_CP_9
  QAction* M_Tools_CP_HomeBefore = nullptr;
  QAction* M_Tools_Link_RtoS = nullptr;
  QAction* M_Tools_ScriptWindow = nullptr;
  QAction* M_Tools_CommandWindow = nullptr;
  QAction* M_Tools_HideWindow = nullptr;

  // The five series, indexed by series number - 1: sample, reference, probe,
  // sample heat exchanger, reference heat exchanger.
  QMenu* M_Data = nullptr;
  QMenu* M_Data_Copy = nullptr;
  QMenu* M_Data_Save = nullptr;
  QMenu* M_Data_Load = nullptr;
  std::array<QAction*, 5> M_Data_Copy_Items{};
  std::array<QAction*, 5> M_Data_Save_Items{};
  std::array<QAction*, 5> M_Data_Load_Items{};

  QMenu* M_Plot = nullptr;
  QMenu* M_Plot_Shown = nullptr;
  std::array<QAction*, 5> M_Plot_Shown_Items{};
  QAction* M_Plot_ClearAll = nullptr;
  QAction* M_Plot_ClearRestart = nullptr;
  QAction* M_Plot_Stop = nullptr;
  QAction* M_Plot_TimeInterval = nullptr;
  QMenu* M_Plot_Copy = nullptr;
  QAction* M_Plot_Copy_Other = nullptr;
  QAction* M_Plot_Copy_Large = nullptr;
  QAction* M_Plot_Copy_Medium = nullptr;
  QAction* M_Plot_Copy_Small = nullptr;

  QMenu* M_EquilRem = nullptr;
  QAction* M_EquilRem_On = nullptr;
  QAction* M_EquilRem_Off = nullptr;
  QAction* M_EquilRem_Delay = nullptr;
  QAction* M_EquilRem_StopBeep = nullptr;

  QAction* M_Spectrometer = nullptr;
  QMenu* M_Help = nullptr;
  QAction* M_Help_Help = nullptr;
  QAction* M_Help_About = nullptr;

  // Named series menu items, for readability where one series is meant.
  QAction*& M_Plot_Shown_Probe = M_Plot_Shown_Items[2];
  QAction*& M_Data_Copy_Probe = M_Data_Copy_Items[2];
  QAction*& M_Data_Save_Probe = M_Data_Save_Items[2];
  QAction*& M_Data_Load_Probe = M_Data_Load_Items[2];

  // Window regions.
  QWidget* Client = nullptr;  // the client area below the menu bar
  Panel* Panel_ErrorNotice = nullptr;
  QLabel* L_ErrorNotice = nullptr;
  QPushButton* Btn_ErrorNotice = nullptr;
  QPushButton* Btn_Reconnect = nullptr;  // shown when the link was lost
  Panel* Panel_Status = nullptr;
  Panel* Panel_Plot = nullptr;
  Panel* Panel_Cmd_Scr = nullptr;
  Panel* Panel_tT_Data = nullptr;

  // Search box.
  GroupBox* GBox_COM = nullptr;
  QComboBox* Combo_COM = nullptr;
  QComboBox* Combo_BAUD = nullptr;
  QLabel* Label_BAUD = nullptr;
  QPushButton* Btn_COM = nullptr;
  QPushButton* Btn_Pole = nullptr;
  QPushButton* Btn_Offline = nullptr;
  QLabel* Label_TestingCOM = nullptr;
  QLabel* Label_Waiting = nullptr;
  Panel* Panel_Failed = nullptr;
  QPushButton* Btn_TryAgain = nullptr;
  QPushButton* Btn_Exit = nullptr;

  // Status panel: the holder boxes share their layout; index 0 sample, 1 reference.
  GroupBox* GrB_S_Holder = nullptr;
  GroupBox* GrB_R_Holder = nullptr;
  QLabel* L_S_Status = nullptr;
  QLabel* L_S_Temperature = nullptr;
  QCheckBox* CkB_SController_On = nullptr;
  LedShape* Shape_S_LED = nullptr;
  QLabel* L_S_LED = nullptr;
  QLabel* L_S_HeatExcT = nullptr;
  QLabel* L_S_Target = nullptr;
  QLabel* L_S_TargetT = nullptr;
  QPushButton* Btn_S_TargetChange = nullptr;
  QLabel* L_S_Stirrer = nullptr;
  QCheckBox* CkB_S_StirrerOn = nullptr;
  QLabel* L_S_StirSpeed = nullptr;
  QPushButton* Btn_S_StirChange = nullptr;
  QLabel* L_S_Cuvette = nullptr;
  QComboBox* DDL_CuvettePosition = nullptr;
  QCheckBox* CkB_HomeBefore = nullptr;
  ClickLabel* L_CuvPosHome = nullptr;
  ClickLabel* L_CuvPosBefore = nullptr;
  QLabel* L_R_Status = nullptr;
  QLabel* L_R_Temperature = nullptr;
  QCheckBox* CkB_RController_On = nullptr;
  LedShape* Shape_R_LED = nullptr;
  QLabel* L_R_LED = nullptr;
  QLabel* L_R_HeatExcT = nullptr;
  QLabel* L_R_Target = nullptr;
  QLabel* L_R_TargetT = nullptr;
  QPushButton* Btn_R_TargetChange = nullptr;
  QLabel* L_R_Stirrer = nullptr;
  QCheckBox* CkB_R_StirrerOn = nullptr;
  QLabel* L_R_StirSpeed = nullptr;
  QPushButton* Btn_R_StirChange = nullptr;
  GroupBox* GB_ExtProbe = nullptr;
  QLabel* L_P_Temperature = nullptr;
  QLabel* L_P_MeanDeviation = nullptr;
  QCheckBox* CkB_P_Avg = nullptr;

  // Plot panel.
  PlotImage* Image = nullptr;
  QLabel* Label_SplBeepCountdown = nullptr;
  Panel* Panel_DataShowHide = nullptr;
  Panel* Panel_HAxisLabel = nullptr;
  EditBox* Edit_HAxisLabel = nullptr;

  // The six limit boxes: time minimum, maximum, increment, then temperature.
  std::array<EditBox*, 6> EB_Limits{};
  EditBox*& EB_MinTime = EB_Limits[0];
  EditBox*& EB_MaxTime = EB_Limits[1];
  EditBox*& EB_IncTime = EB_Limits[2];
  EditBox*& EB_MinTemp = EB_Limits[3];
  EditBox*& EB_MaxTemp = EB_Limits[4];
  EditBox*& EB_IncTemp = EB_Limits[5];
  QLabel* L_TimeLimits = nullptr;
  QLabel* L_TempLimits = nullptr;
  Panel* Panel_VAxisLabel = nullptr;
  EditBox* Edit_VAxisLabel = nullptr;

  // The five series memos, indexed by series number - 1: Memo_Tt, Memo_TtR,
  // Memo_TtP, Memo_TtHE, Memo_TtHER.
  std::array<SeriesMemo*, 5> SeriesMemos{};

  // Command/script panel.
  QPlainTextEdit* ScriptDisplay = nullptr;
  QWidget* Panel_Cmd_Scr_Controls = nullptr;
  QPushButton* Btn_Clear = nullptr;
  QPushButton* Btn_IncreaseWidth = nullptr;
  QPushButton* Btn_DecreaseWidth = nullptr;
  QPushButton* Btn_Send = nullptr;
  QPushButton* Btn_RunScript = nullptr;  // in the place of Btn_Send on the script panel
  QComboBox* CbB_Edit_Command = nullptr;
  QCheckBox* CkB_ShowComments = nullptr;
  QWidget* Delay_Panel = nullptr;  // a script's wait
  QLabel* Delay_Label = nullptr;
  QLabel* Delay_Display = nullptr;
  QPushButton* EndWaitBtn = nullptr;
  QAction* M_Tools_CheckScript = nullptr;  // "Check Script File ..."

  QTimer* Timer_LED = nullptr;
  QTimer* Timer1 = nullptr;

  const FormServices& Services() const { return services_; }
  const FormOptions& Options() const { return options_; }

  // Helpers that treat menu items and submenus alike.
  static void Show(QAction* item, bool visible);
  static void Show(QMenu* menu, bool visible);
  static void Enable(QAction* item, bool enabled);
  static void Enable(QMenu* menu, bool enabled);
  static bool Visible(const QAction* item);
  static bool Visible(const QMenu* menu);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenus();
  void BuildSearchBox();
  void BuildStatusPanel();
  void BuildHolderBox(bool reference);
  void BuildErrorNotice();
  void BuildPlotPanel();
  void BuildDataPanel();
  void BuildCommandPanel();
  // Keeps the display log within its line limit (display_log.cpp).
  void TrimDisplayLog();
  // Opens the command/script panel at `panelWidth`; the window grows by 230.
  void PlacePanel(int panelWidth);
  void ConnectHandlers();
  // Places the regions aligned to the window edges (error strip at the top,
  // status panel at the left, command panel at the right).
  void AlignPanels();

  // Reply handlers, one per reply kind.
  void LogReply(std::string_view frame);
  void FirstContact();
  void HandleReading(std::string_view frame);
  void HandleStatus(std::string_view frame);
  void HandleError(std::string_view frame);
  void HandleStirrerSpeed(std::string_view frame);
  void HandleTarget(std::string_view frame);
  void HandleHeatExchanger(std::string_view frame);
  void HandleProbePresence(std::string_view frame);
  void HandleFirmwareVersion(std::string_view frame);
  void HandleIdentification(std::string_view frame);
  void HandleLimit(std::string_view frame);
  void HandleHeLimit(std::string_view frame);
  void HandleChangerPosition(std::string_view frame);
  void HandleFeatures(std::string_view frame);
  void HandlePositionCount(std::string_view frame);
  void HandleRampRate(std::string_view frame);
  void UpdateProbeStatistics(float reading);
  void SetPositionItems(int count);
  // The changer's start-up steps, except while a lost link is read again.
  void QueueChangerStartup();
  // Opens the port named by Search.PortName; says why when it cannot.
  bool OpenControllerPort();
  // The channel failed under an open connection.
  void LinkLost(const std::string& reason);
  // The lost-link watch's share of a tick: notices silence, reopens, probes.
  void WatchLinkTick();
  // Opens the port the watch names next; quietly, as the search does.
  void ReopenLink();
  // Stale bytes and half a reply are dropped before the link watch hears of the open port.
  void StartOnReopenedPort(const std::string& port);
  // A controller that answers again is read again before anything else.
  void ReadSettingsAgain();
  // False for a frame to drop: one from another port before it has shown
  // the same model. Tells the watch of every reply it lets through.
  bool TakeReplyOnLink(std::string_view frame);
  // The holder and probe boxes greyed while their values are old.
  void ShowStale(bool stale);
  // The error strip with `text`: the lost link's Reconnect or the Clear button.
  void ShowNotice(const QString& text, bool reconnect);
  // Puts `text` in the strip with the spectrometer's lost-link sentence kept
  // after it while that link is still lost; the controller's writers share it.
  void SetNoticeText(const QString& text);
  void RunStepMachineTick();
  void ShowHolderStatus(bool reference);
  // Draws the main plot from the series onto `target` at the main slot's size.
  void DrawMainPlot(QImage& target);
  void ResetProbeAverage();
  // The series (1 to 5) a menu item of one of the per-series submenus stands for; 0 for none.
  int SeriesOfItem(QObject* item, const std::array<QAction*, 5>& items) const;
  void ReminderSecond();
  // Sets a check box from the program, raising its handler when it changes.
  static void SetChecked(QCheckBox* box, bool checked);

  FormServices services_;
  FormOptions options_;
  bool limitEntryBusy_ = false;
  bool journalFailing_ = false;  // the journal misses lines it will write when it can
  bool spectrometerLinkLost_ = false;  // told once when lost, once when back
  std::int32_t journalRetryTicks_ = 0;
  std::string lastSaveName_;  // proposed by the next Save
};

}  // namespace vireo
