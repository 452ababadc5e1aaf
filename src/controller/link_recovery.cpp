// A controller link that drops and comes back by itself: the lost-link
// notice, the port opened again every few seconds (also another port where
// the same model answers), and a controller that answers again read again
// with queries before the window trusts its values and a script goes on.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "controller/protocol.h"
#include "controller/serial_channel.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

void FormA::LinkLost(const std::string& reason) {
  // A port that fails while the search tries it was no controller link:
  // the search moves on at the next port's turn.
  if (Search.Searching) return;
  if (Link.ChannelFailed(services_.ticks.Now())) ControllerLinkLost(reason);
}

void FormA::ControllerLinkLost(const std::string& why) {
  AppendToDisplayLog(-1, "-------Link to the controller lost on " + Search.PortName + ": " + why);
  ShowNotice(QStringLiteral("Lost the connection to the controller on %1 (%2). Trying again every %3 seconds; "
                            "the recorded data are kept.")
                 .arg(QString::fromStdString(Link.Port()), QString::fromStdString(why))
                 .arg(kLinkRetryMs / 1000),
             true);
  ShowStale(true);
  RaiseEvent(ProgramEvent::LinkLost, "Lost the controller on " + Search.PortName + " (" + why + ")");
}

void FormA::ControllerLinkBack() {
  AppendToDisplayLog(-1, "-------Link to the controller back on " + Link.Port());
  ShowStale(false);
  RaiseEvent(ProgramEvent::LinkBack, "The controller is back on " + Link.Port());
  setWindowTitle(QStringLiteral("%1  on %2").arg(QString::fromLatin1(kAppTitle), QString::fromStdString(Link.Port())));
  if (journalFailing_) {
    ShowNotice(QStringLiteral("The recording journal still cannot write; it tries again every few seconds."), false);
    return;
  }
  Btn_Reconnect->hide();
  Btn_ErrorNotice->show();
  // A spectrometer still lost keeps its sentence in view.
  SetNoticeText(QString());
  Panel_ErrorNotice->setVisible(!L_ErrorNotice->text().isEmpty());
  AlignPanels();
}

void FormA::WatchLinkTick() {
  const std::uint32_t now = services_.ticks.Now();
  switch (Link.Tick(now, Recording.PlotInterval)) {
    case LinkAction::None:
      break;
    case LinkAction::Lost:
      ControllerLinkLost("the controller stopped answering");
      break;
    case LinkAction::Probe:
      SendControllerCommand(Link.ProbeCommand(), 1);
      break;
    case LinkAction::Reopen:
      ReopenLink();
      break;
  }
}

void FormA::ReopenLink() {
  SerialChannel& channel = services_.controllerChannel;
  channel.Close();
  std::vector<std::string> listed;
  for (int i = 0; i < Combo_COM->count(); ++i) listed.push_back(Combo_COM->itemText(i).toStdString());
  const std::string port = Link.NextPort(listed);
  channel.SetPort(port);
  // A port that cannot be opened now is tried again at its next turn; a
  // message box every few seconds would only pile up through the night.
  if (!channel.Open()) return;
  StartOnReopenedPort(port);
}

void FormA::StartOnReopenedPort(const std::string& port) {
  services_.controllerChannel.PurgeRead();
  services_.controllerChannel.PurgeWrite();
  Assembler = ReplyAssembler{};
  Link.Reopened(services_.ticks.Now(), port);
}

bool FormA::TakeReplyOnLink(std::string_view frame) {
  if (!Controller.ControllerFound) return true;
  if (Link.Verifying()) {
    // Another port answers: only the same model carries on this run.
    if (!CodeIs(frame, "ID") || !AddressIs(frame, kSampleAddress) ||
        std::string(Argument(frame)) != Controller.ModelId.Str()) {
      return false;
    }
  }
  if (Link.ReplyArrived(services_.ticks.Now())) {
    Search.PortName = Link.Port();
    ReadSettingsAgain();
  }
  return true;
}

void FormA::ReadSettingsAgain() {
  AppendToDisplayLog(-1, "-------The controller answers again: reading its settings");
  // The series, the run and their time scale go on: no Clear All.
  Steps.ClearAllPending = false;
  Steps.ReadingAgain = StepMachine::Reading::Queued;
  QueueStep(kStepStartup);
}

void FormA::ShowStale(bool stale) {
  for (QWidget* box : std::initializer_list<QWidget*>{GrB_S_Holder, GrB_R_Holder, GB_ExtProbe}) {
    box->setEnabled(!stale);
    box->setToolTip(stale ? QStringLiteral("No report from the controller: the values shown are old") : QString());
  }
}

void FormA::ShowNotice(const QString& text, bool reconnect) {
  SetNoticeText(text);
  Btn_Reconnect->setVisible(reconnect);
  Btn_ErrorNotice->setVisible(!reconnect);
  Panel_ErrorNotice->show();
  AlignPanels();
}

void FormA::Btn_ReconnectClick(QObject* sender) {
  if (!sender || !Link.Lost()) return;
  SerialChannel& channel = services_.controllerChannel;
  channel.Close();
  channel.SetPort(Link.Port());
  if (!channel.Open()) {
    services_.dialogs.Message(channel.LastError(), "Vireo", Buttons::Ok);
    return;
  }
  StartOnReopenedPort(Link.Port());
}

}  // namespace vireo
