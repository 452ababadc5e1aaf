// The melting analysis window opened from the spectrometer window on a
// loaded six-cell table.
#include "spectrometer/melt_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "recording/recording_state.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"
#include "spectrometer/melt_curves.h"
#include "support/form_fixture.h"

namespace vireo {
namespace {

constexpr double kTms[] = {42, 48, 55, 61, 67, 73};

class MeltWindowTest : public ::testing::Test {
 protected:
  MeltWindowTest() {
    std::vector<std::vector<MeltPoint>> curves;
    for (int c = 0; c < kMeltCells; ++c) {
      curves.push_back(testing::Curve({kTms[c], 250}, 20, 90, 0.5, 0.002, 70 + static_cast<unsigned>(c)));
    }
    form.SetTableText(testing::SixCellTable(curves));
    form.Btn_MeltAnalysisClick(form.Btn_MeltAnalysis);
  }

  MeltWindow& Window() { return *form.MeltAnalysis; }
  QTableWidget& Grid() { return *Window().Grid_Results; }
  std::string Text(int row, int column) { return Grid().item(row, column)->text().toStdString(); }
  void Enter(EditBox* box, const char* text) {
    box->setText(QString::fromLatin1(text));
    Window().EB_FitRangeExit(box);
  }

  testing::FakeSerialChannel channel;
  testing::WindowDoubles doubles;
  ControllerState controller;
  RecordingState recording;
  PlotRenderer renderer;
  TFormS form{FormSServices{channel, doubles.dialogs, doubles.clipboard, doubles.ports},
              FormSContext{controller, recording, renderer, nullptr, nullptr, {}}};
};

TEST_F(MeltWindowTest, ShowsEachCellInItsColourWithItsTm) {
  ASSERT_NE(form.MeltAnalysis, nullptr);
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(Window().windowTitle().toStdString(), "Melting Analysis");
  ASSERT_EQ(Grid().rowCount(), kMeltCells);
  for (int row = 0; row < kMeltCells; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(Text(row, 0), std::to_string(row + 1));
    EXPECT_NEAR(std::stod(Text(row, 3)), kTms[row], 0.5);
    EXPECT_EQ(Grid().item(row, 0)->background().color(), ToQColor(kCellColours[static_cast<std::size_t>(row)]));
  }
}

// The analysis follows the table and the cell boxes.
TEST_F(MeltWindowTest, FollowsTheShownCellsAndTheTable) {
  form.CkB_Cells[2]->setChecked(false);
  ASSERT_EQ(Grid().rowCount(), kMeltCells - 1);
  EXPECT_EQ(Text(2, 0), "4");
  form.SetTableText(std::string(testing::kSixCellHeader) + "\r\n" +
                    testing::Record(1, 0, {25, 0.5}) + "\r\n");
  ASSERT_EQ(Grid().rowCount(), 1);
  EXPECT_EQ(Text(0, 1), "1");
  EXPECT_EQ(Text(0, 2), "too few points");
}

TEST_F(MeltWindowTest, FitsWithinTheRangeBoxes) {
  Enter(Window().EB_FitMax, "64");
  ASSERT_EQ(Grid().rowCount(), kMeltCells);
  EXPECT_NEAR(std::stod(Text(1, 3)), kTms[1], 0.5);
  EXPECT_EQ(Text(5, 2), "no transition in range");  // 73 lies beyond 64
  EXPECT_EQ(Text(1, 18), "ok");
  EXPECT_EQ(Text(2, 18), "transition incomplete");  // 55 melts until about 63
  EXPECT_TRUE(doubles.dialogs.shown.empty());

  struct Case {
    EditBox* box;
    const char* text;
  } invalid[] = {{Window().EB_FitMin, "warm"}, {Window().EB_FitMin, "70"}};
  for (const Case& c : invalid) {
    SCOPED_TRACE(c.text);
    doubles.dialogs.shown.clear();
    Enter(c.box, c.text);
    ASSERT_EQ(doubles.dialogs.shown.size(), 1u);
    EXPECT_EQ(doubles.dialogs.shown[0].caption, "Melting Analysis");
    EXPECT_EQ(c.box->text().toStdString(), "A");
  }
  Enter(Window().EB_FitMax, "a");
  EXPECT_EQ(Window().EB_FitMax->text().toStdString(), "A");
  EXPECT_NEAR(std::stod(Text(5, 3)), kTms[5], 0.5);
  EXPECT_EQ(Grid().columnSpan(5, 2), 1);
}

TEST_F(MeltWindowTest, CopiesAndSavesTheResults) {
  const std::string expected = Window().ResultsText();
  EXPECT_EQ(expected.rfind(MeltReportHeader() + "\r\n", 0), 0u);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), kMeltCells + 1);

  Window().Btn_CopyResults->click();
  EXPECT_EQ(doubles.clipboard.text, expected);

  const std::string path = ::testing::TempDir() + "melt_window_results.txt";
  doubles.dialogs.fileNames.push_back(path);
  Window().Btn_SaveResults->click();
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), expected);
  file.remove();

  doubles.dialogs.fileNames.push_back(::testing::TempDir() + "no/such/folder/results.txt");
  Window().Btn_SaveResults->click();
  ASSERT_EQ(doubles.dialogs.shown.size(), 1u);
  EXPECT_EQ(doubles.dialogs.shown[0].caption, "Melting Analysis");
}

// A heteroduplex series typed in: the three methods in the series grid, in
// the units chosen, and a concentration that is no number refused.
TEST_F(MeltWindowTest, ShowsTheThreeMethodsOfAConcentrationSeries) {
  const double ct[] = {2, 5, 12, 30, 60, 120};
  std::vector<std::vector<MeltPoint>> curves;
  for (std::size_t c = 0; c < 6; ++c) {
    curves.push_back(testing::Curve(testing::Duplex{MeltModel::Heteroduplex, 350, 1000, ct[c]}, 5, 95, 0.5, 0.002,
                                    80 + static_cast<unsigned>(c)));
  }
  form.SetTableText(testing::SixCellTable(curves));
  Window().CB_Model->setCurrentIndex(1);
  EXPECT_EQ(Text(0, 2), "no concentration (Ct) given");
  EXPECT_FALSE(Window().Results().series);
  for (std::size_t c = 0; c < 6; ++c) {
    Window().EB_Ct[c]->setText(QString::number(ct[c]));
    Window().EB_CtExit(Window().EB_Ct[c]);
  }
  ASSERT_TRUE(Window().Results().series);
  QTableWidget& series = *Window().Grid_Series;
  for (int row = 0; row < 3; ++row) EXPECT_NEAR(series.item(row, 1)->text().toDouble(), 350, 10.5) << row;
  EXPECT_GT(series.item(1, 7)->text().toDouble(), 0.99);
  EXPECT_NE(Window().Label_Series->text().indexOf(QStringLiteral("6 cells")), -1);

  Window().CB_Units->setCurrentIndex(1);
  EXPECT_NEAR(series.item(0, 1)->text().toDouble(), 350 / 4.184, 2.5);
  EXPECT_EQ(series.horizontalHeaderItem(1)->text().toStdString(), "ΔH (kcal/mol)");
  EXPECT_NE(Window().ResultsText().find("\r\n\r\nmethod\tdh_kcal_mol"), std::string::npos);

  Window().EB_Ct[5]->setText(QStringLiteral("lots"));
  Window().EB_CtExit(Window().EB_Ct[5]);
  ASSERT_EQ(doubles.dialogs.shown.size(), 1u);
  EXPECT_EQ(Window().EB_Ct[5]->text().toStdString(), "");
  EXPECT_EQ(Text(5, 2), "no concentration (Ct) given");
}

// The button sits where no control of the window is, in either view.
TEST_F(MeltWindowTest, ButtonOverlapsNoOtherControl) {
  const QRect button = form.Btn_MeltAnalysis->geometry();
  for (QWidget* w : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (w == form.Btn_MeltAnalysis || w->isWindow()) continue;
    EXPECT_FALSE(w->geometry().intersects(button)) << w->metaObject()->className() << " "
                                                   << w->objectName().toStdString();
  }
  EXPECT_TRUE(QRect(0, 0, kFormSWidth, kLimitStripHeight).contains(button));
}

}  // namespace
}  // namespace vireo
