#pragma once
// SerialChannel over QSerialPort. Lives on the window thread; QSerialPort
// raises its signals there, so the channel's events arrive between other events.

#include <QObject>
#include <QSerialPort>

#include "controller/serial_channel.h"

namespace vireo {

class QtSerialChannel final : public QObject, public SerialChannel {
  Q_OBJECT
 public:
  explicit QtSerialChannel(QObject* parent = nullptr);
  ~QtSerialChannel() override;

  void SetPort(const std::string& name) override;
  void SetSettings(const SerialSettings& settings) override;
  SerialSettings Settings() const override { return settings_; }
  bool Open() override;
  void Close() override;
  bool Active() const override;
  std::string LastError() const override { return lastError_; }

  void WriteBuffer(const char* bytes, std::size_t count) override;
  void WriteChar(char byte) override;
  std::size_t ReadBuffer(char* destination, std::size_t capacity) override;
  void PurgeRead() override;
  void PurgeWrite() override;
  void Flush(int timeoutMs) override;

  // The device QSerialPort opens for a port name: a path as given, otherwise
  // the name under /dev.
  static QString DevicePath(const std::string& name);

 private:
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort port_;
  std::string name_;
  SerialSettings settings_;
  std::string lastError_;
};

}  // namespace vireo
