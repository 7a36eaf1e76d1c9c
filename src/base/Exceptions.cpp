#include "base/Exceptions.h"

#include <string>

Text InOutErrorText(int code) {
  switch (code) {
    case 2: return "ファイルが見つかりません";
    case 3: return "不正なファイル名です";
    case 4: return "オープンしたファイルが多すぎます";
    case 5: return "ファイルへのアクセスが拒否されました";
    case 100: return "ファイルの末尾以降を読み込みました";
    case 101: return "ディスクがいっぱいです";
    case 106: return "入力値が数値ではありません";
    // std::to_string writes an int's digits itself; a formatted print would bring a
    // whole printf engine into every program for this one message.
    default: return "I/O エラー (" + std::to_string(code) + ")";
  }
}

EInOutError::EInOutError(int code) : Exception(InOutErrorText(code)), SystemCode(code) {}

Text ExceptionBoxText(const Text& message) {
  if (message.empty()) return message;
  const std::size_t last = message.size() - 1;
  // The last character is two bytes when the last byte is a trail byte; its first
  // byte is then a lead byte (0x81 or more), which always compares above ".".
  const unsigned char first = sjis::IsTrailByte(message, last)
                                  ? static_cast<unsigned char>(message[last - 1])
                                  : static_cast<unsigned char>(message[last]);
  return first > '.' ? message + "." : message;
}
