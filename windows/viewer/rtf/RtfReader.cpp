#include <QColor>
#include <QFont>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "windows/viewer/rtf/Rtf.h"
#include "windows/viewer/rtf/TextCodec.h"

namespace lorvant::rtf {
namespace {

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable };

// Everything a group brace saves and restores.
struct GroupState {
  Dest dest = Dest::Text;
  int font = -1;  // -1: the document's default font
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int color = 0;                                                               // 0: automatic
  QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;  // \super, \sub
  int uc = 1;                                                                  // fallback characters after \uN
  Qt::Alignment align = Qt::AlignLeft;                                         // of the paragraph; \pard resets it

  bool sameLook(const GroupState& o) const {
    return font == o.font && halfPoints == o.halfPoints && bold == o.bold && italic == o.italic &&
           underline == o.underline && strike == o.strike && color == o.color && vertical == o.vertical;
  }
};

struct FontEntry {
  QString name;
  int codepage = 0;  // 0: the document's code page
  // The kind of font (\froman, \fswiss, ...): what stands in for a family
  // that is not installed.
  QFont::StyleHint kind = QFont::AnyStyle;
};

enum class Word {
  Ansi,
  Mac,
  Pc,
  Pca,
  AnsiCpg,
  Deff,
  FontTable,
  ColorTable,
  SkipDest,
  Upr,
  Ud,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Strike,
  FontSize,
  Font,
  Color,
  Uc,
  Unicode,
  Par,
  Line,
  Tab,
  Char,
  Bin,
  FCharset,
  Cpg,
  Red,
  Green,
  Blue,
  Super,
  Sub,
  NoSuperSub,
  Pard,
  Align,
  FontKind,
  Pitch,
};

struct WordInfo {
  Word word;
  char16_t ch = 0;  // Word::Char: the character; Word::Align and Word::FontKind: the Qt value
};

const std::unordered_map<std::string_view, WordInfo>& words() {
  static const std::unordered_map<std::string_view, WordInfo> table = [] {
    std::unordered_map<std::string_view, WordInfo> t{
        {"ansi", {Word::Ansi}},
        {"mac", {Word::Mac}},
        {"pc", {Word::Pc}},
        {"pca", {Word::Pca}},
        {"ansicpg", {Word::AnsiCpg}},
        {"deff", {Word::Deff}},
        {"fonttbl", {Word::FontTable}},
        {"colortbl", {Word::ColorTable}},
        {"upr", {Word::Upr}},
        {"ud", {Word::Ud}},
        {"plain", {Word::Plain}},
        {"b", {Word::Bold}},
        {"i", {Word::Italic}},
        {"ul", {Word::Underline}},
        {"ulnone", {Word::UnderlineNone}},
        {"strike", {Word::Strike}},
        {"striked", {Word::Strike}},
        {"fs", {Word::FontSize}},
        {"f", {Word::Font}},
        {"cf", {Word::Color}},
        {"uc", {Word::Uc}},
        {"u", {Word::Unicode}},
        {"par", {Word::Par}},
        {"sect", {Word::Par}},
        {"page", {Word::Par}},
        {"row", {Word::Par}},
        {"line", {Word::Line}},
        {"tab", {Word::Tab}},
        {"cell", {Word::Tab}},
        {"bin", {Word::Bin}},
        {"fcharset", {Word::FCharset}},
        {"cpg", {Word::Cpg}},
        {"super", {Word::Super}},
        {"sub", {Word::Sub}},
        {"nosupersub", {Word::NoSuperSub}},
        {"pard", {Word::Pard}},
        {"ql", {Word::Align, Qt::AlignLeft}},
        {"qc", {Word::Align, Qt::AlignHCenter}},
        {"qr", {Word::Align, Qt::AlignRight}},
        {"qj", {Word::Align, Qt::AlignJustify}},
        {"qd", {Word::Align, Qt::AlignJustify}},
        {"fnil", {Word::FontKind, QFont::AnyStyle}},
        {"froman", {Word::FontKind, QFont::Serif}},
        {"fswiss", {Word::FontKind, QFont::SansSerif}},
        {"fmodern", {Word::FontKind, QFont::TypeWriter}},
        {"fscript", {Word::FontKind, QFont::Cursive}},
        {"fdecor", {Word::FontKind, QFont::Decorative}},
        {"ftech", {Word::FontKind, QFont::AnyStyle}},
        {"fbidi", {Word::FontKind, QFont::AnyStyle}},
        {"fprq", {Word::Pitch}},
        {"red", {Word::Red}},
        {"green", {Word::Green}},
        {"blue", {Word::Blue}},
        {"emdash", {Word::Char, 0x2014}},
        {"endash", {Word::Char, 0x2013}},
        {"bullet", {Word::Char, 0x2022}},
        {"lquote", {Word::Char, 0x2018}},
        {"rquote", {Word::Char, 0x2019}},
        {"ldblquote", {Word::Char, 0x201C}},
        {"rdblquote", {Word::Char, 0x201D}},
        {"emspace", {Word::Char, 0x2003}},
        {"enspace", {Word::Char, 0x2002}},
        {"qmspace", {Word::Char, 0x2005}},
        {"zwj", {Word::Char, 0x200D}},
        {"zwnj", {Word::Char, 0x200C}},
        {"ltrmark", {Word::Char, 0x200E}},
        {"rtlmark", {Word::Char, 0x200F}},
    };
    // All the ways of underlining are underlining here.
    for (std::string_view u : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
                               "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
      t.emplace(u, WordInfo{Word::Underline});
    // Destinations whose text is not part of the running text.
    for (std::string_view d : {"stylesheet",
                               "info",
                               "pict",
                               "object",
                               "objdata",
                               "header",
                               "headerl",
                               "headerr",
                               "headerf",
                               "footer",
                               "footerl",
                               "footerr",
                               "footerf",
                               "footnote",
                               "annotation",
                               "atnid",
                               "atnauthor",
                               "atntime",
                               "atnref",
                               "atndate",
                               "atnicn",
                               "listtable",
                               "listoverridetable",
                               "revtbl",
                               "rsidtbl",
                               "xmlnstbl",
                               "filetbl",
                               "themedata",
                               "colorschememapping",
                               "latentstyles",
                               "datastore",
                               "fldinst",
                               "nonshppict",
                               "shpinst",
                               "shptxt",
                               "sp",
                               "sn",
                               "sv",
                               "template",
                               "pgdsctbl",
                               "background",
                               "docvar",
                               "private",
                               "bkmkstart",
                               "bkmkend",
                               "xe",
                               "tc",
                               "txe",
                               "rxe",
                               "generator",
                               "userprops",
                               "pnseclvl",
                               "mmathPr",
                               "falt",
                               "panose",
                               "fname",
                               "keywords",
                               "comment",
                               "author",
                               "operator",
                               "title",
                               "subject",
                               "doccomm"})
      t.emplace(d, WordInfo{Word::SkipDest});
    return t;
  }();
  return table;
}

// Code page of a font's character set.
int codepageOfCharset(int charset) {
  switch (charset) {
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 255:
      return 437;
    default:
      return 0;  // ANSI, default, symbol: the document's code page
  }
}

// Decoders of the code pages met in one document.
class Codepages {
 public:
  QString decode(const QByteArray& bytes, int codepage) {
    if (codepage == 1252 || codepage <= 0) return textcodec::fromCp1252(bytes);
    if (codepage == 65001) return QString::fromUtf8(bytes);
    QStringDecoder* d = decoder(codepage);
    return d ? d->decode(bytes) : textcodec::fromCp1252(bytes);
  }

 private:
  QStringDecoder* decoder(int codepage) {
    auto it = decoders_.find(codepage);
    if (it == decoders_.end()) {
      // A hostile file may name thousands of code pages: look up a few only.
      if (decoders_.size() >= 16) return nullptr;
      it = decoders_.emplace(codepage, make(codepage)).first;
    }
    return it->second ? &*it->second : nullptr;
  }

  static std::optional<QStringDecoder> make(int codepage) {
    QList<QByteArray> names;
    if (codepage == 10000) names << "macintosh";
    names << "windows-" + QByteArray::number(codepage) << "cp" + QByteArray::number(codepage)
          << "IBM" + QByteArray::number(codepage);
    for (const QByteArray& name : names) {
      QStringDecoder d(name.constData(), QStringConverter::Flag::Stateless);
      if (d.isValid()) return d;
    }
    return std::nullopt;
  }

  std::map<int, std::optional<QStringDecoder>> decoders_;
};

bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  Reader(const QByteArray& data, QTextDocument* doc)
      : p_(reinterpret_cast<const unsigned char*>(data.constData())), n_(data.size()), cursor_(doc) {}

  ReadResult run(qsizetype start) {
    i_ = start;
    while (i_ < n_) {
      const unsigned char c = p_[i_];
      if (c == '{') {
        ++i_;
        flushBytes();
        star_ = false;
        skip_ = 0;
        stack_.push_back(st_);
        if (stack_.size() > static_cast<size_t>(kMaxDepth)) return {ReadError::TooDeep, i_ - 1};
      } else if (c == '}') {
        ++i_;
        flushBytes();
        star_ = false;
        skip_ = 0;
        if (stack_.size() <= 1) break;  // the end of the document
        endGroup();
      } else if (c == '\\') {
        controlWord();
      } else {
        ++i_;
        if (c == '\r' || c == '\n') continue;
        star_ = false;
        if (skip_ > 0) {
          --skip_;
          continue;
        }
        plainByte(c);
      }
    }
    flushBytes();
    flushRun();
    // Every paragraph ends with \par, the last one too: what follows the
    // last \par is no paragraph of its own unless it holds text.
    if (paragraphs_ > 0 && cursor_.block().length() == 1)
      cursor_.deletePreviousChar();
    else
      alignParagraph();
    return {};
  }

 private:
  void endGroup() {
    if (st_.dest == Dest::FontTable && (!fontName_.isEmpty() || !fontBytes_.isEmpty())) finishFont();
    if (stack_.empty()) return;
    st_ = stack_.back();
    stack_.pop_back();
  }

  void plainByte(unsigned char c) {
    switch (st_.dest) {
      case Dest::Text:
        if (c >= 0x80) {
          bytes_.append(static_cast<char>(c));
        } else {
          flushBytes();
          if (c == '\t' || c >= 0x20) appendChar(c);
        }
        break;
      case Dest::FontTable:
        if (c == ';')
          finishFont();
        else if (c >= 0x20)
          fontBytes_.append(static_cast<char>(c));
        break;
      case Dest::ColorTable:
        if (c == ';') finishColor();
        break;
      case Dest::Skip:
        break;
    }
  }

  // A byte from a \'xx escape.
  void escapedByte(unsigned char b) {
    if (st_.dest == Dest::Text)
      bytes_.append(static_cast<char>(b));
    else if (st_.dest == Dest::FontTable)
      fontBytes_.append(static_cast<char>(b));
  }

  void controlWord() {
    ++i_;  // the backslash
    if (i_ >= n_) return;
    const unsigned char c = p_[i_];
    if (!isAlpha(c)) {
      ++i_;
      controlSymbol(c);
      return;
    }
    const qsizetype start = i_;
    while (i_ < n_ && isAlpha(p_[i_])) ++i_;
    const std::string_view name(reinterpret_cast<const char*>(p_ + start), std::min<qsizetype>(i_ - start, 32));
    bool hasParam = false;
    std::int64_t param = 0;
    bool negative = false;
    if (i_ + 1 < n_ && p_[i_] == '-' && isDigit(p_[i_ + 1])) {
      negative = true;
      ++i_;
    }
    while (i_ < n_ && isDigit(p_[i_])) {
      hasParam = true;
      param = std::min<std::int64_t>(param * 10 + (p_[i_] - '0'), INT32_MAX);
      ++i_;
    }
    if (i_ < n_ && p_[i_] == ' ') ++i_;
    const int value = static_cast<int>(negative ? -param : param);

    const auto& table = words();
    const auto it = table.find(name);
    if (it != table.end() && it->second.word == Word::Bin) {
      // Binary data is skipped wherever it stands.
      i_ += std::min<qsizetype>(std::max(value, 0), n_ - i_);
      return;
    }
    if (star_) {
      star_ = false;
      flushBytes();
      if (it != table.end() && it->second.word == Word::Ud)
        st_.dest = Dest::Text;
      else
        st_.dest = Dest::Skip;
      return;
    }
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (it == table.end()) return;
    flushBytes();
    word(it->second, hasParam, value);
  }

  void controlSymbol(unsigned char c) {
    if (c == '\'') {
      int v = 0;
      int digits = 0;
      while (digits < 2 && i_ < n_ && hexValue(p_[i_]) >= 0) {
        v = v * 16 + hexValue(p_[i_]);
        ++i_;
        ++digits;
      }
      if (skip_ > 0) {
        --skip_;
        return;
      }
      if (digits > 0) escapedByte(static_cast<unsigned char>(v));
      return;
    }
    if (c == '*') {
      star_ = true;
      return;
    }
    star_ = false;
    if (c == '\r' || c == '\n') {
      if (skip_ > 0) {
        --skip_;
        return;
      }
      if (st_.dest == Dest::Text) paragraph();
      return;
    }
    char16_t ch = 0;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        ch = c;
        break;
      case '~':
        ch = 0x00A0;
        break;
      case '_':
        ch = 0x2011;
        break;
      default:
        break;  // optional hyphen, index entries: nothing to show
    }
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (!ch) return;
    if (st_.dest == Dest::Text) {
      flushBytes();
      appendChar(ch);
    } else if (st_.dest == Dest::FontTable) {
      fontNameChar(ch);
    }
  }

  void word(const WordInfo& w, bool hasParam, int value) {
    switch (st_.dest) {
      case Dest::Skip:
        return;
      case Dest::FontTable:
        fontTableWord(w, value);
        return;
      case Dest::ColorTable:
        colorTableWord(w, value);
        return;
      case Dest::Text:
        textWord(w, hasParam, value);
        return;
    }
  }

  void fontTableWord(const WordInfo& w, int value) {
    if (w.word == Word::Font)
      currentFont_ = value;
    else if (w.word == Word::FCharset)
      fontCodepage_ = codepageOfCharset(value);
    else if (w.word == Word::Cpg)
      fontCodepage_ = std::max(value, 0);
    else if (w.word == Word::FontKind)
      fontKind_ = static_cast<QFont::StyleHint>(w.ch);
    else if (w.word == Word::Pitch)
      fixedPitch_ = value == 1;
    else if (w.word == Word::SkipDest)
      st_.dest = Dest::Skip;
    else if (w.word == Word::Unicode) {
      fontNameChar(static_cast<char16_t>(value < 0 ? value + 65536 : value));
      skip_ = st_.uc;
    }
  }

  void colorTableWord(const WordInfo& w, int value) {
    const int v = std::clamp(value, 0, 255);
    if (w.word == Word::Red) red_ = v;
    if (w.word == Word::Green) green_ = v;
    if (w.word == Word::Blue) blue_ = v;
  }

  void textWord(const WordInfo& w, bool hasParam, int value) {
    const bool on = !hasParam || value != 0;
    switch (w.word) {
      case Word::Ansi:
        codepage_ = 1252;
        break;
      case Word::Mac:
        codepage_ = 10000;
        break;
      case Word::Pc:
        codepage_ = 437;
        break;
      case Word::Pca:
        codepage_ = 850;
        break;
      case Word::AnsiCpg:
        codepage_ = std::max(value, 0);
        break;
      case Word::Deff:
        defaultFont_ = value;
        break;
      case Word::FontTable:
        startFontTable();
        break;
      case Word::ColorTable:
        st_.dest = Dest::ColorTable;
        red_ = green_ = blue_ = -1;
        break;
      case Word::SkipDest:
      case Word::Upr:
        st_.dest = Dest::Skip;
        break;
      case Word::Ud:
        break;
      case Word::Plain:
        plain();
        break;
      case Word::Super:
        st_.vertical = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
      case Word::Sub:
        st_.vertical = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
      case Word::NoSuperSub:
        st_.vertical = QTextCharFormat::AlignNormal;
        break;
      case Word::Pard:
        st_.align = Qt::AlignLeft;
        break;
      case Word::Align:
        st_.align = static_cast<Qt::Alignment>(w.ch);
        break;
      case Word::Bold:
        st_.bold = on;
        break;
      case Word::Italic:
        st_.italic = on;
        break;
      case Word::Underline:
        st_.underline = on;
        break;
      case Word::UnderlineNone:
        st_.underline = false;
        break;
      case Word::Strike:
        st_.strike = on;
        break;
      case Word::FontSize:
        st_.halfPoints = hasParam && value > 0 ? std::min(value, 3276) : 24;
        break;
      case Word::Font:
        st_.font = hasParam ? value : -1;
        break;
      case Word::Color:
        st_.color = std::max(value, 0);
        break;
      case Word::Uc:
        st_.uc = std::clamp(value, 0, 1000);
        break;
      case Word::Unicode:
        unicode(value);
        break;
      case Word::Par:
        paragraph();
        break;
      case Word::Line:
        appendChar(QChar::LineSeparator);
        break;
      case Word::Tab:
        appendChar(u'\t');
        break;
      case Word::Char:
        appendChar(w.ch);
        break;
      case Word::Bin:
      case Word::FCharset:
      case Word::Cpg:
      case Word::Red:
      case Word::Green:
      case Word::Blue:
      case Word::FontKind:
      case Word::Pitch:
        break;
    }
  }

  void startFontTable() {
    st_.dest = Dest::FontTable;
    currentFont_ = 0;
    fontCodepage_ = 0;
    fontKind_ = QFont::AnyStyle;
    fixedPitch_ = false;
    fontName_.clear();
    fontBytes_.clear();
  }

  // The character formatting back to the document's default.
  void plain() {
    const GroupState fresh;
    st_.font = fresh.font;
    st_.halfPoints = fresh.halfPoints;
    st_.bold = st_.italic = st_.underline = st_.strike = false;
    st_.color = 0;
    st_.vertical = fresh.vertical;
  }

  void unicode(int value) {
    if (value < 0) value += 65536;
    if (value >= 0 && value <= 0xFFFF) {
      appendChar(static_cast<char16_t>(value));
    } else if (value > 0xFFFF && value <= 0x10FFFF) {
      // Not the standard form, but some writers put the code point whole.
      const char32_t cp = static_cast<char32_t>(value);
      appendChar(QChar::highSurrogate(cp));
      appendChar(QChar::lowSurrogate(cp));
    } else {
      appendChar(QChar::ReplacementCharacter);
    }
    skip_ = st_.uc;
  }

  void paragraph() {
    flushBytes();
    flushRun();
    alignParagraph();
    cursor_.insertBlock(QTextBlockFormat(), format(st_));
    ++paragraphs_;
  }

  // A paragraph takes the alignment in force where it ends.
  void alignParagraph() {
    if (st_.align == Qt::AlignLeft) return;
    QTextBlockFormat f;
    f.setAlignment(st_.align);
    cursor_.mergeBlockFormat(f);
  }

  void appendChar(char16_t ch) {
    if (!run_.isEmpty() && !runState_.sameLook(st_)) flushRun();
    if (run_.isEmpty()) runState_ = st_;
    run_.append(QChar(ch));
  }

  void flushBytes() {
    if (bytes_.isEmpty()) return;
    int cp = codepage_;
    const auto it = fonts_.find(st_.font >= 0 ? st_.font : defaultFont_);
    if (it != fonts_.end() && it->second.codepage > 0) cp = it->second.codepage;
    const QString text = codepages_.decode(bytes_, cp);
    bytes_.clear();
    for (QChar c : text) appendChar(c.unicode());
  }

  void flushRun() {
    if (run_.isEmpty()) return;
    sanitize(run_);
    if (!run_.isEmpty()) cursor_.insertText(run_, format(runState_));
    run_.clear();
  }

  // Keeps out what would break the document's structure: line and block
  // separators of the text engine, lone surrogates, control characters.
  static void sanitize(QString& s) {
    qsizetype w = 0;
    const qsizetype n = s.size();
    QChar* d = s.data();
    for (qsizetype r = 0; r < n; ++r) {
      QChar c = d[r];
      const char16_t u = c.unicode();
      if (c.isHighSurrogate() && r + 1 < n && d[r + 1].isLowSurrogate()) {
        d[w++] = c;
        d[w++] = d[++r];
        continue;
      }
      if (c.isSurrogate() || u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC)
        c = QChar::ReplacementCharacter;
      else if (u == QChar::ParagraphSeparator)
        c = QChar::LineSeparator;
      else if (u < 0x20 && u != u'\t')
        continue;
      d[w++] = c;
    }
    s.truncate(w);
  }

  QTextCharFormat format(const GroupState& s) const {
    QTextCharFormat f;
    const auto it = fonts_.find(s.font >= 0 ? s.font : defaultFont_);
    if (it != fonts_.end() && !it->second.name.isEmpty()) {
      f.setFontFamilies({it->second.name});
      // Set even when "any": the family must not take the kind of the
      // editor's own font.
      f.setFontStyleHint(it->second.kind);
    }
    f.setFontPointSize(s.halfPoints / 2.0);
    if (s.vertical != QTextCharFormat::AlignNormal) f.setVerticalAlignment(s.vertical);
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strike);
    if (s.color > 0 && s.color < colors_.size() && colors_[s.color].isValid()) f.setForeground(colors_[s.color]);
    return f;
  }

  void fontNameBytes() {
    if (fontBytes_.isEmpty()) return;
    fontName_ += codepages_.decode(fontBytes_, fontCodepage_ > 0 ? fontCodepage_ : codepage_);
    fontBytes_.clear();
  }

  void fontNameChar(char16_t ch) {
    fontNameBytes();
    // No font has a name of a page; a hostile table gets a long name cut.
    if (fontName_.size() < 256) fontName_.append(QChar(ch));
  }

  void finishFont() {
    fontNameBytes();
    QString name = fontName_.left(256).trimmed();
    sanitize(name);
    // A font of no stated kind but of fixed pitch is a typewriter font.
    const QFont::StyleHint kind = fontKind_ == QFont::AnyStyle && fixedPitch_ ? QFont::TypeWriter : fontKind_;
    fonts_[currentFont_] = FontEntry{name, fontCodepage_, kind};
    fontName_.clear();
    fontCodepage_ = 0;
    fontKind_ = QFont::AnyStyle;
    fixedPitch_ = false;
  }

  void finishColor() {
    // A hostile table cannot grow without bound: the document's text is
    // bounded by its size, and so is this list.
    if (red_ < 0 && green_ < 0 && blue_ < 0)
      colors_.append(QColor());
    else
      colors_.append(QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
    red_ = green_ = blue_ = -1;
  }

  const unsigned char* p_;
  qsizetype n_;
  qsizetype i_ = 0;
  QTextCursor cursor_;

  GroupState st_;
  std::vector<GroupState> stack_;
  bool star_ = false;
  int skip_ = 0;

  int codepage_ = 1252;
  int defaultFont_ = 0;
  Codepages codepages_;

  std::map<int, FontEntry> fonts_;
  int currentFont_ = 0;
  int fontCodepage_ = 0;
  QFont::StyleHint fontKind_ = QFont::AnyStyle;
  bool fixedPitch_ = false;
  QByteArray fontBytes_;  // not yet decoded
  QString fontName_;

  QList<QColor> colors_;
  int red_ = -1, green_ = -1, blue_ = -1;

  QByteArray bytes_;
  QString run_;
  GroupState runState_;
  int paragraphs_ = 0;
};

qsizetype rtfStart(const QByteArray& data) {
  qsizetype i = 0;
  if (data.startsWith("\xEF\xBB\xBF")) i = 3;
  while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
  return data.mid(i, 5) == "{\\rtf" ? i : -1;
}

}  // namespace

bool looksLikeRtf(const QByteArray& data) { return rtfStart(data) >= 0; }

ReadResult read(const QByteArray& data, QTextDocument* doc) {
  doc->clear();
  const qsizetype start = rtfStart(data);
  if (start < 0) return {ReadError::NotRtf, 0};
  const bool undo = doc->isUndoRedoEnabled();
  doc->setUndoRedoEnabled(false);
  ReadResult result = Reader(data, doc).run(start);
  if (!result.ok()) doc->clear();
  doc->setUndoRedoEnabled(undo);
  return result;
}

}  // namespace lorvant::rtf
