#include "controller/qt_serial_channel.h"

namespace vireo {
namespace {

std::string OpenFailureReason(QSerialPort::SerialPortError error, const QString& text) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return "there is no such device.";
    case QSerialPort::PermissionError:
      return "it is in use by another program, or you may not use it (on Linux, join the dialout group).";
    default:
      return text.toStdString() + ".";
  }
}

}  // namespace

QtSerialChannel::QtSerialChannel(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::readyRead, this, [this] {
    if (onReceived) onReceived(static_cast<int>(port_.bytesAvailable()));
  });
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialChannel::OnError);
}

QtSerialChannel::~QtSerialChannel() { Close(); }

QString QtSerialChannel::DevicePath(const std::string& name) {
  const QString text = QString::fromLocal8Bit(name.c_str()).trimmed();
  if (text.startsWith(QLatin1Char('/'))) return text;
  return QStringLiteral("/dev/") + text;
}

void QtSerialChannel::SetPort(const std::string& name) {
  if (!port_.isOpen()) name_ = name;
}

void QtSerialChannel::SetSettings(const SerialSettings& settings) { settings_ = settings; }

bool QtSerialChannel::Open() {
  if (port_.isOpen()) return true;
  lastError_.clear();
  port_.setPortName(DevicePath(name_));
  port_.setBaudRate(settings_.baudRate);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    lastError_ = "Cannot open serial port " + name_ + ": " + OpenFailureReason(port_.error(), port_.errorString());
    port_.clearError();
    return false;
  }
  // A pseudo-terminal has no modem lines; failing to set them is harmless.
  port_.setDataTerminalReady(settings_.dtr);
  port_.setRequestToSend(settings_.rts);
  port_.clearError();
  return true;
}

void QtSerialChannel::Close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialChannel::Active() const { return port_.isOpen(); }

void QtSerialChannel::WriteBuffer(const char* bytes, std::size_t count) {
  if (port_.isOpen() && count > 0) port_.write(bytes, static_cast<qint64>(count));
}

void QtSerialChannel::WriteChar(char byte) { WriteBuffer(&byte, 1); }

std::size_t QtSerialChannel::ReadBuffer(char* destination, std::size_t capacity) {
  if (!port_.isOpen() || capacity == 0) return 0;
  const qint64 n = port_.read(destination, static_cast<qint64>(capacity));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void QtSerialChannel::PurgeRead() {
  if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

void QtSerialChannel::PurgeWrite() {
  if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

void QtSerialChannel::Flush(int timeoutMs) {
  if (!port_.isOpen()) return;
  while (port_.bytesToWrite() > 0 && port_.waitForBytesWritten(timeoutMs)) {
  }
  port_.flush();
}

void QtSerialChannel::OnError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || !port_.isOpen()) return;
  // Timeouts and unsupported modem-line requests are not failures of the link.
  if (error == QSerialPort::TimeoutError || error == QSerialPort::UnsupportedOperationError) {
    port_.clearError();
    return;
  }
  // The error text QSerialPort gives here is whatever errno was left over
  // (a pseudo-terminal reports its end as a zero-byte read); say what it means.
  const std::string reason = "the device stopped responding (unplugged, switched off or out of range)";
  port_.clearError();
  port_.close();
  if (onLost) onLost(reason);
}

}  // namespace vireo
