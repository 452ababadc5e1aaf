#include "status/status_server.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QNetworkInterface>
#include <QHttpServerResponder>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#include "status/event_notifier.h"
#include "status/run_files.h"
#include "status/status_json.h"
#include "status/status_source.h"
#include "status/status_text.h"

namespace vireo {
namespace {

// The listening socket with the limits Qt's server leaves to us: at most
// kMaxConnections at once, a request of at most kMaxRequestBytes waiting to
// be parsed, and no connection idle for longer than kIdleTimeoutMs.
class GuardedTcpServer final : public QTcpServer {
 public:
  using QTcpServer::QTcpServer;

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || open_ >= kMaxConnections) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    ++open_;
    QObject::connect(socket, &QObject::destroyed, this, [this] { --open_; });
    socket->setReadBufferSize(kMaxRequestBytes);
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->start(kIdleTimeoutMs);
    QObject::connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    // Connected before the HTTP server's own handler, so it runs first.
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, idle] {
      idle->start(kIdleTimeoutMs);
      if (socket->bytesAvailable() >= kMaxRequestBytes) socket->abort();
    });
    QObject::connect(socket, &QTcpSocket::bytesWritten, idle, [idle] { idle->start(kIdleTimeoutMs); });
    addPendingConnection(socket);
  }

 private:
  int open_ = 0;
};

StatusReply Reply(int status, QByteArray contentType, QByteArray body) {
  StatusReply reply;
  reply.status = status;
  reply.contentType = std::move(contentType);
  reply.body = std::move(body);
  return reply;
}

StatusReply Plain(int status, const char* text) { return Reply(status, "text/plain; charset=utf-8", QByteArray(text) + '\n'); }

int SizeParameter(const QUrlQuery& query, const char* name, int fallback) {
  bool ok = false;
  const int value = query.queryItemValue(QLatin1String(name)).toInt(&ok);
  return ok ? std::clamp(value, 50, 2000) : fallback;
}

QByteArray Header(const QHttpServerRequest& request, const QByteArray& name) {
  for (const auto& [key, value] : request.headers()) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return QByteArray();
}

}  // namespace

StatusServer::StatusServer(StatusSource& source, const EventNotifier& events, QObject* parent)
    : QAbstractHttpServer(parent), source_(source), events_(events), limiter_(50.0, 100.0) {
  clock_.start();
}

StatusServer::~StatusServer() = default;

bool StatusServer::Start(const ServeSettings& settings, QString* error) {
  Stop();
  auto* tcp = new GuardedTcpServer(this);
  if (!tcp->listen(settings.address, settings.port)) {
    if (error) *error = tcp->errorString();
    delete tcp;
    return false;
  }
  bind(tcp);
  settings_ = settings;
  port_ = tcp->serverPort();
  return true;
}

void StatusServer::Stop() {
  for (QTcpServer* server : servers()) {
    server->close();
    server->deleteLater();
  }
  port_ = 0;
}

QString StatusServer::PageAddress() const {
  QString host = settings_.address.toString();
  if (settings_.address == QHostAddress::Any || settings_.address == QHostAddress::AnyIPv4) {
    // Every interface: name one another computer can reach.
    host = QStringLiteral("127.0.0.1");
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
      if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol) {
        host = a.toString();
        break;
      }
    }
  }
  if (settings_.address.protocol() == QAbstractSocket::IPv6Protocol) host = QLatin1Char('[') + host + QLatin1Char(']');
  return QStringLiteral("http://%1:%2/%3").arg(host).arg(port_).arg(LinkQuery());
}

QString StatusServer::LinkQuery() const {
  return settings_.token.isEmpty() ? QString() : QStringLiteral("?token=") + settings_.token;
}

QList<QPair<QByteArray, QByteArray>> StatusServer::SafetyHeaders() {
  static const QByteArray styleHash =
      QCryptographicHash::hash(QByteArray::fromStdString(StatusPageStyle()), QCryptographicHash::Sha256).toBase64();
  return {{"Content-Security-Policy", "default-src 'none'; img-src 'self'; style-src 'sha256-" + styleHash +
                                          "'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"},
          {"X-Frame-Options", "DENY"},
          {"X-Content-Type-Options", "nosniff"},
          {"Referrer-Policy", "no-referrer"},
          {"Cache-Control", "no-store"}};
}

StatusReply StatusServer::Answer(const StatusRequest& request) {
  if (!request.allowedMethod) {
    StatusReply reply = Plain(405, "Only GET and HEAD are served.");
    reply.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, HEAD")));
    return reply;
  }
  if (!limiter_.Allow(request.client.toStdString(), clock_.elapsed())) return Plain(429, "Too many requests.");
  if (!HostAllowed(request.host.toStdString(), port_, settings_.hostNames)) return Plain(421, "Unknown host name.");
  if (!settings_.token.isEmpty()) {
    const QByteArray bearer = QByteArray::fromStdString(std::string(BearerToken(request.authorization.toStdString())));
    const QByteArray given = bearer.isEmpty() ? request.query.queryItemValue(QStringLiteral("token")).toUtf8() : bearer;
    if (!TokensEqual(settings_.token.toStdString(), given.toStdString())) {
      StatusReply reply = Plain(401, "A token is required.");
      reply.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Bearer")));
      return reply;
    }
  }
  return Route(request);
}

StatusReply StatusServer::Route(const StatusRequest& request) {
  const QByteArray& path = request.path;
  if (path == "/") return Page();
  if (path == "/api/status") return Reply(200, "application/json", StatusJson(FullSnapshot()));
  if (path == "/metrics") {
    return Reply(200, "text/plain; version=0.0.4; charset=utf-8", QByteArray::fromStdString(MetricsText(FullSnapshot())));
  }
  if (path == "/plot.png") return Plot(request, false);
  if (path == "/spectrometer.png") return Plot(request, true);
  if (path.startsWith("/api/series/")) return Series(request);
  if (path == "/api/spectrometer") {
    return Reply(200, "text/plain; charset=iso-8859-1", QByteArray::fromStdString(source_.SpectrometerText()));
  }
  if (path == "/runs" || path.startsWith("/runs/")) return Runs(request);
  return Plain(404, "Not found.");
}

StatusSnapshot StatusServer::FullSnapshot() {
  StatusSnapshot s = source_.Snapshot();
  s.events.assign(events_.Log().Latest().begin(), events_.Log().Latest().end());
  s.journalErrors = events_.Log().Count(ProgramEvent::JournalCannotWrite);
  return s;
}

StatusReply StatusServer::Page() {
  return Reply(200, "text/html; charset=utf-8",
               QByteArray::fromStdString(StatusPage(FullSnapshot(), LinkQuery().toStdString())));
}

StatusReply StatusServer::Plot(const StatusRequest& request, bool spectrometer) {
  QImage picture = spectrometer ? source_.SpectrometerPlot() : source_.MainPlot();
  if (picture.isNull()) return Plain(404, "No plot drawn yet.");
  const QSize size(SizeParameter(request.query, "width", picture.width()),
                   SizeParameter(request.query, "height", picture.height()));
  // The plot is redrawn once a second at most: clients polling faster, or
  // many at once, get the picture encoded for the first.
  PlotCache& cache = plotCache_[spectrometer ? 1 : 0];
  const qint64 key = picture.cacheKey();
  if (cache.key != key || cache.size != size) {
    if (picture.size() != size) picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    cache.png.clear();
    QBuffer buffer(&cache.png);
    buffer.open(QIODevice::WriteOnly);
    // The encoding runs on the window thread: a plot has few colours, and
    // with a palette it is encoded in a fraction of the time, at a third of the size.
    picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither).save(&buffer, "PNG", 80);
    cache.key = key;
    cache.size = size;
  }
  return Reply(200, "image/png", cache.png);
}

StatusReply StatusServer::Series(const StatusRequest& request) {
  bool ok = false;
  const int series = request.path.mid(12).toInt(&ok);
  if (!ok || series < 1 || series > 5) return Plain(404, "Series are numbered 1 to 5.");
  double since = -1e300;
  if (request.query.hasQueryItem(QStringLiteral("since"))) {
    since = request.query.queryItemValue(QStringLiteral("since")).toDouble(&ok);
    if (!ok) return Plain(400, "since= takes a number of minutes.");
  }
  return Reply(200, "text/plain; charset=iso-8859-1",
               QByteArray::fromStdString(RecordsSince(source_.SeriesText(series), since)));
}

StatusReply StatusServer::Runs(const StatusRequest& request) {
  const QString folder = QString::fromStdString(source_.DataFolder());
  if (request.path == "/runs" || request.path == "/runs/") {
    return Reply(200, "text/html; charset=utf-8", RunsPage(ListRuns(folder), LinkQuery()));
  }
  const std::optional<QString> file = RunFile(folder, request.path.mid(6));
  if (!file) return Plain(404, "Not found.");
  QFile in(*file);
  if (!in.open(QIODevice::ReadOnly)) return Plain(404, "Not found.");
  StatusReply reply = Reply(200, "text/plain; charset=iso-8859-1", in.readAll());
  const QByteArray name = QFileInfo(*file).fileName().toUtf8().replace('"', '_');
  reply.headers.append(qMakePair(QByteArray("Content-Disposition"), "attachment; filename=\"" + name + '"'));
  return reply;
}

bool StatusServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  StatusRequest view;
  const QHttpServerRequest::Method method = request.method();
  view.headOnly = method == QHttpServerRequest::Method::Head;
  view.allowedMethod = view.headOnly || method == QHttpServerRequest::Method::Get;
  view.path = request.url().path(QUrl::FullyEncoded).toUtf8();
  view.query = request.query();
  view.host = Header(request, "host");
  view.authorization = Header(request, "authorization");
  view.client = request.remoteAddress().toString();
  const StatusReply reply = Answer(view);

  QHttpServerResponder responder = makeResponder(request, socket);
  responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
  responder.writeHeader("Content-Type", reply.contentType);
  responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
  for (const auto& [name, value] : SafetyHeaders()) responder.writeHeader(name, value);
  for (const auto& [name, value] : reply.headers) responder.writeHeader(name, value);
  responder.writeBody(view.headOnly ? QByteArray() : reply.body);
  return true;
}

void StatusServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

std::optional<QPair<QHostAddress, quint16>> ParseServeEndpoint(const QString& text) {
  QString host = QStringLiteral("127.0.0.1");
  QString portText = text;
  const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon >= 0) {
    host = text.left(colon);
    portText = text.mid(colon + 1);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) host = host.mid(1, host.size() - 2);
  }
  bool ok = false;
  const uint port = portText.toUInt(&ok);
  QHostAddress address;
  if (!ok || port > 65535 || !address.setAddress(host)) return std::nullopt;
  return QPair<QHostAddress, quint16>(address, static_cast<quint16>(port));
}

QString NewServeToken() {
  quint32 words[4];
  QRandomGenerator::system()->fillRange(words);
  QString token;
  for (quint32 word : words) token += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
  return token;
}

}  // namespace vireo
