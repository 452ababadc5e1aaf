// The entry dialog itself, driven with real key and mouse events: its
// layouts, the Enter key filter, the refusal of malformed entries and the
// results it returns.
#include "control/form_params.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/fakes.h"

namespace vireo::testing {
namespace {

class FormParams : public ::testing::Test {
 protected:
  // Shows the dialog modally and runs `user` inside it; a dialog the user
  // leaves open is closed with 99 so that the test ends.
  int Show(const std::function<void()>& user) {
    QTimer::singleShot(0, &d, [this, user] {
      EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
      user();
      if (d.isVisible()) d.done(99);
    });
    return d.ShowModal();
  }
  void Configure(ParameterLayout layout, const std::string& first, const std::string& second = "0") {
    d.Configure({layout, "Caption", first, "unit", "Rate (\xB0" "C/min)", second});
  }
  std::size_t Messages() const { return dialogs.shown.size(); }

  ScriptedDialogs dialogs;
  TForm_Params d{dialogs};
};

TEST_F(FormParams, StartsAsItsFirstUserSeesIt) {
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Reference target temperature"));
  EXPECT_EQ(d.size(), QSize(292, 117));
  EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(d.windowFlags() & Qt::WindowSystemMenuHint);
  ASSERT_EQ(d.CB_Param_2->count(), 22);
  EXPECT_EQ(d.CB_Param_2->itemText(0), QStringLiteral("off"));
  EXPECT_EQ(d.CB_Param_2->itemText(21), QStringLiteral("5.0"));
  EXPECT_EQ(d.CB_Param_2->currentText(), QStringLiteral("0.4"));
  EXPECT_FALSE(d.Btn_OK->isDefault() || d.Btn_OK->autoDefault() || d.Btn_Cancel->autoDefault());
  EXPECT_TRUE(d.Edit_Param_1->font().bold());
  EXPECT_EQ(d.Edit_Param_1->font().pixelSize(), 13);
  EXPECT_FALSE(d.L_Param_2B->font().bold());
}

TEST_F(FormParams, LayoutsPlaceAndShowTheControls) {
  const struct {
    ParameterLayout layout;
    bool rateBox, rateList;
    QPoint ok, cancel;
    QSize size;
  } cases[] = {
      {ParameterLayout::kRampList, false, true, {100, 92}, {180, 92}, {342, 135}},
      {ParameterLayout::kSingle, false, false, {70, 60}, {150, 60}, {292, 103}},
      {ParameterLayout::kRampBox, true, false, {100, 92}, {180, 92}, {342, 135}},
      {ParameterLayout::kSingle, false, false, {70, 60}, {150, 60}, {292, 103}},
  };
  for (const auto& c : cases) {
    Configure(c.layout, "1");
    const bool ramp = c.layout != ParameterLayout::kSingle;
    EXPECT_EQ(!d.Edit_Param_2->isHidden(), c.rateBox);
    EXPECT_EQ(!d.L_Param_2B->isHidden(), c.rateBox);
    EXPECT_EQ(!d.CB_Param_2->isHidden(), c.rateList);
    EXPECT_EQ(!d.L_Param_2->isHidden(), ramp);
    EXPECT_EQ(d.Btn_OK->pos(), c.ok);
    EXPECT_EQ(d.Btn_Cancel->pos(), c.cancel);
    EXPECT_EQ(d.size(), c.size);
    if (c.rateList) {
      EXPECT_EQ(d.CB_Param_2->pos(), QPoint(100, 44));
    }
  }
}

TEST_F(FormParams, EnterInABoxOrTheListActsAsOkAndIsSwallowed) {
  const struct {
    ParameterLayout layout;
    QWidget* target;
  } cases[] = {{ParameterLayout::kSingle, d.Edit_Param_1},
               {ParameterLayout::kRampBox, d.Edit_Param_2},
               {ParameterLayout::kRampList, d.CB_Param_2}};
  for (const auto& c : cases) {
    Configure(c.layout, "25", "0.5");
    EXPECT_EQ(Show([&] { QTest::keyClick(c.target, Qt::Key_Return); }), kParameterOk);
    EXPECT_EQ(d.Entry().first, "25");
  }
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(FormParams, ShowingSelectsTheOfferedValueSoTypingReplacesIt) {
  Configure(ParameterLayout::kSingle, "20.00");
  EXPECT_EQ(Show([&] {
              EXPECT_EQ(d.focusWidget(), d.Edit_Param_1);
              EXPECT_EQ(d.Edit_Param_1->selectedText(), QStringLiteral("20.00"));
              QTest::keyClicks(d.Edit_Param_1, "42");
              QTest::keyClick(d.Edit_Param_1, Qt::Key_Enter);
            }),
            kParameterOk);
  EXPECT_EQ(d.Entry().first, "42");
}

TEST_F(FormParams, RefusedBoxesGiveTheirMessagesAResultAndTheFocus) {
  const struct {
    ParameterLayout layout;
    const char* first;
    const char* second;
    int result;
    std::size_t messages;
    QLineEdit* focus;
  } cases[] = {
      {ParameterLayout::kRampBox, "abc", "1,5", kParameterSecondRefused, 2, d.Edit_Param_2},
      {ParameterLayout::kRampBox, "abc", "1", kParameterFirstRefused, 1, d.Edit_Param_1},
      {ParameterLayout::kRampBox, "1", " 0.5", kParameterSecondRefused, 1, d.Edit_Param_2},
      {ParameterLayout::kSingle, "25", "junk", kParameterOk, 0, nullptr},  // a hidden box does not count
      {ParameterLayout::kSingle, "1234567890123456789x", "0", kParameterOk, 0, nullptr},  // judged on 19
  };
  for (const auto& c : cases) {
    dialogs.shown.clear();
    Configure(c.layout, c.first, c.second);
    EXPECT_EQ(Show([&] { QTest::mouseClick(d.Btn_OK, Qt::LeftButton); }), c.result) << c.first;
    EXPECT_EQ(Messages(), c.messages) << c.first;
    if (c.focus) {
      EXPECT_EQ(d.focusWidget(), c.focus) << c.first;
    }
  }
}

TEST_F(FormParams, CharactersBeyondLatin1AreRefusedNotReadAsTheirLowByte) {
  // U+0135 would read as "5", U+0100 as the end of the text.
  for (const char16_t* typed : {u"3\u0135", u"2\u01005"}) {
    dialogs.shown.clear();
    Configure(ParameterLayout::kSingle, "0");
    d.Edit_Param_1->setText(QString::fromUtf16(typed));
    EXPECT_EQ(Show([&] { QTest::mouseClick(d.Btn_OK, Qt::LeftButton); }), kParameterFirstRefused);
    EXPECT_EQ(Messages(), 1u);
  }
}

TEST_F(FormParams, EnterOnAFocusedButtonPressesIt) {
  const struct {
    QPushButton* button;
    int result;
  } cases[] = {{d.Btn_OK, kParameterOk}, {d.Btn_Cancel, kParameterCancel}};
  for (const auto& c : cases) {
    Configure(ParameterLayout::kSingle, "25");
    EXPECT_EQ(Show([&] {
                c.button->setFocus();
                QTest::keyClick(c.button, Qt::Key_Return);
              }),
              c.result);
  }
}

TEST_F(FormParams, EscapeDoesNothingAndCancelReturnsTwoWhateverTheBoxesHold) {
  Configure(ParameterLayout::kRampBox, "abc", "x");
  EXPECT_EQ(Show([&] {
              QTest::keyClick(d.Edit_Param_1, Qt::Key_Escape);
              EXPECT_TRUE(d.isVisible());
              QTest::mouseClick(d.Btn_Cancel, Qt::LeftButton);
            }),
            kParameterCancel);
  EXPECT_EQ(Messages(), 0u);
}

TEST_F(FormParams, TheRateRowIsRememberedBetweenUses) {
  Configure(ParameterLayout::kRampList, "37");
  EXPECT_EQ(Show([&] {
              d.CB_Param_2->setCurrentIndex(9);
              QTest::keyClick(d.CB_Param_2, Qt::Key_Return);
            }),
            kParameterOk);
  Configure(ParameterLayout::kSingle, "1");
  Configure(ParameterLayout::kRampList, "37");
  EXPECT_EQ(d.Entry().rateRow, 9);
  EXPECT_EQ(d.Entry().first, "37");
}

}  // namespace
}  // namespace vireo::testing
