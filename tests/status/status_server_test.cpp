// The status server's answers without sockets: the method, Host, token and
// path checks in front of every route, the routes themselves, the run files,
// the --serve endpoint and the event command.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "status/event_notifier.h"
#include "status/run_files.h"
#include "status/status_server.h"
#include "status/status_source.h"

namespace vireo {
namespace {

class FakeSource final : public StatusSource {
 public:
  StatusSnapshot Snapshot() override {
    StatusSnapshot s;
    s.title = "Vireo";
    s.holders.push_back({"sample", 24.87f, 25.0f, "holding", true, false, 0, std::nullopt});
    return s;
  }
  QImage MainPlot() override {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }
  QImage SpectrometerPlot() override { return QImage(); }
  std::string SeriesText(int series) override { return series == 1 ? " 0.000\t20.00\r\n 0.050\t20.10\r\n" : ""; }
  std::string SpectrometerText() override { return "   P/S\t nm\r\n"; }
  std::string DataFolder() override { return folder; }
  std::string folder;
};

void Write(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

struct Server : ::testing::Test {
  Server() {
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data + QStringLiteral("/runs/2026-12-09 14-03-27"));
    QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
    Write(data + QStringLiteral("/runs/2026-12-09 14-03-27/sample.txt"), " 0.000\t20.00\r\n");
    Write(data + QStringLiteral("/secret.txt"), "secret");
    Write(dir.filePath(QStringLiteral("elsewhere/other.txt")), "secret");
    QFile::link(dir.filePath(QStringLiteral("elsewhere/other.txt")),
                data + QStringLiteral("/runs/2026-12-09 14-03-27/link.txt"));
    QFile::link(dir.filePath(QStringLiteral("elsewhere")), data + QStringLiteral("/runs/linked"));
    source.folder = data.toStdString();
  }
  StatusReply Get(const QByteArray& path, const QString& query = {}, const QByteArray& host = "127.0.0.1:0") {
    StatusRequest request;
    request.path = path;
    request.query = QUrlQuery(query);
    request.host = host;
    request.client = QStringLiteral("127.0.0.1");
    return server.Answer(request);
  }
  QTemporaryDir dir;
  FakeSource source;
  EventNotifier events{[](const QString&, const QStringList&) { return true; }};
  StatusServer server{source, events};
};

TEST_F(Server, AnswersOnlyGetAndHeadFromAKnownHost) {
  StatusRequest post;
  post.allowedMethod = false;
  post.path = "/";
  post.host = "127.0.0.1:0";
  EXPECT_EQ(server.Answer(post).status, 405);
  EXPECT_EQ(Get("/", {}, "rebound.example:0").status, 421);
  EXPECT_EQ(Get("/", {}, "127.0.0.1:0").status, 200);  // not listening: port 0
}

TEST_F(Server, EveryPathNeedsTheTokenWhenOneIsSet) {
  ServeSettings settings;
  settings.token = QStringLiteral("0123456789abcdef0123456789abcdef");
  ASSERT_TRUE(server.Start(settings, nullptr));
  const QByteArray host = "127.0.0.1:" + QByteArray::number(server.Port());
  for (const char* path : {"/", "/api/status", "/metrics", "/plot.png", "/runs/", "/nothing", "/runs/../secret.txt"}) {
    EXPECT_EQ(Get(path, {}, host).status, 401) << path;
    EXPECT_EQ(Get(path, QStringLiteral("token=0123456789abcdef0123456789abcdeX"), host).status, 401) << path;
    EXPECT_TRUE(Get(path, {}, host).body.indexOf("24.87") < 0) << path;
  }
  EXPECT_EQ(Get("/", QStringLiteral("token=") + settings.token, host).status, 200);
  StatusRequest bearer;
  bearer.path = "/metrics";
  bearer.host = host;
  bearer.authorization = "Bearer " + settings.token.toUtf8();
  EXPECT_EQ(server.Answer(bearer).status, 200);
  // Links on the page carry the token.
  EXPECT_GE(Get("/", QStringLiteral("token=") + settings.token, host).body.indexOf("/plot.png?token=" + settings.token.toUtf8()), 0);
  server.Stop();
}

TEST_F(Server, ServesTheRoutesWithTheirTypesAndSafetyHeaders) {
  struct Case {
    const char* path;
    const char* query;
    int status;
    const char* type;
    const char* body;
  } cases[] = {
      {"/", "", 200, "text/html; charset=utf-8", "24.87"},
      {"/api/status", "", 200, "application/json", "\"temperature_c\":24.87"},
      {"/metrics", "", 200, "text/plain; version=0.0.4; charset=utf-8", "vireo_holder_temperature_celsius"},
      {"/api/series/1", "since=0.05", 200, "text/plain; charset=iso-8859-1", " 0.050\t20.10\r\n"},
      {"/api/series/6", "", 404, "text/plain; charset=utf-8", ""},
      {"/api/series/1", "since=soon", 400, "text/plain; charset=utf-8", ""},
      {"/api/spectrometer", "", 200, "text/plain; charset=iso-8859-1", "P/S"},
      {"/plot.png", "width=100&height=60", 200, "image/png", "PNG"},
      {"/spectrometer.png", "", 404, "text/plain; charset=utf-8", ""},
      {"/runs/", "", 200, "text/html; charset=utf-8", "/runs/2026-12-09%2014-03-27/sample.txt"},
      {"/runs/2026-12-09%2014-03-27/sample.txt", "", 200, "text/plain; charset=iso-8859-1", "20.00"},
  };
  for (const Case& c : cases) {
    const StatusReply reply = Get(c.path, QString::fromLatin1(c.query));
    EXPECT_EQ(reply.status, c.status) << c.path;
    EXPECT_EQ(reply.contentType, c.type) << c.path;
    EXPECT_GE(reply.body.indexOf(c.body), 0) << c.path;
  }
  const QImage plot = QImage::fromData(Get("/plot.png", QStringLiteral("width=100&height=60")).body, "PNG");
  EXPECT_EQ(plot.size(), QSize(100, 60));
  const QJsonObject json = QJsonDocument::fromJson(Get("/api/status").body).object();
  EXPECT_EQ(json.value(QStringLiteral("title")).toString(), QStringLiteral("Vireo"));
  QByteArray headers;
  for (const auto& [name, value] : StatusServer::SafetyHeaders()) headers += name + ": " + value + "\n";
  for (const char* needed : {"frame-ancestors 'none'", "default-src 'none'", "X-Frame-Options: DENY", "nosniff"}) {
    EXPECT_GE(headers.indexOf(needed), 0) << needed;
  }
  EXPECT_EQ(RunsPage(ListRuns(QString::fromStdString(source.folder)), {}).indexOf("link.txt"), -1);
}

TEST_F(Server, NoPathOutsideTheListedRunFilesIsServed) {
  for (const char* path : {
           "/runs/..%2Fsecret.txt",
           "/runs/../secret.txt",
           "/runs/2026-12-09%2014-03-27/..%2F..%2Fsecret.txt",
           "/runs/2026-12-09%2014-03-27%2Fsample.txt",
           "/runs/2026-12-09%2014-03-27/../../secret.txt",
           "/runs/2026-12-09%2014-03-27/link.txt",  // a link out of the run
           "/runs/linked/other.txt",                // a linked run folder
           "/runs//etc/passwd",
           "/runs/%2Fetc%2Fpasswd",
           "/runs/2026-12-09%2014-03-27/%2E%2E",
           "/runs/2026-12-09%2014-03-27/sample.txt/",
           "/runs/2026-12-09%2014-03-27/sample.txt%00.png",
           "/runs/2026-12-09%2014-03-27/..%5Csecret.txt",
           "/runs/./2026-12-09%2014-03-27/sample.txt",
           "/../secret.txt",
       }) {
    const StatusReply reply = Get(path);
    EXPECT_EQ(reply.status, 404) << path;
    EXPECT_EQ(reply.body.indexOf("secret"), -1) << path;
  }
}

TEST(ServeEndpoint, TakesAPortOrAnAddressAndAPort) {
  struct Case {
    const char* text;
    const char* address;  // null: refused
    quint16 port;
  } cases[] = {
      {"8080", "127.0.0.1", 8080},   {"0", "127.0.0.1", 0},         {"0.0.0.0:9000", "0.0.0.0", 9000},
      {"[::1]:8080", "::1", 8080},   {"192.168.1.5:80", "192.168.1.5", 80},
      {"70000", nullptr, 0},         {"host:80", nullptr, 0},       {"", nullptr, 0},
      {"127.0.0.1:", nullptr, 0},    {"127.0.0.1:x", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto endpoint = ParseServeEndpoint(QString::fromLatin1(c.text));
    ASSERT_EQ(endpoint.has_value(), c.address != nullptr) << c.text;
    if (!endpoint) continue;
    EXPECT_EQ(endpoint->first, QHostAddress(QString::fromLatin1(c.address))) << c.text;
    EXPECT_EQ(endpoint->second, c.port) << c.text;
  }
  EXPECT_EQ(NewServeToken().size(), 32);
  EXPECT_NE(NewServeToken(), NewServeToken());
}

TEST(EventCommand, RunsTheProgramWithItsWordsThenTheEventAndItsText) {
  std::vector<QStringList> started;
  EventNotifier events([&](const QString& program, const QStringList& arguments) {
    started.push_back(QStringList{program} + arguments);
    return true;
  });
  events.Raise(ProgramEvent::RunStarted, "nobody is told");
  EXPECT_TRUE(started.empty());
  ASSERT_TRUE(events.SetCommand(QStringLiteral("notify-send -a \"Vireo lab\"")));
  events.Raise(ProgramEvent::OperatorMessage, "Insert the sample;\r\n rm -rf / `x` $(y)");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (QStringList{"notify-send", "-a", "Vireo lab", "operator-message",
                                     "Insert the sample;   rm -rf / `x` $(y)"}));
  EXPECT_EQ(events.Log().Latest().size(), 2u);
  EXPECT_FALSE(events.SetCommand(QStringLiteral("  ")));
}

}  // namespace
}  // namespace vireo
