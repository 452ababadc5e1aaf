#include "spectrometer/melt_window.h"

#include <QComboBox>
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
#include "shell/clipboard.h"
#include "shell/services.h"
#include "shell/widgets.h"
#include "spectrometer/melt_plots.h"
#include "spectrometer/spectrometer_table.h"

namespace vireo {
namespace {

constexpr int kGridTop = 62, kGridHeight = 176;
constexpr int kSeriesTop = kGridTop + kGridHeight + 6, kSeriesHeight = 98, kSeriesWidth = 640;
constexpr int kRowHeight = 22;

// The grid's columns in screen order, each with its report column; the
// headings are for the screen only, so they may use Greek. {E} and {S}
// stand for the energy and entropy units.
struct Column {
  const char* heading;
  int field;
  int width;
};
constexpr Column kColumns[] = {
    {"cell", 0, 28},         {"points", 1, 40},      {"Tm deriv. (°C)", 2, 84}, {"Tm fit (°C)", 3, 66},
    {"± (°C)", 4, 46},       {"ΔH ({E})", 5, 72},    {"±", 6, 34},              {"ΔS ({S})", 7, 80},
    {"±", 10, 34},           {"ΔG37 ({E})", 12, 84}, {"±", 13, 34},             {"ΔG25 ({E})", 8, 84},
    {"±", 11, 34},           {"residual SD", 9, 72}, {"Ct (µM)", 14, 54},       {"segment", 15, 60},
    {"hyst. (°C)", 16, 62},  {"outliers", 17, 52},   {"status", 18, 120},
};
// The fit's number columns, which a reason for no result spans.
constexpr int kFirstFitColumn = 3, kLastFitColumn = 13;
constexpr int kStatusColumn = 18;

QString Heading(const char* text, MeltUnits units) {
  QString h = QString::fromUtf8(text);
  h.replace(QStringLiteral("{E}"), units == MeltUnits::Kcal ? QStringLiteral("kcal/mol") : QStringLiteral("kJ/mol"));
  h.replace(QStringLiteral("{S}"), units == MeltUnits::Kcal ? QStringLiteral("cal/mol K") : QStringLiteral("J/mol K"));
  return h;
}

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

// White text on the darker cell colours, black on the lighter.
bool Dark(const PlotColour& colour) { return colour.red + colour.green + colour.blue < 300; }

QTableWidgetItem* Centred(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignCenter);
  return item;
}

}  // namespace

MeltWindow::MeltWindow(Dialogs& dialogs, Clipboard& clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), clipboard_(clipboard) {
  setObjectName(QStringLiteral("MeltWindow"));
  setWindowTitle(Widened(kMeltWindowCaption));
  setFixedSize(kMeltWindowWidth, kMeltWindowHeight);
  BuildTopRows();

  Grid_Results = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
  Grid_Results->setGeometry(0, kGridTop, kMeltWindowWidth, kGridHeight);
  Grid_Results->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid_Results->verticalHeader()->hide();
  Grid_Results->verticalHeader()->setDefaultSectionSize(kRowHeight);
  Grid_Results->horizontalHeader()->setStretchLastSection(true);
  for (int col = 0; col < static_cast<int>(std::size(kColumns)); ++col) Grid_Results->setColumnWidth(col, kColumns[col].width);

  Grid_Series = new QTableWidget(3, 8, this);
  Grid_Series->setGeometry(0, kSeriesTop, kSeriesWidth, kSeriesHeight);
  Grid_Series->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid_Series->verticalHeader()->hide();
  Grid_Series->verticalHeader()->setDefaultSectionSize(kRowHeight);
  Grid_Series->horizontalHeader()->setStretchLastSection(true);
  Grid_Series->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Grid_Series->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int seriesWidths[] = {150, 80, 50, 90, 50, 90, 50};
  for (int col = 0; col < 7; ++col) Grid_Series->setColumnWidth(col, seriesWidths[col]);
  Label_Series = new QLabel(this);
  Label_Series->setGeometry(kSeriesWidth + 10, kSeriesTop, kMeltWindowWidth - kSeriesWidth - 20, kSeriesHeight);
  Label_Series->setWordWrap(true);
  Label_Series->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  const int plotTop = kSeriesTop + kSeriesHeight + 6, plotWidth = kMeltWindowWidth / 3;
  Image_Fraction = new PlotImage(this);
  Image_Fraction->setGeometry(0, plotTop, plotWidth, kMeltWindowHeight - plotTop);
  Image_Derivative = new PlotImage(this);
  Image_Derivative->setGeometry(plotWidth, plotTop, plotWidth, kMeltWindowHeight - plotTop);
  Image_Series = new PlotImage(this);
  Image_Series->setGeometry(2 * plotWidth, plotTop, kMeltWindowWidth - 2 * plotWidth, kMeltWindowHeight - plotTop);
}

void MeltWindow::BuildTopRows() {
  auto* from = new QLabel(QStringLiteral("fit from"), this);
  from->setGeometry(10, 10, 44, 18);
  EB_FitMin = new EditBox(this);
  EB_FitMin->setGeometry(56, 9, 50, 20);
  auto* to = new QLabel(QStringLiteral("to"), this);
  to->setGeometry(112, 10, 14, 18);
  EB_FitMax = new EditBox(this);
  EB_FitMax->setGeometry(128, 9, 50, 20);
  auto* unit = new QLabel(Widened("\xB0" "C  (A: whole range)"), this);
  unit->setGeometry(184, 10, 130, 18);
  for (EditBox* box : {EB_FitMin, EB_FitMax}) {
    box->setText(QStringLiteral("A"));
    box->setAlignment(Qt::AlignCenter);
    connect(box, &EditBox::exited, this, [this, box] { EB_FitRangeExit(box); });
    connect(box, &EditBox::enterPressed, this, [this, box] { EB_FitRangeExit(box); });
  }
  auto* model = new QLabel(QStringLiteral("model"), this);
  model->setGeometry(320, 10, 36, 18);
  CB_Model = new QComboBox(this);
  CB_Model->setGeometry(358, 8, 200, 22);
  CB_Model->addItems({QStringLiteral("unimolecular (F \u21CC U)"), QStringLiteral("heteroduplex (A + B \u21CC AB)"),
                      QStringLiteral("homoduplex (2A \u21CC A2)")});
  connect(CB_Model, &QComboBox::currentIndexChanged, this, [this] { CB_ModelChange(CB_Model); });
  CB_Units = new QComboBox(this);
  CB_Units->setGeometry(566, 8, 80, 22);
  CB_Units->addItems({QStringLiteral("kJ/mol"), QStringLiteral("kcal/mol")});
  connect(CB_Units, &QComboBox::currentIndexChanged, this, [this] { CB_UnitsChange(CB_Units); });

  auto* ct = new QLabel(QStringLiteral("Ct (µM), cells 1 to 6:"), this);
  ct->setGeometry(10, 37, 120, 18);
  for (std::size_t c = 0; c < EB_Ct.size(); ++c) {
    auto* number = new QLabel(QString::number(c + 1), this);
    const int x = 134 + static_cast<int>(c) * 86;
    number->setGeometry(x, 37, 14, 18);
    number->setAlignment(Qt::AlignCenter);
    const PlotColour colour = kCellColours[c];
    number->setStyleSheet(QStringLiteral("background: %1; color: %2")
                              .arg(ToQColor(colour).name(),
                                   Dark(colour) ? QStringLiteral("white") : QStringLiteral("black")));
    EditBox* box = EB_Ct[c] = new EditBox(this);
    box->setGeometry(x + 16, 36, 60, 20);
    box->setAlignment(Qt::AlignCenter);
    connect(box, &EditBox::exited, this, [this, box] { EB_CtExit(box); });
    connect(box, &EditBox::enterPressed, this, [this, box] { EB_CtExit(box); });
  }

  Btn_CopyResults = new QPushButton(QStringLiteral("Copy Results"), this);
  Btn_CopyResults->setGeometry(kMeltWindowWidth - 200, 6, 90, 25);
  connect(Btn_CopyResults, &QPushButton::clicked, this, [this] { Btn_CopyResultsClick(Btn_CopyResults); });
  Btn_SaveResults = new QPushButton(QStringLiteral("Save Results"), this);
  Btn_SaveResults->setGeometry(kMeltWindowWidth - 100, 6, 90, 25);
  connect(Btn_SaveResults, &QPushButton::clicked, this, [this] { Btn_SaveResultsClick(Btn_SaveResults); });
}

void MeltWindow::Analyse(std::string_view table, const std::array<bool, kMeltCells>& shown) {
  // Every redraw of the spectrometer plot lands here, most with no new
  // reading; the fits are redone only when the data or the cells shown change.
  if (analysed_ && table == table_ && shown == shown_) return;
  analysed_ = true;
  table_.assign(table);
  shown_ = shown;
  Recompute();
}

void MeltWindow::Recompute() {
  std::vector<MeltCell> cells = MeltCellsOf(table_, 1, ct_);
  std::erase_if(cells, [&](const MeltCell& c) { return !shown_[static_cast<std::size_t>(c.number - 1)]; });
  results_ = AnalyseMeltSet(cells, {model_, range_});
  ShowResults();
  ShowSeries();
  DrawFractionPlot(*Image_Fraction, renderer_, results_);
  DrawDerivativePlot(*Image_Derivative, renderer_, results_);
  DrawSeriesPlot(*Image_Series, renderer_, results_);
}

void MeltWindow::ShowResults() {
  QStringList headers;
  for (const Column& c : kColumns) headers << Heading(c.heading, units_);
  Grid_Results->setHorizontalHeaderLabels(headers);
  Grid_Results->clearSpans();
  Grid_Results->setRowCount(0);
  for (const MeltRow& row : results_.rows) {
    const MeltResult& r = row.result;
    const int at = Grid_Results->rowCount();
    Grid_Results->insertRow(at);
    // The report's own fields, so the grid shows what Copy and Save give.
    const QStringList fields = QString::fromStdString(MeltReportLine(row, units_)).split(QLatin1Char('\t'));
    for (int col = 0; col < static_cast<int>(std::size(kColumns)); ++col) {
      const QString& f = fields[kColumns[col].field];
      Grid_Results->setItem(at, col, Centred(f == QLatin1String("nan") ? QString() : f));
    }
    const bool incomplete = r.fit && !r.fit->complete;
    Grid_Results->item(at, kStatusColumn)->setText(incomplete ? QStringLiteral("transition incomplete")
                                                   : QString(fields[18]).replace(QLatin1Char('_'), QLatin1Char(' ')));
    if (incomplete) {
      // Numbers from a baseline barely reached: shown, but not as final.
      for (int col = kFirstFitColumn; col <= kLastFitColumn; ++col) {
        Grid_Results->item(at, col)->setForeground(Qt::gray);
        Grid_Results->item(at, col)->setToolTip(
            QStringLiteral("transition incomplete: a baseline was not measured beyond the transition"));
      }
    }
    const PlotColour colour = MeltRowColour(row);
    QTableWidgetItem* cell = Grid_Results->item(at, 0);
    cell->setBackground(ToQColor(colour));
    cell->setForeground(Dark(colour) ? Qt::white : Qt::black);
    // Where there is no number, the reason stands across the empty fields.
    const int noteColumn = r.outcome != MeltOutcome::Ok ? 2 : !r.fit ? kFirstFitColumn : -1;
    if (noteColumn < 0) continue;
    Grid_Results->setSpan(at, noteColumn, 1, kLastFitColumn + 1 - noteColumn);
    const char* note = r.outcome != MeltOutcome::Ok ? MeltOutcomeText(r.outcome) : "no two-state fit";
    Grid_Results->item(at, noteColumn)->setText(Widened(note));
  }
}

void MeltWindow::ShowSeries() {
  QStringList headers;
  for (const char* h : {"method", "ΔH ({E})", "±", "ΔS ({S})", "±", "ΔG37 ({E})", "±", "R²"}) headers << Heading(h, units_);
  Grid_Series->setHorizontalHeaderLabels(headers);
  const char* const names[] = {"individual fits averaged", "1/Tm against ln Ct", "global fit"};
  const std::optional<MeltSeries>& series = results_.series;
  const std::array<std::string, 3> lines = series ? MeltSeriesLines(*series, units_) : std::array<std::string, 3>{};
  for (int row = 0; row < 3; ++row) {
    const QStringList fields = QString::fromStdString(lines[static_cast<std::size_t>(row)]).split(QLatin1Char('\t'));
    Grid_Series->setItem(row, 0, Centred(QString::fromLatin1(names[row])));
    for (int col = 1; col < 8; ++col) {
      const int field = col < 7 ? col : 8;  // R² after the cell count
      const QString f = field < fields.size() ? fields[field] : QString();
      Grid_Series->setItem(row, col, Centred(f == QLatin1String("nan") ? QString() : f));
    }
  }
  if (series) {
    Label_Series->setText(QStringLiteral("Concentration series of %1 cells. ΔH differs by %2 % between the "
                                         "methods; within about 15 % the two-state model holds.")
                              .arg(series->cells)
                              .arg(series->dhSpreadPercent, 0, 'f', 1));
  } else {
    Label_Series->setText(QStringLiteral("A concentration series needs a duplex model and at least three cells "
                                         "with a fit and different Ct."));
  }
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

void MeltWindow::EB_CtExit(QObject* sender) {
  const auto c = static_cast<std::size_t>(std::find(EB_Ct.begin(), EB_Ct.end(), sender) - EB_Ct.begin());
  if (c >= EB_Ct.size()) return;
  const QString text = EB_Ct[c]->text().trimmed();
  bool ok = false;
  const double value = text.toDouble(&ok);
  std::optional<double> ct;
  if (!text.isEmpty()) {
    if (!ok || !std::isfinite(value) || value <= 0) {
      dialogs_.Message("The concentration must be a number above 0 (micromolar), or empty.", kMeltWindowCaption,
                       Buttons::Ok);
      EB_Ct[c]->setText(QString());
    } else {
      ct = value;
    }
  }
  if (ct == ct_[c]) return;
  ct_[c] = ct;
  Recompute();
}

void MeltWindow::CB_ModelChange(QObject*) {
  model_ = static_cast<MeltModel>(std::max(0, CB_Model->currentIndex()));
  Recompute();
}

void MeltWindow::CB_UnitsChange(QObject*) {
  units_ = CB_Units->currentIndex() == 1 ? MeltUnits::Kcal : MeltUnits::KJ;
  ShowResults();
  ShowSeries();
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
