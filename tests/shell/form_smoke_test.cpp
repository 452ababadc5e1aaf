#include <gtest/gtest.h>

#include <QLabel>

#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

TEST(FormSmoke, FirstContactRunsTheStartupSequenceAndShowsReadings) {
  FormFixture f;
  f.ConnectAndAnswer();
  EXPECT_TRUE(f.form->Controller.ControllerFound);
  EXPECT_EQ(f.form->width(), 825);
  const auto sent = f.RunStartup();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "[F1 VN ?]");
  f.Receive("[F1 CT 24.87]\r\n");
  EXPECT_EQ(f.form->L_S_Temperature->text(), QString::fromLatin1("24.87 \xB0" "C"));
}

}  // namespace
}  // namespace vireo::testing
