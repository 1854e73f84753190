// The quick viewer with every dialog answered by a script.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <deque>
#include <functional>
#include <memory>

#include "engine/version.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/viewer/frmRTF.h"
#include "windows/viewer/rtf/TextCodec.h"

using namespace lorvant;

namespace {

// The script, plus what the viewer handed to the font and file dialogs.
class ViewerSeam : public test::ScriptedSeam {
 public:
  QList<FontChoice> fontRequests;
  QList<bool> viewerVisibleDuringOpen;
  QStringList inputDefaults;
  QStringList inputTitles;
  std::function<void()> beforeMessage;  // runs while a message box is open
  Answer message(QWidget* parent, const MessageRequest& r) override {
    if (beforeMessage) beforeMessage();
    return ScriptedSeam::message(parent, r);
  }
  std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                  const QString& def) override {
    inputDefaults << def;
    inputTitles << title;
    return ScriptedSeam::inputBox(parent, prompt, title, def);
  }
  std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override {
    fontRequests.append(initial);
    return ScriptedSeam::chooseFont(parent, initial);
  }
  std::optional<FileDialogResult> openFile(QWidget* parent, const FileDialogRequest& r) override {
    viewerVisibleDuringOpen.append(frmRTF::loaded() && frmRTF::loaded()->isVisible());
    return ScriptedSeam::openFile(parent, r);
  }
};

// A report as the calculations write it: Windows-1252, CR LF.
const QByteArray kReport =
    "\r\n"
    "                        Lorvant \r\n"
    "\x97\x97\x97\x97\x97\x97\x97\x97\x97\x97\r\n"
    "Antenne berechnet auf Basis  14,2 MHz f\xFCr  4  Halbwellen\r\n"
    "  m  \xD8Summe  14 MHz   7 MHz\r\n"
    " 8,10   0,86   0,88    0,85\r\n"
    "\xAF\xAF\xAF\xAF\xAF\xAF\r\n"
    "Leiter 1,5 mm\xB2\r\n";

QString reportText() {
  return QString::fromUtf8(
      "\n                        Lorvant \n——————————\n"
      "Antenne berechnet auf Basis  14,2 MHz für  4  Halbwellen\n"
      "  m  ØSumme  14 MHz   7 MHz\n 8,10   0,86   0,88    0,85\n¯¯¯¯¯¯\nLeiter 1,5 mm²\n");
}

// "Courier New" where it is installed, else a family that really is fixed-pitch.
QString fixedFamily() {
  const QString family = installedFamily(QStringLiteral("Courier New"));
  if (QFontDatabase::hasFamily("Courier New")) QTEST_ASSERT(family == QLatin1String("Courier New"));
  QTEST_ASSERT(QFontInfo(QFont(family)).fixedPitch());
  return family;
}

QString generalFamily() {
  return QFontDatabase::hasFamily("Arial") ? QStringLiteral("Arial")
                                           : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

int pdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray pdf = f.readAll();
  if (!pdf.startsWith("%PDF")) return -1;
  return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page>"));
}

QString text(frmRTF* v) {
  QString t = v->document()->toRawText();
  t.replace(QChar::ParagraphSeparator, u'\n');
  return t;
}

QTextCharFormat formatAt(frmRTF* v, int position) {
  QTextCursor c(v->document());
  c.setPosition(position + 1);
  return c.charFormat();
}

void select(frmRTF* v, int start, int length) {
  QTextCursor c = v->textCursor();
  c.setPosition(start);
  c.setPosition(start + length, QTextCursor::KeepAnchor);
  v->setTextCursor(c);
}

// Runs `answer` on each modal dialog the desktop seam opens, in turn, while
// the test's script stands aside.
class DesktopDialogs {
 public:
  explicit DesktopDialogs(test::ScriptedSeam* script) : script_(script) {
    setSeam(nullptr);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || modal == last_) return;
      last_ = modal;
      ++seen;
      if (!answers.empty()) {
        auto answer = std::move(answers.front());
        answers.pop_front();
        answer(modal);
      }
    });
    timer_.start(10);
  }
  ~DesktopDialogs() { setSeam(script_); }
  std::deque<std::function<void(QWidget*)>> answers;
  int seen = 0;

 private:
  test::ScriptedSeam* script_;
  QTimer timer_;
  QPointer<QWidget> last_;
};

QList<QTextFormat> fragmentFormats(const QTextDocument* doc) {
  QList<QTextFormat> out;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) out.append(it.fragment().charFormat());
  return out;
}

}  // namespace

class ViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<ViewerSeam> seam;
  std::unique_ptr<QTemporaryDir> dir;

  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
    return path;
  }
  QByteArray readBack(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  // Shows a file the program's way; a failing step's message is answered
  // with Abort, taken off the seam's list and handed back in `error`.
  bool showFile(const QString& path, QString* error) {
    const qsizetype before = seam->messages.size();
    seam->answers.push_front(Answer::Abort);
    const bool shown = Module1::showFile(path);
    if (seam->messages.size() > before) {
      if (error) *error = seam->messages.takeLast().text;
    } else {
      seam->answers.pop_front();
    }
    return shown;
  }
  frmRTF* shown(const QString& path) {
    QString error;
    if (!showFile(path, &error)) qWarning("show file failed: %s", qPrintable(error));
    return frmRTF::loaded();
  }
  static QByteArray rtfSample(const char* name) {
    QFile f(QStringLiteral(LORVANT_TEST_DATA "/rtf/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void init() {
    Module1::resetState();
    dir = std::make_unique<QTemporaryDir>();
    Module1::state().resultsFolder = dir->path() + '/';
    seam = std::make_unique<ViewerSeam>();
    // A printer is set up; the scripted print dialog sends its output to a file.
    Printout::defaultPrinter() = [] { return QStringLiteral("Testdrucker"); };
  }
  void cleanup() {
    seam->answers.clear();
    seam->answers = {Answer::No, Answer::No};  // no saving on the way out
    frmRTF::unload();
    Printout::resetDefaultPrinter();
    QVERIFY(!frmRTF::loaded());
    seam.reset();
    dir.reset();
  }

  // --- the window -----------------------------------------------------------
  void captionsInBothLanguages() {
    frmRTF* v = frmRTF::instance();
    QCOMPARE(frmRTF::instance(), v);
    QVERIFY(v->isWindow());
    auto action = [v](const char* name) { return v->findChild<QAction*>(name); };
    auto menu = [v](const char* name) { return v->findChild<QMenu*>(name); };
    const QList<std::pair<const char*, std::pair<const char*, const char*>>> items = {
        {"mnuOpen", {"&Öffnen", "&open"}},           {"mnuSave", {"&Speichern", "&save"}},
        {"mnuSuchen", {"S&uchen", "s&earch"}},       {"mnuSuchWeiter", {"&weitersuchen", "&continue searching"}},
        {"mnuPrint", {"&Drucken", "&Print"}},        {"mnuExit", {"&Beenden", "E&xit"}},
        {"mnuFont", {"&Schrift", "&Writing"}},       {"mnuListing", {"&Listing", "&Listing"}},
        {"mnuStandard", {"&Standard", "&Standard"}}, {"mnuText", {"&Text", "&Text"}},
        {"mnuHilfe", {"&Hilfe", "&Help"}},           {"mnuInfo", {"&Info", "&Info"}}};
    for (const bool german : {true, false}) {
      Module1::state().language = german ? Language::German : Language::English;
      v->applyCaptions();
      QCOMPARE(v->windowTitle(), german ? QString("Schnellansicht / Drucken") : QString("Quick view / Print"));
      QCOMPARE(menu("mnuFile")->title(), german ? QString("&Datei") : QString("&File"));
      QCOMPARE(menu("mnuVorlage")->title(), german ? QString("&Formatvorlage") : QString("F&ormat template"));
      for (const auto& [name, caption] : items) {
        QVERIFY2(action(name), name);
        QCOMPARE(action(name)->text(), QString::fromUtf8(german ? caption.first : caption.second));
      }
    }
    // Search, find next, save and print live in the File menu, as the short help says.
    for (const char* name : {"mnuOpen", "mnuSave", "mnuSuchen", "mnuSuchWeiter", "mnuPrint", "mnuExit"})
      QVERIFY(menu("mnuFile")->actions().contains(action(name)));
    const QToolBar* bar1 = v->findChild<QToolBar*>("Toolbar1");
    const QToolBar* bar2 = v->findChild<QToolBar*>("Toolbar2");
    for (const char* key : {"Open", "Save", "Print"}) QVERIFY2(bar1->actions().contains(action(key)), key);
    for (const char* key : {"Font", "Bold", "Kursiv", "Underline"})
      QVERIFY2(bar2->actions().contains(action(key)), key);
  }

  // A failing step of showing a file asks Abort / Retry / Ignore: Abort
  // ends, Retry repeats the load, Ignore goes on to showing.
  void showFileAsksAfterAFailingStep() {
    const QString report = dir->filePath("AntSpezi.txt");
    seam->answers = {Answer::Abort};
    QVERIFY(!Module1::showFile(report));
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages.first().title, QStringLiteral(" Fehler! "));
    QCOMPARE(seam->messages.first().icon, Icon::Exclamation);
    QCOMPARE(seam->messages.first().buttons, Buttons::AbortRetryIgnore);
    QVERIFY(!frmRTF::loaded()->isVisible());

    // The file appears while the box is open; Retry then loads it.
    seam->beforeMessage = [&] { write("AntSpezi.txt", "row\r\n"); };
    seam->answers = {Answer::Retry};
    QVERIFY(Module1::showFile(report));
    QCOMPARE(seam->messages.size(), 2);
    QCOMPARE(frmRTF::loaded()->fileName(), report);
    QVERIFY(frmRTF::loaded()->isVisible());
    seam->beforeMessage = nullptr;

    Module1::state().language = Language::English;
    seam->answers = {Answer::Ignore};
    QVERIFY(Module1::showFile(QString()));
    QCOMPARE(seam->messages.last().title, QStringLiteral(" Error! "));
  }

  void showFileLoadsAReportInAFixedFont() {
    const QString path = write("AntStrSu.txt", kReport);
    QString error;
    QVERIFY(showFile(path, &error));
    frmRTF* v = frmRTF::loaded();
    QVERIFY(v && v->isVisible());
    QVERIFY(!v->isModal());
    QCOMPARE(text(v), reportText());
    QVERIFY(!v->isRichText());
    QCOMPARE(v->editor()->font().family(), fixedFamily());
    QVERIFY(QFontInfo(v->document()->defaultFont()).fixedPitch());
    QCOMPARE(v->fileName(), path);
    QCOMPARE(v->statusText(), QDir::toNativeSeparators(path));
    QVERIFY(!v->isModified());

    // One viewer: the next report replaces the document.
    const QString other = write("SpeisePkt.txt", "Speisepunkt\r\n");
    QVERIFY(showFile(other, &error));
    QCOMPARE(frmRTF::loaded(), v);
    QCOMPARE(text(v), QString("Speisepunkt\n"));
    QCOMPARE(v->statusText(), QDir::toNativeSeparators(other));

    // A missing file is told in the platform's words; the document stays.
    QVERIFY(!showFile(dir->filePath("ZusatzDipol.txt"), &error));
    QCOMPARE(error, "Datei nicht gefunden: " + QDir::toNativeSeparators(dir->filePath("ZusatzDipol.txt")));
    Module1::state().language = Language::English;
    QVERIFY(!showFile(QString(), &error));
    QCOMPARE(error, QString("Bad file name"));
    QVERIFY(!showFile(dir->path(), &error));
    QVERIFY(error.startsWith("File not found: "));
    QCOMPARE(text(v), QString("Speisepunkt\n"));
    QCOMPARE(v->fileName(), other);
  }

  // A big report shows with its beginning at once; the rest follows while
  // the window answers, and search and save see all of it.
  void aBigReportShowsAtOnceAndArrivesWhole() {
    QByteArray big;
    for (int i = 0; i < 20000; ++i) big += "Zeile " + QByteArray::number(i) + " \xD8 0,86   0,88    0,85    0,86\r\n";
    const QString whole = textcodec::decode(big).text;
    frmRTF* v = shown(write("AntSpezi.txt", big));
    QVERIFY(v->isLoading());
    QVERIFY(text(v).size() < whole.size() && whole.startsWith(text(v)));
    QCOMPARE(v->reportWidthTwips(), 14430);  // measured on the lines already in
    seam->inputs = {QStringLiteral("Zeile 19999 ")};
    v->search();
    QVERIFY(!v->isLoading());
    QCOMPARE(v->textCursor().selectedText(), QStringLiteral("Zeile 19999 "));
    QCOMPARE(text(v), whole);
    seam->files.push_back(FileDialogResult{dir->filePath("again.txt"), 3});
    QVERIFY(v->save());
    QCOMPARE(readBack(dir->filePath("again.txt")), big);

    v = shown(dir->filePath("AntSpezi.txt"));
    QVERIFY(v->isLoading());
    QTRY_VERIFY(!v->isLoading());
    QCOMPARE(text(v), whole);
    QVERIFY(!v->document()->isModified() && v->document()->isUndoRedoEnabled());
  }

  void showFileReadsRichTextAndUtf8() {
    frmRTF* v = shown(write("sample.rtf", rtfSample("wordpad-style.rtf")));
    QVERIFY(v->isRichText());
    QVERIFY(text(v).startsWith(QString::fromUtf8("Speisepunkt-Überprüfung \n")));
    v = shown(write("utf8.txt", "\xEF\xBB\xBF\xCE\xA9hm\n"));
    QVERIFY(!v->isRichText());
    QCOMPARE(text(v), QString::fromUtf8("Ωhm\n"));
  }

  // Reading (scrolling, clicking, selecting) changes nothing; typing and
  // formatting do, and saving takes the change away.
  void onlyAChangeOfTheTextCountsAsModified() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    QVERIFY(!v->isModified());
    QTest::keyClick(v->editor(), Qt::Key_PageDown);
    QTest::keyClick(v->editor(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::mouseClick(v->editor()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!v->isModified());
    QCOMPARE(text(v), reportText());

    QTest::keyClicks(v->editor(), "x");
    QVERIFY(v->isModified());
    seam->files.push_back(FileDialogResult{dir->filePath("copy.txt"), 3});
    QVERIFY(v->save());
    QVERIFY(!v->isModified());

    select(v, 1, 5);
    v->setBold();
    QVERIFY(v->isModified());
  }

  void closingAsksAndOffersToSave() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    // Untouched: one question.
    seam->answers = {Answer::Yes};
    QVERIFY(v->close());
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].text, QString("Schnellansicht wirklich schliessen ?"));
    QCOMPARE(seam->messages[0].title, QString(" Beenden"));
    QCOMPARE(seam->messages[0].icon, Icon::Question);
    QCOMPARE(seam->messages[0].buttons, Buttons::YesNo);
    QVERIFY(!v->isVisible());
    QCOMPARE(frmRTF::loaded(), v);  // hidden, not destroyed

    // After only reading with the keys: still one question.
    v->showViewer();
    QTest::keyClick(v->editor(), Qt::Key_Down);
    QTest::keyClick(v->editor(), Qt::Key_PageDown);
    seam->messages.clear();
    seam->answers = {Answer::Yes};
    QVERIFY(v->close());
    QCOMPARE(seam->messages.size(), 1);

    // After typing: both questions; No keeps the text unsaved.
    v->showViewer();
    QTest::keyClicks(v->editor(), "x");
    seam->messages.clear();
    seam->answers = {Answer::Yes, Answer::No};
    QVERIFY(v->close());
    QCOMPARE(seam->messages.size(), 2);
    QCOMPARE(seam->messages[1].text, QString("Soll der Text gespeichert werden ?"));
    QCOMPARE(seam->messages[1].title, QString(" Text speichern ?"));
    QCOMPARE(seam->messages[1].icon, Icon::Question);
    QVERIFY(seam->fileRequests.isEmpty());
    QVERIFY(!v->isModified());

    // No to the first question cancels the closing.
    v->showViewer();
    QTest::keyClicks(v->editor(), "y");
    seam->messages.clear();
    seam->answers = {Answer::No};
    QVERIFY(!v->close());
    QVERIFY(v->isVisible());
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(v->isModified());

    // Yes, Yes: Save runs (here in English).
    Module1::state().language = Language::English;
    seam->messages.clear();
    seam->answers = {Answer::Yes, Answer::Yes};
    seam->files.push_back(FileDialogResult{dir->filePath("kept.txt"), 3});
    QVERIFY(v->close());
    QCOMPARE(seam->messages[0].text, QString("Really close the quick view ?"));
    QCOMPARE(seam->messages[0].title, QString(" Exit"));
    QCOMPARE(seam->messages[1].text, QString("Should the text be saved ?"));
    QCOMPARE(seam->messages[1].title, QString(" Save text ?"));
    QVERIFY(!kReport.contains('y') && readBack(dir->filePath("kept.txt")).contains('y'));

    // A hidden viewer closes without a word (the folder dialog does so).
    seam->messages.clear();
    QVERIFY(v->close());
    QVERIFY(seam->messages.isEmpty());
  }

  void unloadOffersOnlyToSave() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    QTest::keyClicks(v->editor(), "x");
    seam->answers = {Answer::No};
    frmRTF::unload();
    Printout::resetDefaultPrinter();
    QVERIFY(!frmRTF::loaded());
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].text, QString("Soll der Text gespeichert werden ?"));
  }

  // --- search -----------------------------------------------------------------
  void searchAndFindNextCountFromTheSelection() {
    frmRTF* v = shown(write("s.txt", "Alpha beta\nGAMMA beta\nbeta end"));
    auto selection = [v] {
      const QTextCursor c = v->textCursor();
      return std::pair{c.selectionStart(), c.selectionEnd() - c.selectionStart()};
    };
    seam->inputs = {QString("BETA")};
    v->search();
    QCOMPARE(seam->inputPrompts, QStringList{"Bitte Suchtext eingeben."});
    QCOMPARE(seam->inputTitles, QStringList{"Suchen"});
    QCOMPARE(seam->inputDefaults, QStringList{""});
    QCOMPARE(selection(), std::pair(6, 4));
    QCOMPARE(v->textCursor().selectedText(), QString("beta"));
    QVERIFY(seam->messages.isEmpty());

    v->findNext();  // the selection's text, from the character after its start
    QCOMPARE(selection(), std::pair(17, 4));
    v->findNext();
    QCOMPARE(selection(), std::pair(22, 4));
    QCOMPARE(seam->inputPrompts.size(), 1);  // find next does not ask
    v->findNext();
    QCOMPARE(selection(), std::pair(0, 0));
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].text, QString("Leider keine (weitere) Fundstelle"));
    QCOMPARE(seam->messages[0].title, QString("Suchen"));
    QCOMPARE(seam->messages[0].icon, Icon::Information);

    // The input box offers the selection; a text only before the selection
    // is not found and the selection is cleared.
    select(v, 27, 3);
    Module1::state().language = Language::English;
    seam->inputs = {QString("alpha")};
    seam->inputDefaults.clear();
    v->search();
    QCOMPARE(seam->inputDefaults, QStringList{"end"});
    QCOMPARE(selection(), std::pair(0, 0));
    QCOMPARE(seam->messages.last().text, QString("Unfortunately no (further) find - position"));
    QCOMPARE(seam->messages.last().title, QString("Searching"));

    // With nothing selected the search starts at the second character.
    seam->inputs = {QString("alpha")};
    v->search();
    QCOMPARE(seam->messages.size(), 3);
    seam->inputs = {QString("gamma")};
    v->search();
    QCOMPARE(selection(), std::pair(11, 5));
    QCOMPARE(seam->messages.size(), 3);
  }

  void emptySearchTextDoesNothing() {
    frmRTF* v = shown(write("s.txt", "one two"));
    select(v, 3, 0);
    v->findNext();  // no selection: no text
    QVERIFY(seam->messages.isEmpty());
    QVERIFY(seam->inputPrompts.isEmpty());
    QCOMPARE(v->textCursor().position(), 3);
    seam->inputs = {std::nullopt};  // cancelled
    v->search();
    seam->inputs = {QString()};
    v->search();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(v->textCursor().position(), 3);
  }

  // --- open -------------------------------------------------------------------
  void openRefusesPdfAndKeepsTheDocument() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    const QString before = text(v);
    const QString pdf = write("Report.PDF", "%PDF-1.4\n");
    seam->files.push_back(FileDialogResult{pdf, 4});
    v->open();
    QCOMPARE(seam->fileRequests.size(), 1);
    const FileDialogRequest& r = seam->fileRequests[0];
    QCOMPARE(r.filter, QString("Berichte und Rich Text (*.txt *.rtf)|*.txt *.rtf|Rich Text File (*.Rtf)|*.rtf|"
                               "Text File (*.Txt)|*.txt|All Files (*.*)|*.*"));
    QCOMPARE(r.initialFolder, Module1::state().resultsFolder);
    QCOMPARE(r.filterIndex, 1);
    QCOMPARE(seam->viewerVisibleDuringOpen, QList<bool>{true});
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].text,
             QString::fromUtf8("Öffnen der Datei: \r\nReport.PDF\r\nist nur mit einem externen Programm möglich!"));
    QCOMPARE(seam->messages[0].icon, Icon::Exclamation);
    QCOMPARE(text(v), before);
    QCOMPARE(v->fileName(), dir->filePath("AntStrSu.txt"));
    QVERIFY(v->isVisible());

    // A PDF under another name is no text either; a text with "pdf" in its
    // name is.
    Module1::state().language = Language::English;
    seam->files.push_back(FileDialogResult{write("manual.bin", "%PDF-1.7\n"), 4});
    v->open();
    QVERIFY(seam->fileRequests.last().filter.startsWith("Reports and rich text (*.txt *.rtf)|*.txt *.rtf|"));
    QCOMPARE(seam->messages.last().text,
             QString("Open the File: \r\nmanual.bin\r\nis only possible with an external program!"));
    seam->files.push_back(FileDialogResult{write("pdf-notes.txt", "notes"), 3});
    v->open();
    QCOMPARE(text(v), QString("notes"));
    QCOMPARE(seam->messages.size(), 2);
  }

  void cancelledOpenShowsTheViewerAgain() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    const QString before = text(v);
    seam->files.push_back(std::nullopt);
    v->open();
    QCOMPARE(seam->viewerVisibleDuringOpen, QList<bool>{true});
    QVERIFY(v->isVisible());
    QCOMPARE(text(v), before);
    QVERIFY(seam->messages.isEmpty());
  }

  // The desktop's dialog, opened with the viewer's own key: the reports'
  // entry is offered first, and the viewer stays on the screen behind it.
  void theOpenDialogOffersTheReportsBehindAVisibleViewer() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    QVERIFY(QTest::qWaitForWindowExposed(v));
    QStringList filters;
    bool viewerShown = false;
    {
      DesktopDialogs dialogs(seam.get());
      dialogs.answers.push_back([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return;
        filters = d->nameFilters();
        viewerShown = v->isVisible();
        d->reject();
      });
      QTest::keyClick(v->editor(), Qt::Key_O, Qt::ControlModifier);
      QCOMPARE(dialogs.seen, 1);
    }
    QVERIFY(viewerShown);
    QVERIFY(v->isVisible());
    QVERIFY(filters.size() == 4);
    QCOMPARE(filters.first(), QString("Berichte und Rich Text (*.txt *.rtf)"));
    QCOMPARE(filters.last(), QString("All Files (*.*)"));
  }

  void openReadsByTheChosenFilter() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    const QString rtfPath = write("styles.rtf", rtfSample("writer-styles.rtf"));
    const QString expected = QString::fromUtf8(rtfSample("writer-styles.txt")).chopped(1);

    // Reports and rich text: each by its content.
    seam->files.push_back(FileDialogResult{rtfPath, 1});
    v->open();
    QVERIFY(v->isRichText());
    QCOMPARE(text(v).replace(QChar::LineSeparator, u'\n'), expected);
    QCOMPARE(v->fileName(), rtfPath);
    QCOMPARE(v->statusText(), QDir::toNativeSeparators(rtfPath));
    seam->files.push_back(FileDialogResult{dir->filePath("AntStrSu.txt"), 1});
    v->open();
    QVERIFY(!v->isRichText());
    QCOMPARE(text(v), reportText());

    seam->files.push_back(FileDialogResult{rtfPath, 3});  // text: the rich text's code
    v->open();
    QVERIFY(!v->isRichText());
    QVERIFY(text(v).startsWith("{\\rtf1\\ansi"));

    seam->files.push_back(FileDialogResult{rtfPath, 4});  // all files: by content
    v->open();
    QVERIFY(v->isRichText());

    // Plain text under the rich filter: refused, the document stays.
    seam->files.push_back(FileDialogResult{dir->filePath("AntStrSu.txt"), 2});
    v->open();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].text.contains("keine RTF-Datei"));
    QCOMPARE(seam->messages[0].title, QString(" Fehler! "));
    QVERIFY(v->isRichText());
    QCOMPARE(v->fileName(), rtfPath);
    QVERIFY(v->isVisible());
  }

  // --- save -------------------------------------------------------------------
  void saveProposesTheNameAndKeepsAReportsBytes() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    QTest::keyClick(v->editor(), Qt::Key_End);
    seam->files.push_back(FileDialogResult{dir->filePath("again.txt"), 3});
    QVERIFY(v->save());
    const FileDialogRequest& r = seam->fileRequests[0];
    QCOMPARE(r.proposedName, QString("AntStrSu"));
    QVERIFY(r.overwritePrompt);
    QCOMPARE(r.initialFolder, Module1::state().resultsFolder);
    QCOMPARE(r.filterIndex, 3);  // a plain text is offered as plain text
    QCOMPARE(r.filter, QString("Berichte und Rich Text (*.txt *.rtf)|*.txt *.rtf|Rich Text File (*.Rtf)|*.rtf|"
                               "Text File (*.Txt)|*.txt|All Files (*.*)|*.*"));
    QCOMPARE(readBack(dir->filePath("again.txt")), kReport);
    QVERIFY(!v->isModified());
    QCOMPARE(v->fileName(), dir->filePath("AntStrSu.txt"));

    // A character outside Windows-1252 makes the file UTF-8.
    QTextCursor c(v->document());
    c.insertText(QString::fromUtf8("Ω"));
    seam->files.push_back(FileDialogResult{dir->filePath("utf8.txt"), 3});
    QVERIFY(v->save());
    QCOMPARE(readBack(dir->filePath("utf8.txt")).left(3), QByteArray("\xCE\xA9\r"));

    // Without an extension the chosen type gives one.
    seam->files.push_back(FileDialogResult{dir->filePath("typed"), 2});
    QVERIFY(v->save());
    QVERIFY(readBack(dir->filePath("typed.rtf")).startsWith("{\\rtf1"));
    // ... and asks before replacing a file the dialog did not see. No goes
    // back to the dialog with the name as typed; another name is saved.
    const QByteArray typedBefore = readBack(dir->filePath("typed.rtf"));
    seam->files.push_back(FileDialogResult{dir->filePath("typed"), 2});
    seam->files.push_back(FileDialogResult{dir->filePath("other"), 2});
    seam->answers = {Answer::No};
    const qsizetype asked = seam->fileRequests.size();
    QVERIFY(v->save());
    QVERIFY(seam->messages.last().text.contains("typed.rtf"));
    QCOMPARE(seam->messages.last().buttons, Buttons::YesNo);
    QCOMPARE(seam->fileRequests.size(), asked + 2);
    QCOMPARE(seam->fileRequests.last().proposedName, QString("typed"));
    QCOMPARE(seam->fileRequests.last().filterIndex, 2);
    QCOMPARE(readBack(dir->filePath("typed.rtf")), typedBefore);
    QVERIFY(readBack(dir->filePath("other.rtf")).startsWith("{\\rtf1"));
    // Yes replaces it.
    QTextCursor(v->document()).insertText("Neu");
    seam->files.push_back(FileDialogResult{dir->filePath("typed"), 2});
    seam->answers = {Answer::Yes};
    QVERIFY(v->save());
    QVERIFY(readBack(dir->filePath("typed.rtf")).contains("Neu"));
    // The combined entry gives a name the extension of the document's kind.
    seam->files.push_back(FileDialogResult{dir->filePath("plain"), 1});
    QVERIFY(v->save());
    QVERIFY(readBack(dir->filePath("plain.txt")).startsWith("Neu"));

    // Cancel writes nothing; a folder that is not there is reported.
    seam->files.push_back(std::nullopt);
    QTest::keyClicks(v->editor(), "x");
    QVERIFY(!v->save());
    QVERIFY(v->isModified());
    seam->files.push_back(FileDialogResult{dir->filePath("no/such/folder/x.txt"), 3});
    const qsizetype before = seam->messages.size();
    QVERIFY(!v->save());
    QCOMPARE(seam->messages.size(), before + 1);
    QVERIFY(seam->messages.last().text.endsWith("wurde nicht gespeichert: Pfad nicht gefunden"));
    QVERIFY(v->isModified());

    // A name without a dot is proposed whole.
    v->loadDocument(write("README", "x"), nullptr);
    seam->files.push_back(std::nullopt);
    v->save();
    QCOMPARE(seam->fileRequests.last().proposedName, QString("README"));
  }

  // Every kind of report, and rich text from a word processor: show, search,
  // format, save in both formats and print.
  void everyReportKindGoesThroughTheViewer_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("word");
    QTest::newRow("current-sum report") << "AntStrSu.txt" << kReport << "halbwellen";
    QByteArray spezi = "                        Lorvant \r\n" + QByteArray(115, '\x97') +
                       "\r\nMeter  \xD8Summe    50 MHz    28 MHz\r\n";
    for (int p = 0; p < 400; ++p)
      spezi += QByteArray::number(p / 100.0, 'f', 2).replace('.', ',').rightJustified(5) + "   0,12345   0,54321" +
               QByteArray(129 - 25, ' ') + "\r\n";
    QTest::newRow("special table") << "AntSpezi.txt" << spezi << "0,54321";
    QTest::newRow("feed-point check") << "SpeisePkt.txt"
                                      << QByteArray(
                                             "Speisepunkt bei  8,10 m\r\n\x97\x97\x97\r\n"
                                             " 14 MHz   0,88   Z =   182,3 \xA0Ohm\r\n\r\n")
                                      << "z =";
    QTest::newRow("additional dipole") << "ZusatzDipol.txt"
                                       << QByteArray(
                                              "Zusatzdipol f\xFCr 10,1 MHz\r\nL\xE4nge  14,12 m\r\n"
                                              "Abstand  0,35 m \xB1 5 %\r\n")
                                       << QString::fromUtf8("LÄNGE");
  }
  void everyReportKindGoesThroughTheViewer() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, word);
    frmRTF* v = shown(write(name, bytes));
    const QString original = text(v);
    QCOMPARE(original.size(), bytes.size() - bytes.count("\r\n"));

    seam->inputs = {word};
    v->search();
    QVERIFY(v->textCursor().hasSelection());
    QCOMPARE(v->textCursor().selectedText().toLower(), word.toLower());
    const int hit = v->textCursor().selectionStart();
    v->setBold();
    v->applyPreset(frmRTF::Preset::Listing);

    seam->files.push_back(FileDialogResult{dir->filePath("plain.txt"), 3});
    QVERIFY(v->save());
    QCOMPARE(readBack(dir->filePath("plain.txt")), bytes);
    seam->files.push_back(FileDialogResult{dir->filePath("rich.rtf"), 1});
    QVERIFY(v->save());
    QCOMPARE(seam->fileRequests.last().proposedName, QFileInfo(name).completeBaseName());

    const QString pdf = dir->filePath("report.pdf");
    seam->printer = [&](QPrinter& p, const PrintRequest&) -> std::optional<PrintChoice> {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(pdf);
      return PrintChoice{false};
    };
    v->print();
    QVERIFY(pdfPages(pdf) >= 1);

    seam->files.push_back(FileDialogResult{dir->filePath("rich.rtf"), 1});
    v->open();
    QCOMPARE(text(v), original);
    QVERIFY(formatAt(v, hit).fontWeight() == QFont::Bold);
    QCOMPARE(formatAt(v, 0).fontPointSize(), 8.0);
    QVERIFY(seam->messages.isEmpty());
  }

  // What the rich-text editor shows of each word-processor sample is all of
  // its text, as the word processor exports it.
  void everySampleIsShownWhole() {
    for (const char* name : {"writer-styles", "writer-report", "pandoc-guide", "wordpad-style"}) {
      frmRTF* v = shown(write(QString(name) + ".rtf", rtfSample((QString(name) + ".rtf").toLatin1().constData())));
      QVERIFY2(v->isRichText(), name);
      QCOMPARE(text(v).replace(QChar::LineSeparator, u'\n') + u'\n',
               QString::fromUtf8(rtfSample((QString(name) + ".txt").toLatin1().constData())));
    }
  }

  void richTextFromAWordProcessorGoesThroughTheViewer() {
    frmRTF* v = shown(write("letter.rtf", rtfSample("writer-report.rtf")));
    QVERIFY(v->isRichText());
    seam->inputs = {QString::fromUtf8("øsumme")};
    v->search();
    QCOMPARE(v->textCursor().selectedText(), QString::fromUtf8("ØSumme"));
    v->applyPreset(frmRTF::Preset::Standard);
    seam->files.push_back(FileDialogResult{dir->filePath("letter.txt"), 3});
    QVERIFY(v->save());
    // Plain text in Windows-1252 with CR LF: what a word processor exports.
    QString expected = QString::fromUtf8(rtfSample("writer-report.txt"));
    expected.replace("\n", "\r\n");
    QCOMPARE(readBack(dir->filePath("letter.txt")) + "\r\n", textcodec::toCp1252(expected));
    seam->files.push_back(FileDialogResult{dir->filePath("again.rtf"), 1});
    QVERIFY(v->save());
    const QString before = text(v);
    QVERIFY(showFile(dir->filePath("again.rtf"), nullptr));
    QCOMPARE(text(v), before);
    const QString pdf = dir->filePath("letter.pdf");
    seam->printer = [&](QPrinter& p, const PrintRequest&) -> std::optional<PrintChoice> {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(pdf);
      return PrintChoice{false};
    };
    v->print();
    QCOMPARE(pdfPages(pdf), 1);
    QVERIFY(seam->messages.isEmpty());
  }

  // Rich text looks as the word processor made it: serif text in a serif
  // font, sans text not in the viewer's fixed-pitch font, paragraphs aligned.
  void richTextShowsItsFontsAndAlignment() {
    frmRTF* v = shown(write("s.rtf", rtfSample("writer-styles.rtf")));
    auto shownIn = [v](const QString& word) {
      return QFontInfo(
          formatAt(v, static_cast<int>(text(v).indexOf(word))).font().resolve(v->document()->defaultFont()));
    };
    const QString serif = QFontInfo(QFont(QStringLiteral("serif"))).family();
    if (serif == QFontInfo(QFont(QStringLiteral("sans-serif"))).family()) QSKIP("no serif font installed");
    QCOMPARE(shownIn("Umlaute").family(), serif);
    QVERIFY(!shownIn("Arial 8").fixedPitch());
    QVERIFY(shownIn("Antenne").fixedPitch());  // Courier New

    v = shown(write("a.rtf", "{\\rtf1 \\pard\\qc Mitte\\par\\pard\\qr Rechts\\par\\pard Links\\par}"));
    QCoreApplication::processEvents();
    auto lineLeft = [v](int block) {
      const QTextLayout* layout = v->document()->findBlockByNumber(block).layout();
      return layout && layout->lineCount() > 0 ? layout->lineAt(0).naturalTextRect().left() : -1.0;
    };
    const double width = v->editor()->viewport()->width();
    QVERIFY2(lineLeft(0) > width / 4 && lineLeft(0) < width / 2, qPrintable(QString::number(lineLeft(0))));
    QVERIFY2(lineLeft(1) > width / 2, qPrintable(QString::number(lineLeft(1))));
    QVERIFY2(lineLeft(2) >= 0 && lineLeft(2) < 10, qPrintable(QString::number(lineLeft(2))));
  }

  // A file that reads as rich text but holds nothing to show is refused with
  // a message; the document on the screen stays.
  void richTextWithoutTextIsRefused() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    QString error;
    const QString empty = write("empty.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\unknown all the text}\\par }");
    QVERIFY(!showFile(empty, &error));
    QCOMPARE(error, "Die Datei \r\n" + QDir::toNativeSeparators(empty) + "\r\nenthält keinen lesbaren Text.");
    QCOMPARE(text(v), reportText());
    Module1::state().language = Language::English;
    seam->files.push_back(FileDialogResult{empty, 1});
    v->open();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].text.endsWith("\r\ncontains no readable text."));
    QCOMPARE(text(v), reportText());
  }

  // --- formatting -------------------------------------------------------------
  void toolbarSwitchesAttributesOn() {
    frmRTF* v = shown(write("t.txt", "one two three"));
    select(v, 4, 3);
    for (int i = 0; i < 2; ++i) {  // a second click keeps them on
      v->findChild<QAction*>("Bold")->trigger();
      v->findChild<QAction*>("Kursiv")->trigger();
      v->findChild<QAction*>("Underline")->trigger();
      const QTextCharFormat f = formatAt(v, 4);
      QVERIFY(f.fontWeight() == QFont::Bold && f.fontItalic() && f.fontUnderline());
    }
    QVERIFY(formatAt(v, 0).fontWeight() != QFont::Bold);
    QVERIFY(!formatAt(v, 8).fontItalic());
  }

  void fontDialogStartsFromTheSelection() {
    frmRTF* v = shown(write("s.rtf", rtfSample("writer-styles.rtf")));
    const int fett = static_cast<int>(text(v).indexOf("Fett"));
    select(v, fett, 4);
    v->chooseFont();  // cancelled: nothing changes
    QCOMPARE(seam->fontRequests.size(), 1);
    QVERIFY(seam->fontRequests[0].font.bold());
    QVERIFY(!seam->fontRequests[0].font.italic());
    QCOMPARE(seam->busyNow, 0);
    QVERIFY(formatAt(v, fett).fontWeight() == QFont::Bold);

    const int rot = static_cast<int>(text(v).indexOf("rot"));
    select(v, rot, 3);
    v->chooseFont();
    QCOMPARE(seam->fontRequests[1].color, QColor(255, 0, 0));
    const int under = static_cast<int>(text(v).indexOf("unterstrichen"));
    select(v, under, 4);
    v->chooseFont();
    QVERIFY(seam->fontRequests[2].font.underline());
    const int arial = static_cast<int>(text(v).indexOf("Arial 8"));
    select(v, arial, 5);
    v->chooseFont();
    QCOMPARE(seam->fontRequests[3].font.family(), QString("Arial"));
    QCOMPARE(seam->fontRequests[3].font.pointSizeF(), 8.0);
    const int strike = static_cast<int>(text(v).indexOf("durchgestrichen"));
    select(v, strike, 4);
    QFont chosen("DejaVu Sans", 11);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    seam->fonts.push_back(FontChoice{chosen, QColor(0, 0, 128)});
    v->chooseFont();
    QVERIFY(seam->fontRequests[4].font.strikeOut());
    const QTextCharFormat f = formatAt(v, strike);
    QCOMPARE(f.property(QTextFormat::FontFamilies).toStringList().value(0), QString("DejaVu Sans"));
    QCOMPARE(f.fontPointSize(), 11.0);
    QVERIFY(f.fontItalic() && f.fontUnderline() && !f.fontStrikeOut() && f.fontWeight() == QFont::Normal);
    QCOMPARE(f.foreground().color(), QColor(0, 0, 128));
    QVERIFY(formatAt(v, strike + 5).fontStrikeOut());  // outside the selection
  }

  // The platform's font dialog opens on the font the selection is shown in,
  // and OK without a change leaves the text as it was.
  void fontDialogOkWithoutChangeChangesNothing() {
    for (const Language language : kBothLanguages) {
      Module1::state().language = language;
      for (const char* file : {"AntStrSu.txt", "s.rtf"}) {
        frmRTF* v =
            shown(QString(file) == "s.rtf" ? write(file, rtfSample("writer-styles.rtf")) : write(file, kReport));
        const QString word = v->isRichText() ? QStringLiteral("rot") : QStringLiteral("Antenne");
        const int at = static_cast<int>(text(v).indexOf(word));
        select(v, at, static_cast<int>(word.size()));
        const QFont font = formatAt(v, at).font().resolve(v->document()->defaultFont());
        const QList<QTextFormat> before = fragmentFormats(v->document());

        QFont offered;
        DesktopDialogs dialogs(seam.get());
        dialogs.answers.push_back([&offered](QWidget* w) {
          auto* d = qobject_cast<QFontDialog*>(w);
          if (!d) return;
          offered = d->currentFont();
          d->accept();
        });
        dialogs.answers.push_back([](QWidget* w) {
          if (auto* d = qobject_cast<QColorDialog*>(w)) d->accept();
        });
        v->chooseFont();
        const QString where = QString("%1 %2").arg(language == Language::German ? "German" : "English", file);
        QCOMPARE(dialogs.seen, 2);
        QVERIFY2(!offered.italic(), qPrintable(where + ": " + offered.styleName()));
        QCOMPARE(offered.family(), QFontInfo(font).family());
        QCOMPARE(offered.pointSizeF(), font.pointSizeF());
        QVERIFY2(fragmentFormats(v->document()) == before, qPrintable(where));
      }
    }
  }

  void presetsSetTheWholeText() {
    frmRTF* v = shown(write("s.rtf", rtfSample("writer-styles.rtf")));
    auto everyFragment = [v](const QString& family, double size) {
      for (QTextBlock b = v->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
          const QTextCharFormat f = it.fragment().charFormat();
          if (f.property(QTextFormat::FontFamilies).toStringList().value(0) != family || f.fontPointSize() != size)
            return false;
        }
      return true;
    };
    const int fett = static_cast<int>(text(v).indexOf("Fett"));
    v->applyPreset(frmRTF::Preset::Listing);
    QCOMPARE(v->editor()->font().family(), fixedFamily());
    QCOMPARE(v->editor()->font().pointSizeF(), 8.0);
    QVERIFY(everyFragment(fixedFamily(), 8));
    QVERIFY(formatAt(v, fett).fontWeight() == QFont::Bold);  // attributes stay
    v->applyPreset(frmRTF::Preset::Text);
    QCOMPARE(v->editor()->font().family(), generalFamily());
    QVERIFY(everyFragment(generalFamily(), 8));

    const int rot = static_cast<int>(text(v).indexOf("rot"));
    const int blau = static_cast<int>(text(v).indexOf("blau"));
    select(v, rot, 3);
    v->applyPreset(frmRTF::Preset::Standard);
    QVERIFY(everyFragment(fixedFamily(), 10));
    QVERIFY(formatAt(v, rot).foreground().style() == Qt::NoBrush);
    QCOMPARE(formatAt(v, blau).foreground().color(), QColor(0, 0, 255));
    QVERIFY(formatAt(v, fett).fontWeight() == QFont::Bold);

    // A plain report takes the preset through the editor's font.
    v = shown(write("AntStrSu.txt", kReport));
    v->applyPreset(frmRTF::Preset::Listing);
    QCOMPARE(v->document()->defaultFont().pointSizeF(), 8.0);
    QVERIFY(QFontInfo(v->document()->defaultFont()).fixedPitch());
  }

  // --- geometry ---------------------------------------------------------------
  void widthFollowsTheReport() {
    const QByteArray shortLines = "\r\nshort\r\nline\r\n";
    frmRTF* v = shown(write("AntStrSu.txt", shortLines));
    QCOMPARE(v->reportWidthTwips(), 11670);
    QCOMPARE(v->width(), v->twipsToPixels(11670));

    v = shown(write("AntSpezi.txt", shortLines));  // 126 * 4 + 1500 is below the minimum
    QCOMPARE(v->reportWidthTwips(), 14430);
    QCOMPARE(v->width(), v->twipsToPixels(14430));

    v = shown(write("SpeisePkt.txt", shortLines));
    QCOMPARE(v->reportWidthTwips(), 12600);

    // The measured line is the one after the line holding the third character.
    const QByteArray row(129, 'x');
    v = shown(write("AntSpezi.txt", "a\r\n" + QByteArray(40, 'y') + "\r\n" + row + "\r\n"));
    QCOMPARE(v->reportWidthTwips(), 126 * 129 + 1500);
    v = shown(write("AntSpezi.txt", "ab\r\n" + QByteArray(130, 'y') + "\r\n" + row + "\r\n"));
    QCOMPARE(v->reportWidthTwips(), 126 * 130 + 1500);  // the third character is the line break
    v = shown(write("AntStrSu.txt", "\r\n" + QByteArray(100, 'z') + "\r\n" + QByteArray(120, 'w') + "\r\n"));
    QCOMPARE(v->reportWidthTwips(), 126 * 120);
    v = shown(write("AntStrSu.txt", "\r\n\r\n\r\n" + QByteArray(100, 'z') + "\r\n"));
    QCOMPARE(v->reportWidthTwips(), 126 * 100);
    v = shown(write("other.txt", "abcdef\r\n" + QByteArray(110, 'q')));
    QCOMPARE(v->reportWidthTwips(), 126 * 110);

    // A line of hundreds of characters is held to the screen.
    v = shown(write("wide.txt", "\r\n\r\n\r\n" + QByteArray(2000, 'w') + "\r\n"));
    QCOMPARE(v->reportWidthTwips(), 126 * 2000);
    QVERIFY(v->width() <= std::max(v->twipsToPixels(12600), v->screen()->availableGeometry().width()));
  }

  void resizeKeepsMinimumAndCentre() {
    frmRTF* v = shown(write("AntStrSu.txt", "x\r\n"));
    QCOMPARE(v->minimumSize(), QSize(v->twipsToPixels(7080), v->twipsToPixels(2510)));
    v->resize(10, 10);
    QVERIFY(v->width() >= v->twipsToPixels(7080) && v->height() >= v->twipsToPixels(2510));

    const QRect screen = v->screen()->geometry();
    v->move(screen.x() + 300, screen.y() + 40);
    v->resize(v->twipsToPixels(9000), 300);
    const int centred = std::max(1, qRound((screen.width() - v->frameGeometry().width()) / 2.0));
    QCOMPARE(v->x() - screen.x(), centred);
    v->move(screen.x() + 2, screen.y() + 40);  // left of the middle: stays
    v->resize(v->twipsToPixels(9100), 300);
    QCOMPARE(v->x() - screen.x(), 2);
  }

  // --- printing ---------------------------------------------------------------
  void printsTheDocumentOrTheSelection() {
    QByteArray longReport;
    for (int i = 0; i < 300; ++i) longReport += "Zeile " + QByteArray::number(i) + "\r\n";
    frmRTF* v = shown(write("AntStrSu.txt", longReport));
    const QString pdf = dir->filePath("out.pdf");
    seam->printer = [&](QPrinter& p, const PrintRequest& r) -> std::optional<PrintChoice> {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(pdf);
      return PrintChoice{r.hasSelection};
    };
    v->print();
    QCOMPARE(seam->printRequests.size(), 1);
    QVERIFY(!seam->printRequests[0].hasSelection);
    const int all = pdfPages(pdf);
    QVERIFY2(all >= 3, qPrintable(QString::number(all)));
    QCOMPARE(seam->busyNow, 0);
    QVERIFY(seam->messages.isEmpty());

    select(v, 0, 30);
    QFile::remove(pdf);
    v->print();
    QVERIFY(seam->printRequests[1].hasSelection);
    QCOMPARE(pdfPages(pdf), 1);

    // Cancel prints nothing.
    QFile::remove(pdf);
    seam->printer = nullptr;
    v->print();
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(seam->busyNow, 0);
  }

  // Like the printout of the inputs: without a printer the document goes
  // into a PDF file in the results folder, named after the document, and the
  // user is told which file.
  void printsToAPdfWithoutAPrinter() {
    Printout::defaultPrinter() = [] { return QString(); };
    QByteArray longReport;
    for (int i = 0; i < 300; ++i) longReport += "Zeile " + QByteArray::number(i) + "\r\n";
    frmRTF* v = shown(write("AntStrSu.txt", longReport));
    select(v, 0, 30);
    v->print();
    const QString pdf = dir->filePath("AntStrSu.pdf");
    QVERIFY(seam->printRequests.isEmpty());                                    // no dialog that could only offer a file
    QVERIFY2(pdfPages(pdf) >= 3, qPrintable(QString::number(pdfPages(pdf))));  // the whole document
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].icon, Icon::Information);
    QCOMPARE(seam->messages[0].text, "Es ist kein Drucker eingerichtet. Der Ausdruck liegt als PDF-Datei vor:\r\n" +
                                         QDir::toNativeSeparators(pdf));
    QCOMPARE(seam->busyNow, 0);

    // A results folder that cannot take the file: the failure names it.
    Module1::state().language = Language::English;
    Module1::state().resultsFolder = dir->filePath("gone") + '/';
    seam->messages.clear();
    seam->answers = {Answer::Abort};
    v->print();
    QCOMPARE(seam->messages.size(), 1);
    QCOMPARE(seam->messages[0].title, QString("Printer-Error?"));
    QVERIFY(seam->messages[0].text.contains(QDir::toNativeSeparators(dir->filePath("gone/AntStrSu.pdf"))));
  }

  void printFailureOffersAbortRetryIgnore() {
    frmRTF* v = shown(write("AntStrSu.txt", kReport));
    seam->printer = [&](QPrinter& p, const PrintRequest&) -> std::optional<PrintChoice> {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(dir->filePath("no/such/folder/out.pdf"));
      return PrintChoice{false};
    };
    seam->answers = {Answer::Retry, Answer::Abort};
    v->print();
    QCOMPARE(seam->messages.size(), 2);  // the failed step was repeated once
    for (const MessageRequest& m : seam->messages) {
      QCOMPARE(m.title, QString("Drucker-Fehler?"));
      QCOMPARE(m.buttons, Buttons::AbortRetryIgnore);
      QCOMPARE(m.icon, Icon::Exclamation);
      QVERIFY(m.text.endsWith("\r\nWiederholen ? "));
    }
    QCOMPARE(seam->busyNow, 0);

    // Ignore goes on with the next step; nothing is left half done.
    Module1::state().language = Language::English;
    seam->messages.clear();
    seam->answers = {Answer::Ignore, Answer::Ignore, Answer::Ignore};
    v->print();
    QVERIFY(!seam->messages.isEmpty());
    QCOMPARE(seam->messages[0].title, QString("Printer-Error?"));
    QVERIFY(seam->messages[0].text.endsWith("\r\nRepeat ? "));
    QCOMPARE(seam->busyNow, 0);
  }

  // The platform's message box shows the short help in its lines as written,
  // none of them broken again.
  void shortHelpKeepsItsLines() {
    for (const Language language : {Language::English, Language::German}) {
      Module1::state().language = language;
      int lines = 0;
      int shownLines = 0;
      DesktopDialogs dialogs(seam.get());
      dialogs.answers.push_back([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        const QLabel* label = box ? box->findChild<QLabel*>("qt_msgbox_label") : nullptr;
        if (!label) return;
        lines = static_cast<int>(label->text().split(QRegularExpression("\r\n|\n")).size());
        const QFontMetrics fm(label->font());
        shownLines = qRound((label->heightForWidth(label->contentsRect().width()) - 2 * label->margin()) /
                            static_cast<double>(fm.lineSpacing()));
        QVERIFY(box->frameGeometry().width() <= box->screen()->availableGeometry().width());
        box->accept();
      });
      frmRTF::instance()->showHelp();
      QCOMPARE(dialogs.seen, 1);
      QCOMPARE(lines, language == Language::English ? 6 : 8);
      QCOMPARE(shownLines, lines);
    }
  }

  // --- help and info ------------------------------------------------------------
  void shortHelpAndInfo() {
    frmRTF* v = frmRTF::instance();
    v->showHelp();
    QCOMPARE(seam->messages[0].title, QString(" Kurzhilfe"));
    const QStringList de = seam->messages[0].text.split("\r\n");
    QCOMPARE(de.size(), 8);
    QCOMPARE(de[0], QString("Mit den Tasten Pos 1, Ende,Bild hoch, Bild runter, den Cursor-Tasten   "));
    QCOMPARE(de[2], QString());
    QCOMPARE(de[7], QString::fromUtf8("Letzteres ist alles im Menü 'Datei' zu finden."));
    Module1::state().language = Language::English;
    v->showHelp();
    QCOMPARE(seam->messages[1].title, QString(" Quick help"));
    const QStringList en = seam->messages[1].text.split("\r\n");
    QCOMPARE(en.size(), 6);
    QCOMPARE(en[5], QString("The latter can all be found in the 'File' menu."));
    QCOMPARE(seam->messages[1].icon, Icon::Information);

    v->showInfo();
    QVERIFY(seam->messages[2].text.contains(QStringLiteral("Version ") + kVersionText + ' '));
    int called = 0;
    frmRTF::setInfoHandler([&](QWidget* parent) {
      QCOMPARE(parent, static_cast<QWidget*>(v));
      ++called;
    });
    v->findChild<QAction*>("mnuInfo")->trigger();
    QCOMPARE(called, 1);
    frmRTF::setInfoHandler(nullptr);
  }
};

QTEST_MAIN(ViewerTest)
#include "test_frmRTF.moc"
