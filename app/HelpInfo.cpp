#include "app/HelpInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <optional>

#include "engine/version.h"
#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"
#include "windows/main/MainForm.h"

namespace lorvant::HelpInfo {
namespace {

Platform defaults() {
  Platform p;
  p.findProgram = desktopProgramFor;
  p.start = [](const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
  };
  p.programDir = [] { return QCoreApplication::applicationDirPath(); };
  return p;
}

Platform& storage() {
  static Platform p = defaults();
  return p;
}

QString lb() { return Module1::state().lineBreak; }

// Splits an Exec value into words by the desktop-entry quoting rules.
QStringList execWords(const QString& exec) {
  QStringList words;
  QString word;
  bool inWord = false;
  bool quoted = false;
  for (int i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size()) {
        word += exec[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = true;
      inWord = true;
    } else if (c.isSpace()) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words << word;
  return words;
}

// The desktop entry's file for an id such as "org.gnome.Evince.desktop" or
// "kde4-okular.desktop" (which may live in a kde4/ subfolder).
QString locateDesktopEntry(const QString& id) {
  QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  if (path.isEmpty() && id.contains('-')) {
    QString nested = id;
    nested.replace(nested.indexOf('-'), 1, '/');
    path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, nested);
  }
  return path;
}

// The values of every "key=" line in one section ("[Desktop Entry]") of a
// desktop or mimeapps file, in their order; none when it cannot be read.
QStringList valuesIn(const QString& path, QLatin1String section, const QString& key) {
  QStringList values;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return values;
  QTextStream in(&file);
  bool inSection = false;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.startsWith('[')) {
      inSection = line == section;
      continue;
    }
    if (inSection && line.startsWith(key + '=')) values << line.mid(key.size() + 1);
  }
  return values;
}

QString execOf(const QString& desktopFile) {
  return valuesIn(desktopFile, QLatin1String("[Desktop Entry]"), QStringLiteral("Exec")).value(0);
}

// The default application for a type from the mimeapps.list files, for
// desktops without xdg-mime.
QString defaultFromMimeApps(const QString& mime) {
  QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
  dirs += QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
  for (const QString& dir : dirs) {
    const QString list = QDir(dir).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& apps : valuesIn(list, QLatin1String("[Default Applications]"), mime)) {
      const QString first = apps.split(';', Qt::SkipEmptyParts).value(0).trimmed();
      if (!first.isEmpty()) return first;
    }
  }
  return QString();
}

}  // namespace

Platform& platform() { return storage(); }

void resetPlatform() {
  storage() = defaults();
  Printout::resetDefaultPrinter();
}

Launcher launcherFromExec(const QString& exec) {
  Launcher l;
  const QStringList words = execWords(exec);
  if (words.isEmpty()) return l;
  bool placed = false;
  for (int i = 1; i < words.size(); ++i) {
    const QString& w = words[i];
    if (w == QLatin1String("%f") || w == QLatin1String("%F") || w == QLatin1String("%u") || w == QLatin1String("%U")) {
      if (!placed) l.arguments << QString::fromLatin1(kFilePlaceholder);
      placed = true;
    } else if (w.size() == 2 && w[0] == '%' && w[1] != '%') {
      continue;  // icon, name, location and the deprecated codes
    } else {
      QString plain = w;
      plain.replace(QLatin1String("%%"), QLatin1String("%"));
      l.arguments << plain;
    }
  }
  if (!placed) l.arguments << QString::fromLatin1(kFilePlaceholder);
  const QString program = words.first();
  l.program = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
  return l;
}

Launcher desktopProgramFor(const QString& file) {
  QString mime = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
  // Without a type database the manual is still known to be a PDF file.
  if ((mime.isEmpty() || mime == QLatin1String("application/octet-stream")) &&
      QFileInfo(file).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
    mime = QStringLiteral("application/pdf");
  QString id;
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime});
  if (query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0)
    id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
  if (id.isEmpty()) id = defaultFromMimeApps(mime);
  if (id.isEmpty()) return {};
  const QString entry = locateDesktopEntry(id);
  if (entry.isEmpty()) return {};
  return launcherFromExec(execOf(entry));
}

QString helpPath() {
  const QString name = say(Text::HelpManualFile);
  const QDir program(platform().programDir());
  const QString beside = program.filePath(name);
  if (QFileInfo::exists(beside)) return beside;
  // An installed program keeps its manuals with the rest of its
  // documentation. When they are missing there (some systems leave
  // documentation out), the message names that folder, not the program's.
  const QString docs = QDir::cleanPath(program.filePath(QStringLiteral(LORVANT_DOCDIR_FROM_BINDIR)));
  if (QFileInfo(docs).isDir()) return QDir(docs).filePath(name);
  return beside;
}

void mnuHilfe(QWidget* parent) {
  const QString path = helpPath();
  if (!Module1::fileExists(path, parent)) return;
  Launcher launcher = platform().findProgram(path);
  if (launcher.program == path) launcher.program.clear();
  const QFileInfo program(launcher.program);
  if (!launcher.program.isEmpty() && program.isFile() && program.isExecutable()) {
    QStringList arguments = launcher.arguments;
    for (QString& a : arguments)
      if (a == QLatin1String(kFilePlaceholder)) a = path;  // one argument, spaces and all
    const bool started = platform().start(launcher.program, arguments);
    seam().processEvents();
    if (started) return;
  }
  // No program, or one that could not be started: say where the manual is.
  showMessage(parent, say(Text::HelpNoPdfProgram) + lb() + say(Text::HelpFoundInFile) + lb() + path + lb(),
              say(Text::HelpTitle), Icon::Critical);
}

QString infoText() {
  const QString version = QStringLiteral("Version ") + QLatin1String(kVersionText) + ' ';
  const QString title = say(Text::HelpInfoTitle);
  const QString usage = say(Text::HelpInfoOwnRisk) + lb() + say(Text::HelpInfoMeasure) + lb() +
                        say(Text::HelpInfoLicence) + lb() + say(Text::HelpInfoNoWarranty);
  const QString updates = say(Text::HelpInfoUpdates);
  return lb() + title + "  " + lb() + lb() + version + QString::fromUtf8(kLegalNotice) + lb() + lb() + usage + lb() +
         lb() + updates + lb();
}

void mnuInfo(QWidget* parent) {
  const QString before = Forms::status();
  Forms::setStatus(QStringLiteral(" Info "));
  MessageRequest box{infoText(), QStringLiteral(" Info "), Icon::Information};
  seam().message(parent, box);
  Forms::setStatus(before);
}

void mnuDatDruck(QWidget* parent) {
  const auto footer = [] { return say(Text::HelpPrintFooter) + QString::fromUtf8(kLegalNotice); };
  if (!mainForm::note().contains(footer()))
    mainForm::addNote(
        [footer, date = Module1::shortDate()] { return footer() + say(Text::HelpPrintFooterDate) + date + " "; },
        false);

  const QPixmap image = mainForm::printImage();
  QPrinter printer(QPrinter::HighResolution);
  const QString pdfPath = Printout::toPrinterOrPdf(printer, say(Text::HelpPrintPdfName));
  // The PDF file is written under a temporary name and renamed when complete.
  std::optional<files::StagedPath> staged;
  QString cause;
  if (!pdfPath.isEmpty()) {
    try {
      staged.emplace(Module1::nativePath(pdfPath));
      printer.setOutputFileName(Module1::fromNativePath(staged->path()));
    } catch (const files::FileError& e) {
      cause = QString::fromStdString(files::FileErrorCause(Module1::language(), e.error()));
    }
  }
  printer.setDocName(footer());
  bool printed = false;
  QPainter painter;
  if (!image.isNull() && (pdfPath.isEmpty() || staged) && painter.begin(&printer)) {
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF target = QSizeF(image.size()).scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRectF(QPointF(0, 0), target), image, QRectF(image.rect()));
    printed = painter.end();
  }
  if (printed && staged) {
    try {
      staged->commit();
    } catch (const files::FileError& e) {
      printed = false;
      cause = QString::fromStdString(files::FileErrorCause(Module1::language(), e.error()));
    }
  }
  staged.reset();
  seam().processEvents();

  if (!printed) {
    showMessage(parent,
                say(Text::HelpPrintFailed) + (pdfPath.isEmpty() ? QString() : lb() + pdfPath) +
                    (cause.isEmpty() ? QString() : lb() + cause),
                say(Text::WindowPrintingTitle), Icon::Exclamation);
  } else if (!pdfPath.isEmpty()) {
    Printout::tellPdf(parent, pdfPath);
  }
}

}  // namespace lorvant::HelpInfo
