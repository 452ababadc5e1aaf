// The main plot as the window shows it: redrawn from the series text, live
// once a second, the six limit boxes, "Data Shown", "Copy Plot" in its four
// sizes, the axis label editors and a click on the plot.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "recording/series_memo.h"
#include "shell/widgets.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

constexpr QRgb kBlackPixel = 0xFF000000;
constexpr QRgb kGreenPixel = 0xFF008000;
constexpr QRgb kRedPixel = 0xFFFF0000;
constexpr QRgb kBluePixel = 0xFF0000FF;
constexpr QRgb kFuchsiaPixel = 0xFFFF00FF;
constexpr QRgb kAquaPixel = 0xFF00FFFF;
constexpr QRgb kWhitePixel = 0xFFFFFFFF;

// Pixels of one colour well inside the data area, clear of the frame, its
// tick marks and every label: only series draw there in such colours.
int SeriesPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = kPlotMarginTop + 10; y < image.height() - kPlotMarginBottom - 10; ++y) {
    for (int x = kPlotMarginLeft + 10; x < image.width() - kPlotMarginRight - 10; ++x) {
      if (image.pixel(x, y) == colour) ++n;
    }
  }
  return n;
}

void SendKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Return ? QStringLiteral("\r") : QString());
  QApplication::sendEvent(w, &press);
}

void Click(QWidget* w) {
  const QPointF at(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

void Leave(QWidget* w) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(w, &out);
}

// Loads `bytes` into a series through "Load from File into".
void LoadInto(FormFixture& f, const QTemporaryDir& dir, int series, const std::string& bytes) {
  const QString path = dir.filePath(QStringLiteral("series.txt"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  file.close();
  f.dialogs.fileNames.push_back(path.toStdString());
  f.form->M_Data_LoadClick(f.form->M_Data_Load_Items[static_cast<std::size_t>(series - 1)]);
}

// A window connected to a controller whose start-up sequence has run; the
// first temperature report starts the time scale.
class PlotView : public ::testing::Test {
 protected:
  void SetUp() override {
    f.ConnectAndAnswer();
    f.RunStartup();
    start = f.ticks.now;
  }
  FormA& W() { return *f.form; }
  const QImage& Picture() { return W().Image->Picture(); }
  // A sample holder reading at `minutes` on the time scale that starts with the first one.
  void Sample(double minutes, double temperature) {
    f.ticks.now = start + static_cast<std::uint32_t>(minutes * 60000 + 0.5);
    f.Receive(Format("[F1 CT %.2f]\r\n", temperature));
  }
  void Load(int series, const std::string& bytes) { LoadInto(f, dir, series, bytes); }
  // Types `text` into a limit box and leaves it.
  void Enter(EditBox* box, const char* text) {
    box->setText(QString::fromLatin1(text));
    Leave(box);
  }
  LimitSetting& Limit(PlotLimit which) { return W().Limits[which]; }
  const AxisRange& TimeAxis() { return W().Renderer.Axes.Horizontal; }
  const AxisRange& TemperatureAxis() { return W().Renderer.Axes.Vertical; }

  FormFixture f;
  QTemporaryDir dir;
  std::uint32_t start = 0;
};

// ---- Redrawing from the series ------------------------------------------------

TEST_F(PlotView, ReadingsAreDrawnInTheirSeriesColoursAtTheNextRedraw) {
  for (QAction* item : W().M_Plot_Shown_Items) item->setChecked(true);
  Sample(0, 24.0);
  f.Receive("[F1 PT 20.0]\r\n[R1 CT 21.0]\r\n[F1 HT 22.0]\r\n[R1 HT 23.0]\r\n");
  Sample(2, 25.0);
  f.Receive("[F1 PT 21.0]\r\n[R1 CT 22.0]\r\n[F1 HT 23.0]\r\n[R1 HT 24.0]\r\n");
  EXPECT_EQ(SeriesPixels(Picture(), kBlackPixel), 0);

  W().RedrawPlot();
  for (QRgb colour : {kBlackPixel, kGreenPixel, kRedPixel, kBluePixel, kFuchsiaPixel}) {
    EXPECT_GT(SeriesPixels(Picture(), colour), 0) << std::hex << colour;
  }
  EXPECT_EQ(Picture().size(), QSize(W().Layout.LayoutWidth, W().Layout.LayoutHeight));

  // Clear All redraws at once: empty axes, no series.
  W().M_Plot_ClearAllClick(W().M_Plot_ClearAll);
  for (QRgb colour : {kBlackPixel, kGreenPixel, kRedPixel, kBluePixel, kFuchsiaPixel}) {
    EXPECT_EQ(SeriesPixels(Picture(), colour), 0) << std::hex << colour;
  }
  EXPECT_EQ(Picture().pixel(kPlotMarginLeft, W().Layout.LayoutHeight / 2), kBlackPixel);  // the frame
}

TEST_F(PlotView, LiveRedrawComesFromTheTimerOnceASecondWhileLive) {
  ASSERT_TRUE(W().Recording.LivePlot);
  f.Tick(5);  // the live redraw has just run
  Sample(0, 24.0);
  Sample(1, 25.0);
  int ticks = 0;
  while (SeriesPixels(Picture(), kBlackPixel) == 0 && ticks < 10) {
    f.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 5);

  W().M_Plot_StopClick(W().M_Plot_Stop);
  W().M_Plot_ClearAllClick(W().M_Plot_ClearAll);
  Sample(2, 24.0);
  Sample(3, 25.0);
  f.Tick(15);
  EXPECT_EQ(SeriesPixels(Picture(), kBlackPixel), 0);

  // Live again: the first tick redraws.
  W().M_Plot_ClearRestartClick(W().M_Plot_ClearRestart);
  Sample(4, 24.0);
  f.ticks.now += 60000;
  f.Receive("[F1 CT 25.00]\r\n");
  f.Tick();
  EXPECT_GT(SeriesPixels(Picture(), kBlackPixel), 0);
}

TEST_F(PlotView, LoadRedrawsAtOnceFromEveryRecordTheParserSees) {
  Load(1, "0\t20\r\n5\t30\r\n10\t25");
  EXPECT_GT(SeriesPixels(Picture(), kBlackPixel), 0);
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MaxTime).Value, 11.0f);  // 10 counts: 5 alone would give 5.4
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MaxTemp).Value, 31.0f);

  // One record draws no visible line.
  Load(1, "5\t20");
  EXPECT_EQ(SeriesPixels(Picture(), kBlackPixel), 0);

  // LF is no line break of a series: only the first record is read.
  Load(1, "1\t20\n2\t21\n3\t22\n");
  EXPECT_EQ(SeriesPixels(Picture(), kBlackPixel), 0);
  // Its single time is kept in view: 0 .. 2, starting just below 0.
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MinTime).Value, -0.0001f);
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MaxTime).Value, 2.0f);
}

// However a series text came about (loaded, recorded record by record,
// edited by hand), its picture is the one of the same text loaded at once.
TEST_F(PlotView, ThePictureDependsOnlyOnTheSeriesText) {
  std::string loaded;
  for (int i = 0; i < 3000; ++i) {
    loaded += Format("%.3f\t%.2f\r\n", i * 0.01, 25.0 + 3.0 * std::sin(i * 0.05) + (i % 7) * 0.1);
  }
  Load(1, loaded);
  for (int i = 0; i < 40; ++i) Sample(i * 0.75, 20.0 + (i % 5));
  f.Receive("[F1 PT 24.5]\r\n");
  W().RedrawPlot();
  const QImage recorded = Picture().copy();
  ASSERT_GT(SeriesPixels(recorded, kBlackPixel), 0);

  FormFixture other;
  other.ConnectAndAnswer();
  other.RunStartup();
  LoadInto(other, dir, 1, f.SeriesText(1));
  LoadInto(other, dir, 3, f.SeriesText(3));
  other.form->M_Plot_Shown_Items[2]->setChecked(W().M_Plot_Shown_Items[2]->isChecked());
  other.form->RedrawPlot();
  EXPECT_TRUE(other.form->Image->Picture() == recorded);

  // A hand edit in the middle of the series, then more records.
  QTextCursor at(W().SeriesMemos[0]->document()->findBlockByNumber(1500));
  at.insertText(QStringLiteral("1"));
  Sample(31, 40.0);
  W().RedrawPlot();
  LoadInto(other, dir, 1, f.SeriesText(1));
  EXPECT_TRUE(other.form->Image->Picture() == Picture());
  EXPECT_FLOAT_EQ(other.form->Limits[PlotLimit::MaxTime].Value, Limit(PlotLimit::MaxTime).Value);
}

// ---- Automatic limits ---------------------------------------------------------

TEST_F(PlotView, AutomaticLimitsFromTheRecordedSeries) {
  Sample(0, 24.1);
  Sample(10, 24.5);
  W().RedrawPlot();
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MinTime).Value, -1.0f);
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MaxTime).Value, 11.0f);
  EXPECT_FLOAT_EQ(TimeAxis().Major, 2.0f);
  EXPECT_FLOAT_EQ(TimeAxis().Minor, 0.5f);
  EXPECT_NEAR(Limit(PlotLimit::MinTemp).Value, 24.08f, 1e-4);
  EXPECT_NEAR(Limit(PlotLimit::MaxTemp).Value, 24.52f, 1e-4);
  EXPECT_FLOAT_EQ(TemperatureAxis().Major, 0.05f);
  EXPECT_FLOAT_EQ(TemperatureAxis().Minor, 0.01f);
  // The increments stay automatic; only minima and maxima are written back.
  EXPECT_TRUE(Limit(PlotLimit::IncTime).Automatic);
  EXPECT_TRUE(Limit(PlotLimit::MinTime).Automatic);

  // A computed time minimum of exactly 0 starts just below it; not so for temperatures.
  Load(1, "0.5\t0.5\r\n10\t10\r\n");
  EXPECT_EQ(Limit(PlotLimit::MinTime).Value, -0.0001f);
  EXPECT_NEAR(Limit(PlotLimit::MaxTime).Value, 10.2f, 1e-5);
  EXPECT_EQ(Limit(PlotLimit::MinTemp).Value, 0.0f);
}

TEST_F(PlotView, AConstantSeriesIsDrawnInsideTheAxesWithItsValueInView) {
  for (int minute = 0; minute <= 5; ++minute) Sample(minute, 25.0);
  W().RedrawPlot();
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MinTemp).Value, 24.0f);
  EXPECT_FLOAT_EQ(Limit(PlotLimit::MaxTemp).Value, 26.0f);
  EXPECT_GT(SeriesPixels(Picture(), kBlackPixel), 100);
}

// ---- Limit boxes --------------------------------------------------------------

TEST_F(PlotView, AMinimumAboveTheShownMaximumIsRefusedAndBecomesAutomatic) {
  Sample(0, 24.0);
  Sample(10, 25.0);
  W().RedrawPlot();  // the entries are checked against the limits drawn last
  Enter(W().EB_MaxTime, "60");
  ASSERT_FALSE(Limit(PlotLimit::MaxTime).Automatic);
  ASSERT_FLOAT_EQ(TimeAxis().Max, 60.0f);
  ASSERT_TRUE(f.dialogs.shown.empty());

  Enter(W().EB_MinTime, "100");
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].text, "That entry is invalid.\n  The setting will default to automatic.");
  EXPECT_EQ(f.dialogs.shown[0].caption, "Plot parameter error");
  EXPECT_EQ(W().EB_MinTime->text(), QStringLiteral("A"));
  EXPECT_TRUE(Limit(PlotLimit::MinTime).Automatic);
  EXPECT_FLOAT_EQ(TimeAxis().Min, -4.0f);  // redrawn with the automatic minimum: NiceRange(0, 60)
  EXPECT_FLOAT_EQ(TimeAxis().Max, 60.0f);

  Enter(W().EB_MinTime, "30");
  EXPECT_FALSE(Limit(PlotLimit::MinTime).Automatic);
  EXPECT_FLOAT_EQ(TimeAxis().Min, 30.0f);
  EXPECT_EQ(W().EB_MinTime->text(), QStringLiteral("30"));

  // A maximum below the minimum is refused the same way.
  Enter(W().EB_MaxTime, "20");
  EXPECT_EQ(f.dialogs.shown.size(), 2u);
  EXPECT_EQ(W().EB_MaxTime->text(), QStringLiteral("A"));
  EXPECT_TRUE(Limit(PlotLimit::MaxTime).Automatic);

  // "a" and anything beginning with "A" make a setting automatic without complaint.
  Enter(W().EB_MinTime, "a");
  EXPECT_EQ(W().EB_MinTime->text(), QStringLiteral("A"));
  EXPECT_TRUE(Limit(PlotLimit::MinTime).Automatic);
  EXPECT_FLOAT_EQ(TimeAxis().Min, -1.0f);
  Enter(W().EB_MinTime, "5");
  ASSERT_FALSE(Limit(PlotLimit::MinTime).Automatic);
  Enter(W().EB_MinTime, "Auto");
  EXPECT_TRUE(Limit(PlotLimit::MinTime).Automatic);
  EXPECT_EQ(f.dialogs.shown.size(), 2u);
}

TEST_F(PlotView, AnIncrementMustBeAboveZero) {
  Sample(0, 24.0);
  Sample(10, 25.0);
  W().RedrawPlot();  // the entries are checked against the limits drawn last
  Enter(W().EB_IncTime, "2.5");
  EXPECT_FLOAT_EQ(TimeAxis().Major, 2.5f);
  EXPECT_FLOAT_EQ(TimeAxis().Minor, 0.5f);
  Enter(W().EB_IncTemp, "0.25");
  EXPECT_FLOAT_EQ(TemperatureAxis().Major, 0.25f);
  EXPECT_TRUE(f.dialogs.shown.empty());

  for (const char* entry : {"0", "-2", "x"}) {
    SCOPED_TRACE(entry);
    Enter(W().EB_IncTime, "2.5");
    ASSERT_FALSE(Limit(PlotLimit::IncTime).Automatic);
    const std::size_t messages = f.dialogs.shown.size();
    Enter(W().EB_IncTime, entry);
    EXPECT_EQ(f.dialogs.shown.size(), messages + 1);
    EXPECT_TRUE(Limit(PlotLimit::IncTime).Automatic);
    EXPECT_EQ(W().EB_IncTime->text(), QStringLiteral("A"));
    EXPECT_FLOAT_EQ(TimeAxis().Major, 2.0f);
  }
  Enter(W().EB_IncTemp, "0");
  EXPECT_TRUE(Limit(PlotLimit::IncTemp).Automatic);
  EXPECT_FLOAT_EQ(TemperatureAxis().Major, 0.2f);
}

TEST_F(PlotView, EnterInAnyLimitBoxAppliesTheEntry) {
  Sample(0, 24.0);
  Sample(10, 25.0);
  W().RedrawPlot();
  const char* entries[6] = {"1", "9", "2", "20", "30", "5"};
  for (std::size_t i = 0; i < 6; ++i) {
    EditBox* box = W().EB_Limits[i];
    SCOPED_TRACE(box->objectName().toStdString());
    box->setText(QString::fromLatin1(entries[i]));
    SendKey(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), QString::fromLatin1(entries[i]));  // the key itself is swallowed
    EXPECT_FALSE(W().Limits.Settings[i].Automatic);
  }
  EXPECT_FLOAT_EQ(TimeAxis().Min, 1.0f);
  EXPECT_FLOAT_EQ(TimeAxis().Max, 9.0f);
  EXPECT_FLOAT_EQ(TimeAxis().Major, 2.0f);
  EXPECT_FLOAT_EQ(TemperatureAxis().Min, 20.0f);
  EXPECT_FLOAT_EQ(TemperatureAxis().Max, 30.0f);
  EXPECT_FLOAT_EQ(TemperatureAxis().Major, 5.0f);

  W().EB_MinTemp->setText(QStringLiteral("40"));
  SendKey(W().EB_MinTemp, Qt::Key_Enter);
  EXPECT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(W().EB_MinTemp->text(), QStringLiteral("A"));
}

TEST_F(PlotView, AClickInALimitBoxSelectsItsText) {
  W().EB_MaxTemp->setText(QStringLiteral("37.5"));
  Click(W().EB_MaxTemp);
  EXPECT_EQ(W().EB_MaxTemp->selectedText(), QStringLiteral("37.5"));
}

// ---- Data Shown and the memo selection --------------------------------------------

TEST_F(PlotView, UncheckingEveryShownItemDrawsEmptyAxesWithTheLastLimits) {
  Sample(0, 24.1);
  Sample(10, 24.5);
  f.Receive("[R1 CT 30.0]\r\n");
  f.ticks.now += 60000;
  f.Receive("[R1 CT 31.0]\r\n");
  W().RedrawPlot();
  ASSERT_GT(SeriesPixels(Picture(), kGreenPixel), 0);

  W().M_Plot_Shown_Items[1]->trigger();
  EXPECT_FALSE(W().M_Plot_Shown_Items[1]->isChecked());
  EXPECT_EQ(SeriesPixels(Picture(), kGreenPixel), 0);
  EXPECT_NEAR(Limit(PlotLimit::MaxTemp).Value, 24.52f, 1e-4);  // the sample alone
  const PlotLimits last = W().Limits;

  for (QAction* item : W().M_Plot_Shown_Items) {
    if (item->isChecked()) W().M_Plot_ShownClick(item);
  }
  EXPECT_EQ(SeriesPixels(Picture(), kBlackPixel), 0);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(W().Limits.Settings[i].Value, last.Settings[i].Value) << i;

  W().M_Plot_ShownClick(W().M_Plot_Shown_Items[0]);
  EXPECT_GT(SeriesPixels(Picture(), kBlackPixel), 0);
}

TEST_F(PlotView, AShownMemoLosesItsSelectionAtTheNextRedraw) {
  Sample(0, 24.0);
  f.Receive("[R1 CT 22.0]\r\n");
  W().M_Plot_Shown_Items[1]->setChecked(false);
  SeriesMemo* sample = W().SeriesMemos[0];
  SeriesMemo* reference = W().SeriesMemos[1];
  W().M_Data_CopyClick(W().M_Data_Copy_Items[0]);
  W().M_Data_CopyClick(W().M_Data_Copy_Items[1]);
  ASSERT_TRUE(sample->textCursor().hasSelection());
  f.Tick(5);  // within a second while recording
  EXPECT_FALSE(sample->textCursor().hasSelection());
  EXPECT_EQ(sample->textCursor().position(), 0);
  EXPECT_TRUE(reference->textCursor().hasSelection());
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");
}

// ---- Copy Plot --------------------------------------------------------------------

TEST_F(PlotView, CopyPlotPutsAPictureOfEachSizeOnTheClipboardAndLeavesTheScreenAlone) {
  Sample(0, 24.0);
  Sample(10, 25.0);
  W().RedrawPlot();
  const QImage onScreen = Picture().copy();
  const int w = W().Layout.LayoutWidth, h = W().Layout.LayoutHeight;
  ASSERT_GT(SeriesPixels(onScreen, kBlackPixel), 0);
  struct Case {
    QAction* item;
    QSize size;
  };
  for (const Case& c : {Case{W().M_Plot_Copy_Other, QSize(w, h)}, Case{W().M_Plot_Copy_Large, QSize(628, 372)},
                        Case{W().M_Plot_Copy_Medium, QSize(517, 307)}, Case{W().M_Plot_Copy_Small, QSize(400, 237)}}) {
    SCOPED_TRACE(c.item->objectName().toStdString());
    f.clipboard.image = QImage();
    c.item->trigger();
    EXPECT_EQ(f.clipboard.image.size(), c.size);
    EXPECT_GT(SeriesPixels(f.clipboard.image, kBlackPixel), 0);
    EXPECT_EQ(f.clipboard.image.pixel(kPlotMarginLeft, c.size.height() / 2), kBlackPixel);
    EXPECT_TRUE(Picture() == onScreen);
    EXPECT_EQ(W().Renderer.Slot(PlotSlot::Main).W, w);
    EXPECT_EQ(W().Renderer.Slot(PlotSlot::Main).H, h);
  }
  // As Shown is the picture on the screen.
  W().M_Plot_CopyClick(W().M_Plot_Copy_Other);
  EXPECT_TRUE(f.clipboard.image.convertToFormat(onScreen.format()) == onScreen);

  f.clipboard.image = QImage();
  W().M_Plot_CopyClick(nullptr);
  W().M_Plot_CopyClick(W().M_Plot_Stop);
  EXPECT_TRUE(f.clipboard.image.isNull());
}

// ---- Background and the reminder ----------------------------------------------------

TEST_F(PlotView, AClickOnThePlotTurnsItWhiteAndAcknowledgesTheReminder) {
  W().M_EquilRem_OnOffClick(W().M_EquilRem_On);
  W().EquilReminder.ReminderState = kReminderArmed;
  FormA::Enable(W().M_EquilRem_StopBeep, true);
  W().SetPlotBackground(kAqua);  // as a fired reminder does
  W().RedrawPlot();
  const QPoint corner(3, W().Layout.LayoutHeight - 3);
  const QPoint inside(W().Layout.LayoutWidth / 2, W().Layout.LayoutHeight / 2 + 7);
  ASSERT_EQ(Picture().pixel(corner), kAquaPixel);
  ASSERT_EQ(Picture().pixel(inside), kAquaPixel);

  Click(W().Image);
  EXPECT_FALSE(W().M_EquilRem_StopBeep->isEnabled());
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderIdle);
  EXPECT_FALSE(W().EquilReminder.ReminderToFront);
  W().RedrawPlot();
  EXPECT_EQ(Picture().pixel(corner), kWhitePixel);
  EXPECT_EQ(Picture().pixel(inside), kWhitePixel);

  // A switched-off reminder stays off.
  W().M_EquilRem_OnOffClick(W().M_EquilRem_Off);
  Click(W().Image);
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderOff);
}

// ---- Axis labels --------------------------------------------------------------------

TEST_F(PlotView, EnterInTheVerticalLabelEditorSetsTheLabelWithATrailingBlank) {
  W().RedrawPlot();
  const QImage before = Picture().copy();
  Click(W().Panel_VAxisLabel);
  EXPECT_TRUE(W().Panel_VAxisLabel->isHidden());
  EXPECT_FALSE(W().Edit_VAxisLabel->isHidden());
  W().Edit_VAxisLabel->setText(QStringLiteral("absorbance"));
  SendKey(W().Edit_VAxisLabel, Qt::Key_Return);
  EXPECT_EQ(W().Renderer.VerticalAxisLabel.Str(), "absorbance ");
  EXPECT_EQ(W().Edit_VAxisLabel->text(), QStringLiteral("absorbance"));
  EXPECT_FALSE(W().Panel_VAxisLabel->isHidden());
  EXPECT_TRUE(W().Edit_VAxisLabel->isHidden());
  EXPECT_FALSE(Picture() == before);
  EXPECT_EQ(W().Renderer.HorizontalAxisLabel.Str(), "time (min)");

  // The hidden editor losing the focus afterwards changes nothing.
  W().Edit_VAxisLabel->setText(QStringLiteral("other"));
  Leave(W().Edit_VAxisLabel);
  EXPECT_EQ(W().Renderer.VerticalAxisLabel.Str(), "absorbance ");

  // A label longer than the label text keeps its first 99 characters.
  Click(W().Panel_VAxisLabel);
  W().Edit_VAxisLabel->setText(QString(150, QLatin1Char('x')));
  SendKey(W().Edit_VAxisLabel, Qt::Key_Return);
  EXPECT_EQ(W().Renderer.VerticalAxisLabel.Str(), std::string(99, 'x'));
}

TEST_F(PlotView, LeavingTheHorizontalLabelEditorSetsTheLabel) {
  Click(W().Panel_HAxisLabel);
  EXPECT_TRUE(W().Panel_HAxisLabel->isHidden());
  EXPECT_FALSE(W().Edit_HAxisLabel->isHidden());
  const int w = W().Layout.LayoutWidth, h = W().Layout.LayoutHeight;
  EXPECT_EQ(W().Edit_HAxisLabel->pos(), QPoint(w - 171, h - 36));
  EXPECT_EQ(W().Panel_HAxisLabel->pos(), QPoint(w - 100, h - 16));
  W().Edit_HAxisLabel->setText(QString::fromLatin1("t (s) \xB1 1"));
  Leave(W().Edit_HAxisLabel);
  EXPECT_EQ(W().Renderer.HorizontalAxisLabel.Str(), "t (s) \xB1 1 ");
  EXPECT_FALSE(W().Panel_HAxisLabel->isHidden());
  EXPECT_TRUE(W().Edit_HAxisLabel->isHidden());
}

}  // namespace
}  // namespace vireo::testing
