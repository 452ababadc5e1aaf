#include "controller/qt_serial_channel.h"

namespace vireo {

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
    lastError_ = "Cannot open serial port " + name_ + ": " + port_.errorString().toStdString();
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
  const std::string reason = port_.errorString().toStdString();
  port_.clearError();
  port_.close();
  if (onLost) onLost(reason);
}

}  // namespace vireo
