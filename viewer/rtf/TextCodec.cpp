#include "viewer/rtf/TextCodec.h"

#include <array>

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

bool isValidUtf8(const char* data, qsizetype size) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  qsizetype i = 0;
  while (i < size) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    char32_t min;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
      extra = 1, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    if (size - i <= extra) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char t = s[i + k];
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
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

Decoded decode(const QByteArray& bytes) {
  Decoded d;
  const char* data = bytes.constData();
  qsizetype size = bytes.size();
  if (size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF && static_cast<unsigned char>(data[1]) == 0xBB &&
      static_cast<unsigned char>(data[2]) == 0xBF && isValidUtf8(data + 3, size - 3)) {
    d.byteOrderMark = true;
    d.encoding = Encoding::Utf8;
    d.text = QString::fromUtf8(data + 3, size - 3);
  } else if (isValidUtf8(data, size)) {
    d.encoding = Encoding::Utf8;
    d.text = QString::fromUtf8(data, size);
  } else {
    d.text = fromCp1252(bytes);
  }

  // Line ends to '\n' in place: the text of a big report is not copied again.
  QChar* p = d.text.data();
  const qsizetype n = d.text.size();
  qsizetype w = 0;
  bool seen = false;
  for (qsizetype r = 0; r < n; ++r) {
    const QChar c = p[r];
    if (c == u'\r') {
      const bool pair = r + 1 < n && p[r + 1] == u'\n';
      if (!seen) d.lineEnd = pair ? QStringLiteral("\r\n") : QStringLiteral("\r"), seen = true;
      if (pair) ++r;
      p[w++] = u'\n';
    } else {
      if (c == u'\n' && !seen) d.lineEnd = QStringLiteral("\n"), seen = true;
      p[w++] = c;
    }
  }
  d.text.truncate(w);
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
