// Start-up, Restart, Exit and closing, Help and About.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "controller/serial_channel.h"
#include "recording/series_memo.h"
#include "recording/journal.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"

namespace vireo {
namespace {

constexpr const char* kMarkerFile = "Vireo_UserSelectedCOM.txt";
constexpr const char* kAboutText =
    "Version 1.50M\n\nVireo Instruments, laboratory temperature control\nsupport@vireo-instruments.example";
constexpr const char* kRestartQuestion =
    "The link to the controller was lost. Restart clears every recorded series: "
    "save them first with Data > Save.\n\nRestart and clear the series?";
// Commands written at close must reach the controller before the program ends.
constexpr int kCloseFlushMs = 500;
// How the program ended, in the display log and the journal's audit trail.
constexpr const char* kClosedByUserLine = "-------Vireo closed by the user (File > Exit or the window's close box)";
constexpr const char* kSignalEndLine =
    ": nothing was sent to the controller, its holders keep their state";

}  // namespace

void FormA::FormCreate(QObject* sender) {
  Show(M_Spectrometer, true);
  M_Help_Help->setText(QStringLiteral("Vireo &Help"));
  M_Help_About->setText(QStringLiteral("&About Vireo"));
  if (!Shell.CaptionSet) {
    if (!sender) return;
    setWindowTitle(QString::fromLatin1(kAppTitle));
    Shell.CaptionSet = true;
  }
  EnumeratePorts();
  Panel_tT_Data->hide();
  Panel_Plot->hide();
  Panel_Status->resize(0, Panel_Status->height());
  resize(432, 239);
  EnableMainMenus(false);
  GBox_COM->move(27, 23);
  // Only the marker file's existence counts: the user picks the port.
  const bool marker = QFile(QString::fromLatin1(kMarkerFile)).open(QIODevice::ReadOnly);
  if (!marker && options_.automaticSearch) {
    Btn_PoleClick(Btn_Pole);
  } else {
    // Waiting for the user's choice: the manual controls must be there, also
    // after a search has hidden them.
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_COM, Btn_Offline, Btn_Pole, Label_BAUD, Combo_BAUD, Combo_COM}) {
      w->show();
    }
    Label_TestingCOM->hide();
  }
  AlignPanels();
}

void FormA::M_File_RestartClick(QObject* sender) {
  // After a lost link the series are all that is left of the run: Restart
  // clears them only when the user says so.
  if (sender && LinkIsLost()) {
    bool recorded = false;
    for (const SeriesMemo* memo : SeriesMemos) recorded = recorded || !memo->toPlainText().isEmpty();
    const QuestionOpen asking(Shell.QuestionsOpen);
    if (recorded && services_.dialogs.Message(kRestartQuestion, "Restart", Buttons::OkCancel) != Answer::Ok) return;
  }
  Link.Stop();
  ShowStale(false);
  // The connection is given up: its run ends, kept as it is.
  JournalInUse().Disconnected();
  if (M_Tools_HideWindow->isEnabled()) M_Tools_HideWindowClick(M_Tools_HideWindow);
  RunState = kRunIdle;
  Timer1->stop();
  services_.controllerChannel.Close();
  ScriptDisplay->clear();
  if (sender) M_Plot_ClearAllClick(M_Plot_ClearAll);
  Controller.ProbePresent = false;
  Controller.ControllerFound = false;
  // The link belongs to the controller that was connected: the next one may
  // have one holder, and a two-holder one starts linked when it identifies.
  M_Tools_Link_RtoS->setChecked(false);
  setWindowTitle(QString::fromLatin1(kAppTitle));
  GBox_COM->show();
  // Cleared before the ports are listed again, which may have something to say.
  Panel_ErrorNotice->hide();
  Btn_Reconnect->hide();
  Btn_ErrorNotice->show();
  FormCreate(nullptr);
  Controller.ModemWarningArmed = true;
  Controller.EchoQueries = false;
  Panel_Failed->hide();
  Show(M_File_WorkOffline, true);
  AlignPanels();
  if (FormS) {
    FormS->hide();
    FormS->ResetSpectrometerWindow();
  }
}

void FormA::M_File_ExitClick(QObject* sender) {
  if (!sender) return;
  M_Plot_StopClick(M_Plot_Stop);
  close();
}

bool FormA::FormClose() {
  if (!Shell.CloseAsked) return true;
  Shell.CloseAsked = false;
  SerialChannel& channel = services_.controllerChannel;
  // The shutdown commands are for a controller that has answered, not for
  // whatever device a search or a manual connection left open.
  if (channel.Active() && Controller.ControllerFound) {
    const bool sampleOn = CkB_SController_On->isChecked();
    const bool referenceOn = CkB_RController_On->isChecked();
    bool yes = false;
    if (sampleOn || referenceOn) {
      Answer answer = Answer::Yes;
      if (Controller.ModelId != "13") {
        const QuestionOpen asking(Shell.QuestionsOpen);
        answer = services_.dialogs.Message("Turn temperature control off?", "Question", Buttons::YesNoCancel);
      }
      // A termination signal during the question has ended the program.
      if (Shell.Closing) return true;
      if (answer == Answer::Cancel) {
        Shell.CloseAsked = true;
        return false;
      }
      yes = answer == Answer::Yes;
      if (yes && sampleOn) SendControllerCommand("[F1 TC -]", 1);
      if (yes && referenceOn) SendControllerCommand("[R1 TC -]", 1);
    }
    if (Controller.FirmwareVersion > 7.0f) {
      if (!CkB_S_StirrerOn->isChecked()) SendControllerCommand("[F1 SS +]", 1);
    } else if (yes && CkB_S_StirrerOn->isChecked()) {
      SendControllerCommand("[F1 SS -]", 1);
    }
    channel.Flush(kCloseFlushMs);
  }
  AppendToDisplayLog(-1, kClosedByUserLine);
  Shell.Closing = true;
  JournalInUse().Close();
  QCoreApplication::quit();
  return true;
}

void FormA::EndBySignal(std::string_view name) {
  if (Shell.Closing) return;
  // Logging out or shutting down leaves no one to answer a question, and a
  // command the user did not give must not change a holder: a running script
  // ends as Cancel Script ends it, but a ramp it started runs on.
  if (Engine.Started()) Engine.Cancel(false);
  AppendToDisplayLog(-1, "-------Vireo ended by " + std::string(name) + kSignalEndLine);
  Shell.Closing = true;
  Shell.CloseAsked = false;
  JournalInUse().Close();
  QCoreApplication::quit();
}

void FormA::M_Help_HelpClick(QObject* sender) {
  if (!sender) return;
  // The manual ships beside the program.
  const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromStdString(options_.helpFile));
  services_.desktop.OpenDocument(path.toStdString());
}

void FormA::M_Help_AboutClick(QObject*) { services_.dialogs.Message(kAboutText, "About Vireo", Buttons::Ok); }

void FormA::Panel_tT_DataDblClick(QObject*) { Panel_tT_Data->hide(); }

}  // namespace vireo
