// Every controller command leaves through SendControllerCommand, and every
// received byte passes the reply assembler on its way to InterpretReply.
#include "controller/serial_channel.h"
#include "shell/form_a.h"

namespace vireo {

int FormA::SendControllerCommand(std::string_view text, int echo) {
  if (echo) AppendToDisplayLog(LoopLevel, text);
  SerialChannel& channel = services_.controllerChannel;
  if (!channel.Active()) return 0;
  // Typed and scripted commands may be longer than the 49 characters the
  // controller's own commands need; they are sent whole.
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append("\r\n");
  channel.WriteBuffer(line.data(), line.size());
  return static_cast<int>(text.size());
}

void FormA::VaCommRxChar(QObject* sender, int count) {
  if (!sender || Shell.Closing || count <= 0) return;
  char chunk[ReplyAssembler::kCapacity];
  int total = 0;
  while (total < count) {
    std::fill(std::begin(chunk), std::end(chunk), '\0');
    const std::size_t n = services_.controllerChannel.ReadBuffer(chunk, sizeof chunk);
    if (n == 0) break;
    total += static_cast<int>(n);
    AssembleChunk(Assembler, chunk, n, [this](std::string_view frame) {
      if (!Shell.Closing) InterpretReply(frame);
    });
  }
}

}  // namespace vireo
