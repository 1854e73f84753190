// Text files as the viewer reads and writes them. Reports are Windows-1252;
// other text files are often UTF-8. A file is read as UTF-8 when it is valid
// UTF-8 (with or without byte-order mark), otherwise as Windows-1252, and is
// written back in Windows-1252 whenever every character fits, so that a
// report saved again keeps its bytes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

namespace lorvant::textcodec {

enum class Encoding { Cp1252, Utf8 };

struct Decoded {
  QString text;  // line ends turned into '\n'
  Encoding encoding = Encoding::Cp1252;
  bool byteOrderMark = false;
  QString lineEnd = QStringLiteral("\r\n");  // the first line end met; CR LF when there is none
};

// Decodes a text file: UTF-8 when it is well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF), otherwise Windows-1252.
// CR LF, a lone CR and a lone LF all become '\n'.
Decoded decode(const QByteArray& bytes);

// Reads a text file in pieces of whole lines: each piece holds the lines
// that end within the next `size` bytes read (`first` for the first piece,
// a longer line whole), the last piece the rest of the file. Empty with `ok`
// false when reading fails.
QList<QByteArray> readPieces(QIODevice& in, qsizetype first, qsizetype size, bool* ok = nullptr);

// Decodes a text file piece by piece, letting go of each piece's bytes once
// decoded, in one pass over the bytes. The encoding is settled at the first
// byte beyond ASCII: UTF-8 when a valid sequence starts there, else
// Windows-1252. Should a later byte prove the file is no UTF-8 after all,
// decoding starts over in Windows-1252 (the pieces of a file taken for UTF-8
// are kept for that) and restarted() says that the text handed out so far
// is to be replaced.
class Decoder {
 public:
  // Every piece but the last ends after a line end, so that no line end
  // and no character is cut in two.
  explicit Decoder(QList<QByteArray> pieces);

  bool atEnd() const { return pieces_.isEmpty(); }
  QString next();
  // True once after the call of next() that started over.
  bool restarted();

  Encoding encoding() const { return mode_ == Mode::Utf8 ? Encoding::Utf8 : Encoding::Cp1252; }
  bool byteOrderMark() const { return byteOrderMark_; }
  // The first line end met; CR LF while there was none.
  QString lineEnd() const { return lineEnd_; }

 private:
  enum class Mode { Undecided, Utf8, Cp1252 };
  // Decodes `piece` from byte `from` into `out`; false when a byte is no
  // UTF-8 after the file was taken for UTF-8.
  bool decodePiece(const QByteArray& piece, qsizetype from, QString& out);

  QList<QByteArray> pieces_;  // still to decode
  QList<QByteArray> kept_;    // decoded, while a start over may need them
  QString buffer_;
  qsizetype skip_ = 0;  // the byte-order mark at the start
  Mode mode_ = Mode::Undecided;
  bool byteOrderMark_ = false;
  bool restarted_ = false;
  bool lineEndSeen_ = false;
  QString lineEnd_ = QStringLiteral("\r\n");
};

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
