// The spectrometer window's way into the melting analysis.
#include <QPushButton>

#include "spectrometer/form_s.h"
#include "spectrometer/melt_window.h"

namespace vireo {

void TFormS::BuildMeltControls() {
  // Right of the limit boxes, clear of every other control in both views.
  Btn_MeltAnalysis = new QPushButton(QString::fromLatin1(kMeltWindowCaption), this);
  Btn_MeltAnalysis->setGeometry(660, 6, 100, 23);
  connect(Btn_MeltAnalysis, &QPushButton::clicked, this, [this] { Btn_MeltAnalysisClick(Btn_MeltAnalysis); });
}

void TFormS::Btn_MeltAnalysisClick(QObject*) {
  if (!MeltAnalysis) MeltAnalysis = new MeltWindow(services_.dialogs, services_.clipboard, this);
  MeltAnalysis->show();
  MeltAnalysis->raise();
  RefreshMeltAnalysis();
}

void TFormS::RefreshMeltAnalysis() {
  if (MeltAnalysis && MeltAnalysis->isVisible()) MeltAnalysis->Analyse(Table.Text(), State.CellShown);
}

}  // namespace vireo
