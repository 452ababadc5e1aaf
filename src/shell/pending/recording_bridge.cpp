// Interim recording and plot handlers until the series memos and the plot
// renderer are integrated.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>

#include "control/text_helpers.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

void FormA::BuildPlotPanel() {
  Panel_Plot = new Panel(Client);
  Panel_Plot->setObjectName(QStringLiteral("Panel_Plot"));
  Panel_Plot->SetColour(kWhite);
  Image = new PlotImage(Panel_Plot);
  Label_SplBeepCountdown = new QLabel(QStringLiteral("99.99 min"), Panel_Plot);
  Label_SplBeepCountdown->hide();
  Panel_DataShowHide = new Panel(Panel_Plot);
  Panel_DataShowHide->SetColour({255, 251, 240});
  Panel_DataShowHide->setGeometry(0, 0, 10, 10);
  Panel_HAxisLabel = new Panel(Panel_Plot);
  Panel_HAxisLabel->SetColour(kBlack);
  Panel_HAxisLabel->resize(21, 10);
  Edit_HAxisLabel = new EditBox(Panel_Plot);
  Edit_HAxisLabel->resize(150, 21);
  Edit_HAxisLabel->hide();
  Panel_Plot->hide();
}

void FormA::BuildDataPanel() {
  Panel_tT_Data = new Panel(Client);
  Panel_tT_Data->setObjectName(QStringLiteral("Panel_tT_Data"));
  Panel_tT_Data->resize(687, 201);
  for (std::size_t i = 0; i < SeriesMemos.size(); ++i) {
    SeriesMemos[i] = new QPlainTextEdit(Panel_tT_Data);
    SeriesMemos[i]->setGeometry(static_cast<int>(i) * 137, 20, 137, 178);
  }
  Panel_tT_Data->hide();
}

std::string FormA::AppendRecord(int series, float temperature) {
  const std::uint32_t elapsed = services_.ticks.Now() - Recording.TimeBase;
  const float minutes = static_cast<float>(elapsed) / 60000.0f;
  const std::string record = Format("%6.3f\t%6.2f", static_cast<double>(minutes), static_cast<double>(temperature));
  SeriesMemos[static_cast<std::size_t>(series - 1)]->appendPlainText(QString::fromLatin1(record.c_str()));
  return record;
}

void FormA::M_Plot_ClearAllClick(QObject* sender) {
  if (!sender) return;
  for (QPlainTextEdit* memo : SeriesMemos) memo->clear();
  Controller.ProbeWindowLast = -1;
}
void FormA::M_Plot_ClearRestartClick(QObject* sender) {
  if (!sender) return;
  M_Plot_ClearAllClick(M_Plot_ClearAll);
  Recording.PlotInterval = Recording.PlotIntervalSetting;
  QueueStep(kStepReportInterval);
  Recording.TimeBaseResetPending = true;
  Recording.LivePlot = true;
}
void FormA::M_Plot_StopClick(QObject* sender) {
  if (!sender || Recording.PlotInterval == 0) return;
  Recording.PlotInterval = 0;
  QueueStep(kStepReportInterval);
  Recording.LivePlot = false;
}
void FormA::M_Data_CopyClick(QObject*) {}
void FormA::M_Data_SaveClick(QObject*) {}
void FormA::M_Data_LoadClick(QObject*) {}
void FormA::SetRecordDecimals(char) {}
void FormA::RedrawPlot() {}
void FormA::M_Plot_ShownClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
  item->setChecked(!item->isChecked());
  FormResize(nullptr);
}
void FormA::AttachMainPlot() {}
void FormA::SetAxisLabels(std::string_view, std::string_view) {}
void FormA::SetPlotBackground(const Rgb&) {}
void FormA::PlacePlotControls() {
  Panel_Plot->resize(Layout.LayoutWidth, Layout.LayoutHeight);
  Image->setGeometry(0, 0, Layout.LayoutWidth, Layout.LayoutHeight);
  Edit_HAxisLabel->move(Layout.LayoutWidth - 171, Layout.LayoutHeight - 36);
  Panel_HAxisLabel->move(Layout.LayoutWidth - 100, Layout.LayoutHeight - 16);
  Panel_DataShowHide->move(Layout.LayoutWidth - 39, Panel_DataShowHide->y());
}
void FormA::RequestReading(char, std::string_view) {}
void FormA::UpdateProbeBox(bool) {}
void FormA::Btn_RunScriptClick(QObject*) {}

}  // namespace vireo
