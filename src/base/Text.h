#pragma once
// Text: a byte string in the Shift-JIS code page. Every path, name and message the
// installer holds is Text; literals are compiled to Shift-JIS (-fexec-charset=CP932).
#include <cstddef>
#include <string>

using Text = std::string;

namespace sjis {

// True for the bytes that start a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when the byte at `index` (0-based) is the second byte of a double-byte
// character: the run of lead bytes immediately before it has odd length.
bool IsTrailByte(const Text& text, std::size_t index);

// 1-based position of the last byte of `text` that is one of `delimiters` and not the
// second byte of a double-byte character; 0 when there is none. A zero byte is never
// a delimiter.
std::size_t LastDelimiter(const Text& text, const char* delimiters);

// Length in bytes of the character that starts at `index`: 2 for a lead byte that has
// a following byte, else 1.
std::size_t CharLength(const Text& text, std::size_t index);

}  // namespace sjis
