// The five series: their memos on the data panel, appending records,
// clearing, stopping, and copying, saving and loading series files.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include "recording/series_memo.h"
#include "shell/clipboard.h"
#include "shell/form_a.h"
#include "spectrometer/form_s.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

struct MemoPlace {
  const char* name;
  const char* heading;
  const char* hint;
  int column;  // left to right: sample, probe, reference, the two heat exchangers
};
constexpr MemoPlace kMemos[5] = {
    {"Memo_Tt", "Sample Holder", "Sample Holder Time/temperature history in minutes and degrees C.", 0},
    {"Memo_TtR", "Reference Holder", "Reference Time/temperature history in minutes and degrees C.", 2},
    {"Memo_TtP", "Probe", "Probe Time/temperature history in minutes and degrees C.", 1},
    {"Memo_TtHE", "HE Sample", "Sample Heat Exchanger Time/temperature history in minutes and degrees C.", 3},
    {"Memo_TtHER", "HE Reference", "Reference Heat Exchanger Time/temperature history in minutes and degrees C.", 4},
};

constexpr const char* kMeanDeviationPlaceholder = "(--.-- \xB1 -.---)";

}  // namespace

void FormA::BuildDataPanel() {
  Panel_tT_Data = new Panel(Client);
  Panel_tT_Data->setObjectName(QStringLiteral("Panel_tT_Data"));
  Panel_tT_Data->setFrameShape(QFrame::Panel);
  Panel_tT_Data->setFrameShadow(QFrame::Raised);
  Panel_tT_Data->setAutoFillBackground(true);
  Panel_tT_Data->resize(687, 201);
  for (std::size_t i = 0; i < SeriesMemos.size(); ++i) {
    const MemoPlace& place = kMemos[i];
    const int left = 1 + place.column * 137;
    auto* heading = new QLabel(QString::fromLatin1(place.heading), Panel_tT_Data);
    heading->setGeometry(left, 3, 137, 16);
    heading->setAlignment(Qt::AlignCenter);
    SeriesMemo* memo = new SeriesMemo(Panel_tT_Data);
    memo->setObjectName(QString::fromLatin1(place.name));
    memo->setGeometry(left, 20, 137, 178);
    memo->setToolTip(QString::fromLatin1(place.hint));
    SeriesMemos[i] = memo;
  }
  Panel_tT_Data->hide();
}

std::string FormA::AppendRecord(int series, float temperature) {
  const float minutes = ElapsedMinutes(services_.ticks.Now(), Recording.TimeBase);
  const std::string record = FormatRecord(RecordFormatFor(Formats, series), minutes, temperature);
  SeriesMemos[static_cast<std::size_t>(series - 1)]->AppendRecord(record);
  return record;
}

void FormA::ResetProbeAverage() {
  Controller.ProbeWindowLast = -1;
  L_P_MeanDeviation->setText(QString::fromLatin1(kMeanDeviationPlaceholder));
}

void FormA::M_Plot_ClearAllClick(QObject* sender) {
  if (!sender) return;
  for (SeriesMemo* memo : SeriesMemos) memo->ClearAll();
  RedrawPlot();
  ResetProbeAverage();
  // Clear & Restart clears the spectrometer's readings through here as well.
  if (SpectrometerPortOpen()) FormS->Btn_ClearClick(nullptr);
}

void FormA::M_Plot_ClearRestartClick(QObject* sender) {
  if (!sender) return;
  M_Plot_ClearAllClick(M_Plot_ClearAll);
  Recording.PlotInterval = Recording.PlotIntervalSetting;
  QueueStep(kStepReportInterval);
  Recording.TimeBaseResetPending = true;
  ResetProbeAverage();
  for (EditBox* box : EB_Limits) box->setText(QStringLiteral("A"));
  Limits = PlotLimits{};
  Recording.LivePlot = true;
}

void FormA::M_Plot_StopClick(QObject* sender) {
  if (!sender || Recording.PlotInterval == 0) return;
  Recording.PlotInterval = 0;
  QueueStep(kStepReportInterval);
  Recording.LivePlot = false;
}

int FormA::SeriesOfItem(QObject* item, const std::array<QAction*, 5>& items) const {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item) return static_cast<int>(i) + 1;
  }
  return 0;
}

void FormA::M_Data_CopyClick(QObject* sender) {
  const int series = SeriesOfItem(sender, M_Data_Copy_Items);
  if (series == 0) return;
  SeriesMemo* memo = SeriesMemos[static_cast<std::size_t>(series - 1)];
  memo->selectAll();
  services_.clipboard.SetText(memo->Text());
}

void FormA::M_Data_SaveClick(QObject* sender) {
  const int series = SeriesOfItem(sender, M_Data_Save_Items);
  if (series == 0) return;
  const auto path = services_.dialogs.SaveFileName("Save data as ...", "text files|*.txt", "txt", lastSaveName_);
  if (!path) return;
  QFile file(QString::fromStdString(*path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    services_.dialogs.Message("Failed to open stream.", "Save Data", Buttons::Ok);
    return;
  }
  SeriesMemo* memo = SeriesMemos[static_cast<std::size_t>(series - 1)];
  memo->selectAll();
  const std::string bytes = memo->Text();
  const bool written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
  file.close();
  // A full disk must not pass for a saved series.
  if (!written || file.error() != QFileDevice::NoError) {
    services_.dialogs.Message("Failed to write the data file.", "Save Data", Buttons::Ok);
    return;
  }
  lastSaveName_ = QFileInfo(QString::fromStdString(*path)).fileName().toStdString();
}

void FormA::M_Data_LoadClick(QObject* sender) {
  const int series = SeriesOfItem(sender, M_Data_Load_Items);
  if (series == 0) return;
  const auto path = services_.dialogs.OpenFileName("Open file", "text files|*.txt", "txt");
  if (!path) return;
  QFile file(QString::fromStdString(*path));
  if (!file.open(QIODevice::ReadOnly)) {
    services_.dialogs.Message("Failed to open file.", "Vireo Script", Buttons::Ok);
    return;
  }
  const QByteArray bytes = file.readAll();
  // A read that fails part-way must not replace the series with what it got.
  // (Closing clears the error.)
  const bool readFailed = file.error() != QFileDevice::NoError;
  file.close();
  if (readFailed) {
    services_.dialogs.Message("Failed to read file.", "Vireo Script", Buttons::Ok);
    return;
  }
  const auto i = static_cast<std::size_t>(series - 1);
  SeriesMemos[i]->SetText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  Show(M_Plot_Shown_Items[i], true);
  M_Plot_Shown_Items[i]->setChecked(true);
  Show(M_Data_Copy_Items[i], true);
  Show(M_Data_Save_Items[i], true);
  Enable(M_Data_Copy, true);
  Enable(M_Data_Save, true);
  Enable(M_Plot_Shown, true);
  RedrawPlot();
}

void FormA::SetRecordDecimals(char digit) { vireo::SetRecordDecimals(Formats, digit, Controller.FirmwareVersion); }

}  // namespace vireo
