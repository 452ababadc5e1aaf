#pragma once
// Where the toolkit's wide strings and the program's single-byte texts meet:
// always through NarrowCopy and WidenCopy, so that every control converts alike.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "control/text_helpers.h"

namespace vireo {

// Single-byte text widened for display.
inline QString Widened(std::string_view text) {
  std::vector<char16_t> wide(text.size() + 1);
  WidenCopy(text, wide.data(), wide.size());
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(text.size()));
}

// Toolkit text as single bytes, at most size - 1 of them, as a buffer of
// `size` bytes holds it (a character whose low byte is 0 ends it).
inline std::string Narrowed(const QString& text, std::size_t size) {
  std::vector<char> narrow(size);
  NarrowCopy(text.toStdU16String(), narrow.data(), narrow.size());
  return std::string(narrow.data());
}

// All of the text as single bytes.
inline std::string Narrowed(const QString& text) { return Narrowed(text, static_cast<std::size_t>(text.size()) + 1); }

}  // namespace vireo
