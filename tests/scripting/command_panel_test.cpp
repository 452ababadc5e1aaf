// The command panel through the window: typing, the bracket check, sending,
// the local handling of typed commands, the history, the display log's
// prefixes and the panel's two forms.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "scripting/display_log_format.h"
#include "shell/widgets.h"
#include "support/form_fixture.h"
#include "support/recording_journal.h"

namespace vireo::testing {
namespace {

constexpr const char* kBracketsMessage = "All commands must begin with a single ' [ '\r\n     and end with a single ' ] '.";
constexpr const char* kNoSpaceMessage = "Multiple commands must have at least one\r\n     space between them.";

struct CommandPanel : FormFixture {
  CommandPanel() {
    ConnectAndAnswer();
    form->M_Tools_CommandWindow_Click(form->M_Tools_CommandWindow);
  }
  QComboBox& Box() { return *form->CbB_Edit_Command; }
  void Key(int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(Box().lineEdit(), &press);
  }
  // Types `text` into an emptied command box, key by key, then Enter.
  void Type(const std::string& text) {
    Box().lineEdit()->clear();
    for (char c : text) Key(0, QString(QLatin1Char(c)));
    Key(Qt::Key_Return, QStringLiteral("\r"));
  }
  std::vector<std::string> History() {
    std::vector<std::string> items;
    for (int i = 0; i < Box().count(); ++i) items.push_back(Box().itemText(i).toStdString());
    return items;
  }
};

struct LineCase {
  const char* typed;
  const char* sent;     // nullptr: nothing sent
  const char* message;  // nullptr: no message
};

class TypedLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(TypedLine, IsCheckedHandledLocallyAndSent) {
  CommandPanel p;
  p.form->Controller.PositionCount = 6;
  p.Type(GetParam().typed);
  const std::vector<std::string> sent = p.Sent();
  if (GetParam().sent) {
    EXPECT_EQ(sent, std::vector<std::string>{GetParam().sent});
    EXPECT_EQ(p.DisplayLog().back(), GetParam().sent);
  } else {
    EXPECT_TRUE(sent.empty());
  }
  if (GetParam().message) {
    ASSERT_EQ(p.dialogs.shown.size(), 1u);
    EXPECT_EQ(p.dialogs.shown[0].text, GetParam().message);
    EXPECT_EQ(p.dialogs.shown[0].caption, "Command Syntax Error");
  } else {
    EXPECT_TRUE(p.dialogs.shown.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TypedLine,
    ::testing::Values(LineCase{"[F1 TC +]", "[F1 TC +]", nullptr}, LineCase{"[f1 tc +]", "[F1 TC +]", nullptr},
                      LineCase{"[F1 TC +] [R1 TC +]", "[F1 TC +] [R1 TC +]", nullptr},
                      LineCase{"[F1 TC +][R1 TC +]", nullptr, kNoSpaceMessage},
                      LineCase{"[F1 TC +", nullptr, kBracketsMessage}, LineCase{"F1 TC +]", nullptr, kBracketsMessage},
                      LineCase{"[F1 [TC +]", nullptr, kBracketsMessage}, LineCase{"[F1] TC]", nullptr, kBracketsMessage},
                      LineCase{"", nullptr, kBracketsMessage}, LineCase{"[F2 PL 0]", "[F2 PL 1]", nullptr},
                      LineCase{"[F2 PL 9]", "[F2 PL 6]", nullptr}, LineCase{"[F2 DL -4]", "[F2 DL 1]", nullptr},
                      LineCase{"[F2 PL 3] [F1 TC +]", "[F2 PL 3]", nullptr},
                      LineCase{"[*XY +]", nullptr, nullptr}));

TEST(CommandBox, ShowsTypedLettersAsCapitalsAndSelectsARefusedLine) {
  CommandPanel p;
  p.Type("[f1 tc +");
  EXPECT_EQ(p.Box().currentText().toStdString(), "[F1 TC +");
  EXPECT_EQ(p.Box().lineEdit()->selectedText().toStdString(), "[F1 TC +");
}

TEST(CommandBox, HistoryTakesTypedLinesOnceAndRefusedLinesToo) {
  CommandPanel p;
  const std::size_t initial = p.History().size();
  p.Type("[F1 TT ?]");
  p.Type("[F1 TT ?");
  EXPECT_EQ(p.History().size(), initial + 2);
  EXPECT_EQ(p.History()[0], "[F1 TT ?");
  EXPECT_EQ(p.History()[1], "[F1 TT ?]");
  // Chosen from the list and sent again: not added again.
  p.Box().setCurrentIndex(1);
  p.form->Btn_SendClick(p.form->Btn_Send);
  EXPECT_EQ(p.Sent().back(), "[F1 TT ?]");
  EXPECT_EQ(p.History().size(), initial + 2);
}

TEST(LocalCommands, ReplyLogSwitchesAreSetAndShownOnlyWhenRecognised) {
  CommandPanel p;
  p.Type("[*LCT +]");
  EXPECT_TRUE(p.form->Log.CT);
  EXPECT_EQ(p.DisplayLog().back(), "[*LCT +]");
  p.Type("[*LTT-]");
  EXPECT_FALSE(p.form->Log.TT);
  const std::size_t lines = p.DisplayLog().size();
  const ReplyLog before = p.form->Log;
  for (const char* ignored : {"[*LXX +]", "[*LCT]", "[*LIS]"}) p.Type(ignored);
  EXPECT_EQ(p.DisplayLog().size(), lines);
  EXPECT_EQ(p.form->Log.IS, before.IS);
  EXPECT_EQ(p.form->Log.CT, before.CT);
  EXPECT_TRUE(p.Sent().empty());
}

TEST(LocalCommands, SpectrometerCommandsAreEchoedWithoutPrefixUnlessCommentsAreShown) {
  CommandPanel p;
  p.form->LoopLevel = 0;
  p.Type("[*SW 500]");
  EXPECT_EQ(p.DisplayLog().back(), "[*SW 500]");
  p.form->CkB_ShowComments->setChecked(true);
  p.Type("[*SZ]");
  EXPECT_EQ(p.DisplayLog().back(), "[*SW 500]");
  EXPECT_TRUE(p.Sent().empty());
}

TEST(DisplayLog, SentCommandsCarryTheLevelPrefix) {
  CommandPanel p;
  p.Type("[F1 TT ?]");
  p.form->LoopLevel = 0;
  p.Type("[F1 TT ?]");
  p.form->LoopLevel = 2;
  p.Type("[F1 TT ?]");
  const std::vector<std::string> log = p.DisplayLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{"[F1 TT ?]", "|  [F1 TT ?]", "|  |  |  [F1 TT ?]"}));
}

TEST(DisplayLog, WideTextKeepsTheLowByteOfEachCharacterInTheMemoAndTheJournal) {
  RecordingJournal journal;
  FormOptions options;
  options.journal = &journal;
  FormFixture f({"ttyUSB0"}, options);
  // A script file's name: the degree sign stays itself, alpha (U+03B1) keeps 0xB1.
  f.form->AppendWideToDisplayLog(-1, QString::fromUtf16(u"Schmelze \u00B0C \u03B1.txt"));
  EXPECT_EQ(f.DisplayLog().back(), "Schmelze \xB0" "C \xB1.txt");
  EXPECT_EQ(journal.calls.back(), "log Schmelze \xB0" "C \xB1.txt");
}

// The log keeps its newest lines; the first line says what was dropped and
// where the whole log is, counting on as more lines go.
TEST(DisplayLog, KeepsTwentyThousandLinesAndSaysWhereTheRestIs) {
  RecordingJournal journal;
  journal.runFolder = "/data/Vireo/runs/2026-12-09 21-03-00";
  FormOptions options;
  options.journal = &journal;
  FormFixture f({"ttyUSB0"}, options);
  f.form->ScriptDisplay->clear();
  const int appended = kDisplayLogMaxLines + 5;
  for (int i = 1; i <= appended; ++i) f.form->AppendToDisplayLog(-1, "line " + std::to_string(i));
  std::vector<std::string> log = f.DisplayLog();
  ASSERT_EQ(log.size(), static_cast<std::size_t>(kDisplayLogMaxLines));
  EXPECT_EQ(log[0], "-------6 earlier lines are no longer shown; the whole log is in "
                    "/data/Vireo/runs/2026-12-09 21-03-00/display-log.txt");
  EXPECT_EQ(log[1], "line 7");
  EXPECT_EQ(log.back(), "line " + std::to_string(appended));
  journal.runFolder.clear();
  f.form->AppendToDisplayLog(-1, "one more\r\nand another");
  log = f.DisplayLog();
  ASSERT_EQ(log.size(), static_cast<std::size_t>(kDisplayLogMaxLines));
  EXPECT_EQ(log[0], "-------8 earlier lines are no longer shown; the journal's display-log.txt of each run keeps "
                    "every line");
  EXPECT_EQ(log[1], "line 9");
  EXPECT_EQ(log.back(), "and another");
}

TEST(LocalHandling, TargetsAndSpeedsAreShownAndTheStableFlagsCleared) {
  CommandPanel p;
  FormA& w = *p.form;
  w.Controller.SampleStable = w.Controller.ReferenceStable = true;
  for (const char* line : {"[F1 TT S 31.5]", "[R1 TT S -5]", "[F1 SS S 900]", "[R1 SS S 400]", "[F1 TT S X]"}) {
    p.Type(line);
  }
  // "[F1 TT S X]" has no number: the target stays, the line is still sent.
  EXPECT_EQ(p.Sent().back(), "[F1 TT S X]");
  EXPECT_EQ(w.L_S_TargetT->text(), QString::fromLatin1(" 31.50 \xB0" "C"));
  EXPECT_EQ(w.L_R_TargetT->text(), QString::fromLatin1(" -5.00 \xB0" "C"));
  EXPECT_EQ(w.L_S_StirSpeed->text(), QStringLiteral("900 rpm"));
  EXPECT_EQ(w.L_R_StirSpeed->text(), QStringLiteral("400 rpm"));
  EXPECT_FALSE(w.Controller.SampleStable || w.Controller.ReferenceStable);
  p.Type("[F1 DP S 3]");
  EXPECT_EQ(w.Formats.Sample.View(), "%6.4f\t%6.3f");
}

TEST(PanelForms, SwitchingKeepsOnePanelsWidthAndEmptiesTheLogEachTime) {
  FormFixture f;
  f.ConnectAndAnswer();
  FormA& w = *f.form;
  const int base = w.width();
  w.ScriptDisplay->clear();
  w.AppendToDisplayLog(-1, "kept");
  w.M_Tools_CommandWindow_Click(w.M_Tools_CommandWindow);
  EXPECT_EQ(f.DisplayLog(), std::vector<std::string>{"kept"});
  EXPECT_EQ(w.width(), base + 230);
  w.M_Tools_ScriptWindow_Click(w.M_Tools_ScriptWindow);
  EXPECT_TRUE(f.DisplayLog().empty());
  w.AppendToDisplayLog(-1, "gone");
  w.M_Tools_CommandWindow_Click(w.M_Tools_CommandWindow);
  EXPECT_TRUE(f.DisplayLog().empty());
  EXPECT_EQ(w.width(), base + 230);
  EXPECT_FALSE(w.Btn_Send->isHidden());
  EXPECT_TRUE(w.Btn_RunScript->isHidden());
  w.M_Tools_HideWindowClick(w.M_Tools_HideWindow);
  EXPECT_EQ(w.width(), base);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 1);
}

TEST(PanelForms, GrowTheWindowBy230WhateverTheRememberedWidth) {
  FormFixture f;
  f.ConnectAndAnswer();
  FormA& w = *f.form;
  const int base = w.width();
  w.Panels.ScriptPanelWidth = 380;
  w.M_Tools_ScriptWindow_Click(w.M_Tools_ScriptWindow);
  EXPECT_EQ(w.width(), base + 230);
  EXPECT_EQ(w.Panel_Cmd_Scr->width(), 380);
  EXPECT_EQ(w.Btn_IncreaseWidth->x(), 380 - 38);
  EXPECT_EQ(w.Btn_DecreaseWidth->x(), 380 - 23);
  EXPECT_EQ(w.Panels.PanelMode, kPanelScript);
  // A panel the start-up script opens stays in mode 0, so that it closes when the script completes.
  w.M_Tools_ScriptWindow_Click(nullptr);
  EXPECT_EQ(w.Panels.PanelMode, kPanelHidden);
  EXPECT_EQ(w.width(), base + 230);
}

}  // namespace
}  // namespace vireo::testing
