#pragma once
// The live status server: the page, the data for programs, the metrics and
// the run files, read-only, on the window thread's event loop (Qt's HTTP
// server module; no thread of its own). Every request passes the rate, Host
// and token checks first; only GET and HEAD are answered.
//
// Qt 6.4's server parses requests asynchronously, so a slow client never
// holds the event loop, but it bounds neither a request's size nor the
// connections nor their idle time: the listening socket here adds those.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QUrlQuery>
#include <optional>
#include <string>
#include <vector>

#include "status/request_checks.h"
#include "status/status_snapshot.h"

namespace vireo {

class EventNotifier;
class StatusSource;

struct ServeSettings {
  QHostAddress address = QHostAddress::LocalHost;
  quint16 port = 0;  // 0: a free port
  QString token;     // required on every request when not empty
  std::vector<std::string> hostNames;  // --serve-host: names accepted in the Host header
};

// A request as the checks and routes see it.
struct StatusRequest {
  bool headOnly = false;
  bool allowedMethod = true;  // GET or HEAD
  QByteArray path;            // percent-encoded, without the query
  QUrlQuery query;
  QByteArray host;
  QByteArray authorization;
  QString client;  // the peer's address
};

struct StatusReply {
  int status = 200;
  QByteArray contentType;
  QByteArray body;
  QList<QPair<QByteArray, QByteArray>> headers;  // beyond the ones every reply has
};

class StatusServer final : public QAbstractHttpServer {
 public:
  StatusServer(StatusSource& source, const EventNotifier& events, QObject* parent = nullptr);
  ~StatusServer() override;

  // Listens; false (with the reason in `error`) when the address cannot be bound.
  bool Start(const ServeSettings& settings, QString* error);
  void Stop();
  bool Running() const { return port_ != 0; }
  quint16 Port() const { return port_; }
  const ServeSettings& Settings() const { return settings_; }
  // "http://127.0.0.1:8080/", with "?token=..." when one is required.
  QString PageAddress() const;

  // Checks and routes one request: all the server does except the socket work.
  StatusReply Answer(const StatusRequest& request);

  // The headers every reply carries: no framing, no scripts, no sniffing.
  static QList<QPair<QByteArray, QByteArray>> SafetyHeaders();

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  StatusReply Route(const StatusRequest& request);
  // The source's snapshot with the latest events and the journal's error count.
  StatusSnapshot FullSnapshot();
  StatusReply Page();
  StatusReply Plot(const StatusRequest& request, bool spectrometer);
  StatusReply Series(const StatusRequest& request);
  StatusReply Runs(const StatusRequest& request);
  QString LinkQuery() const;

  StatusSource& source_;
  const EventNotifier& events_;
  ServeSettings settings_;
  quint16 port_ = 0;
  RateLimiter limiter_;
  struct PlotCache {
    qint64 key = 0;  // the picture's QImage::cacheKey
    QSize size;
    QByteArray png;
  };
  PlotCache plotCache_[2];  // the main plot, the spectrometer plot
  QElapsedTimer clock_;
};

// Limits of the listening socket.
inline constexpr qint64 kMaxRequestBytes = 16 * 1024;
inline constexpr int kMaxConnections = 64;
inline constexpr int kIdleTimeoutMs = 10000;

// "PORT" or "ADDRESS:PORT" ("[::1]:8080" for IPv6); none when not of that form.
std::optional<QPair<QHostAddress, quint16>> ParseServeEndpoint(const QString& text);

// 128 random bits from the system's generator, as 32 hexadecimal digits.
QString NewServeToken();

}  // namespace vireo
