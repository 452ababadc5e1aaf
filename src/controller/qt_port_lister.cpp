#include "controller/qt_port_lister.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <cerrno>
#include <unistd.h>

#include "controller/port_order.h"

namespace vireo {

std::vector<std::string> QtPortLister::ListPorts() {
  std::vector<std::string> ports;
  denied_.clear();
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const QString name = info.portName();
    if (!(name.startsWith(QLatin1String("ttyS")) || name.startsWith(QLatin1String("ttyUSB")) ||
          name.startsWith(QLatin1String("ttyACM")) || name.startsWith(QLatin1String("rfcomm")))) {
      continue;
    }
    // Asked before opening: a failed open cannot tell a port held by another
    // program from one this user may not use.
    if (::access(info.systemLocation().toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES) {
      denied_.push_back(name.toStdString());
      continue;
    }
    // Ports that do not exist, or that another program holds, are not listed.
    QSerialPort probe(info);
    if (!probe.open(QIODevice::ReadWrite)) continue;
    probe.close();
    ports.push_back(name.toStdString());
  }
  OrderPortsForSearch(ports);
  return ports;
}

}  // namespace vireo
