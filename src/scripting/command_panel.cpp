// The command/script panel at the right edge of the main window, with the
// display log above its controls.
#include <QFont>
#include <QPlainTextEdit>
#include <QAction>
#include <QPushButton>

#include "scripting/display_log_format.h"
#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {

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
  ScriptDisplay->setTabChangesFocus(true);
  ScriptDisplay->setFocusPolicy(Qt::ClickFocus);
  ScriptDisplay->setMaximumBlockCount(kDisplayLogMaxLines);

  Panel_Cmd_Scr_Controls = new QWidget(Panel_Cmd_Scr);
  Panel_Cmd_Scr_Controls->resize(230, 78);
  Btn_Clear = new QPushButton(QStringLiteral("Clear Display"), Panel_Cmd_Scr_Controls);
  Btn_Clear->setGeometry(2, 49, 95, 25);
  Btn_Clear->setToolTip(QStringLiteral("Clear the Display window"));
  Btn_IncreaseWidth = new QPushButton(QStringLiteral("+"), Panel_Cmd_Scr_Controls);
  Btn_IncreaseWidth->setGeometry(230 - 38, 2, 15, 15);
  Btn_DecreaseWidth = new QPushButton(QStringLiteral("-"), Panel_Cmd_Scr_Controls);
  Btn_DecreaseWidth->setGeometry(230 - 23, 2, 15, 15);
}

}  // namespace vireo

namespace vireo {

void FormA::M_Tools_HideWindowClick(QObject*) {
  resize(width() - 230, height());
  Panels.PanelMode = kPanelHidden;
  Panel_Cmd_Scr->resize(1, Panel_Cmd_Scr->height());
  Enable(M_Tools_ScriptWindow, true);
  Enable(M_Tools_CommandWindow, true);
  M_Tools_HideWindow->setText(QStringLiteral("&Hide Panel"));
  Show(M_Tools_HideWindow, false);
  AlignPanels();
  FormResize(nullptr);
}

}  // namespace vireo
