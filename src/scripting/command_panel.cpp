// The command/script panel at the right edge of the main window: the display
// log above its controls, in two forms (typing commands, running scripts),
// opened and closed from the Tools menu.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

#include "scripting/display_log_format.h"
#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

constexpr int kPanelGrowth = 230;  // the window grows and shrinks by this, whatever the panel's width

const char* const kInitialHistory[] = {"[F1 TT S 20]", "[F1 TC +]",  "[F1 TC -]", "[F1 SS S 1200]", "[F1 SS +]",
                                       "[F1 SS -]",    "[*LCT +]",   "[*LHT +]",  "[F1 CT +1]",     "[F1 HT -]"};

// Typed letters become capitals as they are typed.
class CapitalsValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

// Hands the command box's typed characters to its key handler, which may swallow them.
class CommandKeyFilter final : public QObject {
 public:
  CommandKeyFilter(FormA* form, QObject* parent) : QObject(parent), form_(form) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* press = static_cast<QKeyEvent*>(event);
    char key = 0;
    if (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) {
      key = 13;
    } else if (!press->text().isEmpty()) {
      const QChar c = press->text().front();
      key = c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
    } else {
      return false;  // arrows and the like are no typed characters
    }
    form_->CbB_Edit_CommandKeyPress(form_->CbB_Edit_Command, key);
    return key == 0;
  }

 private:
  FormA* form_;
};

}  // namespace

void FormA::BuildCommandPanel() {
  Panel_Cmd_Scr = new Panel(Client);
  Panel_Cmd_Scr->setObjectName(QStringLiteral("Panel_Cmd_Scr"));
  Panel_Cmd_Scr->resize(1, 100);

  ScriptDisplay = new QPlainTextEdit(Panel_Cmd_Scr);
  ScriptDisplay->setObjectName(QStringLiteral("ScriptDisplay"));
  QFont mono(QStringLiteral("Courier New"));
  mono.setPixelSize(11);
  ScriptDisplay->setFont(mono);
  ScriptDisplay->setLineWrapMode(QPlainTextEdit::NoWrap);
  ScriptDisplay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ScriptDisplay->setTabChangesFocus(true);
  ScriptDisplay->setFocusPolicy(Qt::ClickFocus);
  // Bounded by AppendToDisplayLog, which also says what was dropped.
  ScriptDisplay->setUndoRedoEnabled(false);

  Panel_Cmd_Scr_Controls = new QWidget(Panel_Cmd_Scr);
  Panel_Cmd_Scr_Controls->resize(230, 78);
  QWidget* controls = Panel_Cmd_Scr_Controls;
  Btn_Send = new QPushButton(QStringLiteral("Send Command->"), controls);
  Btn_Send->setGeometry(2, 19, 95, 25);
  Btn_Send->setToolTip(QStringLiteral("Sends the command in the edit box."));
  Btn_RunScript = new QPushButton(QStringLiteral("Run Script File"), controls);
  Btn_RunScript->setGeometry(2, 19, 95, 25);
  Btn_RunScript->setToolTip(QStringLiteral("Load a Script File and run the script"));
  Btn_Clear = new QPushButton(QStringLiteral("Clear Display"), controls);
  Btn_Clear->setGeometry(2, 49, 95, 25);
  Btn_Clear->setToolTip(QStringLiteral("Clear the Display window"));

  CbB_Edit_Command = new QComboBox(controls);
  CbB_Edit_Command->setObjectName(QStringLiteral("CbB_Edit_Command"));
  CbB_Edit_Command->setEditable(true);
  CbB_Edit_Command->setGeometry(101, 21, 120, 21);
  CbB_Edit_Command->setCompleter(nullptr);
  // The history is kept by the send handler alone.
  CbB_Edit_Command->setInsertPolicy(QComboBox::NoInsert);
  CbB_Edit_Command->setDuplicatesEnabled(true);
  CbB_Edit_Command->setValidator(new CapitalsValidator(CbB_Edit_Command));
  for (const char* entry : kInitialHistory) CbB_Edit_Command->addItem(QString::fromLatin1(entry));
  CbB_Edit_Command->setEditText(QStringLiteral("[F1 CC P1 P2]"));
  CbB_Edit_Command->lineEdit()->installEventFilter(new CommandKeyFilter(this, CbB_Edit_Command));

  CkB_ShowComments = new QCheckBox(QStringLiteral("Show Script Comments"), controls);
  CkB_ShowComments->setGeometry(4, 0, 150, 17);
  CkB_ShowComments->hide();

  Delay_Panel = new QWidget(controls);
  Delay_Panel->setObjectName(QStringLiteral("Delay_Panel"));
  Delay_Panel->setGeometry(101, 17, 124, 60);
  Delay_Label = new QLabel(Delay_Panel);
  Delay_Label->setGeometry(2, 0, 120, 15);
  Delay_Display = new QLabel(Delay_Panel);
  Delay_Display->setGeometry(2, 16, 120, 15);
  Delay_Display->setFont(ScriptDisplay->font());
  EndWaitBtn = new QPushButton(QStringLiteral("End Wait"), Delay_Panel);
  EndWaitBtn->setGeometry(2, 33, 75, 23);
  EndWaitBtn->setToolTip(QStringLiteral("End this Wait and continue Script"));
  Delay_Panel->hide();

  Btn_IncreaseWidth = new QPushButton(QStringLiteral("+"), controls);
  Btn_IncreaseWidth->setGeometry(230 - 38, 2, 15, 15);
  Btn_DecreaseWidth = new QPushButton(QStringLiteral("-"), controls);
  Btn_DecreaseWidth->setGeometry(230 - 23, 2, 15, 15);
}

void FormA::PlacePanel(int panelWidth) {
  Panel_Cmd_Scr->resize(panelWidth, Panel_Cmd_Scr->height());
  Btn_IncreaseWidth->move(panelWidth - 38, Btn_IncreaseWidth->y());
  Btn_DecreaseWidth->move(panelWidth - 23, Btn_DecreaseWidth->y());
  resize(width() + kPanelGrowth, height());
  AlignPanels();
  FormResize(nullptr);
}

void FormA::M_Tools_ScriptWindow_Click(QObject* sender) {
  // An open panel is closed first, also one the start-up script opened.
  if (M_Tools_HideWindow->isEnabled()) M_Tools_HideWindowClick(M_Tools_HideWindow);
  ScriptDisplay->clear();
  Btn_Send->hide();
  CbB_Edit_Command->hide();
  Delay_Panel->hide();
  Btn_RunScript->show();
  CkB_ShowComments->show();
  Panels.PanelMode = kPanelScript;
  PlacePanel(Panels.ScriptPanelWidth);
  Btn_RunScript->setFocus();
  Enable(M_Tools_ScriptWindow, false);
  Enable(M_Tools_HideWindow, true);
  M_Tools_HideWindow->setText(QStringLiteral("&Hide Script Panel"));
  Show(M_Tools_HideWindow, true);
  // Opened for the start-up script: closed again when that script completes.
  if (!sender) Panels.PanelMode = kPanelHidden;
}

void FormA::M_Tools_CommandWindow_Click(QObject* sender) {
  if (!sender) return;
  if (M_Tools_HideWindow->isEnabled()) {
    M_Tools_HideWindowClick(M_Tools_HideWindow);
    ScriptDisplay->clear();
  }
  Btn_Send->show();
  CbB_Edit_Command->show();
  Btn_RunScript->hide();
  Delay_Panel->hide();
  CkB_ShowComments->hide();
  Panels.PanelMode = kPanelCommand;
  PlacePanel(Panels.CommandPanelWidth);
  Enable(M_Tools_CommandWindow, false);
  Enable(M_Tools_HideWindow, true);
  M_Tools_HideWindow->setText(QStringLiteral("&Hide Command Panel"));
  Show(M_Tools_HideWindow, true);
}

void FormA::M_Tools_HideWindowClick(QObject*) {
  resize(width() - kPanelGrowth, height());
  Panels.PanelMode = kPanelHidden;
  Panel_Cmd_Scr->resize(1, Panel_Cmd_Scr->height());
  Enable(M_Tools_ScriptWindow, true);
  Enable(M_Tools_CommandWindow, true);
  M_Tools_HideWindow->setText(QStringLiteral("&Hide Panel"));
  Show(M_Tools_HideWindow, false);
  Enable(M_Tools_HideWindow, false);
  AlignPanels();
  FormResize(nullptr);
}

}  // namespace vireo
