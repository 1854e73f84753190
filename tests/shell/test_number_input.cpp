// Number input of every window: the key filter (through the scripted seam),
// the number parse, the language rule and the decimal separator; the number
// fields' filter of every way text comes in.
#include <QInputMethodEvent>
#include <QLocale>
#include <QtTest>

#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Text.h"
#include "tests/support/Paste.h"
#include "tests/support/ScriptedSeam.h"
#include "text/bilingual.h"

namespace {
void activate(QWidget* w) {
  w->show();
  w->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w));
}
}  // namespace

using namespace lorvant;

class NumberInputTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    Module1::resetState();
    Module1::setDecimalSeparator(0);
  }
  void cleanup() {
    Module1::setDecimalSeparator(0);
    QLocale::setDefault(QLocale::c());
  }

  void backspaceIsAcceptedInEveryKeySet() {
    test::ScriptedSeam seam;
    for (std::u32string_view keys : {kDecimalKeys, kWholeKeys, std::u32string_view(U"x")}) {
      QCOMPARE(Module1::keyFilter(8, keys), 8);
    }
    QCOMPARE(seam.beeps, 0);
  }

  void refusedKeysBeepOnceEach() {
    test::ScriptedSeam seam;
    QCOMPARE(Module1::keyFilter(22, kDecimalKeys), 0);  // Ctrl+V
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(Module1::keyFilter('-', kDecimalKeys), 0);
    QCOMPARE(Module1::keyFilter(' ', kDecimalKeys), 0);
    QCOMPARE(seam.beeps, 3);
    // Other control characters, letters and keys outside the character range.
    for (int key : {3, 9, 13, 27, 127, int('e'), int('E'), 0xE4, 0x20AC, -1}) {
      QCOMPARE(Module1::keyFilter(key, kDecimalKeys), 0);
    }
    QCOMPARE(seam.beeps, 13);
  }

  void decimalSetTakesDigitsCommaAndPoint() {
    test::ScriptedSeam seam;
    for (char32_t key : std::u32string_view(U"0123456789,.")) {
      QCOMPARE(Module1::keyFilter(static_cast<int>(key), kDecimalKeys), static_cast<int>(key));
    }
    QCOMPARE(seam.beeps, 0);
  }

  void wholeNumberSetRefusesTheSeparators() {
    test::ScriptedSeam seam;
    QCOMPARE(Module1::keyFilter('7', kWholeKeys), int('7'));
    QCOMPARE(Module1::keyFilter(',', kWholeKeys), 0);
    QCOMPARE(Module1::keyFilter('.', kWholeKeys), 0);
    QCOMPARE(seam.beeps, 2);
  }

  void numberFieldTakesNothingTheKeysWouldRefuse() {
    test::ScriptedSeam seam;
    QLineEdit field;
    Fields::filterNumbers(&field, kDecimalKeys);
    activate(&field);
    QTest::keyClicks(&field, "1a2");
    QCOMPARE(field.text(), QString("12"));
    QCOMPARE(seam.beeps, 1);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(",5");
    QTest::keyClick(&field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field.text(), QString("12,5"));
    for (const char* refused : {"5x", "-1", "2\b"}) {
      clipboard->setText(QString::fromLatin1(refused));
      QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(field.text(), QString("12,5"));
    QCOMPARE(seam.beeps, 4);

    QVERIFY(test::pasteFromContextMenu(&field, "e3"));
    test::dropText(&field, " 7");
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00BD"));
    QCoreApplication::sendEvent(&field, &composed);
    QCOMPARE(field.text(), QString("12,5"));
    QCOMPARE(seam.beeps, 7);

    QVERIFY(test::pasteFromContextMenu(&field, "0"));
    test::dropText(&field, "1");
    QInputMethodEvent digit;
    digit.setCommitString(QStringLiteral("2"));
    QCoreApplication::sendEvent(&field, &digit);
    QCOMPARE(field.text().size(), 7);
    QCOMPARE(seam.beeps, 7);

    // The editing keys edit and never beep.
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(field.text().isEmpty());
    QTest::keyClick(&field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field.text().size(), 7);
    QCOMPARE(seam.beeps, 7);
  }

  void parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::newRow("comma") << "14,25" << 14.25f;
    QTest::newRow("point") << "14.25" << 14.25f;
    QTest::newRow("second comma stops") << "1,5,3" << 1.5f;
    QTest::newRow("material entry") << QString::fromUtf8("2,04   FEP Ethylenpropylen") << 2.04f;
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("letters") << "abc" << 0.0f;
    QTest::newRow("below one") << "0,95" << 0.95f;
    QTest::newRow("no zero") << ",5" << 0.5f;
    QTest::newRow("grouped") << "1.000,5" << 1.0f;
    QTest::newRow("permittivity") << "1,00059 Luft" << 1.00059f;
    QTest::newRow("blanks removed") << " 1 2,5\t" << 12.5f;
    QTest::newRow("negative") << "-3,5" << -3.5f;
    QTest::newRow("exponent") << "1,5E3" << 1500.0f;
    QTest::newRow("D exponent") << "2d-2" << 0.02f;
    QTest::newRow("hex") << "&H1F" << 31.0f;
    QTest::newRow("octal") << "&o17" << 15.0f;
  }
  void parse() {
    QFETCH(QString, text);
    QFETCH(float, value);
    QCOMPARE(Module1::parse(text), value);
  }

  // The windows' texts come from the catalogue in the language of the
  // moment; a language given wins over it.
  void sayFollowsTheLanguage() {
    QVERIFY(Module1::german());  // a fresh start is German
    QCOMPARE(say(Text::WindowErrorTitle), QStringLiteral(" Fehler! "));
    Module1::state().language = Language::English;
    QVERIFY(!Module1::german());
    QCOMPARE(say(Text::WindowErrorTitle), QStringLiteral(" Error! "));
    QCOMPARE(sayIn(Language::German, Text::MenuCascade), QStringLiteral("&Überlappend"));
    Module1::state().language = Language::German;
    QCOMPARE(sayIn(Language::English, Text::MenuCascade), QStringLiteral("&Cascade"));
  }

  void decimalSeparatorFollowsLocaleUnlessOverridden() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(Module1::decimalSeparator(), ',');
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(Module1::decimalSeparator(), '.');
    Module1::setDecimalSeparator(',');
    QCOMPARE(Module1::decimalSeparator(), ',');
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Module1::setDecimalSeparator('.');
    QCOMPARE(Module1::decimalSeparator(), '.');
    Module1::setDecimalSeparator(0);
    QCOMPARE(Module1::decimalSeparator(), ',');
  }
};

QTEST_MAIN(NumberInputTest)
#include "test_number_input.moc"
