// Help, Info and printing of the inputs: the manual found beside the
// program and handed to the desktop's PDF program as one argument, the
// messages for a missing file or program, the status text around the Info
// box, and the printout with its footer appended once.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/HelpInfo.h"
#include "engine/version.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "shell/ui/Forms.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/main/frmHauptform.h"

using namespace lorvant;

namespace {

struct StartCall {
  QString program;
  QStringList arguments;
};

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// Records what the Info box saw in the status bar while it was open.
class StatusSeam : public test::ScriptedSeam {
 public:
  QString statusDuringBox;
  Answer message(QWidget* parent, const MessageRequest& r) override {
    statusDuringBox = Forms::status();
    return ScriptedSeam::message(parent, r);
  }
};

}  // namespace

class HelpInfoTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QList<StartCall> starts_;

  // A program folder with a space in its name, holding the manuals.
  QString programDir() const { return dir_.filePath("Lorvant Programm"); }

 private slots:
  void init() {
    Module1::resetState();
    Module1::setDecimalSeparator(',');
    HelpInfo::resetPlatform();
    starts_.clear();
    QDir().mkpath(programDir());
    HelpInfo::platform().programDir = [this] { return programDir(); };
    HelpInfo::platform().start = [this](const QString& p, const QStringList& a) {
      starts_.append({p, a});
      return true;
    };
  }
  void cleanup() { HelpInfo::resetPlatform(); }

  void helpPathFollowsTheLanguage() {
    QCOMPARE(HelpInfo::helpPath(), QDir(programDir()).filePath("Lorvant.pdf"));
    Module1::state().language = Language::English;
    QVERIFY(HelpInfo::helpPath().endsWith("/Lorvant_en.pdf"));
  }

  void installedProgramFindsTheManualsWithItsDocumentation() {
    // bin/lorvant with share/doc/lorvant beside bin, as the package lays it out.
    const QString bin = dir_.filePath("usr/bin");
    const QString docs = QDir::cleanPath(bin + "/" + LORVANT_DOCDIR_FROM_BINDIR);
    QVERIFY(!docs.startsWith(bin));
    QDir().mkpath(bin);
    QDir().mkpath(docs);
    writeFile(docs + "/copyright", "Format: ...\n");
    HelpInfo::platform().programDir = [&] { return bin; };
    HelpInfo::platform().findProgram = [](const QString&) {
      return HelpInfo::Launcher{QCoreApplication::applicationFilePath(), {HelpInfo::kFilePlaceholder}};
    };
    writeFile(docs + "/Lorvant.pdf", "%PDF-1.4\n");
    {
      test::ScriptedSeam seam;
      HelpInfo::mnuHilfe(nullptr);
      QCOMPARE(seam.messages.size(), 0);
      QCOMPARE(starts_.size(), 1);
      QCOMPARE(starts_[0].arguments, QStringList{docs + "/Lorvant.pdf"});
    }
    // Documentation left out by the system: the message names the folder
    // where the manual belongs, not the program's folder.
    Module1::state().language = Language::English;
    test::ScriptedSeam seam;
    HelpInfo::mnuHilfe(nullptr);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages[0].text.contains(docs + "/Lorvant_en.pdf  "));
    QCOMPARE(starts_.size(), 1);
  }

  void missingManualNamesItsFullPath() {
    test::ScriptedSeam seam;
    Module1::state().language = Language::English;
    HelpInfo::mnuHilfe(nullptr);
    QCOMPARE(seam.messages.size(), 1);
    const MessageRequest& m = seam.messages.first();
    QCOMPARE(m.title, QString(" File not found"));
    QCOMPARE(m.icon, Icon::Critical);
    const QString path = QDir(programDir()).filePath("Lorvant_en.pdf");
    QCOMPARE(m.text, "The file \r\n" + path + "  \r\nis not available!\r\nPlease search for the file yourself.");
    QVERIFY(starts_.isEmpty());
  }

  void manualGoesToThePdfProgramAsOneArgument() {
    test::ScriptedSeam seam;
    const QString path = QDir(programDir()).filePath("Lorvant.pdf");
    writeFile(path, "%PDF-1.4\n");
    const QString viewer = QCoreApplication::applicationFilePath();  // any executable file
    HelpInfo::platform().findProgram = [&](const QString& file) {
      [&] { QCOMPARE(file, path); }();
      return HelpInfo::Launcher{viewer, {"--new-window", HelpInfo::kFilePlaceholder}};
    };
    HelpInfo::mnuHilfe(nullptr);
    QCOMPARE(seam.messages.size(), 0);
    QCOMPARE(starts_.size(), 1);
    QCOMPARE(starts_[0].program, viewer);
    QCOMPARE(starts_[0].arguments, QStringList({"--new-window", path}));
    QVERIFY(path.contains(' '));
  }

  void noPdfProgramTellsWhereTheManualIs() {
    const QString path = QDir(programDir()).filePath("Lorvant.pdf");
    writeFile(path, "%PDF-1.4\n");
    const QString expected =
        "Ein Programm für PDF-Dateien wurde nicht gefunden!\r\nHilfe finden Sie in der Datei \r\n" + path + "\r\n";
    // No registered program; a registered program whose file is gone; the
    // file itself named as its own program; a program that fails to start.
    const QList<HelpInfo::Launcher> cases = {
        {},
        {dir_.filePath("gone/viewer"), {HelpInfo::kFilePlaceholder}},
        {path, {HelpInfo::kFilePlaceholder}},
        {QCoreApplication::applicationFilePath(), {HelpInfo::kFilePlaceholder}},
    };
    for (int i = 0; i < cases.size(); ++i) {
      test::ScriptedSeam seam;
      HelpInfo::platform().findProgram = [&](const QString&) { return cases[i]; };
      if (i == 3) HelpInfo::platform().start = [](const QString&, const QStringList&) { return false; };
      HelpInfo::mnuHilfe(nullptr);
      QCOMPARE(seam.messages.size(), 1);
      QCOMPARE(seam.messages[0].title, QString(" Hilfe"));
      QCOMPARE(seam.messages[0].icon, Icon::Critical);
      QCOMPARE(seam.messages[0].text, expected);
    }
    QVERIFY(starts_.isEmpty());
  }

  void builtManualsOpenInTheirLanguage() {
    // The manuals of this build, beside the program: F1 finds each one.
    HelpInfo::platform().programDir = [] { return QStringLiteral(LORVANT_PROGRAM_DIR); };
    HelpInfo::platform().findProgram = [](const QString&) {
      return HelpInfo::Launcher{QCoreApplication::applicationFilePath(), {HelpInfo::kFilePlaceholder}};
    };
    for (const Language language : kBothLanguages) {
      test::ScriptedSeam seam;
      Module1::state().language = language;
      HelpInfo::mnuHilfe(nullptr);
      QCOMPARE(seam.messages.size(), 0);
    }
    QCOMPARE(starts_.size(), 2);
    QVERIFY(starts_[0].arguments.first().endsWith("/Lorvant.pdf"));
    QVERIFY(starts_[1].arguments.first().endsWith("/Lorvant_en.pdf"));
    for (const StartCall& call : starts_) {
      QFile pdf(call.arguments.first());
      QVERIFY(pdf.open(QIODevice::ReadOnly));
      const QByteArray bytes = pdf.readAll();
      QVERIFY(bytes.startsWith("%PDF-"));
      // A real manual, not a stub: the page tree counts many pages.
      const QRegularExpressionMatch count = QRegularExpression("/Count (\\d+)").match(QString::fromLatin1(bytes));
      QVERIFY(count.hasMatch());
      QVERIFY2(count.captured(1).toInt() >= 15, qPrintable(call.arguments.first()));
    }
  }

  void desktopEntryExecLines() {
    using HelpInfo::launcherFromExec;
    const QString self = QCoreApplication::applicationFilePath();
    HelpInfo::Launcher l = launcherFromExec('"' + self + "\" --page 1 %U");
    QCOMPARE(l.program, self);
    QCOMPARE(l.arguments, QStringList({"--page", "1", HelpInfo::kFilePlaceholder}));
    // Icon and name codes are dropped, %% is a percent sign, and without a
    // file code the file is appended.
    l = launcherFromExec(self + " %i %c --zoom=100%% \"two words\"");
    QCOMPARE(l.arguments, QStringList({"--zoom=100%", "two words", HelpInfo::kFilePlaceholder}));
    // Only the first file code takes the file.
    l = launcherFromExec(self + " %f %F");
    QCOMPARE(l.arguments, QStringList({HelpInfo::kFilePlaceholder}));
    QVERIFY(launcherFromExec("").program.isEmpty());
    QVERIFY(launcherFromExec("no-such-program-anywhere %f").program.isEmpty());
  }

  void desktopDefaultFromMimeappsList() {
    // A private desktop: the default PDF application and its entry.
    const QString config = dir_.filePath("config");
    const QString data = dir_.filePath("data");
    QDir().mkpath(config);
    QDir().mkpath(data + "/applications");
    const QString viewer = QCoreApplication::applicationFilePath();
    writeFile(config + "/mimeapps.list",
              "[Added Associations]\napplication/pdf=other.desktop;\n"
              "[Default Applications]\ntext/plain=vim.desktop\napplication/pdf=test-viewer.desktop;other.desktop;\n");
    writeFile(data + "/applications/test-viewer.desktop", "[Desktop Entry]\nName=Viewer\nExec=\"" + viewer.toUtf8() +
                                                              "\" --fullscreen %f\n[Desktop Action New]\nExec=wrong\n");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("XDG_CONFIG_DIRS", config.toUtf8());
    qputenv("XDG_DATA_HOME", data.toUtf8());
    qputenv("XDG_DATA_DIRS", (data + ":/usr/local/share:/usr/share").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    const HelpInfo::Launcher l = HelpInfo::desktopProgramFor(dir_.filePath("x/Lorvant.pdf"));
    QCOMPARE(l.program, viewer);
    QCOMPARE(l.arguments, QStringList({"--fullscreen", HelpInfo::kFilePlaceholder}));
    // No default for the type: nothing found.
    writeFile(config + "/mimeapps.list", "[Default Applications]\ntext/plain=vim.desktop\n");
    QVERIFY(HelpInfo::desktopProgramFor(dir_.filePath("x/Lorvant.pdf")).program.isEmpty());
  }

  void infoBoxRestoresTheStatusText() {
    StatusSeam seam;
    Forms::setStatus("Status: Berechnung einer Stromsummenantenne");
    HelpInfo::mnuInfo(nullptr);
    QCOMPARE(seam.statusDuringBox, QString(" Info "));
    QCOMPARE(Forms::status(), QString("Status: Berechnung einer Stromsummenantenne"));
    QCOMPARE(seam.messages.size(), 1);
    const MessageRequest& m = seam.messages[0];
    QCOMPARE(m.title, QString(" Info "));
    QCOMPARE(m.icon, Icon::Information);
    QVERIFY(m.text.startsWith("\r\nLorvant"));
    QVERIFY(m.text.contains(QStringLiteral("  \r\n\r\nVersion ") + kVersionText + ' ' +
                            QString::fromUtf8(kLegalNotice) + "\r\n\r\n"));
    QVERIFY(m.text.endsWith("\r\n"));
  }

  void printingAppendsTheFooterOnceAndFallsBackToPdf() {
    test::ScriptedSeam seam;
    const QString results = dir_.filePath("results") + "/";
    QDir().mkpath(results);
    Module1::state().resultsFolder = results;
    Printout::defaultPrinter() = [] { return QString(); };
    frmHauptform* form = frmHauptform::instance();
    form->show();
    form->Info->setText("Hinweis: ");
    HelpInfo::mnuDatDruck(nullptr);
    HelpInfo::mnuDatDruck(nullptr);
    const QString footer = "Berechnung einer Stromsummenantenne " + QString::fromUtf8(kLegalNotice) + " am ";
    QCOMPARE(form->Info->text().count(footer), 1);
    QVERIFY(form->Info->text().startsWith("Hinweis: " + footer + Module1::shortDate() + " "));
    // The commands are back after printing.
    QVERIFY(form->Check11->isVisible());
    QVERIFY(form->Command1->isVisible());
    QVERIFY(form->Command2->isVisibleTo(form));
    // Without a printer the printout is a PDF in the results folder, and the
    // user is told where.
    QFile pdf(results + "Eingaben.pdf");
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QCOMPARE(seam.messages.size(), 2);
    QVERIFY(seam.messages[0].text.endsWith(results + "Eingaben.pdf"));
    QCOMPARE(seam.messages[0].icon, Icon::Information);
  }

  void aPrintoutThatCannotBeWrittenIsReported() {
    test::ScriptedSeam seam;
    Module1::state().resultsFolder = dir_.filePath("no/such/folder") + "/";
    Printout::defaultPrinter() = [] { return QString(); };
    frmHauptform::instance()->show();
    HelpInfo::mnuDatDruck(nullptr);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages[0].icon, Icon::Exclamation);
    QVERIFY(seam.messages[0].text.startsWith("Die Eingaben konnten nicht gedruckt werden."));
  }
};

QTEST_MAIN(HelpInfoTest)
#include "test_helpinfo.moc"
