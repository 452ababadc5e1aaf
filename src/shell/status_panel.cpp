// The status panel at the left of the main window: a box per holder with its
// temperature, control LED, heat exchanger, target and stirrer, the cuvette
// changer row, and the external probe box; and the error notice strip.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top, const char* hint = nullptr) {
  auto* l = new QLabel(QString::fromLatin1(text), parent);
  l->move(left, top);
  l->adjustSize();
  if (hint) l->setToolTip(QString::fromLatin1(hint));
  return l;
}

QPushButton* MakeButton(QWidget* parent, const char* text, int left, int top, int width, int height,
                        const char* hint) {
  auto* b = new QPushButton(QString::fromLatin1(text), parent);
  b->setGeometry(left, top, width, height);
  b->setToolTip(QString::fromLatin1(hint));
  return b;
}

QCheckBox* MakeCheck(QWidget* parent, const char* text, int left, int top, const char* hint) {
  auto* c = new QCheckBox(QString::fromLatin1(text), parent);
  c->move(left, top);
  c->adjustSize();
  if (hint) c->setToolTip(QString::fromLatin1(hint));
  return c;
}

}  // namespace

void FormA::BuildHolderBox(bool ref) {
  auto* box = new GroupBox(QString::fromLatin1(ref ? "-Reference Holder-" : "---Sample Holder---"), Panel_Status);
  box->setGeometry(3, 0, 145, ref ? 203 : 249);
  const char* holder = ref ? "Reference Holder" : "Sample Holder";
  const std::string tcHint = ref ? "When checked, the Temperature Control for the Reference Holder is On"
                                 : "When checked, Temperature Control for the Sample Holder is On";
  const std::string ledHint =
      std::string("State of Temperature Control for the ") + holder + " (off, seeking or holding)";
  const std::string tempHint = std::string("Current temperature of the ") + holder;
  const std::string targetHint = std::string("The desired final (Target) Temperature for the ") + holder + " ";
  const std::string targetBtnHint = std::string("Click this button to change the ") + holder + " Target Temperature";
  const std::string stirHint = std::string("When checked, the Stirrer for the ") + holder + " is On";
  const std::string stirBtnHint = std::string("Click this button to change the ") + holder + " Stirrer speed";
  const char* heHint = "Temperature of the Heat Exchanger that the circulating liquid is pumped through";

  QLabel* status = MakeLabel(box, "Control Status:", 8, 20);
  QLabel* temperature = MakeLabel(box, "--.-- \xB0" "C", 24, 36, tempHint.c_str());
  QCheckBox* tc = MakeCheck(box, "On", 97, 36, tcHint.c_str());
  auto* led = new LedShape(box);
  led->setGeometry(24, 58, 12, 12);
  led->setToolTip(QString::fromLatin1(ref ? "State of Reference temperature control" : "State of Sample temperature control"));
  QLabel* ledText = MakeLabel(box, ref ? "holding" : "seeking", 45, 58, ledHint.c_str());
  QLabel* he = MakeLabel(box, "Heat Exch:  OK", 23, 77, heHint);
  QLabel* target = MakeLabel(box, "Target:", 8, 99);
  QLabel* targetT = MakeLabel(box, "20.00 \xB0" "C", 22, 118, targetHint.c_str());
  QPushButton* targetBtn = MakeButton(box, "Change", 83, 116, 50, 19, targetBtnHint.c_str());
  QLabel* stirrer = MakeLabel(box, "Stirrer:", 8, 139);
  QCheckBox* stir = MakeCheck(box, "On", 24, 157, stirHint.c_str());
  QLabel* speed = MakeLabel(box, ref ? "1250 rpm" : "0 rpm", 22, 180);
  QPushButton* speedBtn = MakeButton(box, "Change", 83, ref ? 176 : 174, 50, 19, stirBtnHint.c_str());
  for (QLabel* l : {temperature, targetT, speed, ledText}) l->resize(70, l->height());
  he->resize(118, he->height());

  if (ref) {
    GrB_R_Holder = box;
    L_R_Status = status; L_R_Temperature = temperature; CkB_RController_On = tc; Shape_R_LED = led;
    L_R_LED = ledText; L_R_HeatExcT = he; L_R_Target = target; L_R_TargetT = targetT;
    Btn_R_TargetChange = targetBtn; L_R_Stirrer = stirrer; CkB_R_StirrerOn = stir; L_R_StirSpeed = speed;
    Btn_R_StirChange = speedBtn;
    box->hide();
    return;
  }
  GrB_S_Holder = box;
  L_S_Status = status; L_S_Temperature = temperature; CkB_SController_On = tc; Shape_S_LED = led;
  L_S_LED = ledText; L_S_HeatExcT = he; L_S_Target = target; L_S_TargetT = targetT;
  Btn_S_TargetChange = targetBtn; L_S_Stirrer = stirrer; CkB_S_StirrerOn = stir; L_S_StirSpeed = speed;
  Btn_S_StirChange = speedBtn;

  const char* cuvHint = "Displays the current cuvette position of the Sample Holder";
  const char* homeHint = "When checked,  the changer will move to home before setting the next Cuvette Position";
  L_S_Cuvette = MakeLabel(box, "Cuvette Position:", 8, 199);
  DDL_CuvettePosition = new QComboBox(box);
  DDL_CuvettePosition->setGeometry(29, 221, 39, 21);
  DDL_CuvettePosition->setToolTip(QString::fromLatin1(cuvHint));
  for (int k = 1; k <= 6; ++k) DDL_CuvettePosition->addItem(QString::number(k));
  CkB_HomeBefore = MakeCheck(box, "", 74, 219, homeHint);
  L_CuvPosHome = new ClickLabel(QStringLiteral("Home"), box);
  L_CuvPosHome->move(92, 215);
  L_CuvPosHome->adjustSize();
  L_CuvPosHome->setToolTip(QString::fromLatin1(homeHint));
  L_CuvPosBefore = new ClickLabel(QStringLiteral("Before"), box);
  L_CuvPosBefore->move(92, 227);
  L_CuvPosBefore->adjustSize();
  L_CuvPosBefore->setToolTip(QString::fromLatin1(homeHint));
}

void FormA::BuildStatusPanel() {
  Panel_Status = new Panel(Client);
  Panel_Status->setObjectName(QStringLiteral("Panel_Status"));
  Panel_Status->resize(1, 100);
  BuildHolderBox(false);
  BuildHolderBox(true);

  GB_ExtProbe = new GroupBox(QStringLiteral("---External Probe---"), Panel_Status);
  GB_ExtProbe->setGeometry(3, 254, 145, 56);
  L_P_Temperature = MakeLabel(GB_ExtProbe, "--.- \xB0" "C", 24, 20,
                              "Current temperature of the External Probe thermometer");
  L_P_Temperature->resize(62, L_P_Temperature->height());
  L_P_MeanDeviation = MakeLabel(GB_ExtProbe, "(--.-- \xB1 -.---)", 23, 34,
                                "The mean value and average deviation of the last 20 temperature  from the External Probe");
  L_P_MeanDeviation->resize(120, L_P_MeanDeviation->height());
  CkB_P_Avg = MakeCheck(GB_ExtProbe, "Avg", 87, 19,
                        "When checked, the mean of the last 20 External Probe temperatures will be shown");
}

void FormA::BuildErrorNotice() {
  Panel_ErrorNotice = new Panel(Client);
  Panel_ErrorNotice->setObjectName(QStringLiteral("Panel_ErrorNotice"));
  Panel_ErrorNotice->SetColour(kYellow);
  Panel_ErrorNotice->resize(width(), 20);
  L_ErrorNotice = new QLabel(Panel_ErrorNotice);
  L_ErrorNotice->move(8, 2);
  L_ErrorNotice->setWordWrap(true);
  QFont bold = L_ErrorNotice->font();
  bold.setBold(true);
  L_ErrorNotice->setFont(bold);
  SetFontColour(L_ErrorNotice, kRed);
  Btn_ErrorNotice = new QPushButton(QStringLiteral("Clear"), Panel_ErrorNotice);
  Btn_ErrorNotice->resize(50, 18);
  Btn_ErrorNotice->setToolTip(QStringLiteral("Click this button to hide the error message"));
  Btn_Reconnect = new QPushButton(QStringLiteral("Reconnect"), Panel_ErrorNotice);
  Btn_Reconnect->resize(70, 18);
  Btn_Reconnect->setToolTip(QStringLiteral("Open the controller's port again and resume recording"));
  Btn_Reconnect->hide();
  Panel_ErrorNotice->hide();
}

}  // namespace vireo
