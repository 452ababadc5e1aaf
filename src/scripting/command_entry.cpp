// Typed commands: the command box with its history, the bracket check, the
// dispatch of controller and local commands, and the local handling every
// typed or scripted controller command gets before it is sent.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control/wide_text.h"
#include "controller/protocol.h"
#include "scripting/script_engine.h"
#include "scripting/typed_command.h"
#include "shell/form_a.h"
#include "shell/services.h"

namespace vireo {

void FormA::CbB_Edit_CommandKeyPress(QObject* sender, char& key) {
  if (!sender) return;
  if (key == 13 && Btn_Send->isEnabled()) {
    key = 0;
    Btn_SendClick(Btn_Send);
    return;
  }
  HistoryPending = true;
}

void FormA::Btn_SendClick(QObject* sender) {
  if (!sender) return;
  const std::string line = ToUpperAscii(Narrowed(CbB_Edit_Command->currentText(), kTypedLineMax + 1));
  CbB_Edit_Command->setEditText(Widened(line));
  // A refused line enters the history too: it is there to be corrected.
  if (HistoryPending) {
    CbB_Edit_Command->insertItem(0, Widened(line));
    CbB_Edit_Command->setEditText(Widened(line));
    HistoryPending = false;
  }
  switch (CheckCommandLine(line)) {
    case LineFault::Brackets:
      services_.dialogs.Message("All commands must begin with a single ' [ '\r\n     and end with a single ' ] '.",
                                "Command Syntax Error", Buttons::Ok);
      CbB_Edit_Command->lineEdit()->selectAll();
      return;
    case LineFault::NoSpace:
      services_.dialogs.Message("Multiple commands must have at least one\r\n     space between them.",
                                "Command Syntax Error", Buttons::Ok);
      return;
    case LineFault::None: break;
  }
  if (line[1] != '*') {
    // Several commands on one line go out together, as one line.
    std::string command = line;
    ApplyCommandLocally(command);
    SendControllerCommand(command, 1);
    return;
  }
  if (line[2] == 'S') {
    RunSpectrometerCommand(ScriptHostOfForm, line);
    if (!ShowComments) AppendToDisplayLog(-1, line);
  } else if (line[2] == 'L') {
    if (ApplyReplyLogCommand(line, Log)) AppendToDisplayLog(LoopLevel, line);
  }
  // Other local commands are not known here: nothing is sent or shown.
}

void FormA::ApplyCommandLocally(std::string& command) {
  ControllerState& c = Controller;
  switch (ApplyCommandToState(command, c)) {
    case LocalChange::RecordDecimals: SetRecordDecimals(command.size() > 9 ? command[9] : '\0'); break;
    case LocalChange::SampleTarget: L_S_TargetT->setText(Widened(Format("%6.2f \xB0" "C", c.SampleTarget))); break;
    case LocalChange::SampleSpeed: L_S_StirSpeed->setText(Widened(Format("%d rpm", c.SampleSpeed))); break;
    case LocalChange::ReferenceTarget:
      L_R_TargetT->setText(Widened(Format("%6.2f \xB0" "C", c.ReferenceTarget)));
      break;
    case LocalChange::ReferenceSpeed: L_R_StirSpeed->setText(Widened(Format("%d rpm", c.ReferenceSpeed))); break;
    case LocalChange::Position:
    case LocalChange::None: break;
  }
}

}  // namespace vireo
