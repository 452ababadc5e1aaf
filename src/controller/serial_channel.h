#pragma once
// The operations the program needs of a serial port. The controller window and
// the spectrometer window each own one channel; tests substitute a double.

#include <cstddef>
#include <functional>
#include <string>

namespace vireo {

struct SerialSettings {
  int baudRate = 19200;  // 8 data bits, no parity, 1 stop bit, no flow control
  bool dtr = false;      // DTR line held on?
  bool rts = false;      // RTS line held on?
};

class SerialChannel {
 public:
  virtual ~SerialChannel() = default;

  // Selects the port to open next: a system name (ttyUSB0, ttyACM0, rfcomm0)
  // or a device path. Only while closed.
  virtual void SetPort(const std::string& name) = 0;
  // Takes effect on the next Open.
  virtual void SetSettings(const SerialSettings& settings) = 0;
  virtual SerialSettings Settings() const = 0;
  // Opens the selected port exclusively. On failure the channel stays inactive
  // and LastError() says why in the user's words.
  virtual bool Open() = 0;
  virtual void Close() = 0;  // a closed channel ignores it
  virtual bool Active() const = 0;
  virtual std::string LastError() const = 0;

  // Queue bytes for transmission without blocking.
  virtual void WriteBuffer(const char* bytes, std::size_t count) = 0;
  virtual void WriteChar(char byte) = 0;
  // Copies up to `capacity` received bytes; returns how many (0 if none).
  virtual std::size_t ReadBuffer(char* destination, std::size_t capacity) = 0;
  virtual void PurgeRead() = 0;
  virtual void PurgeWrite() = 0;
  // Waits until queued bytes have gone out, at most `timeoutMs`: used before
  // the program ends, so that its last commands reach the instrument.
  virtual void Flush(int timeoutMs) = 0;

  // Events, raised on the window thread one at a time.
  std::function<void(int count)> onReceived;  // bytes have arrived
  std::function<void()> onBreak;              // a line break condition
  // The open port failed under us (device unplugged, Bluetooth dropped, I/O
  // error). The channel has closed itself before raising this.
  std::function<void(const std::string& reason)> onLost;
};

}  // namespace vireo
