// Text files as the viewer reads and writes them. Reports are Windows-1252;
// other text files are often UTF-8. A file is read as UTF-8 when it is valid
// UTF-8 (with or without byte-order mark), otherwise as Windows-1252, and is
// written back in Windows-1252 whenever every character fits, so that a
// report saved again keeps its bytes.
#pragma once

#include <QByteArray>
#include <QString>

namespace lorvant::textcodec {

enum class Encoding { Cp1252, Utf8 };

// Windows-1252 byte to character. The five bytes without a character there
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// so that every byte survives a decode and encode.
char16_t cp1252ToUnicode(unsigned char byte);
// The Windows-1252 byte of a character, or -1 when it has none.
int unicodeToCp1252(char16_t ch);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(const char* data, qsizetype size);

struct Decoded {
  QString text;  // line ends turned into '\n'
  Encoding encoding = Encoding::Cp1252;
  bool byteOrderMark = false;
  QString lineEnd = QStringLiteral("\r\n");  // the first line end met; CR LF when there is none
};

// Decodes a text file: UTF-8 when valid, otherwise Windows-1252. CR LF, a
// lone CR and a lone LF all become '\n'.
Decoded decode(const QByteArray& bytes);

QString fromCp1252(const QByteArray& bytes);
// Characters without a Windows-1252 byte become '?'.
QByteArray toCp1252(const QString& text);
bool fitsCp1252(const QString& text);

struct EncodeOptions {
  QString lineEnd = QStringLiteral("\r\n");
  bool byteOrderMarkForUtf8 = false;
};

struct Encoded {
  QByteArray bytes;
  Encoding encoding = Encoding::Cp1252;
};

// Encodes text whose lines are separated by '\n' (U+2028 and U+2029 count
// as line ends too): Windows-1252 when every character fits, else UTF-8.
Encoded encode(const QString& text, const EncodeOptions& options = {});

}  // namespace lorvant::textcodec
