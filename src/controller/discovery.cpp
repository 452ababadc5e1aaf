// Finding the controller: the port list, the automatic search (one port every
// 2 seconds, the last listed first), manual Connect, and the failure panel.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "controller/serial_channel.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

void FormA::BuildSearchBox() {
  GBox_COM = new GroupBox(QStringLiteral("Searching for the Temperature Controller"), Client);
  GBox_COM->setObjectName(QStringLiteral("GBox_COM"));
  GBox_COM->setGeometry(27, 23, 370, 150);

  Combo_COM = new QComboBox(GBox_COM);
  Combo_COM->setEditable(true);
  Combo_COM->setGeometry(16, 28, 120, 22);
  Combo_COM->setToolTip(QStringLiteral("Select the desired COM port or enter the correct port designation"));
  Combo_BAUD = new QComboBox(GBox_COM);
  Combo_BAUD->setEditable(true);
  Combo_BAUD->addItems({QStringLiteral("19200"), QStringLiteral("9600"), QStringLiteral("115200")});
  Combo_BAUD->setEditText(QStringLiteral("19200"));
  Combo_BAUD->setGeometry(150, 28, 72, 22);
  Combo_BAUD->setToolTip(QStringLiteral("The baud rate for connecting to the controller (usually 19,200)"));
  Label_BAUD = new QLabel(QStringLiteral("baud rate"), GBox_COM);
  Label_BAUD->move(228, 32);
  Label_BAUD->adjustSize();
  Btn_COM = new QPushButton(QStringLiteral("Connect"), GBox_COM);
  Btn_COM->setGeometry(16, 62, 90, 25);
  Btn_COM->setToolTip(QStringLiteral("Connect to the COM port designated to the left."));
  Btn_Pole = new QPushButton(QStringLiteral("Pole"), GBox_COM);
  Btn_Pole->setGeometry(116, 62, 60, 25);
  Btn_Offline = new QPushButton(QStringLiteral("Work Offline"), GBox_COM);
  Btn_Offline->setGeometry(186, 62, 100, 25);
  Btn_Offline->setToolTip(
      QStringLiteral("Allows loading and plotting of time/temperature data saved to file from an earlier session"));
  Label_TestingCOM = new QLabel(GBox_COM);
  Label_TestingCOM->setGeometry(16, 30, 330, 18);
  Label_TestingCOM->hide();
  Label_Waiting = new QLabel(QStringLiteral("Waiting for Controller to respond"), GBox_COM);
  Label_Waiting->setGeometry(16, 100, 330, 18);
  Label_Waiting->hide();

  Panel_Failed = new Panel(GBox_COM);
  Panel_Failed->setObjectName(QStringLiteral("Panel_Failed"));
  Panel_Failed->setGeometry(8, 18, 354, 126);
  Panel_Failed->setAutoFillBackground(true);
  auto* failed = new QLabel(QStringLiteral("Failed to find a Temperature Controller.\n"
                                           "  Check that the instrument power is on.\n"
                                           "  Check that the USB or Bluetooth connection is secure.\n"
                                           "  Then click the 'Try Again' button."),
                            Panel_Failed);
  failed->setGeometry(8, 4, 340, 70);
  Btn_TryAgain = new QPushButton(QStringLiteral("Try Again"), Panel_Failed);
  Btn_TryAgain->setGeometry(60, 88, 90, 25);
  Btn_Exit = new QPushButton(QStringLiteral("Exit"), Panel_Failed);
  Btn_Exit->setGeometry(200, 88, 90, 25);
  Panel_Failed->hide();
}

void FormA::EnumeratePorts() {
  Combo_COM->clear();
  Search.PortCount = 0;
  std::vector<std::string> ports = services_.ports.ListPorts();
  for (const std::string& extra : options_.extraPorts) {
    if (std::find(ports.begin(), ports.end(), extra) == ports.end()) ports.push_back(extra);
  }
  for (const std::string& port : ports) {
    Combo_COM->addItem(QString::fromStdString(port));
    Search.PortCount += 1;
  }
  if (Search.PortCount > 0) Combo_COM->setCurrentIndex(Search.PortCount - 1);
  if (const std::optional<PortAccessMessage> notice = PortAccess.Take(services_.ports.DeniedPorts())) {
    SetNoticeText(QString::fromStdString(notice->strip));
    Panel_ErrorNotice->show();
    AlignPanels();
    AppendToDisplayLog(-1, notice->log);
  }
}

void FormA::Btn_PoleClick(QObject*) {
  Search.Searching = true;
  GBox_COM->show();
  for (QWidget* w : std::initializer_list<QWidget*>{Btn_COM, Btn_Offline, Btn_Pole, Label_BAUD, Combo_BAUD, Combo_COM}) {
    w->hide();
  }
  Label_TestingCOM->show();
  Search.PortsLeft = Search.PortCount;
  // The first port is tried on the first tick, also when an earlier search
  // ended early with a connection.
  Search.SearchTicks = 10;
}

void FormA::SearchStep() {
  // The last port tried has its full two seconds before the search gives up.
  if (Search.PortsLeft <= 0 && Search.SearchTicks >= 10) {
    Search.Searching = false;
    Search.SearchTicks = 10;
    Label_TestingCOM->hide();
    setWindowTitle(QString::fromLatin1(kAppTitle));
    Label_Waiting->hide();
    Panel_Failed->show();
    if (Search.PortCount > 0) Combo_COM->setCurrentIndex(Search.PortCount - 1);
    return;
  }
  if (Search.PortsLeft > 0 && Search.SearchTicks >= 10) {
    Search.SearchTicks = 0;
    Combo_COM->setCurrentIndex(Search.PortsLeft - 1);
    Label_TestingCOM->setText(QStringLiteral("Testing %1").arg(Combo_COM->currentText()));
    Btn_COMClick(Btn_COM);
    Search.PortsLeft -= 1;
  }
  Search.SearchTicks += 1;
}

void FormA::Btn_COMClick(QObject* sender) {
  if (!sender) return;
  SerialChannel& channel = services_.controllerChannel;
  if (channel.Active()) {
    channel.Close();
    if (RunState != kRunIdle) Timer1Timer(nullptr);
    Label_Waiting->hide();
  }
  SerialSettings settings = channel.Settings();
  settings.baudRate = BaudRateFromText(Combo_BAUD->currentText().toStdString());
  settings.dtr = false;
  settings.rts = false;
  channel.SetSettings(settings);
  Search.PortName = Combo_COM->currentText().trimmed().toStdString();
  // A port is named by the system (ttyUSB0) or by its device path.
  if (Search.PortName.empty()) return;
  if (!OpenControllerPort()) return;
  RunState = kRunProbing;
  Timer1->start();
}

bool FormA::OpenControllerPort() {
  SerialChannel& channel = services_.controllerChannel;
  channel.SetPort(Search.PortName);
  if (!channel.Open()) {
    services_.dialogs.Message(channel.LastError(), "Vireo", Buttons::Ok);
    return false;
  }
  // Bytes left over from an earlier device on this port are no reply of ours.
  channel.PurgeRead();
  channel.PurgeWrite();
  return true;
}

void FormA::Btn_TryAgainClick(QObject*) {
  Label_TestingCOM->show();
  Panel_Failed->hide();
  M_File_RestartClick(nullptr);
}

void FormA::Btn_ExitClick(QObject*) { M_File_ExitClick(M_File_Exit); }

void FormA::GBox_COMDblClick(QObject*) { Controller.EchoQueries = true; }

}  // namespace vireo
