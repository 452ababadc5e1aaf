#pragma once
// Single-byte text helpers shared by every subsystem. The program's texts are
// single-byte in the Windows-1252 / Latin-1 code page ("\xB0" is the degree
// sign, "\xB1" plus-minus) and are widened only for display.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vireo {

inline constexpr const char* kDegree = "\xB0";
inline constexpr const char* kPlusMinus = "\xB1";

// printf into a std::string. Numbers always use "." as decimal point: the
// process keeps LC_NUMERIC at "C" (see main.cpp), as the controller expects.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A text field of fixed capacity (N bytes including the terminating zero).
// Assigning a longer text keeps its first N - 1 bytes: it never overruns.
template <std::size_t N>
struct FixedText {
  static_assert(N > 1);
  char data[N] = {};

  FixedText() = default;
  FixedText(std::string_view text) { Assign(text); }  // NOLINT: implicit like a char array
  void Assign(std::string_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n > 0) std::memcpy(data, text.data(), n);
    data[n] = '\0';
  }
  FixedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  std::string_view View() const { return std::string_view(data); }
  std::string Str() const { return std::string(data); }
  const char* CStr() const { return data; }
  bool operator==(std::string_view other) const { return View() == other; }
  static constexpr std::size_t Capacity() { return N - 1; }
};

// Toolkit text (16-bit codes) into a single-byte buffer of `size` bytes:
// at most size - 1 characters, each cut to its low byte, always terminated.
void NarrowCopy(std::u16string_view source, char* destination, std::size_t size);
// Single-byte text into a 16-bit buffer of `size` characters: at most
// size - 1 characters, each widened with a zero high byte, always terminated.
void WidenCopy(std::string_view source, char16_t* destination, std::size_t size);

// The text up to its first blank: a stored stirrer text "1250 rpm" counts as "1250".
std::string_view UpToFirstBlank(std::string_view text);

}  // namespace vireo
