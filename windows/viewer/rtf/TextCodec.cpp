#include "windows/viewer/rtf/TextCodec.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "text/encoding.h"

namespace lorvant::textcodec {
namespace {

bool isLineEnd(QChar c) { return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

}  // namespace

QString fromCp1252(const QByteArray& bytes) {
  QString out(bytes.size(), Qt::Uninitialized);
  char16_t* d = reinterpret_cast<char16_t*>(out.data());
  for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = cp1252::ToUnicode(static_cast<unsigned char>(bytes[i]));
  return out;
}

bool fitsCp1252(const QString& text) {
  for (QChar c : text)
    if (!isLineEnd(c) && cp1252::FromUnicode(c.unicode()) < 0) return false;
  return true;
}

QByteArray toCp1252(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int b = cp1252::FromUnicode(text[i].unicode());
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
    if (mode_ != Mode::Cp1252)
      kept_.append(std::move(piece));
    else
      kept_.clear();
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
  const std::string_view bytes(piece.constData(), static_cast<std::size_t>(piece.size()));
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
      *d++ = cp1252::ToUnicode(c);
      continue;
    }
    // A UTF-8 sequence, checked as it is decoded.
    const utf8::Char u = utf8::Decode(bytes, static_cast<std::size_t>(i));
    if (u.length == 0) {
      if (mode_ == Mode::Utf8) return false;
      // All before was ASCII, the same in both encodings.
      mode_ = Mode::Cp1252;
      *d++ = cp1252::ToUnicode(c);
      continue;
    }
    mode_ = Mode::Utf8;
    if (u.code > 0xFFFF) {
      *d++ = QChar::highSurrogate(u.code);
      *d++ = QChar::lowSurrogate(u.code);
    } else {
      *d++ = static_cast<char16_t>(u.code);
    }
    i += static_cast<qsizetype>(u.length) - 1;
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
      e.bytes += static_cast<char>(cp1252::FromUnicode(c.unicode()));
  }
  return e;
}

}  // namespace lorvant::textcodec
