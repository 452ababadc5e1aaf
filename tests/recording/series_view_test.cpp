// The five series as the main window keeps them: records appended by the
// controller's temperature reports, Clear All, Clear & Restart and Stop, the
// record decimals, and copying, saving and loading series files.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "recording/series_memo.h"
#include "shell/widgets.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

const std::string kMeanDeviationPlaceholder = "(--.-- \xB1 -.---)";

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A window connected to a controller whose start-up sequence has run: the
// next temperature report starts the time scale.
class SeriesView : public ::testing::Test {
 protected:
  void SetUp() override {
    f.ConnectAndAnswer();
    f.RunStartup();
    ASSERT_TRUE(dir.isValid());
  }
  FormA& W() { return *f.form; }
  void Reply(const std::string& reply) { f.Receive(reply + "\r\n"); }
  SeriesMemo& Memo(int series) { return *W().SeriesMemos[static_cast<std::size_t>(series - 1)]; }
  std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
  void Save(int series, const std::optional<std::string>& path) {
    f.dialogs.fileNames.push_back(path);
    W().M_Data_Save_Items[static_cast<std::size_t>(series - 1)]->trigger();
  }
  void Load(int series, const std::optional<std::string>& path) {
    f.dialogs.fileNames.push_back(path);
    W().M_Data_Load_Items[static_cast<std::size_t>(series - 1)]->trigger();
  }

  FormFixture f;
  QTemporaryDir dir;
};

// ---- Records ----------------------------------------------------------------

TEST_F(SeriesView, ReportsBecomeRecordsOfTheirSeriesInMinutesSinceTheFirstReading) {
  Reply("[F1 CT 24.87]");
  f.ticks.now += 2700;
  Reply("[F1 PT 24.34]");
  f.ticks.now += 60000;
  Reply("[R1 CT 25.00]");
  Reply("[F1 HT 18.25]");
  Reply("[R1 HT 19.5]");
  f.ticks.now += 60000;
  Reply("[F1 CT -5.5]");
  Reply("[F1 CT 123.456]");
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.87\r\n 2.045\t -5.50\r\n 2.045\t123.46\r\n");
  EXPECT_EQ(f.SeriesText(3), " 0.045\t 24.34\r\n");
  EXPECT_EQ(f.SeriesText(2), " 1.045\t 25.00\r\n");
  EXPECT_EQ(f.SeriesText(4), " 1.045\t 18.25\r\n");
  EXPECT_EQ(f.SeriesText(5), " 1.045\t 19.50\r\n");
}

TEST_F(SeriesView, RecordDecimalsFollowTheControllersFirmware) {
  for (const char* version : {"7.00", "6.50"}) {
    SCOPED_TRACE(version);
    FormFixture g;
    g.ConnectAndAnswer();
    g.Receive(std::string("[F1 VN ") + version + "]\r\n");
    g.RunStartup();
    g.Receive("[F1 CT 24.5]\r\n");  // made before the command: keeps its layout
    g.form->SetRecordDecimals('3');
    g.ticks.now += 3000;
    g.Receive("[F1 CT 24.5]\r\n[F1 PT 22.25]\r\n[R1 HT 19.5]\r\n");
    EXPECT_EQ(g.SeriesText(1), " 0.000\t 24.50\r\n0.0500\t24.500\r\n");
    const bool older = version[0] == '6';
    EXPECT_EQ(g.SeriesText(3), older ? "0.0500\t22.250\r\n" : " 0.050\t 22.25\r\n");
    EXPECT_EQ(g.SeriesText(5), older ? "0.0500\t19.500\r\n" : " 0.050\t 19.50\r\n");
  }
}

// ---- Clear All, Clear & Restart, Stop --------------------------------------------

TEST_F(SeriesView, ClearAllEmptiesEverySeriesButKeepsTheTimeScale) {
  Reply("[F1 CT 24.00]\r\n[F1 PT 22.00]\r\n[R1 CT 23.00]\r\n[F1 HT 18.00]\r\n[R1 HT 19.00]");
  W().L_P_MeanDeviation->setText(QStringLiteral("(22.00 \xB1 0.000 \xB0" "C)"));
  const auto steps = W().Steps.PendingCount;
  f.ticks.now += 30000;
  W().M_Plot_ClearAllClick(nullptr);  // a call without a sender does nothing
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");

  W().M_Plot_ClearAll->trigger();
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(f.SeriesText(s), "") << "series " << s;
  EXPECT_EQ(W().L_P_MeanDeviation->text().toLatin1().toStdString(), kMeanDeviationPlaceholder);
  EXPECT_EQ(W().Recording.PlotInterval, 3);
  EXPECT_EQ(W().Steps.PendingCount, steps);
  Reply("[F1 CT 24.10]");
  EXPECT_EQ(f.SeriesText(1), " 0.500\t 24.10\r\n");
}

TEST_F(SeriesView, StopKeepsTheRecordsAndClearAndRestartStartsAgainFromZero) {
  Reply("[F1 CT 24.00]");
  W().M_Plot_StopClick(nullptr);
  EXPECT_EQ(W().Recording.PlotInterval, 3);
  W().M_Plot_Stop->trigger();
  EXPECT_EQ(W().Recording.PlotInterval, 0);
  EXPECT_FALSE(W().Recording.LivePlot);
  EXPECT_EQ(f.RunStartup(), std::vector<std::string>{"[F1 CT -]"});
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");
  W().M_Plot_Stop->trigger();  // nothing left to stop
  EXPECT_EQ(W().Steps.PendingCount, 0);

  W().Recording.PlotIntervalSetting = 7;
  for (std::size_t i = 0; i < 6; ++i) {
    W().EB_Limits[i]->setText(QString::number(i % 3 == 0 ? 1 : 90));
    W().EB_PlotLimitExit(W().EB_Limits[i]);
  }
  ASSERT_FALSE(W().Limits[PlotLimit::MaxTime].Automatic);
  ASSERT_FALSE(W().Limits[PlotLimit::IncTemp].Automatic);
  f.ticks.now += 120000;
  W().M_Plot_ClearRestartClick(nullptr);
  EXPECT_FALSE(W().Recording.LivePlot);

  W().M_Plot_ClearRestart->trigger();
  EXPECT_EQ(f.SeriesText(1), "");
  EXPECT_EQ(W().Recording.PlotInterval, 7);
  EXPECT_TRUE(W().Recording.LivePlot);
  EXPECT_EQ(W().L_P_MeanDeviation->text().toLatin1().toStdString(), kMeanDeviationPlaceholder);
  for (EditBox* box : W().EB_Limits) EXPECT_EQ(box->text(), QStringLiteral("A")) << box->objectName().toStdString();
  for (const LimitSetting& s : W().Limits.Settings) {
    EXPECT_TRUE(s.Automatic);
    EXPECT_EQ(s.Value, 0.0f);
  }
  EXPECT_EQ(f.RunStartup(), std::vector<std::string>{"[F1 CT +7]"});

  f.ticks.now += 5000;
  Reply("[F1 PT 22.00]");  // the probe's first record also starts the scale
  f.ticks.now += 3000;
  Reply("[F1 CT 24.20]");
  EXPECT_EQ(f.SeriesText(3), " 0.000\t 22.00\r\n");
  EXPECT_EQ(f.SeriesText(1), " 0.050\t 24.20\r\n");
}

// ---- Copy -------------------------------------------------------------------

TEST_F(SeriesView, CopyPutsTheWholeSeriesTextOnTheClipboard) {
  Reply("[F1 CT 24.00]\r\n[F1 PT 22.00]\r\n[R1 CT 23.00]\r\n[F1 HT 18.00]\r\n[R1 HT 19.00]");
  Memo(4).SetText("typed by hand\r\n1 2");
  for (int s = 1; s <= 5; ++s) {
    SCOPED_TRACE(s);
    f.clipboard.text.clear();
    W().M_Data_Copy_Items[static_cast<std::size_t>(s - 1)]->trigger();
    EXPECT_EQ(f.clipboard.text, f.SeriesText(s));
    EXPECT_EQ(Memo(s).textCursor().selectedText().size(), Memo(s).document()->characterCount() - 1);
  }
  f.clipboard.text = "kept";
  W().M_Data_CopyClick(nullptr);
  W().M_Data_CopyClick(W().M_Data_Save_Items[0]);  // not an item of this submenu
  EXPECT_EQ(f.clipboard.text, "kept");
}

// ---- Save -------------------------------------------------------------------

TEST_F(SeriesView, SaveWritesExactlyTheSeriesText) {
  Reply("[F1 CT 24.00]\r\n[F1 PT 22.00]\r\n[R1 CT 23.00]\r\n[F1 HT 18.00]\r\n[R1 HT 19.00]");
  f.ticks.now += 3000;
  Reply("[F1 CT 24.05]\r\n[R1 HT 19.25]");
  const char* names[5] = {"s.txt", "r.txt", "p.txt", "he.txt", "her.txt"};
  for (int s = 1; s <= 5; ++s) {
    SCOPED_TRACE(s);
    Save(s, Path(names[s - 1]));
    const std::string saved = ReadFile(QString::fromStdString(Path(names[s - 1])));
    EXPECT_EQ(saved, f.SeriesText(s));
    EXPECT_EQ(saved.substr(saved.size() - 2), "\r\n");
  }
  EXPECT_EQ(ReadFile(QString::fromStdString(Path("s.txt"))), " 0.000\t 24.00\r\n 0.050\t 24.05\r\n");
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST_F(SeriesView, SaveOfAnEmptySeriesTruncatesToAnEmptyFile) {
  const QString path = QString::fromStdString(Path("old.txt"));
  WriteFile(path, "an older and longer file\r\n");
  Save(2, path.toStdString());
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST_F(SeriesView, SaveThatCannotCreateTheFileSaysSoAndWritesNothing) {
  Reply("[F1 CT 24.00]");
  Save(1, Path("missing-folder/s.txt"));
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].text, "Failed to open stream.");
  EXPECT_EQ(f.dialogs.shown[0].caption, "Save Data");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("missing-folder/s.txt"))));
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");

  Save(1, std::nullopt);  // cancelled
  EXPECT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(SeriesView, SaveOnAFullDiskIsReportedAsAFailure) {
  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  Reply("[F1 CT 24.00]");
  Save(1, std::string("/dev/full"));
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].caption, "Save Data");
  EXPECT_NE(f.dialogs.shown[0].text.find("Failed"), std::string::npos);
}

// A Dialogs that records the name each save dialog proposes.
class ProposingDialogs final : public Dialogs {
 public:
  Answer Message(const std::string& text, const std::string& caption, Buttons) override {
    messages.push_back(text + " / " + caption);
    return Answer::Ok;
  }
  std::optional<std::string> SaveFileName(const std::string&, const std::string&, const std::string&,
                                          const std::string& proposed) override {
    this->proposed.push_back(proposed);
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
  std::optional<std::string> OpenFileName(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::deque<std::optional<std::string>> fileNames;
  std::vector<std::string> proposed;
  std::vector<std::string> messages;
};

TEST(SaveDialog, ProposesTheBareNameOfTheLastSavedFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  FakeSerialChannel channel;
  ProposingDialogs dialogs;
  FakeTicks ticks;
  CountingBeeper beeper;
  FixedPortLister ports;
  RecordingDesktop desktop;
  RecordingClipboard clipboard;
  ScriptedParameterDialog parameters;
  FormA form(FormServices{channel, dialogs, ticks, beeper, ports, desktop, clipboard, parameters}, FormOptions{});
  form.Timer_LED->stop();
  form.SeriesMemos[0]->SetText("1\t2\r\n");
  const std::string first = dir.filePath(QStringLiteral("run one.txt")).toStdString();
  dialogs.fileNames = {first, dir.filePath(QStringLiteral("no/such/dir.txt")).toStdString(), std::nullopt,
                       first};
  for (int i = 0; i < 4; ++i) form.M_Data_SaveClick(form.M_Data_Save_Items[i == 3 ? 4 : 0]);
  EXPECT_EQ(dialogs.proposed, (std::vector<std::string>{"", "run one.txt", "run one.txt", "run one.txt"}));
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Failed to open stream. / Save Data"});
  EXPECT_EQ(ReadFile(QString::fromStdString(first)), "");  // the last save wrote the empty series 5
  form.Shell.CloseAsked = false;
}

// ---- Load -------------------------------------------------------------------

TEST_F(SeriesView, LoadReplacesTheSeriesWithTheFileAsItIs) {
  Reply("[F1 PT 22.00]");
  const QString path = QString::fromStdString(Path("in.txt"));
  WriteFile(path, "0.5\t20.00\r\n1.0\t21.00\r\n1.5\t21.50");
  W().M_Plot_Shown_Probe->setChecked(false);
  FormA::Show(W().M_Plot_Shown_Probe, false);
  FormA::Show(W().M_Data_Copy_Probe, false);
  FormA::Show(W().M_Data_Save_Probe, false);
  for (QMenu* m : {W().M_Data_Copy, W().M_Data_Save, W().M_Plot_Shown}) FormA::Enable(m, false);

  Load(3, path.toStdString());
  EXPECT_EQ(f.SeriesText(3), "0.5\t20.00\r\n1.0\t21.00\r\n1.5\t21.50");
  EXPECT_EQ(Memo(3).Points().Count(), 3u);  // the last line without its break too
  EXPECT_TRUE(W().M_Plot_Shown_Probe->isChecked());
  EXPECT_TRUE(FormA::Visible(W().M_Plot_Shown_Probe));
  EXPECT_TRUE(FormA::Visible(W().M_Data_Copy_Probe));
  EXPECT_TRUE(FormA::Visible(W().M_Data_Save_Probe));
  for (QMenu* m : {W().M_Data_Copy, W().M_Data_Save, W().M_Plot_Shown}) {
    EXPECT_TRUE(m->menuAction()->isEnabled()) << m->objectName().toStdString();
  }
  EXPECT_TRUE(f.dialogs.shown.empty());

  // Loading again replaces again; an empty file empties the series.
  WriteFile(path, "");
  Load(3, path.toStdString());
  EXPECT_EQ(f.SeriesText(3), "");
}

TEST_F(SeriesView, AnyLoadedTextIsSavedBackByteForByte) {
  std::string all;
  for (int b = 255; b >= 0; --b) all += static_cast<char>(b);
  const QString in = QString::fromStdString(Path("in.txt"));
  for (const std::string& text : {std::string("time\ttemp\r\n0\t20\r\n"), std::string("1\t20\n2\t21\n3\t22\n"),
                                  std::string("no numbers at all"), all}) {
    WriteFile(in, text);
    Load(5, in.toStdString());
    EXPECT_EQ(f.SeriesText(5), text);
    Save(5, Path("out.txt"));
    EXPECT_EQ(ReadFile(QString::fromStdString(Path("out.txt"))), text);
  }
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST_F(SeriesView, LoadThatCannotOpenTheFileSaysSoAndKeepsTheSeries) {
  Reply("[F1 CT 24.00]");
  W().M_Plot_Shown_Items[0]->setChecked(false);
  Load(1, Path("absent.txt"));
  Load(1, dir.path().toStdString());  // a folder is no file
  ASSERT_EQ(f.dialogs.shown.size(), 2u);
  for (const auto& shown : f.dialogs.shown) {
    EXPECT_EQ(shown.text, "Failed to open file.");
    EXPECT_EQ(shown.caption, "Vireo Script");
  }
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");
  EXPECT_FALSE(W().M_Plot_Shown_Items[0]->isChecked());

  Load(1, std::nullopt);  // cancelled
  EXPECT_EQ(f.dialogs.shown.size(), 2u);
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");
}

TEST_F(SeriesView, LoadThatFailsWhileReadingSaysSoAndKeepsTheSeries) {
  // Opens, but reading it fails at once.
  if (!QFile::exists(QStringLiteral("/proc/self/mem"))) GTEST_SKIP() << "no /proc/self/mem";
  Reply("[F1 CT 24.00]");
  Load(1, std::string("/proc/self/mem"));
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].caption, "Vireo Script");
  EXPECT_NE(f.dialogs.shown[0].text.find("Failed"), std::string::npos);
  EXPECT_EQ(f.SeriesText(1), " 0.000\t 24.00\r\n");
}

TEST_F(SeriesView, RecordsOfASeriesStillRecordingFollowTheLoadedText) {
  Reply("[F1 CT 24.00]");
  f.ticks.now += 6000;
  Reply("[F1 CT 24.10]");
  const QString path = QString::fromStdString(Path("earlier.txt"));
  WriteFile(path, "0.000\t30.00\r\n0.050\t30.50");
  Load(1, path.toStdString());
  EXPECT_TRUE(W().Recording.LivePlot);
  EXPECT_EQ(W().Recording.PlotInterval, 3);
  f.ticks.now += 3000;
  Reply("[F1 CT 24.20]");
  EXPECT_EQ(f.SeriesText(1), "0.000\t30.00\r\n0.050\t30.50\r\n 0.150\t 24.20\r\n");
  EXPECT_EQ(Memo(1).Points().Count(), 3u);
}

}  // namespace
}  // namespace vireo::testing
