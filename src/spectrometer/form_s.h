#pragma once
// The spectrometer window: the link to the spectrophotometer, the data table
// of its readings and their plot against time, temperature or wavelength for
// up to six cells. Its handlers are thin: the handshake is
// SpectrometerProtocol's, the table and plot SpectrometerTable's.
//
// The window knows the main window only as a widget to show and hide and
// through the state it reads (the controller's changer position and probe,
// offline mode); the main window calls into it.

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/controller_state.h"
#include "recording/plot_renderer.h"
#include "recording/recording_state.h"
#include "spectrometer/offline_simulation.h"
#include "spectrometer/spectrometer_link.h"
#include "spectrometer/spectrometer_plot.h"
#include "spectrometer/spectrometer_table.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace vireo {

class Clipboard;
class Dialogs;
class EditBox;
class GroupBox;
class Journal;
class MeltWindow;
class Panel;
class PlotImage;
class PortLister;
class SerialChannel;

struct FormSServices {
  SerialChannel& spectrometerChannel;
  Dialogs& dialogs;
  Clipboard& clipboard;
  PortLister& ports;
};

// What the window reads of the main window's state.
struct FormSContext {
  const ControllerState& controller;
  const RecordingState& recording;
  PlotRenderer& renderer;      // the shared renderer; this window draws slot 2
  QWidget* mainWindow = nullptr;
  // The main window's recording journal; none: the readings are not journaled.
  Journal* journal = nullptr;
  std::vector<std::string> extraPorts;  // listed after the system's ports
};

inline constexpr const char* kSpectrometerName = "Shimadzu UV-1800";
inline constexpr int kFormSWidth = 772;
inline constexpr int kFormSHeight = 442;
inline constexpr int kControlPanelHeight = 48;
inline constexpr int kLimitStripHeight = 34;  // limit captions and boxes above the table and plot
// The serial link: 9600 baud, 8N1, no flow control, DTR off, RTS on.
inline constexpr int kSpectrometerBaud = 9600;

class TFormS : public QWidget, private SpectrometerHost {
  Q_OBJECT

 public:
  TFormS(FormSServices services, FormSContext context, QWidget* parent = nullptr);
  ~TFormS() override;

  SpectrometerWindowState State;
  SpectrometerProtocol Protocol{*this};
  SpectrometerTable Table;
  // Answers the reading requests offline.
  SimulatedInstrument Instrument;
  SpectrometerPicture Picture;  // what SImage shows

  // Offline Clear switched between one cell (false) and six (true).
  std::function<void(bool sixCells)> onCellModeChanged;
  // A line for the main window's display log.
  std::function<void(std::string_view text)> onNotice;
  // The spectrometer's port was lost (true) or is open again (false).
  std::function<void(bool lost, const std::string& port)> onLinkLost;

  // ---- Link ------------------------------------------------------------------
  void ListSpectrometerPorts();
  void Btn_COMClick(QObject* sender);  // without a sender: the link refresh
  void SetWavelength(std::string_view entry);
  void Edit_WLnmKeyPress(QObject* sender);  // Enter
  void Btn_AutoZeroClick(QObject* sender);
  // False when the command is too long to be sent.
  bool SendSpectrometerCommand(std::string_view text);
  void VaCommRxChar(QObject* sender, int count);
  void HandleSpectrometerBytes(std::optional<std::string_view> chunk);  // none: reset
  void ShowSpectrometerBusy(bool on);
  void TraceSpectrometer(std::string_view prefix, std::string_view bytes);
  bool SpectrometerPortOpen() const;
  // The reply timer: a reading has gone quiet, or the instrument has.
  void Timer_ReplyTimer();
  // While the link is lost: tries the lost port again.
  void Timer_ReconnectTimer();
  bool LinkLost() const { return linkLost_; }
  // How often a lost port is tried again.
  static constexpr int kReconnectMs = 3000;

  // ---- Readings and table ----------------------------------------------------
  void RequestReading(char letter, std::string_view report);
  void UpdateProbeBox();
  void CkB_SampleClick(QObject* sender);
  void CkB_ProbeClick(QObject* sender);
  void Btn_ClearClick(QObject* sender);
  void Btn_SaveClick(QObject* sender);
  void Btn_CopyClick(QObject* sender);
  void Btn_PlotOrDataClick(QObject* sender);
  void Memo_ReceivedDblClick(QObject* sender);
  // Replaces the table's text (a loaded file) and redraws.
  void SetTableText(std::string_view text);

  // ---- Plot ------------------------------------------------------------------
  void RedrawSpectrometerPlot();
  void RG_X_UnitsClick(QObject* sender);
  void CkB_ShowClick(QObject* sender);
  void EB_PlotLimitExit(QObject* sender);      // leaving a limit box
  void EB_PlotLimitKeyPress(QObject* sender);  // Enter in a limit box
  void Panel_VAxisLabelClick(QObject* sender);
  void Edit_VAxisLabelKeyPress(QObject* sender);  // Enter

  // ---- Window ----------------------------------------------------------------
  void Btn_HideWindowClick(QObject* sender);
  void Panel_ControlDblClick(QObject* sender);
  void ResetSpectrometerWindow();

  // ---- Melting analysis ------------------------------------------------------
  // The button in the limit strip opens the analysis of the shown cells; an
  // open analysis follows every change of the table.
  void Btn_MeltAnalysisClick(QObject* sender);
  void RefreshMeltAnalysis();
  QPushButton* Btn_MeltAnalysis = nullptr;
  MeltWindow* MeltAnalysis = nullptr;

  // ---- Controls ----------------------------------------------------------------
  QPlainTextEdit* Memo_Received = nullptr;
  QPlainTextEdit* Memo_ComDisplay = nullptr;
  PlotImage* SImage = nullptr;
  Panel* Panel_Control = nullptr;
  GroupBox* GBox_COM = nullptr;
  QComboBox* Combo_COM = nullptr;
  QPushButton* Btn_COM = nullptr;
  QCheckBox* CkB_Sample = nullptr;
  QCheckBox* CkB_Probe = nullptr;
  QPushButton* Btn_Clear = nullptr;
  QPushButton* Btn_PlotOrData = nullptr;
  QPushButton* Btn_Copy = nullptr;
  QPushButton* Btn_Save = nullptr;
  QLabel* Label_WLnm = nullptr;
  EditBox* Edit_WLnm = nullptr;
  QPushButton* Btn_AutoZero = nullptr;
  QPushButton* Btn_HideWindow = nullptr;
  QGroupBox* GB_ShowControl = nullptr;
  std::array<QCheckBox*, kCellCount> CkB_Cells{};  // CkB_1 .. CkB_6
  std::array<Panel*, kCellCount> Panel_Swatches{};  // Panel_Black .. Panel_Gray
  QGroupBox* RG_X_Units = nullptr;
  QButtonGroup* RG_X_Units_Items = nullptr;
  // Horizontal minimum, maximum, increment, then vertical.
  std::array<EditBox*, 6> EB_Limits{};
  EditBox*& EB_MinX = EB_Limits[0];
  EditBox*& EB_MaxX = EB_Limits[1];
  EditBox*& EB_IncX = EB_Limits[2];
  EditBox*& EB_MinY = EB_Limits[3];
  EditBox*& EB_MaxY = EB_Limits[4];
  EditBox*& EB_IncY = EB_Limits[5];
  QLabel* L_Limits = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* L_time = nullptr;
  QLabel* L_temperature = nullptr;
  QLabel* L_wavelength = nullptr;
  Panel* Panel_VAxisLabel = nullptr;
  EditBox* Edit_VAxisLabel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // SpectrometerHost
  bool PortOpen() const override { return SpectrometerPortOpen(); }
  void Write(std::string_view bytes) override;
  bool Offline() const override { return context_.recording.OfflineMode; }
  int CuvettePosition() const override { return context_.controller.CuvettePosition; }
  bool TraceShown() const override;
  void TraceLine(std::string_view line) override;
  void RecordComplete(std::string_view record) override;
  void Notice(std::string_view text) override;
  void StartTimer(int milliseconds) override;

  void BuildControls();
  void BuildPlotControls();
  void BuildMeltControls();
  void ConnectHandlers();
  void ShowMeasurementControls(bool shown);
  void SetHorizontalQuantity(PlotQuantity quantity);
  void SetMainWindowShown(bool shown);
  // The port has gone: the connect box comes back, the port is tried again
  // every few seconds; the table stays.
  void ShowLinkLost(const std::string& reason);
  // Opens `port` after a loss; on success the wavelength is set again and
  // recording goes on into the same table.
  bool Reconnect(const std::string& port);
  // The port box, never under the buttons it shares the panel with.
  void ShowConnectBox(bool shown);
  // A port is open (or the simulation runs): the measurement controls
  // instead of the port box.
  void ShowConnected();
  // Opens the chosen port with the link's settings.
  bool OpenPort(const std::string& port);
  // A recording switch went off: the count of reports without a reading.
  void EndRecordingRun();
  // The journal of the context while a live instrument records; none offline.
  Journal* LiveJournal() const;

  FormSServices services_;
  FormSContext context_;
  bool limitEntryBusy_ = false;
  QTimer* Timer_Reply = nullptr;
  QTimer* Timer_Reconnect = nullptr;
  bool linkLost_ = false;
  std::string linkPort_;        // the port that was lost
  bool recording_ = false;      // a recording switch is on
  bool oneCellChanger_ = false;  // a changer with more positions than columns: position 1 only
  std::string lastSaveName_;
};

}  // namespace vireo
