// File > "Live Status Page ...": the dialog starts and stops the server and
// copies its address.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "shell/live_status.h"
#include "status/event_notifier.h"
#include "status/status_source.h"
#include "support/form_fixture.h"

namespace vireo::testing {
namespace {

class EmptySource final : public StatusSource {
 public:
  StatusSnapshot Snapshot() override { return {}; }
  QImage MainPlot() override { return {}; }
  QImage SpectrometerPlot() override { return {}; }
  std::string SeriesText(int) override { return {}; }
  std::string SpectrometerText() override { return {}; }
  std::string DataFolder() override { return {}; }
};

QPushButton* Button(QDialog* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

TEST(LiveStatusDialog, StartsAndStopsTheServerAndCopiesItsAddress) {
  FormFixture f;
  EmptySource source;
  EventNotifier events;
  StatusServer server(source, events);
  ServeSettings settings;
  settings.port = 0;
  LiveStatus live(*f.form, server, settings);
  ASSERT_TRUE(f.form->M_File->actions().contains(live.M_File_LiveStatus));
  live.M_File_LiveStatus->trigger();
  auto* dialog = f.form->findChild<QDialog*>();
  ASSERT_NE(dialog, nullptr);
  auto* address = dialog->findChild<QLineEdit*>();
  EXPECT_TRUE(address->text().isEmpty());
  ASSERT_NE(Button(dialog, QStringLiteral("Start")), nullptr);
  Button(dialog, QStringLiteral("Start"))->click();
  ASSERT_TRUE(server.Running());
  EXPECT_EQ(address->text(), QStringLiteral("http://127.0.0.1:%1/").arg(server.Port()));
  Button(dialog, QStringLiteral("Copy"))->click();
  EXPECT_EQ(f.clipboard.text, address->text().toStdString());
  Button(dialog, QStringLiteral("Stop"))->click();
  EXPECT_FALSE(server.Running());
  EXPECT_TRUE(address->text().isEmpty());
  EXPECT_FALSE(Button(dialog, QStringLiteral("Copy"))->isEnabled());
}

}  // namespace
}  // namespace vireo::testing
