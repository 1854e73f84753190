#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

#include "text/encoding.h"
#include "windows/viewer/rtf/Rtf.h"
#include "windows/viewer/rtf/TextCodec.h"

namespace lorvant::rtf {
namespace {

// The attributes written for a run of text.
struct Look {
  int font = 0;
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int color = 0;
  QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
};

// A family as the font table names it, with its kind.
struct FontName {
  QString family;
  QFont::StyleHint kind = QFont::AnyStyle;
};

QByteArray kindWord(QFont::StyleHint kind) {
  switch (kind) {
    case QFont::Serif:
      return "\\froman";
    case QFont::SansSerif:
      return "\\fswiss";
    case QFont::TypeWriter:
      return "\\fmodern";
    case QFont::Cursive:
      return "\\fscript";
    case QFont::Decorative:
      return "\\fdecor";
    default:
      return "\\fnil";
  }
}

QByteArray alignWord(Qt::Alignment align) {
  switch (align & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
      return "\\qc";
    case Qt::AlignRight:
      return "\\qr";
    case Qt::AlignJustify:
      return "\\qj";
    default:
      return {};
  }
}

FontName fontOf(const QTextCharFormat& f, const QFont& base) {
  const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
  const QFont::StyleHint kind = f.hasProperty(QTextFormat::FontStyleHint) ? f.fontStyleHint() : base.styleHint();
  if (!families.isEmpty() && !families.first().isEmpty()) return {families.first(), kind};
  return {base.family(), kind};
}

int halfPointsOf(const QTextCharFormat& f, const QFont& base) {
  double pt = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF();
  if (!(pt > 0)) pt = 12;
  return std::clamp(static_cast<int>(std::lround(pt * 2)), 1, 3276);
}

void escapeText(QByteArray& out, QStringView text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == '\\' || u == '{' || u == '}') {
      out += '\\';
      out += static_cast<char>(u);
    } else if (u == '\t') {
      out += "\\tab ";
    } else if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator) {
      out += "\\line ";
    } else if (u >= 0x20 && u < 0x80) {
      out += static_cast<char>(u);
    } else if (const int b = cp1252::FromUnicode(u); b >= 0) {
      static const char hex[] = "0123456789abcdef";
      out += "\\'";
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      // Readers that know Unicode take the code unit, the others the '?'.
      out += "\\u" + QByteArray::number(u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u)) + '?';
    }
  }
}

class Writer {
 public:
  explicit Writer(const QTextDocument* doc) : doc_(doc), base_(doc->defaultFont()) {}

  QByteArray run() {
    // The default font first, so that \deff0 names it.
    fontIndex({base_.family(), base_.styleHint()});
    QByteArray body;
    Look current{
        0, halfPointsOf(QTextCharFormat(), base_), base_.bold(), base_.italic(), base_.underline(), base_.strikeOut(),
        0};
    body += "\\pard\\plain";
    writeLook(body, Look{0, 24, false, false, false, false, 0}, current);
    body += ' ';
    Qt::Alignment align = Qt::AlignLeft;
    for (QTextBlock block = doc_->begin(); block.isValid(); block = block.next()) {
      // \pard returns to a left paragraph and keeps the characters' looks.
      const Qt::Alignment blockAlign = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
      if (alignWord(blockAlign) != alignWord(align)) {
        body += "\\pard" + alignWord(blockAlign) + ' ';
        align = blockAlign;
      }
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid()) continue;
        const Look look = lookOf(frag.charFormat());
        if (writeLook(body, current, look)) body += ' ';
        current = look;
        escapeText(body, frag.text());
      }
      body += "\\par\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < fonts_.size(); ++i) {
      out += "{\\f" + QByteArray::number(i) + kindWord(fonts_[i].kind) + "\\fcharset0 ";
      QString name = fonts_[i].family;
      name.replace(';', ' ');
      escapeText(out, name);
      out += ";}";
    }
    out += "}\n{\\colortbl ;";
    for (const QColor& c : colors_)
      out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
             QByteArray::number(c.blue()) + ';';
    out += "}\n{\\*\\generator Lorvant;}\\viewkind4\n";
    out += body;
    out += "}\n";
    return out;
  }

 private:
  Look lookOf(const QTextCharFormat& f) {
    Look l;
    l.font = fontIndex(fontOf(f, base_));
    l.halfPoints = halfPointsOf(f, base_);
    l.bold = (f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : base_.weight()) >= QFont::DemiBold;
    l.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base_.italic();
    l.underline = f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline)
                      ? f.fontUnderline()
                      : base_.underline();
    l.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : base_.strikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
      l.color = colorIndex(f.foreground().color());
    l.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ||
                         f.verticalAlignment() == QTextCharFormat::AlignSubScript
                     ? f.verticalAlignment()
                     : QTextCharFormat::AlignNormal;
    return l;
  }

  // Writes the control words that turn `from` into `to`; true when any.
  static bool writeLook(QByteArray& out, const Look& from, const Look& to) {
    const qsizetype before = out.size();
    if (from.font != to.font) out += "\\f" + QByteArray::number(to.font);
    if (from.halfPoints != to.halfPoints) out += "\\fs" + QByteArray::number(to.halfPoints);
    if (from.bold != to.bold) out += to.bold ? "\\b" : "\\b0";
    if (from.italic != to.italic) out += to.italic ? "\\i" : "\\i0";
    if (from.underline != to.underline) out += to.underline ? "\\ul" : "\\ulnone";
    if (from.strike != to.strike) out += to.strike ? "\\strike" : "\\strike0";
    if (from.color != to.color) out += "\\cf" + QByteArray::number(to.color);
    if (from.vertical != to.vertical)
      out += to.vertical == QTextCharFormat::AlignSuperScript ? "\\super"
             : to.vertical == QTextCharFormat::AlignSubScript ? "\\sub"
                                                              : "\\nosupersub";
    return out.size() != before;
  }

  // One entry per family and kind.
  int fontIndex(const FontName& font) {
    for (int i = 0; i < fonts_.size(); ++i)
      if (fonts_[i].family == font.family && fonts_[i].kind == font.kind) return i;
    fonts_.append(font);
    return static_cast<int>(fonts_.size()) - 1;
  }

  int colorIndex(const QColor& color) {
    const QColor rgb = color.toRgb();
    for (int i = 0; i < colors_.size(); ++i)
      if (colors_[i].rgb() == rgb.rgb()) return i + 1;
    colors_.append(rgb);
    return static_cast<int>(colors_.size());
  }

  const QTextDocument* doc_;
  QFont base_;
  QList<FontName> fonts_;
  QList<QColor> colors_;
};

}  // namespace

QByteArray write(const QTextDocument* doc) { return Writer(doc).run(); }

}  // namespace lorvant::rtf
