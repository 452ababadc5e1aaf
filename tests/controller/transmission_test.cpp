// Sending commands and receiving replies through the main window's channel.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

struct Connected : ::testing::Test {
  FormFixture f;
  Connected() {
    f.form->Search.Searching = false;
    f.form->Btn_COMClick(f.form->Btn_COM);
    f.Sent();
  }
};

TEST_F(Connected, CommandGoesOutWithLineEndAndIsEchoed) {
  EXPECT_EQ(f.form->SendControllerCommand("[F1 TC +]", 1), 9);
  EXPECT_EQ(f.channel.written, "[F1 TC +]\r\n");
  EXPECT_EQ(f.DisplayLog().back(), "[F1 TC +]");
}

TEST_F(Connected, WithoutEchoNothingIsLogged) {
  f.form->ScriptDisplay->clear();
  f.form->SendControllerCommand("[F1 TC -]", 0);
  EXPECT_TRUE(f.DisplayLog().empty());
  EXPECT_EQ(f.channel.written, "[F1 TC -]\r\n");
}

TEST_F(Connected, LongestControllerCommandAndLongerTypedOnesAreSentWhole) {
  const std::string longest = "[F1 TT S " + std::string(39, '1') + "]";
  ASSERT_EQ(longest.size(), 49u);
  EXPECT_EQ(f.form->SendControllerCommand(longest, 1), 49);
  EXPECT_EQ(f.channel.written, longest + "\r\n");
  f.channel.written.clear();
  // Typed lines reach 199 characters: they must not be cut or overrun anything.
  const std::string typed = "[F1 TC +] " + std::string(180, 'x') + "]";
  EXPECT_EQ(f.form->SendControllerCommand(typed, 1), static_cast<int>(typed.size()));
  EXPECT_EQ(f.channel.written, typed + "\r\n");
}

TEST_F(Connected, EchoCarriesTheScriptNestingPrefix) {
  f.form->LoopLevel = 0;
  f.form->SendControllerCommand("[F1 TC +]", 1);
  EXPECT_EQ(f.DisplayLog().back(), "|  [F1 TC +]");
  f.form->LoopLevel = 2;
  f.form->SendControllerCommand("[F1 TC +]", 1);
  EXPECT_EQ(f.DisplayLog().back(), "|  |  |  [F1 TC +]");
}

TEST(Transmission, ClosedPortStillEchoesAndSendsNothing) {
  FormFixture f;
  f.form->ScriptDisplay->clear();
  ASSERT_FALSE(f.channel.Active());
  EXPECT_EQ(f.form->SendControllerCommand("[F1 TC +]", 1), 0);
  EXPECT_EQ(f.DisplayLog(), std::vector<std::string>{"[F1 TC +]"});
  EXPECT_TRUE(f.channel.written.empty());
}

TEST_F(Connected, ManyRepliesInOneEventAreReadInChunks) {
  std::string burst;
  for (int i = 0; i < 20; ++i) burst += "[F1 CT 2" + std::to_string(i % 10) + ".50]\r\n";
  ASSERT_GT(burst.size(), 250u);
  f.Receive(burst);
  EXPECT_EQ(f.form->L_S_Temperature->text(), QString::fromLatin1("29.50 \xB0" "C"));
  EXPECT_TRUE(f.channel.pending.empty());
}

TEST_F(Connected, ReceiveHandlerIgnoresNoSenderClosingAndEmptyEvents) {
  f.channel.pending = "[F1 CT 30.00]";
  f.form->VaCommRxChar(nullptr, 13);
  f.form->VaCommRxChar(f.form->Client, 0);
  EXPECT_EQ(f.channel.pending.size(), 13u);
  f.form->Shell.Closing = true;
  f.form->VaCommRxChar(f.form->Client, 13);
  EXPECT_EQ(f.channel.pending.size(), 13u);
  EXPECT_NE(f.form->L_S_Temperature->text(), QString::fromLatin1("30.00 \xB0" "C"));
}

TEST_F(Connected, FewerBytesThanAnnouncedEndTheRead) {
  f.channel.pending = "[F1 CT 31.00]";
  f.form->VaCommRxChar(f.form->Client, 500);
  EXPECT_EQ(f.form->L_S_Temperature->text(), QString::fromLatin1("31.00 \xB0" "C"));
}

TEST_F(Connected, BreakOnTheLineClearsTheDisplayLog) {
  f.form->SendControllerCommand("[F1 TC +]", 1);
  ASSERT_FALSE(f.DisplayLog().empty());
  f.channel.onBreak();
  EXPECT_TRUE(f.DisplayLog().empty());
}

}  // namespace
}  // namespace vireo::testing
