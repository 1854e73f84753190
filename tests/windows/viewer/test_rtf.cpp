// The rich-text reader and writer, and the encodings of text files.
#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include "windows/viewer/rtf/Rtf.h"
#include "windows/viewer/rtf/TextCodec.h"

using namespace lorvant;

namespace {

QByteArray readData(const QString& name) {
  QFile f(QStringLiteral(LORVANT_TEST_DATA "/rtf/") + name);
  if (!f.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(name));
  return f.readAll();
}

// The text as a word processor exports it: paragraphs and line breaks as
// line ends.
QString plainLines(const QTextDocument& doc) {
  QString t = doc.toRawText();
  t.replace(QChar::ParagraphSeparator, u'\n');
  t.replace(QChar::LineSeparator, u'\n');
  return t;
}

QString readText(const QByteArray& rtf, rtf::ReadError expected = rtf::ReadError::None) {
  QTextDocument doc;
  const rtf::ReadResult r = rtf::read(rtf, &doc);
  if (r.error != expected) qWarning("unexpected read result %d at %lld", int(r.error), (long long)r.offset);
  return r.error == expected ? plainLines(doc) : QStringLiteral("<read failed>");
}

// One character and the attributes it is shown with.
struct Styled {
  QChar ch;
  QString family;
  int halfPoints;
  bool bold, italic, underline, strike;
  QRgb color;  // 0 for automatic
  bool operator==(const Styled&) const = default;
};

QList<Styled> styledChars(const QTextDocument& doc) {
  QList<Styled> out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      const QStringList fam = f.property(QTextFormat::FontFamilies).toStringList();
      for (QChar c : it.fragment().text())
        out.append({c, fam.isEmpty() ? QString() : fam.first(), qRound(f.fontPointSize() * 2),
                    f.fontWeight() >= QFont::DemiBold, f.fontItalic(), f.fontUnderline(), f.fontStrikeOut(),
                    f.foreground().style() == Qt::NoBrush ? 0u : f.foreground().color().rgb()});
    }
    out.append({QChar(u'\n'), {}, 0, false, false, false, false, 0});
  }
  return out;
}

// Format of the first character of `word` in the document.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& word) {
  const QTextCursor found = doc.find(word);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionStart() + 1);
  return c.charFormat();
}

QString familyOf(const QTextCharFormat& f) {
  const QStringList fam = f.property(QTextFormat::FontFamilies).toStringList();
  return fam.isEmpty() ? QString() : fam.first();
}

}  // namespace

class RtfTest : public QObject {
  Q_OBJECT

 private slots:
  // --- reading what other programs wrote -------------------------------
  void samplesGiveTheTextAWordProcessorExports_data() {
    QTest::addColumn<QString>("name");
    for (const char* n : {"writer-styles", "writer-report", "pandoc-guide", "wordpad-style"})
      QTest::newRow(n) << QString::fromLatin1(n);
  }
  void samplesGiveTheTextAWordProcessorExports() {
    QFETCH(QString, name);
    QTextDocument doc;
    QVERIFY(rtf::read(readData(name + ".rtf"), &doc).ok());
    const QString expected = QString::fromUtf8(readData(name + ".txt"));
    QCOMPARE(plainLines(doc) + u'\n', expected);
  }

  void samplesKeepTheirCharacterAttributes() {
    QTextDocument doc;
    QVERIFY(rtf::read(readData("writer-styles.rtf"), &doc).ok());
    QCOMPARE(familyOf(formatOf(doc, "Antenne")), QString("Courier New"));
    QCOMPARE(formatOf(doc, "Antenne").fontPointSize(), 10.0);
    QVERIFY(formatOf(doc, "Fett").fontWeight() == QFont::Bold);
    QVERIFY(formatOf(doc, "kursiv").fontItalic());
    QVERIFY(formatOf(doc, "kursiv").fontWeight() == QFont::Normal);
    QVERIFY(formatOf(doc, "unterstrichen").fontUnderline());
    QVERIFY(formatOf(doc, "durchgestrichen").fontStrikeOut());
    QVERIFY(formatOf(doc, "fett und").fontItalic() && formatOf(doc, "fett und").fontWeight() == QFont::Bold);
    QCOMPARE(formatOf(doc, "rot").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatOf(doc, "blau").foreground().color(), QColor(0, 0, 255));
    QCOMPARE(formatOf(doc, QString::fromUtf8("grün")).foreground().color(), QColor(0, 128, 0));
    QCOMPARE(familyOf(formatOf(doc, "Arial 8")), QString("Arial"));
    QCOMPARE(formatOf(doc, "Arial 8").fontPointSize(), 8.0);
    QCOMPARE(formatOf(doc, "16 pt").fontPointSize(), 16.0);
    // Text outside any attribute group is plain.
    QVERIFY(formatOf(doc, "Umlaute").fontWeight() == QFont::Normal);
    QVERIFY(formatOf(doc, "Umlaute").foreground().style() == Qt::NoBrush);

    QTextDocument pad;
    QVERIFY(rtf::read(readData("wordpad-style.rtf"), &pad).ok());
    QVERIFY(formatOf(pad, "Fett").fontWeight() == QFont::Bold);
    QVERIFY(formatOf(pad, ", kursiv").fontWeight() == QFont::Normal);  // \b0 ends it
    QVERIFY(formatOf(pad, "unterstrichen").fontUnderline());
    QVERIFY(!formatOf(pad, ", durch").fontUnderline());  // \ulnone
    QVERIFY(formatOf(pad, "durch.").fontStrikeOut());
    QCOMPARE(formatOf(pad, "rot").foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatOf(pad, " blau").foreground().style() == Qt::NoBrush);  // \cf0
    QCOMPARE(familyOf(formatOf(pad, "Arial 8")), QString("Arial"));
    QCOMPARE(formatOf(pad, "Arial 8").fontPointSize(), 8.0);
    QCOMPARE(familyOf(formatOf(pad, "Spalte")), QString("Courier New"));

    QTextDocument guide;
    QVERIFY(rtf::read(readData("pandoc-guide.rtf"), &guide).ok());
    QCOMPARE(formatOf(guide, "Kurzanleitung").fontPointSize(), 18.0);
    QCOMPARE(familyOf(formatOf(guide, "Courier.")), QString("Courier"));
    QCOMPARE(familyOf(formatOf(guide, " und")), QString("Helvetica"));
  }

  // --- the control words one by one ------------------------------------
  void controlWordsAndEscapes_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex in Windows-1252 by default")
        << QByteArray(R"({\rtf1 \'80\'d8\'b2\'97\'af})") << QString::fromUtf8("€Ø²—¯");
    QTest::newRow("ansicpg 1250") << QByteArray(R"({\rtf1\ansi\ansicpg1250 \'8a\'e8})") << QString::fromUtf8("Šč");
    QTest::newRow("font character set")
        << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial Cyr;}}\f1 \'c0\f0 \'c0})")
        << QString::fromUtf8("АÀ");
    QTest::newRow("mac") << QByteArray(R"({\rtf1\mac \'8a})") << QString::fromUtf8("ä");
    QTest::newRow("unicode with fallback")
        << QByteArray(R"({\rtf1 \u937?hm \u8364\'80!})") << QString::fromUtf8("Ωhm €!");
    QTest::newRow("uc2 skips two") << QByteArray(R"({\rtf1\uc2 \u8212\'81\'5cx\uc0 \u937 y})")
                                   << QString::fromUtf8("—xΩy");
    QTest::newRow("uc is scoped by the group")
        << QByteArray(R"({\rtf1{\uc2 \u937??}\u937?z})") << QString::fromUtf8("ΩΩz");
    QTest::newRow("skipping stops at a brace") << QByteArray(R"({\rtf1\uc3 \u937{x}y})") << QString::fromUtf8("Ωxy");
    QTest::newRow("negative and surrogate pairs")
        << QByteArray(R"({\rtf1 \u-10179?\u-8704?\u-3?})") << QString::fromUtf8("😀\uFFFD");
    QTest::newRow("lone surrogate") << QByteArray(R"({\rtf1 a\u-10179?b})") << QString::fromUtf8("a\uFFFDb");
    QTest::newRow("escaped specials") << QByteArray(R"({\rtf1 \{a\}\\b\~c\_d\-e})")
                                      << QString::fromUtf8("{a}\\b\u00A0c\u2011de");
    QTest::newRow("symbols by name") << QByteArray(R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})")
                                     << QString::fromUtf8("—–•‘’“”");
    QTest::newRow("line, tab, par") << QByteArray("{\\rtf1 a\\line b\\tab c\\par d\\\nx}") << QString("a\nb\tc\nd\nx");
    QTest::newRow("breaks in the source are no text") << QByteArray("{\\rtf1 ab\r\ncd\n}") << QString("abcd");
    QTest::newRow("control word delimiter") << QByteArray(R"({\rtf1\b  two\b0-three\i1 x})") << QString(" two-threex");
    QTest::newRow("starred destinations are skipped")
        << QByteArray(R"({\rtf1 A{\*\unknown hidden {nested}}B{\*\generator G;}C})") << QString("ABC");
    QTest::newRow("known destinations are skipped")
        << QByteArray(
               R"({\rtf1 A{\stylesheet{\s0 Normal;}}B{\info{\title T}{\author X}}C{\pict\pngblip 89504e47}D{\header H}E})")
        << QString("ABCDE");
    QTest::newRow("field result shown, instruction not")
        << QByteArray(R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} end})") << QString("link end");
    QTest::newRow("upr takes the unicode part")
        << QByteArray(R"({\rtf1 {\upr{ansi}{\*\ud{\u937?}}}})") << QString::fromUtf8("Ω");
    QTest::newRow("binary data is skipped") << QByteArray("{\\rtf1 a{\\*\\blob\\bin3 }}{}b}") << QString("ab");
    QTest::newRow("unknown words are ignored") << QByteArray(R"({\rtf1\foo12\barbaz a\qqq-5 b})") << QString("ab");
    QTest::newRow("text after the document") << QByteArray(R"({\rtf1 a}b{c})") << QString("a");
    QTest::newRow("unclosed groups at the end") << QByteArray(R"({\rtf1 a{\b b{\i c)") << QString("abc");
    QTest::newRow("cut inside an escape") << QByteArray(R"({\rtf1 a\'4)") << QString("a");
    QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 a\\") << QString("a");
    QTest::newRow("control bytes dropped") << QByteArray("{\\rtf1 a\x01\\'0d\\'0ab\\'09c}") << QString("ab\tc");
    QTest::newRow("empty paragraphs kept, the last par closes")
        << QByteArray(R"({\rtf1 \par a\par\par})") << QString("\na\n");
    QTest::newRow("byte-order mark and blanks before") << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 ok}") << QString("ok");
  }
  void controlWordsAndEscapes() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
  }

  void attributesFollowGroupsAndPlain() {
    QTextDocument doc;
    QVERIFY(rtf::read(R"({\rtf1{\fonttbl\f0\fswiss Helvetica;\f1\fmodern Courier;}{\colortbl;\red10\green20\blue30;})"
                      R"(\f1\fs30\cf1{\b\i\ul\strike in}out\plain plain\ul x\ul0 y\ulw z\ulnone w\b2 q\fs0 r\cf99 s})",
                      &doc)
                .ok());
    const QTextCharFormat in = formatOf(doc, "in");
    QVERIFY(in.fontWeight() == QFont::Bold && in.fontItalic() && in.fontUnderline() && in.fontStrikeOut());
    const QTextCharFormat out = formatOf(doc, "out");
    QVERIFY(out.fontWeight() == QFont::Normal && !out.fontItalic() && !out.fontUnderline() && !out.fontStrikeOut());
    QCOMPARE(familyOf(out), QString("Courier"));
    QCOMPARE(out.fontPointSize(), 15.0);
    QCOMPARE(out.foreground().color(), QColor(10, 20, 30));
    const QTextCharFormat plain = formatOf(doc, "plain");
    QCOMPARE(familyOf(plain), QString("Helvetica"));  // \plain returns to \deff
    QCOMPARE(plain.fontPointSize(), 12.0);
    QVERIFY(plain.foreground().style() == Qt::NoBrush);
    QVERIFY(formatOf(doc, "x").fontUnderline());
    QVERIFY(!formatOf(doc, "y").fontUnderline());
    QVERIFY(formatOf(doc, "z").fontUnderline());
    QVERIFY(!formatOf(doc, "w").fontUnderline());
    QVERIFY(formatOf(doc, "q").fontWeight() == QFont::Bold);
    QCOMPARE(formatOf(doc, "r").fontPointSize(), 12.0);               // no size: the default
    QVERIFY(formatOf(doc, "s").foreground().style() == Qt::NoBrush);  // no such colour
  }

  // What a word processor shows beyond the character attributes: raised and
  // lowered text, the kind of each font (so a missing serif font is stood in
  // for by a serif one), paragraph alignment. The writer writes them back.
  void superscriptFontKindsAndAlignmentRoundTrip() {
    const QByteArray rtf =
        R"({\rtf1\deff0{\fonttbl{\f0\froman Liberation Serif;}{\f1\fswiss Arial;}{\f2\fmodern\fprq1 Courier New;})"
        R"({\f3\fnil\fprq1 Mono X;}{\f4\fnil Plain X;}{\f5\fscript Script X;}{\f6\fdecor Decor X;}})"
        R"(\pard\qc centred mm{\super 2} H{\sub 2}O\par)"
        R"(\pard\qr right {\super up\nosupersub  level} x\super y\plain z\par)"
        R"(\pard\qj\f1 sans {\f2 mono} {\f3 fixed} {\f4 any} {\f5 script} {\f6 decor}\par)"
        R"(\pard left{\qc\par})"
        R"(\pard\qd last})";
    QTextDocument doc;
    QVERIFY(rtf::read(rtf, &doc).ok());
    QCOMPARE(plainLines(doc),
             QString("centred mm2 H2O\nright up level xyz\nsans mono fixed any script decor\nleft\nlast"));
    auto check = [](const QTextDocument& d) {
      const QList<Qt::Alignment> aligned = {Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify, Qt::AlignHCenter,
                                            Qt::AlignJustify};
      QList<Qt::Alignment> found;
      for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
        found << (b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
      QCOMPARE(found, aligned);
      auto vertical = [&d](const QString& word) { return formatOf(d, word).verticalAlignment(); };
      QCOMPARE(vertical("2 H"), QTextCharFormat::AlignSuperScript);
      QCOMPARE(vertical("2O"), QTextCharFormat::AlignSubScript);
      QCOMPARE(vertical("O"), QTextCharFormat::AlignNormal);
      QCOMPARE(vertical("up"), QTextCharFormat::AlignSuperScript);
      QCOMPARE(vertical("level"), QTextCharFormat::AlignNormal);
      QCOMPARE(vertical("y"), QTextCharFormat::AlignSuperScript);
      QCOMPARE(vertical("z"), QTextCharFormat::AlignNormal);  // \plain ends it
      auto hint = [&d](const QString& word) { return formatOf(d, word).font().styleHint(); };
      QCOMPARE(hint("centred"), QFont::Serif);
      QCOMPARE(hint("sans"), QFont::SansSerif);
      QCOMPARE(hint("mono"), QFont::TypeWriter);
      QCOMPARE(hint("fixed"), QFont::TypeWriter);  // unknown kind, fixed pitch
      QCOMPARE(hint("any"), QFont::AnyStyle);
      QCOMPARE(hint("script"), QFont::Cursive);
      QCOMPARE(hint("decor"), QFont::Decorative);
      // An explicit "any": the family's own kind, not the editor's font's.
      QVERIFY(formatOf(d, "any").hasProperty(QTextFormat::FontStyleHint));
    };
    check(doc);
    QTextDocument back;
    QVERIFY(rtf::read(rtf::write(&doc), &back).ok());
    QCOMPARE(plainLines(back), plainLines(doc));
    check(back);
  }

  // --- writing ------------------------------------------------------------
  void everyAttributeSurvivesARoundTrip() {
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans Mono", 10));
    QTextCursor c(&doc);
    auto run = [&](const QString& text, auto&& set) {
      QTextCharFormat f;
      set(f);
      c.insertText(text, f);
    };
    run("plain ", [](QTextCharFormat&) {});
    run("bold ", [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    run("italic ", [](QTextCharFormat& f) { f.setFontItalic(true); });
    run("under ", [](QTextCharFormat& f) { f.setFontUnderline(true); });
    run("strike ", [](QTextCharFormat& f) { f.setFontStrikeOut(true); });
    run("red ", [](QTextCharFormat& f) { f.setForeground(QColor(200, 0, 0)); });
    run("arial8 ", [](QTextCharFormat& f) {
      f.setFontFamilies({"Arial"});
      f.setFontPointSize(8);
    });
    run("all", [](QTextCharFormat& f) {
      f.setFontFamilies({"Courier New"});
      f.setFontPointSize(13.5);
      f.setFontWeight(QFont::Bold);
      f.setFontItalic(true);
      f.setFontUnderline(true);
      f.setFontStrikeOut(true);
      f.setForeground(QColor(0, 0, 255));
    });
    c.insertBlock();
    run(QString::fromUtf8("{braces} \\back\\ tab\there\u2028line Øl ² — ¯ € Ωhm 😀 \u00A0nbsp"),
        [](QTextCharFormat& f) { f.setForeground(QColor(200, 0, 0)); });
    c.insertBlock();  // an empty paragraph ...
    c.insertBlock();
    run("last", [](QTextCharFormat&) {});
    c.insertBlock();  // ... and an empty last one

    const QByteArray written = rtf::write(&doc);
    for (char ch : written) QVERIFY2(static_cast<unsigned char>(ch) < 0x80, "rich text is plain ASCII");
    QTextDocument back;
    QVERIFY(rtf::read(written, &back).ok());
    QCOMPARE(back.toRawText(), doc.toRawText());

    // Explicit attributes of the original against what was read; a
    // character without an explicit family or size has the default font's.
    QList<Styled> expected = styledChars(doc);
    for (Styled& s : expected) {
      if (s.ch == u'\n') continue;
      if (s.family.isEmpty()) s.family = "DejaVu Sans Mono";
      if (s.halfPoints == 0 || s.halfPoints < 0) s.halfPoints = 20;
    }
    QCOMPARE(styledChars(back), expected);
  }

  void writerEscapesForEveryReader() {
    QTextDocument doc;
    doc.setPlainText(QString::fromUtf8("a{b}c\\d é € Ω 😀"));
    const QByteArray w = rtf::write(&doc);
    QVERIFY(w.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(w.contains("a\\{b\\}c\\\\d \\'e9 \\'80 \\u937? \\u-10179?\\u-8704?"));
    QVERIFY(w.trimmed().endsWith("\\par\n}"));
  }

  // --- hostile input ------------------------------------------------------
  void refusesWhatIsNotRichText() {
    for (const QByteArray& bad : {QByteArray(), QByteArray("plain text"), QByteArray("{\\rt"), QByteArray("{rtf1}"),
                                  QByteArray("%PDF-1.4 {\\rtf1}")}) {
      QTextDocument doc;
      doc.setPlainText("old");
      QCOMPARE(rtf::read(bad, &doc).error, rtf::ReadError::NotRtf);
      QVERIFY(doc.isEmpty());
      QVERIFY(!rtf::looksLikeRtf(bad));
    }
  }

  void refusesAbsurdNesting() {
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(rtf::kMaxDepth + 10, '{');
    deep += "x";
    QTextDocument doc;
    const rtf::ReadResult r = rtf::read(deep, &doc);
    QCOMPARE(r.error, rtf::ReadError::TooDeep);
    QCOMPARE(r.offset, qsizetype(7 + rtf::kMaxDepth - 1));
    QVERIFY(doc.isEmpty());

    QByteArray fine = "{\\rtf1 ";
    fine += QByteArray(rtf::kMaxDepth - 2, '{') + "x" + QByteArray(rtf::kMaxDepth - 2, '}') + "}";
    QCOMPARE(readText(fine), QString("x"));
  }

  void hugeParametersAndCountsStayBounded() {
    QCOMPARE(readText("{\\rtf1 a\\bin99999999999999 bcd}"), QString("a"));
    QCOMPARE(readText("{\\rtf1 a\\bin-5 b}"), QString("ab"));
    QCOMPARE(readText("{\\rtf1 \\fs99999999999 a\\uc99999999 \\u65 bcd}e}"), QString("aA"));
    QCOMPARE(readText("{\\rtf1 \\u99999999999 x}"), QString::fromUtf8("\uFFFD"));  // the x is the fallback
    QCOMPARE(readText("{\\rtf1 \\u128512 x}"), QString::fromUtf8("😀"));
    QCOMPARE(readText("{\\rtf1 \\" + QByteArray(100000, 'a') + " x}"), QString("x"));
    QCOMPARE(readText("{\\rtf1 \\f" + QByteArray(100000, '9') + " x}"), QString("x"));
    QCOMPARE(readText("{\\rtf1\\ansicpg99999 \\'e9}"), QString::fromUtf8("é"));  // unknown code page: 1252
    QByteArray manyPages = "{\\rtf1";
    for (int i = 0; i < 200; ++i) manyPages += "{\\ansicpg" + QByteArray::number(1000 + i) + " \\'41}";
    QCOMPARE(readText(manyPages + "}").size(), 200);
  }

  // Mutations of the samples: the reader may accept or refuse, never fail.
  void mutatedSamplesNeverBreakTheReader() {
    QRandomGenerator rng(20240611);
    const QList<QByteArray> samples = {readData("writer-styles.rtf"), readData("writer-report.rtf"),
                                       readData("pandoc-guide.rtf"), readData("wordpad-style.rtf")};
    const char specials[] = "{}\\'*;0123456789-u ";
    int accepted = 0;
    for (int round = 0; round < 1500; ++round) {
      QByteArray data = samples[round % samples.size()];
      const int edits = 1 + rng.bounded(8);
      for (int e = 0; e < edits; ++e) {
        const int pos = rng.bounded(static_cast<int>(data.size()));
        switch (rng.bounded(4)) {
          case 0:
            data[pos] = specials[rng.bounded(static_cast<int>(sizeof specials - 1))];
            break;
          case 1:
            data[pos] = static_cast<char>(rng.bounded(256));
            break;
          case 2:
            data.remove(pos, rng.bounded(20));
            break;
          case 3:
            data.insert(pos, data.mid(rng.bounded(static_cast<int>(data.size())), rng.bounded(50)));
            break;
        }
      }
      QTextDocument doc;
      if (rtf::read(data, &doc).ok()) {
        ++accepted;
        QTextDocument back;
        QVERIFY(rtf::read(rtf::write(&doc), &back).ok());
        QCOMPARE(back.toRawText(), doc.toRawText());
      }
    }
    QVERIFY(accepted > 1000);  // most edits leave readable rich text
  }

  // --- text files ---------------------------------------------------------
  void textFilesAreUtf8WhenValidElseWindows1252() {
    using namespace textcodec;
    Decoded d = decode(QByteArray("\xEF\xBB\xBF\xC3\x98 ok\r\n"));
    QCOMPARE(d.encoding, Encoding::Utf8);
    QVERIFY(d.byteOrderMark);
    QCOMPARE(d.text, QString::fromUtf8("Ø ok\n"));
    QCOMPARE(d.lineEnd, QString("\r\n"));

    d = decode(QByteArray("\xC3\x98\n"));
    QCOMPARE(d.encoding, Encoding::Utf8);
    QVERIFY(!d.byteOrderMark);
    QCOMPARE(d.lineEnd, QString("\n"));

    d = decode(QByteArray("\xD8Summe \x97\xAF\xB2\rx"));
    QCOMPARE(d.encoding, Encoding::Cp1252);
    QCOMPARE(d.text, QString::fromUtf8("ØSumme —¯²\nx"));
    QCOMPARE(d.lineEnd, QString("\r"));

    // Almost UTF-8 is not UTF-8.
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xE2\x82", "\x80",
                            "\xF8\x88\x80\x80\x80", "\xEF\xBB\xBF\xFF"})
      QVERIFY2(decode(QByteArray(bad)).encoding == Encoding::Cp1252, bad);
    const char* good = "\xF4\x8F\xBF\xBF \xE2\x82\xAC \xC2\x80";
    QCOMPARE(decode(QByteArray(good)).encoding, Encoding::Utf8);
    QCOMPARE(decode(QByteArray(good)).text, QString::fromUtf8(good));
    QCOMPARE(decode(QByteArray("\xEF\xBB\xBF\xFF")).text, QString::fromUtf8("ï»¿ÿ"));
  }

  // A big report is read and decoded a piece at a time, each piece ending
  // after a line end. The encoding is settled at the first byte beyond
  // ASCII; a file that looked like UTF-8 and later is not starts over in
  // Windows-1252.
  void textFilesDecodeInPieces() {
    using namespace textcodec;
    auto pieces = [](QByteArray bytes, qsizetype first, qsizetype size) {
      QBuffer in(&bytes);
      in.open(QIODevice::ReadOnly);
      bool ok = false;
      QList<QByteArray> out = readPieces(in, first, size, &ok);
      QTEST_ASSERT(ok);
      return out;
    };
    QCOMPARE(pieces("a\r\nbb\r\r\nccc\n\xE9", 1, 1), (QList<QByteArray>{"a\r\n", "bb\r\r\n", "ccc\n", "\xE9"}));
    QCOMPARE(pieces("a\nbb\nccc\n", 3, 100), (QList<QByteArray>{"a\n", "bb\nccc\n"}));
    QCOMPARE(pieces("a\nbb\nccc\n", 100, 100), (QList<QByteArray>{"a\nbb\nccc\n"}));
    // Whatever the sizes: the whole file, every piece but the last ending
    // after a line end.
    for (const QByteArray& bytes :
         {QByteArray(1000, 'y') + "\nz\n" + QByteArray(3000, 'w'), QByteArray("x\r\n").repeated(5000) + "end"}) {
      const QList<QByteArray> got = pieces(bytes, 10, 100);
      QVERIFY(got.size() >= 2);
      QCOMPARE(got.join(), bytes);
      for (qsizetype i = 0; i + 1 < got.size(); ++i) QVERIFY(got[i].endsWith('\n'));
    }
    QCOMPARE(pieces("", 10, 10), QList<QByteArray>());

    Decoder text(pieces("a\r\nbb\r\r\nccc\n\xE9", 1, 1));
    QStringList got;
    while (!text.atEnd()) got << text.next();
    QCOMPARE(got, (QStringList{"a\n", "bb\n\n", "ccc\n", QString::fromUtf8("é")}));
    QCOMPARE(text.encoding(), Encoding::Cp1252);
    QCOMPARE(text.lineEnd(), QString("\r\n"));

    const QByteArray late = "\xC3\x98\n" + QByteArray(100, 'x') + "\n\xFF\n";
    Decoder utf8(pieces(late, 1, 1));
    QString all = utf8.next();
    QCOMPARE(all, QString::fromUtf8("Ø\n"));
    QCOMPARE(utf8.encoding(), Encoding::Utf8);
    QVERIFY(!utf8.restarted());
    bool restarted = false;
    while (!utf8.atEnd()) {
      const QString piece = utf8.next();
      if (utf8.restarted()) {
        restarted = true;
        all.clear();
      }
      all += piece;
    }
    QVERIFY(restarted);
    QCOMPARE(utf8.encoding(), Encoding::Cp1252);
    QCOMPARE(all, fromCp1252(late));
    QCOMPARE(decode(late).text, fromCp1252(late));
  }

  void everyWindows1252ByteSurvives() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
      if (b != '\r' && b != '\n') all += static_cast<char>(b);
    const textcodec::Decoded d = textcodec::decode(all);
    QCOMPARE(d.encoding, textcodec::Encoding::Cp1252);
    const textcodec::Encoded e = textcodec::encode(d.text);
    QCOMPARE(e.encoding, textcodec::Encoding::Cp1252);
    QCOMPARE(e.bytes, all);
  }

  void savedTextKeepsAReportsBytes() {
    const QByteArray report("Lorvant\r\n\x97\x97\x97\r\n  m  \xD8Summe\r\n\xAF\xAF\r\nmm\xB2\r\n");
    const textcodec::Decoded d = textcodec::decode(report);
    QCOMPARE(textcodec::encode(d.text, {d.lineEnd, d.byteOrderMark}).bytes, report);

    // A character without a Windows-1252 byte makes it UTF-8.
    const textcodec::Encoded u = textcodec::encode(QString::fromUtf8("Ω\nØ"), {QStringLiteral("\r\n"), true});
    QCOMPARE(u.encoding, textcodec::Encoding::Utf8);
    QCOMPARE(u.bytes, QByteArray("\xEF\xBB\xBF\xCE\xA9\r\n\xC3\x98"));
    QCOMPARE(textcodec::encode(QString("a\u2029b\u2028c"), {QStringLiteral("\n"), false}).bytes, QByteArray("a\nb\nc"));
  }
};

QTEST_MAIN(RtfTest)
#include "test_rtf.moc"
