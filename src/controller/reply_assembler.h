#pragma once
// Cuts the controller's byte stream into bracketed replies, "[" to "]".
// Works in its fixed buffer: nothing is allocated per byte.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace vireo {

struct ReplyAssembler {
  static constexpr std::size_t kCapacity = 100;  // 99 characters and a terminating zero

  int InFrame = 0;      // set by the first "[" ever received; never cleared
  int FrameLength = 0;  // characters collected; 0 between frames and after a discarded one
  char FrameBuffer[kCapacity] = {};
};

// Feeds one received chunk. A NUL byte ends the chunk. Each complete reply is
// handed to `onFrame` as its own copy, so a reply handler that lets more bytes
// arrive (a modal message box runs a nested event loop) cannot have its reply
// overwritten underneath it.
//
// Bytes between a "]" and the next "[" (the controller's CR LF) are not
// collected, so a stray "]" there never dispatches old text a second time; a
// reply longer than 99 characters is discarded up to the next "[".
template <typename OnFrame>
void AssembleChunk(ReplyAssembler& a, const char* chunk, std::size_t count, OnFrame&& onFrame) {
  for (std::size_t i = 0; i < count; ++i) {
    const char c = chunk[i];
    if (c == '\0') return;
    if (c == '[') {
      a.InFrame = 1;
      a.FrameBuffer[0] = '[';
      a.FrameLength = 1;
      continue;
    }
    if (!a.InFrame || a.FrameLength == 0) continue;
    if (static_cast<std::size_t>(a.FrameLength) >= ReplyAssembler::kCapacity - 1) {
      a.FrameLength = 0;  // too long for any reply: drop it
      continue;
    }
    a.FrameBuffer[a.FrameLength++] = c;
    if (c == ']') {
      char frame[ReplyAssembler::kCapacity];
      const std::size_t n = static_cast<std::size_t>(a.FrameLength);
      std::memcpy(frame, a.FrameBuffer, n);
      frame[n] = '\0';
      a.FrameBuffer[n] = '\0';
      a.FrameLength = 0;
      onFrame(std::string_view(frame, n));
    }
  }
}

}  // namespace vireo
