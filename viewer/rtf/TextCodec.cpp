#include "viewer/rtf/TextCodec.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace lorvant::textcodec {
namespace {

// 0x80..0x9F; the undefined bytes keep their C1 value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isLineEnd(QChar c) {
  return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

}  // namespace

char16_t cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

int unicodeToCp1252(char16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return ch;
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == ch) return 0x80 + i;
  return -1;
}

QString fromCp1252(const QByteArray& bytes) {
  QString out(bytes.size(), Qt::Uninitialized);
  char16_t* d = reinterpret_cast<char16_t*>(out.data());
  for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = cp1252ToUnicode(static_cast<unsigned char>(bytes[i]));
  return out;
}

bool fitsCp1252(const QString& text) {
  for (QChar c : text)
    if (!isLineEnd(c) && unicodeToCp1252(c.unicode()) < 0) return false;
  return true;
}

QByteArray toCp1252(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int b = unicodeToCp1252(text[i].unicode());
    out[i] = static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

QList<QByteArray> readPieces(QIODevice& in, qsizetype first, qsizetype size, bool* ok) {
  QList<QByteArray> pieces;
  QByteArray carry;  // the start of a line that goes on in the next piece
  qsizetype want = std::max<qsizetype>(first, 1);
  for (;;) {
    QByteArray piece(carry.size() + want, Qt::Uninitialized);
    std::memcpy(piece.data(), carry.constData(), static_cast<size_t>(carry.size()));
    const qint64 got = in.read(piece.data() + carry.size(), want);
    if (got < 0) {
      if (ok) *ok = false;
      return {};
    }
    piece.truncate(carry.size() + got);
    if (got < want || in.atEnd()) {
      if (!piece.isEmpty()) pieces.append(std::move(piece));
      break;
    }
    const qsizetype lf = piece.lastIndexOf('\n');
    if (lf < 0) {
      // A line longer than a piece: read on, in growing steps.
      want = std::max(size, piece.size());
      carry = std::move(piece);
      continue;
    }
    carry = piece.mid(lf + 1);
    piece.truncate(lf + 1);
    pieces.append(std::move(piece));
    want = std::max<qsizetype>(size, 1);
  }
  if (ok) *ok = true;
  return pieces;
}

Decoder::Decoder(QList<QByteArray> pieces) : pieces_(std::move(pieces)) {
  if (!pieces_.isEmpty() && pieces_.first().startsWith("\xEF\xBB\xBF")) {
    byteOrderMark_ = true;
    mode_ = Mode::Utf8;
    skip_ = 3;
  }
}

bool Decoder::restarted() {
  const bool was = restarted_;
  restarted_ = false;
  return was;
}

QString Decoder::next() {
  if (pieces_.isEmpty()) return {};
  QByteArray piece = pieces_.takeFirst();
  // One buffer for all pieces: once the caller has let go of a piece's
  // text, the next one is decoded into the same memory.
  if (decodePiece(piece, std::exchange(skip_, 0), buffer_)) {
    // Windows-1252 is final; anything else may still have to start over.
    if (mode_ != Mode::Cp1252) kept_.append(std::move(piece));
    else kept_.clear();
    return buffer_;
  }
  // Not UTF-8 after all: everything again, the byte-order mark included.
  pieces_.prepend(std::move(piece));
  pieces_ = kept_ + pieces_;
  kept_.clear();
  mode_ = Mode::Cp1252;
  byteOrderMark_ = false;
  lineEndSeen_ = false;
  lineEnd_ = QStringLiteral("\r\n");
  restarted_ = true;
  return next();
}

bool Decoder::decodePiece(const QByteArray& piece, qsizetype from, QString& out) {
  const auto* s = reinterpret_cast<const unsigned char*>(piece.constData());
  const qsizetype end = piece.size();
  // Never more characters than bytes.
  out.resize(end - from);
  char16_t* d = reinterpret_cast<char16_t*>(out.data());
  char16_t* const first = d;
  auto lineEnd = [this](const char* text) {
    if (!lineEndSeen_) {
      lineEnd_ = QString::fromLatin1(text);
      lineEndSeen_ = true;
    }
  };
  for (qsizetype i = from; i < end; ++i) {
    // The bulk of a report: eight bytes of ASCII without a CR at a time
    // (once the kind of line end is known, a LF is just a character).
    while (lineEndSeen_ && end - i >= 8) {
      std::uint64_t w;
      std::memcpy(&w, s + i, 8);
      constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
      constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
      const std::uint64_t cr = w ^ (kOnes * '\r');
      if ((w & kHigh) || ((cr - kOnes) & ~cr & kHigh)) break;
      for (int k = 0; k < 8; ++k) d[k] = s[i + k];
      d += 8;
      i += 8;
    }
    if (i >= end) break;
    const unsigned char c = s[i];
    if (c < 0x80) {
      if (c == '\r') {
        const bool pair = i + 1 < end && s[i + 1] == '\n';
        lineEnd(pair ? "\r\n" : "\r");
        i += pair;
        *d++ = u'\n';
      } else {
        if (c == '\n') lineEnd("\n");
        *d++ = c;
      }
      continue;
    }
    if (mode_ == Mode::Cp1252) {
      *d++ = cp1252ToUnicode(c);
      continue;
    }
    // A UTF-8 sequence, checked as it is decoded.
    int extra = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) extra = 1, min = 0x80, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) extra = 2, min = 0x800, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) extra = 3, min = 0x10000, cp = c & 0x07;
    bool valid = extra > 0 && end - i > extra;
    for (int k = 1; valid && k <= extra; ++k) {
      const unsigned char t = s[i + k];
      valid = (t & 0xC0) == 0x80;
      cp = (cp << 6) | (t & 0x3F);
    }
    valid = valid && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!valid) {
      if (mode_ == Mode::Utf8) return false;
      // All before was ASCII, the same in both encodings.
      mode_ = Mode::Cp1252;
      *d++ = cp1252ToUnicode(c);
      continue;
    }
    mode_ = Mode::Utf8;
    if (cp > 0xFFFF) {
      *d++ = QChar::highSurrogate(cp);
      *d++ = QChar::lowSurrogate(cp);
    } else {
      *d++ = static_cast<char16_t>(cp);
    }
    i += extra;
  }
  out.truncate(d - first);
  return true;
}

Decoded decode(const QByteArray& bytes) {
  Decoder decoder({bytes});
  Decoded d;
  while (!decoder.atEnd()) {
    const QString piece = decoder.next();
    if (decoder.restarted()) d.text.clear();
    d.text += piece;
  }
  d.encoding = decoder.encoding();
  d.byteOrderMark = decoder.byteOrderMark();
  d.lineEnd = decoder.lineEnd();
  return d;
}

Encoded encode(const QString& text, const EncodeOptions& options) {
  Encoded e;
  e.encoding = fitsCp1252(text) ? Encoding::Cp1252 : Encoding::Utf8;
  if (e.encoding == Encoding::Utf8) {
    if (options.byteOrderMarkForUtf8) e.bytes = QByteArray("\xEF\xBB\xBF");
    QString lines;
    lines.reserve(text.size() + text.size() / 64);
    for (QChar c : text) {
      if (isLineEnd(c))
        lines += options.lineEnd;
      else
        lines += c;
    }
    e.bytes += lines.toUtf8();
    return e;
  }
  // The usual case, a report: one pass straight into bytes.
  const QByteArray lineEnd = options.lineEnd.toLatin1();
  e.bytes.reserve(text.size() + text.size() / 64 + 16);
  for (QChar c : text) {
    if (isLineEnd(c))
      e.bytes += lineEnd;
    else
      e.bytes += static_cast<char>(unicodeToCp1252(c.unicode()));
  }
  return e;
}

}  // namespace lorvant::textcodec
