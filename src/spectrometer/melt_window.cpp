#include "spectrometer/melt_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "control/wide_text.h"
#include "recording/plot_limits.h"
#include "recording/qpainter_canvas.h"
#include "recording/series_points.h"
#include "shell/clipboard.h"
#include "shell/services.h"
#include "shell/widgets.h"
#include "spectrometer/spectrometer_table.h"

namespace vireo {
namespace {

constexpr int kWidth = 772, kHeight = 520;
constexpr int kGridTop = 36, kGridHeight = 166;
constexpr int kPlotTop = kGridTop + kGridHeight + 8;
constexpr int kCurveSamples = 200;

// The grid's headings are for the screen only, so they may use Greek.
const char* const kColumns[] = {"cell", "points", "Tm deriv. (°C)", "Tm fit (°C)", "± (°C)", "ΔH (kJ/mol)",
                                "± (kJ/mol)", "ΔS (J/mol K)", "ΔG 25 °C (kJ/mol)", "residual SD"};
constexpr int kColumnWidths[] = {34, 48, 92, 80, 56, 84, 72, 88, 112, 80};
constexpr int kFirstFitColumn = 3;
constexpr int kRowHeight = 22;

// A range box's limit: none for "A" or an empty box; false when unreadable.
bool ReadLimit(const QString& text, std::optional<double>& limit) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.startsWith(QLatin1Char('A'), Qt::CaseInsensitive)) {
    limit.reset();
    return true;
  }
  bool ok = false;
  const double value = t.toDouble(&ok);
  if (!ok || !std::isfinite(value)) return false;
  limit = value;
  return true;
}

void Widen(float& lo, float& hi, double v, bool& any) {
  if (!std::isfinite(v)) return;
  const float f = static_cast<float>(v);
  lo = any ? std::min(lo, f) : f;
  hi = any ? std::max(hi, f) : f;
  any = true;
}

}  // namespace

MeltWindow::MeltWindow(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), clipboard_(clipboard) {
  setObjectName(QStringLiteral("MeltWindow"));
  setWindowTitle(Widened(kMeltWindowCaption));
  setFixedSize(kWidth, kHeight);

  auto* from = new QLabel(QStringLiteral("fit from"), this);
  from->setGeometry(10, 10, 44, 18);
  EB_FitMin = new EditBox(this);
  EB_FitMin->setGeometry(56, 9, 50, 20);
  auto* to = new QLabel(QStringLiteral("to"), this);
  to->setGeometry(112, 10, 14, 18);
  EB_FitMax = new EditBox(this);
  EB_FitMax->setGeometry(128, 9, 50, 20);
  auto* unit = new QLabel(Widened("\xB0" "C  (A: whole range)"), this);
  unit->setGeometry(184, 10, 160, 18);
  for (EditBox* box : {EB_FitMin, EB_FitMax}) {
    box->setText(QStringLiteral("A"));
    box->setAlignment(Qt::AlignCenter);
    connect(box, &EditBox::exited, this, [this, box] { EB_FitRangeExit(box); });
    connect(box, &EditBox::enterPressed, this, [this, box] { EB_FitRangeExit(box); });
  }
  Btn_CopyResults = new QPushButton(QStringLiteral("Copy Results"), this);
  Btn_CopyResults->setGeometry(kWidth - 200, 6, 90, 25);
  connect(Btn_CopyResults, &QPushButton::clicked, this, [this] { Btn_CopyResultsClick(Btn_CopyResults); });
  Btn_SaveResults = new QPushButton(QStringLiteral("Save Results"), this);
  Btn_SaveResults->setGeometry(kWidth - 100, 6, 90, 25);
  connect(Btn_SaveResults, &QPushButton::clicked, this, [this] { Btn_SaveResultsClick(Btn_SaveResults); });

  Grid_Results = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
  Grid_Results->setGeometry(0, kGridTop, kWidth, kGridHeight);
  Grid_Results->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid_Results->verticalHeader()->hide();
  Grid_Results->verticalHeader()->setDefaultSectionSize(kRowHeight);
  Grid_Results->horizontalHeader()->setStretchLastSection(true);
  QStringList headers;
  for (const char* c : kColumns) headers << QString::fromUtf8(c);
  Grid_Results->setHorizontalHeaderLabels(headers);
  for (int col = 0; col < static_cast<int>(std::size(kColumnWidths)); ++col) Grid_Results->setColumnWidth(col, kColumnWidths[col]);

  const int plotWidth = kWidth / 2;
  Image_Fraction = new PlotImage(this);
  Image_Fraction->setGeometry(0, kPlotTop, plotWidth, kHeight - kPlotTop);
  Image_Derivative = new PlotImage(this);
  Image_Derivative->setGeometry(plotWidth, kPlotTop, kWidth - plotWidth, kHeight - kPlotTop);
}

void MeltWindow::Analyse(std::string_view table, const std::array<bool, kMeltCells>& shown) {
  table_.assign(table);
  shown_ = shown;
  Recompute();
}

void MeltWindow::Recompute() {
  results_ = AnalyseMeltTable(table_, range_);
  for (std::size_t c = 0; c < results_.size(); ++c) {
    if (!shown_[c]) results_[c].reset();
  }
  ShowResults();
  DrawFraction();
  DrawDerivative();
}

void MeltWindow::ShowResults() {
  Grid_Results->clearSpans();
  Grid_Results->setRowCount(0);
  for (std::size_t c = 0; c < results_.size(); ++c) {
    if (!results_[c]) continue;
    const MeltResult& r = *results_[c];
    const int row = Grid_Results->rowCount();
    Grid_Results->insertRow(row);
    // The report's own fields, so the grid shows what Copy and Save give.
    const QStringList fields =
        QString::fromStdString(MeltReportLine(static_cast<int>(c) + 1, r)).split(QLatin1Char('\t'));
    for (int col = 0; col < fields.size(); ++col) {
      auto* item = new QTableWidgetItem(fields[col] == QLatin1String("nan") ? QString() : fields[col]);
      item->setTextAlignment(Qt::AlignCenter);
      Grid_Results->setItem(row, col, item);
    }
    const PlotColour colour = kCellColours[c];
    QTableWidgetItem* cell = Grid_Results->item(row, 0);
    cell->setBackground(ToQColor(colour));
    const bool dark = colour.red + colour.green + colour.blue < 300;
    cell->setForeground(dark ? Qt::white : Qt::black);
    // Where there is no number, the reason stands across the empty fields.
    const int noteColumn = r.outcome != MeltOutcome::Ok ? 2 : !r.fit ? kFirstFitColumn : -1;
    if (noteColumn < 0) continue;
    Grid_Results->setSpan(row, noteColumn, 1, Grid_Results->columnCount() - noteColumn);
    const char* note = r.outcome != MeltOutcome::Ok ? MeltOutcomeText(r.outcome) : "no two-state fit";
    Grid_Results->item(row, noteColumn)->setText(Widened(note));
  }
}

void MeltWindow::DrawFraction() {
  std::array<SeriesPoints, kMeltCells> data, model;
  float xLo = 0, xHi = 100;
  bool any = false;
  for (std::size_t c = 0; c < results_.size(); ++c) {
    if (!results_[c] || !results_[c]->fit) continue;
    const MeltResult& r = *results_[c];
    const MeltFit& f = *r.fit;
    for (const MeltPoint& p : r.curve) {
      data[c].Add(static_cast<float>(p.temperature), static_cast<float>(f.FractionOf(p.temperature, p.absorbance)));
      Widen(xLo, xHi, p.temperature, any);
    }
    const double t0 = r.curve.front().temperature, t1 = r.curve.back().temperature;
    for (int i = 0; i <= kCurveSamples; ++i) {
      const double t = t0 + (t1 - t0) * i / kCurveSamples;
      model[c].Add(static_cast<float>(t), static_cast<float>(f.Fraction(t)));
    }
  }
  Image_Fraction->MatchSize();
  {
    QPainterCanvas canvas(Image_Fraction->Picture());
    AttachCanvas(renderer_, PlotSlot::Main, canvas);
    renderer_.Axes = {NiceRange(xLo, xHi), NiceRange(-0.05f, 1.05f)};
    renderer_.HorizontalAxisLabel = "temperature (\xB0" "C)";
    renderer_.VerticalAxisLabel = "fraction unfolded ";
    DrawAxes(renderer_, PlotSlot::Main);
    for (std::size_t c = 0; c < results_.size(); ++c) {
      renderer_.SeriesColour = kCellColours[c];
      renderer_.SeriesLineWidth = 1;
      renderer_.Series = &data[c];
      DrawSeries(renderer_, PlotSlot::Main);
      renderer_.SeriesLineWidth = 2;
      renderer_.Series = &model[c];
      DrawSeries(renderer_, PlotSlot::Main);
    }
    renderer_.Series = nullptr;
    renderer_.Slot(PlotSlot::Main).Canvas = nullptr;
  }
  Image_Fraction->update();
}

void MeltWindow::DrawDerivative() {
  std::array<SeriesPoints, kMeltCells> slope;
  float xLo = 0, xHi = 100, yLo = 0, yHi = 0.01f;
  bool anyX = false, anyY = false;
  for (std::size_t c = 0; c < results_.size(); ++c) {
    if (!results_[c]) continue;
    const MeltResult& r = *results_[c];
    for (std::size_t i = 0; i < r.derivative.size(); ++i) {
      slope[c].Add(static_cast<float>(r.curve[i].temperature), static_cast<float>(r.derivative[i]));
      Widen(xLo, xHi, r.curve[i].temperature, anyX);
      Widen(yLo, yHi, r.derivative[i], anyY);
    }
  }
  if (yHi <= yLo) yHi = yLo + 0.001f;
  Image_Derivative->MatchSize();
  {
    QPainterCanvas canvas(Image_Derivative->Picture());
    AttachCanvas(renderer_, PlotSlot::Main, canvas);
    renderer_.Axes = {NiceRange(xLo, xHi), NiceRange(yLo, yHi)};
    renderer_.HorizontalAxisLabel = "temperature (\xB0" "C)";
    renderer_.VerticalAxisLabel = "dA/dT (1/\xB0" "C) ";
    DrawAxes(renderer_, PlotSlot::Main);
    renderer_.SeriesLineWidth = 2;
    for (std::size_t c = 0; c < results_.size(); ++c) {
      renderer_.SeriesColour = kCellColours[c];
      renderer_.Series = &slope[c];
      DrawSeries(renderer_, PlotSlot::Main);
    }
    renderer_.Series = nullptr;
    renderer_.Slot(PlotSlot::Main).Canvas = nullptr;
  }
  Image_Derivative->update();
}

void MeltWindow::EB_FitRangeExit(QObject* sender) {
  auto* box = static_cast<EditBox*>(sender);
  std::optional<double>& limit = box == EB_FitMin ? range_.minimum : range_.maximum;
  std::optional<double> value;
  const bool readable = ReadLimit(box->text(), value);
  const std::optional<double> other = box == EB_FitMin ? range_.maximum : range_.minimum;
  const bool ordered = !value || !other || (box == EB_FitMin ? *value < *other : *value > *other);
  if (readable && ordered) {
    if (!value) box->setText(QStringLiteral("A"));
    if (limit == value) return;
    limit = value;
  } else {
    dialogs_.Message(kLimitErrorText, kMeltWindowCaption, Buttons::Ok);
    box->setText(QStringLiteral("A"));
    limit.reset();
  }
  Recompute();
}

void MeltWindow::Btn_CopyResultsClick(QObject*) { clipboard_.SetText(ResultsText()); }

void MeltWindow::Btn_SaveResultsClick(QObject*) {
  const std::optional<std::string> name =
      dialogs_.SaveFileName("Save results as ...", "text files|*.txt", "txt", lastSaveName_);
  if (!name) return;
  const std::string text = ResultsText();
  QFile file(QString::fromLocal8Bit(name->c_str()));
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
                       file.flush();
  file.close();
  if (!written || file.error() != QFileDevice::NoError) {
    dialogs_.Message("Failed to save the results.", kMeltWindowCaption, Buttons::Ok);
    return;
  }
  lastSaveName_ = QFileInfo(file).fileName().toStdString();
}

}  // namespace vireo
