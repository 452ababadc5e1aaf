#pragma once
// Commands typed into the command panel and controller commands of scripts,
// as plain text rules: the bracket check of a typed line, the local handling
// a controller command gets before it is sent, and the panel's own local
// command for reply logging ("[*LCT +]").

#include <string>
#include <string_view>

#include "controller/controller_state.h"

namespace vireo {

// A typed line holds at most this many characters; the rest is cut.
inline constexpr std::size_t kTypedLineMax = 199;

enum class LineFault {
  None,
  Brackets,  // not "[...]", a "]" without its "[", or a "[" inside an open command
  NoSpace,   // "][" : two commands without a character between them
};
LineFault CheckCommandLine(std::string_view line);

// Capitals of the ASCII letters; other bytes stay as they are.
std::string ToUpperAscii(std::string_view text);

// "[F2 PL n]" / "[F2 DL n]" with n clamped to 1 .. positionCount; whatever
// followed the number on the line is dropped.
std::string ClampedPositionCommand(std::string_view command, int positionCount);

// What the local handling of a controller command changed.
enum class LocalChange { None, Position, RecordDecimals, SampleTarget, SampleSpeed, ReferenceTarget, ReferenceSpeed };

// The local handling of a typed or scripted controller command: may rewrite
// `command` (the changer position) and updates the targets, speeds and
// stable flags it sets. The caller shows what changed and sends `command`.
LocalChange ApplyCommandToState(std::string& command, ControllerState& state);

// A typed "[*LCT +]" and its kin: sets one reply-log switch. False when the
// command names no known kind or carries neither "+" nor "-": nothing changed.
bool ApplyReplyLogCommand(std::string_view command, ReplyLog& log);

}  // namespace vireo
