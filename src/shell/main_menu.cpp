// The main window's menu bar: every item with its name and caption. Items
// react to `triggered` only; check marks are set by the handlers, never by
// the toolkit (see OnMenu).
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/form_a.h"

namespace vireo {
namespace {

QAction* Item(QMenu* menu, const char* name, const char* caption, bool checkable = false) {
  QAction* a = menu->addAction(QString::fromLatin1(caption));
  a->setObjectName(QString::fromLatin1(name));
  a->setCheckable(checkable);
  return a;
}

QMenu* Sub(QMenu* parent, const char* name, const char* caption) {
  QMenu* m = parent->addMenu(QString::fromLatin1(caption));
  m->setObjectName(QString::fromLatin1(name));
  m->menuAction()->setObjectName(QString::fromLatin1(name));
  return m;
}

QAction* Separator(QMenu* menu, const char* name) {
  QAction* s = menu->addSeparator();
  s->setObjectName(QString::fromLatin1(name));
  return s;
}

}  // namespace

void FormA::Show(QAction* item, bool visible) { item->setVisible(visible); }
void FormA::Show(QMenu* menu, bool visible) { menu->menuAction()->setVisible(visible); }
void FormA::Enable(QAction* item, bool enabled) { item->setEnabled(enabled); }
void FormA::Enable(QMenu* menu, bool enabled) { menu->menuAction()->setEnabled(enabled); }
bool FormA::Visible(const QAction* item) { return item->isVisible(); }
bool FormA::Visible(const QMenu* menu) { return menu->menuAction()->isVisible(); }

void FormA::BuildMenus() {
  QMenuBar* bar = menuBar();

  M_File = bar->addMenu(QStringLiteral("&File"));
  M_File->setObjectName(QStringLiteral("M_File"));
  M_File_WorkOffline = Item(M_File, "M_File_WorkOffline", "&Work Offline");
  M_File_Restart = Item(M_File, "M_File_Restart", "&Restart");
  M_File_OpenDataFolder = Item(M_File, "M_File_OpenDataFolder", "Open &Data Folder");
  M_File->addSeparator();
  M_File_Exit = Item(M_File, "M_File_Exit", "&Exit");

  M_Tools = bar->addMenu(QStringLiteral("&Tools"));
  M_Tools->setObjectName(QStringLiteral("M_Tools"));
  M_Tools_TC1 = Sub(M_Tools, "M_Tools_TC1", "Temperature &Control");
  M_Tools_TC1_On = Item(M_Tools_TC1, "M_Tools_TC1_On", "O&n", true);
  M_Tools_TC1_Off = Item(M_Tools_TC1, "M_Tools_TC1_Off", "O&ff", true);
  M_Tools_TC1->addSeparator();
  M_Tools_TC1_Target = Item(M_Tools_TC1, "M_Tools_TC1_Target", "&Target Temperature ...");
  M_Tools_TC = Sub(M_Tools, "M_Tools_TC", "Temperature &Control");
  QMenu* tcSpl = Sub(M_Tools_TC, "M_Tools_TC_Spl", "&Sample Holder");
  M_Tools_TC_Spl_On = Item(tcSpl, "M_Tools_TC_Spl_On", "O&n", true);
  M_Tools_TC_Spl_Off = Item(tcSpl, "M_Tools_TC_Spl_Off", "O&ff", true);
  tcSpl->addSeparator();
  M_Tools_TC_Spl_Target = Item(tcSpl, "M_Tools_TC_Spl_Target", "&Target Temperature ...");
  QMenu* tcRef = Sub(M_Tools_TC, "M_Tools_TC_Ref", "&Reference Holder");
  M_Tools_TC_Ref_On = Item(tcRef, "M_Tools_TC_Ref_On", "O&n", true);
  M_Tools_TC_Ref_Off = Item(tcRef, "M_Tools_TC_Ref_Off", "O&ff", true);
  tcRef->addSeparator();
  M_Tools_TC_Ref_Target = Item(tcRef, "M_Tools_TC_Ref_Target", "&Target Temperature ...");
  M_Tools_TC1_Off->setChecked(true);
  M_Tools_TC_Spl_Off->setChecked(true);
  M_Tools_TC_Ref_Off->setChecked(true);

  M_Tools_Ramp_1 = Item(M_Tools, "M_Tools_Ramp_1", "Temperature &Ramping ...");
  M_Tools_Ramp_3 = Sub(M_Tools, "M_Tools_Ramp_3", "Temperature &Ramping");
  M_Tools_Ramp_Sample = Item(M_Tools_Ramp_3, "M_Tools_Ramp_Sample", "&Sample Only ...");
  M_Tools_Ramp_Reference = Item(M_Tools_Ramp_3, "M_Tools_Ramp_Reference", "&Reference Only ...");
  M_Tools_Ramp_Both = Item(M_Tools_Ramp_3, "M_Tools_Ramp_Both", "Sample &and Reference ...");

  M_Tools_SC1 = Sub(M_Tools, "M_Tools_SC1", "&Stirrer");
  M_Tools_SC1_On = Item(M_Tools_SC1, "M_Tools_SC1_On", "O&n", true);
  M_Tools_SC1_Off = Item(M_Tools_SC1, "M_Tools_SC1_Off", "O&ff", true);
  M_Tools_SC1_S = Separator(M_Tools_SC1, "M_Tools_SC1_S");
  M_Tools_SC1_Speed = Item(M_Tools_SC1, "M_Tools_SC1_Speed", "Stirrer &Speed ...");
  M_Tools_SC = Sub(M_Tools, "M_Tools_SC", "&Stirrers");
  QMenu* scSpl = Sub(M_Tools_SC, "M_Tools_SC_Spl", "&Sample Holder");
  M_Tools_SC_Spl_On = Item(scSpl, "M_Tools_SC_Spl_On", "O&n", true);
  M_Tools_SC_Spl_Off = Item(scSpl, "M_Tools_SC_Spl_Off", "O&ff", true);
  M_Tools_SC_Spl_S1 = Separator(scSpl, "M_Tools_SC_Spl_S1");
  M_Tools_SC_Spl_Speed = Item(scSpl, "M_Tools_SC_Spl_Speed", "Stirrer &Speed ...");
  QMenu* scRef = Sub(M_Tools_SC, "M_Tools_SC_Ref", "&Reference Holder");
  M_Tools_SC_Ref_On = Item(scRef, "M_Tools_SC_Ref_On", "O&n", true);
  M_Tools_SC_Ref_Off = Item(scRef, "M_Tools_SC_Ref_Off", "O&ff", true);
  M_Tools_SC_Ref_S1 = Separator(scRef, "M_Tools_SC_Ref_S1");
  M_Tools_SC_Ref_Speed = Item(scRef, "M_Tools_SC_Ref_Speed", "Stirrer &Speed ...");
  M_Tools_SC1_Off->setChecked(true);
  M_Tools_SC_Spl_Off->setChecked(true);
  M_Tools_SC_Ref_Off->setChecked(true);

  M_Tools_S3 = Separator(M_Tools, "M_Tools_S3");
  M_Tools_CP = Sub(M_Tools, "M_Tools_CP", "C&uvette Position");
  for (int k = 1; k <= 9; ++k) {
    // Appended, not "text" + number: g++ 12 warns falsely on that (-Wrestrict).
    std::string name = "M_Tools_CP_";
    name += std::to_string(k);
    std::string caption = "&";
    caption += std::to_string(k);
    M_Tools_CP_Items[static_cast<std::size_t>(k - 1)] = Item(M_Tools_CP, name.c_str(), caption.c_str(), true);
  }
  for (int k = 3; k <= 9; ++k) Show(M_Tools_CP_Items[static_cast<std::size_t>(k - 1)], false);
  M_Tools_CP_Items[0]->setChecked(true);
  M_Tools_CP->addSeparator();
  M_Tools_CP_HomeBefore = Item(M_Tools_CP, "M_Tools_CP_HomeBefore", "&Home Before", true);

  M_Tools->addSeparator();
  M_Tools_Link_RtoS = Item(M_Tools, "M_Tools_Link_RtoS", "&Link Reference to Sample", true);
  M_Tools->addSeparator();
  M_Tools_ScriptWindow = Item(M_Tools, "M_Tools_ScriptWindow", "Show &Script Panel");
  M_Tools_CommandWindow = Item(M_Tools, "M_Tools_CommandWindow", "Show &Command Panel");
  M_Tools_HideWindow = Item(M_Tools, "M_Tools_HideWindow", "&Hide Panel");
  Show(M_Tools_HideWindow, false);
  Enable(M_Tools_HideWindow, false);
  M_Tools_CheckScript = Item(M_Tools, "M_Tools_CheckScript", "Check Script File ...");

  static const char* const kSuffix[5] = {"Spl", "Ref", "Probe", "Cool", "Cool_R"};
  static const char* const kCaption[5] = {"&Sample Holder", "&Reference Holder", "External &Probe",
                                          "Sample Heat Exchanger", "Reference Heat Exchanger"};
  // The menu order puts the probe after the sample holder.
  static const int kMenuOrder[5] = {0, 2, 1, 3, 4};
  M_Data = bar->addMenu(QStringLiteral("&Data"));
  M_Data->setObjectName(QStringLiteral("M_Data"));
  M_Data_Copy = Sub(M_Data, "M_Data_Copy", "&Copy");
  M_Data_Save = Sub(M_Data, "M_Data_Save", "&Save");
  M_Data_Load = Sub(M_Data, "M_Data_Load", "&Load from File into");
  M_Plot = bar->addMenu(QStringLiteral("&Plot"));
  M_Plot->setObjectName(QStringLiteral("M_Plot"));
  M_Plot_Shown = Sub(M_Plot, "M_Plot_Shown", "&Data Shown");
  for (int i : kMenuOrder) {
    const auto k = static_cast<std::size_t>(i);
    const std::string s = kSuffix[i];
    M_Data_Copy_Items[k] = Item(M_Data_Copy, ("M_Data_Copy_" + s).c_str(), kCaption[i]);
    M_Data_Save_Items[k] = Item(M_Data_Save, ("M_Data_Save_" + s).c_str(), kCaption[i]);
    M_Data_Load_Items[k] = Item(M_Data_Load, ("M_Data_Load_" + s).c_str(),
                                i == 4 ? "Referemce Heat Exchanger" : kCaption[i]);
    M_Plot_Shown_Items[k] = Item(M_Plot_Shown, ("M_Plot_Shown_" + s).c_str(), kCaption[i], true);
  }
  for (QAction* a : {M_Plot_Shown_Items[0], M_Plot_Shown_Items[1], M_Plot_Shown_Items[3], M_Plot_Shown_Items[4]}) {
    a->setChecked(true);
  }
  M_Plot->addSeparator();
  M_Plot_ClearAll = Item(M_Plot, "M_Plot_ClearAll", "Clear &All");
  M_Plot_ClearRestart = Item(M_Plot, "M_Plot_ClearRestart", "Clear && &Restart");
  M_Plot_Stop = Item(M_Plot, "M_Plot_Stop", "&Stop");
  M_Plot->addSeparator();
  M_Plot_TimeInterval = Item(M_Plot, "M_Plot_TimeInterval", "&Time Interval ...");
  M_Plot_Copy = Sub(M_Plot, "M_Plot_Copy", "&Copy Plot");
  M_Plot_Copy_Other = Item(M_Plot_Copy, "M_Plot_Copy_Other", "&As Shown");
  M_Plot_Copy_Large = Item(M_Plot_Copy, "M_Plot_Copy_Large", "&Large");
  M_Plot_Copy_Medium = Item(M_Plot_Copy, "M_Plot_Copy_Medium", "&Medium");
  M_Plot_Copy_Small = Item(M_Plot_Copy, "M_Plot_Copy_Small", "&Small");

  M_EquilRem = bar->addMenu(QStringLiteral("&Equilibration Reminder"));
  M_EquilRem->setObjectName(QStringLiteral("M_EquilRem"));
  M_EquilRem_On = Item(M_EquilRem, "M_EquilRem_On", "O&n", true);
  M_EquilRem_Off = Item(M_EquilRem, "M_EquilRem_Off", "O&ff", true);
  M_EquilRem_Off->setChecked(true);
  M_EquilRem->addSeparator();
  M_EquilRem_Delay = Item(M_EquilRem, "M_EquilRem_Delay", "&Delay Time ...");
  M_EquilRem_StopBeep = Item(M_EquilRem, "M_EquilRem_StopBeep", "&Stop Beeping");
  Enable(M_EquilRem_StopBeep, false);

  M_Spectrometer = bar->addAction(QStringLiteral("Spectrometer"));
  M_Spectrometer->setObjectName(QStringLiteral("M_Spectrometer"));
  Show(M_Spectrometer, false);

  M_Help = bar->addMenu(QStringLiteral("&Help"));
  M_Help->setObjectName(QStringLiteral("M_Help"));
  M_Help_Help = Item(M_Help, "M_Help_Help", "&Help");
  M_Help_About = Item(M_Help, "M_Help_About", "&About");
}

}  // namespace vireo
