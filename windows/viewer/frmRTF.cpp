#include "windows/viewer/frmRTF.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextFragment>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "engine/version.h"
#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"
#include "windows/viewer/rtf/Rtf.h"
#include "windows/viewer/rtf/TextCodec.h"

namespace lorvant {
namespace {

QPointer<frmRTF> theViewer;

std::function<void(QWidget*)>& infoHandler() {
  static std::function<void(QWidget*)> handler;
  return handler;
}

// The reports are plain text: they and rich text come first, then each
// kind alone. Positions 2 and 3 say how a file is read and written.
QString fileFilter() {
  return say(Text::WindowViewerReportsFilter) +
         QStringLiteral("|*.txt *.rtf|Rich Text File (*.Rtf)|*.rtf|Text File (*.Txt)|*.txt|All Files (*.*)|*.*");
}
constexpr int kFilterReports = 1;
constexpr int kFilterRich = 2;
constexpr int kFilterPlain = 3;

// Layout constants in twips.
constexpr int kStartWidth = 11670;
constexpr int kMinWidth = 7080;
constexpr int kMinHeight = 2510;
constexpr int kTwipsPerChar = 126;
constexpr int kStrSuMinimum = 11670;
constexpr int kSpeziExtra = 1500;
constexpr int kSpeziMinimum = 14430;
// Other reports and files: room for a hundred columns.
constexpr int kOtherMinimum = 12600;

// Bigger files are no reports; reading them would only exhaust the memory.
constexpr qint64 kMaxFileBytes = 128 * 1024 * 1024;

// A plain text is shown once this much is in (some hundred lines of a
// report, more than any screen shows); the rest follows in pieces small
// enough to keep the window answering between them.
constexpr qsizetype kFirstPieceBytes = 64 * 1024;
constexpr qsizetype kPieceBytes = 1024 * 1024;

// A special table of a long wire takes tens of megabytes in the editor.
// glibc raises its threshold for mapping a block each time a mapped block is
// freed: after the first big report, the next one's text grows inside the
// heap, where growing copies it while the old copy stays, and where it is
// not given back when the report is closed. A fixed threshold keeps big
// blocks mapped.
void keepBigBlocksMapped() {
#if defined(__GLIBC__)
  static const int done = mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  Q_UNUSED(done);
#endif
}

QString lineBreak() { return Module1::state().lineBreak; }

// The document's text with paragraph and line separators as '\n'; its
// positions are the document's positions.
QString documentText(const QTextDocument* doc) {
  QString t = doc->toRawText();
  for (QChar& c : t)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
  return t;
}

QString fileNamePart(const QString& path) { return QFileInfo(path).fileName(); }

bool isPdf(const QString& path) {
  if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) return true;
  QFile f(path);
  return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}

}  // namespace

// A family that is installed: "Courier New" and "Arial" stand for the
// system's fixed-pitch and general fonts where they are missing.
QString installedFamily(const QString& family) {
  if (QFontDatabase::hasFamily(family)) return family;
  const bool fixed = family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0 ||
                     family.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0;
  if (fixed) {
    // Font configuration often maps a missing "Courier New" onto a metric
    // twin; take what it resolves to when that is fixed-pitch, else the
    // first fixed-pitch family there is, so report columns stay aligned.
    QFont wanted(family);
    wanted.setStyleHint(QFont::TypeWriter);
    const QFontInfo resolved(wanted);
    if (resolved.fixedPitch()) return resolved.family();
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(system).fixedPitch()) return QFontInfo(system).family();
    const QStringList families = QFontDatabase::families();
    for (const QString& candidate : families)
      if (QFontDatabase::isFixedPitch(candidate) && QFontInfo(QFont(candidate)).fixedPitch()) return candidate;
    return system.family();
  }
  if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  return family;
}

// --- creation ---------------------------------------------------------------

frmRTF* frmRTF::instance() {
  if (!theViewer) {
    // A window of its own beside the main window.
    theViewer = new frmRTF();
    if (QCoreApplication* app = QCoreApplication::instance())
      QObject::connect(app, &QCoreApplication::aboutToQuit, theViewer.data(), [] {
        if (frmRTF* v = theViewer) {
          v->unloading_ = true;
          delete v;
        }
      });
  }
  return theViewer;
}

frmRTF* frmRTF::loaded() { return theViewer; }

void frmRTF::unload() {
  frmRTF* v = theViewer;
  if (!v) return;
  if (v->isVisible()) v->offerSave();
  v->unloading_ = true;
  v->close();
  delete v;
}

void frmRTF::setInfoHandler(std::function<void(QWidget*)> handler) { infoHandler() = std::move(handler); }

frmRTF::frmRTF(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmRTF"));
  keepBigBlocksMapped();
  // The program ends with its main window, whether the viewer is open or not.
  setAttribute(Qt::WA_QuitOnClose, false);

  // Reports go into a plain-text editor, which copes with a special table
  // of a hundred thousand lines; rich text into one that lays out alignment.
  plainEditor_ = new QPlainTextEdit(this);
  plainEditor_->setObjectName(QStringLiteral("RichTextBox1"));
  plainEditor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  richEditor_ = new QTextEdit(this);
  richEditor_->setObjectName(QStringLiteral("RichTextBox1Rich"));
  richEditor_->setLineWrapMode(QTextEdit::WidgetWidth);
  QFont font(installedFamily(QStringLiteral("Courier New")), 10);
  font.setStyleHint(QFont::TypeWriter);
  for (QAbstractScrollArea* e :
       {static_cast<QAbstractScrollArea*>(plainEditor_), static_cast<QAbstractScrollArea*>(richEditor_)}) {
    e->installEventFilter(this);
    e->viewport()->installEventFilter(this);
    e->setFont(font);
  }
  editors_ = new QStackedWidget(this);
  editors_->addWidget(plainEditor_);
  editors_->addWidget(richEditor_);
  setCentralWidget(editors_);
  loadTimer_ = new QTimer(this);
  loadTimer_->setInterval(0);
  connect(loadTimer_, &QTimer::timeout, this, [this] { loadNextPiece(); });

  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  panel1_ = new QLabel(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(panel1_, 1);

  buildMenus();
  buildToolbars();
  applyCaptions();
  setMinimumSize(twipsToPixels(kMinWidth), twipsToPixels(kMinHeight));
  placeOnScreen();
}

frmRTF::~frmRTF() = default;

void frmRTF::buildMenus() {
  auto action = [this](QMenu* menu, const char* name, auto slot, const QKeySequence& key = {}) {
    QAction* a = menu ? menu->addAction(QString()) : menuBar()->addAction(QString());
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };

  mnuFile_ = menuBar()->addMenu(QString());
  mnuFile_->setObjectName(QStringLiteral("mnuFile"));
  mnuOpen_ = action(
      mnuFile_, "mnuOpen", [this] { open(); }, QKeySequence::Open);
  mnuSave_ = action(
      mnuFile_, "mnuSave", [this] { save(); }, QKeySequence::Save);
  mnuFile_->addSeparator();
  mnuSuchen_ = action(
      mnuFile_, "mnuSuchen", [this] { search(); }, QKeySequence::Find);
  mnuSuchWeiter_ = action(
      mnuFile_, "mnuSuchWeiter", [this] { findNext(); }, QKeySequence(Qt::Key_F3));
  mnuFile_->addSeparator();
  mnuPrint_ = action(
      mnuFile_, "mnuPrint", [this] { print(); }, QKeySequence::Print);
  mnuFile_->addSeparator();
  mnuExit_ = action(mnuFile_, "mnuExit", [this] { close(); });

  mnuFont_ = action(nullptr, "mnuFont", [this] { chooseFont(); });
  mnuVorlage_ = menuBar()->addMenu(QString());
  mnuVorlage_->setObjectName(QStringLiteral("mnuVorlage"));
  mnuListing_ = action(mnuVorlage_, "mnuListing", [this] { applyPreset(Preset::Listing); });
  mnuStandard_ = action(mnuVorlage_, "mnuStandard", [this] { applyPreset(Preset::Standard); });
  mnuText_ = action(mnuVorlage_, "mnuText", [this] { applyPreset(Preset::Text); });
  mnuHilfe_ = action(
      nullptr, "mnuHilfe", [this] { showHelp(); }, QKeySequence(Qt::Key_F1));
  mnuInfo_ = action(nullptr, "mnuInfo", [this] { showInfo(); });
}

void frmRTF::buildToolbars() {
  auto button = [this](QToolBar* bar, const char* key, auto slot) {
    QAction* a = bar->addAction(QString());
    a->setObjectName(QLatin1String(key));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  toolbar1_ = addToolBar(QString());
  toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar1_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tbOpen_ = button(toolbar1_, "Open", [this] { open(); });
  tbOpen_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  tbSave_ = button(toolbar1_, "Save", [this] { save(); });
  tbSave_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  tbPrint_ = button(toolbar1_, "Print", [this] { print(); });
  tbPrint_->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));

  toolbar2_ = addToolBar(QString());
  toolbar2_->setObjectName(QStringLiteral("Toolbar2"));
  toolbar2_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  tbFont_ = button(toolbar2_, "Font", [this] { chooseFont(); });
  tbBold_ = button(toolbar2_, "Bold", [this] { setBold(); });
  tbKursiv_ = button(toolbar2_, "Kursiv", [this] { setItalic(); });
  tbUnderline_ = button(toolbar2_, "Underline", [this] { setUnderline(); });
  QFont f = tbBold_->font();
  f.setBold(true);
  tbBold_->setFont(f);
  f = tbKursiv_->font();
  f.setItalic(true);
  tbKursiv_->setFont(f);
  f = tbUnderline_->font();
  f.setUnderline(true);
  tbUnderline_->setFont(f);
}

void frmRTF::applyCaptions() {
  setWindowTitle(say(Text::WindowViewerTitle));
  mnuFile_->setTitle(say(Text::MenuFile));
  mnuOpen_->setText(say(Text::WindowViewerOpenItem));
  mnuSave_->setText(say(Text::WindowViewerSaveItem));
  mnuSuchen_->setText(say(Text::WindowViewerSearchItem));
  mnuSuchWeiter_->setText(say(Text::WindowViewerSearchOnItem));
  mnuPrint_->setText(say(Text::WindowViewerPrintItem));
  mnuExit_->setText(say(Text::MenuExit));
  mnuFont_->setText(say(Text::WindowViewerFontItem));
  mnuVorlage_->setTitle(say(Text::WindowViewerTemplateMenu));
  mnuListing_->setText(QStringLiteral("&Listing"));
  mnuStandard_->setText(QStringLiteral("&Standard"));
  mnuText_->setText(QStringLiteral("&Text"));
  mnuHilfe_->setText(say(Text::MenuHelp));
  mnuInfo_->setText(QStringLiteral("&Info"));

  toolbar1_->setWindowTitle(say(Text::WindowViewerFileBar));
  toolbar2_->setWindowTitle(say(Text::WindowViewerFont));
  tbOpen_->setText(say(Text::WindowViewerOpen));
  tbSave_->setText(say(Text::WindowViewerSave));
  tbPrint_->setText(say(Text::WindowViewerPrint));
  tbFont_->setText(say(Text::WindowViewerFont));
  tbBold_->setText(say(Text::WindowViewerBold));
  tbBold_->setToolTip(say(Text::WindowViewerBoldTip));
  tbKursiv_->setText(say(Text::WindowViewerItalic));
  tbKursiv_->setToolTip(say(Text::WindowViewerItalicTip));
  tbUnderline_->setText(QStringLiteral("U"));
  tbUnderline_->setToolTip(say(Text::WindowViewerUnderlineTip));
}

// --- geometry -----------------------------------------------------------------

int frmRTF::twipsToPixels(double twips) const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

void frmRTF::placeOnScreen() {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect scr = s->geometry();
  const int width = twipsToPixels(kStartWidth);
  const int height = static_cast<int>(std::lround(0.85 * scr.height()));
  resize(width, height);
  move(scr.x() + (scr.width() - width) / 2, scr.y() + static_cast<int>(std::lround(0.07 * scr.height())));
}

int frmRTF::reportWidthTwips() const {
  // The line after the one that holds the third character: the first line
  // of a report may be short or empty, the next shows its real width.
  const QTextDocument* doc = document();
  int n = 0;
  const QTextBlock holder = doc->findBlock(2);
  if (holder.isValid() && doc->characterCount() > 3) {
    const QTextBlock next = holder.next();
    if (next.isValid()) n = next.length() - 1;
  }
  const int w = kTwipsPerChar * n;
  const QString name = fileNamePart(fileName_);
  if (name == QLatin1String("AntStrSu.txt")) return std::max(w, kStrSuMinimum);
  if (name == QLatin1String("AntSpezi.txt")) return std::max(w + kSpeziExtra, kSpeziMinimum);
  return std::max(w, kOtherMinimum);
}

void frmRTF::activated() {
  setStatusText(QDir::toNativeSeparators(fileName_));
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const int twips = reportWidthTwips();
  int width = twipsToPixels(twips);
  // A line of hundreds of characters would make a window many screens wide:
  // beyond the minimum, the screen is the limit.
  const QScreen* s = screen();
  const int minimum = twipsToPixels(fileNamePart(fileName_) == QLatin1String("AntSpezi.txt")   ? kSpeziMinimum
                                    : fileNamePart(fileName_) == QLatin1String("AntStrSu.txt") ? kStrSuMinimum
                                                                                               : kOtherMinimum);
  if (s) width = std::min(width, std::max(minimum, s->availableGeometry().width()));
  if (width != this->width()) resize(width, height());
}

void frmRTF::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isMinimized()) return;
  // A window that grew is drawn back to the middle of the screen.
  const QScreen* s = screen();
  if (!s) return;
  const int centred =
      std::max(1, static_cast<int>(std::lround((s->geometry().width() - frameGeometry().width()) / 2.0)));
  if (x() - s->geometry().x() > centred) move(s->geometry().x() + centred, y());
}

void frmRTF::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) activated();
}

void frmRTF::showViewer() {
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  activated();
}

QAbstractScrollArea* frmRTF::editor() const {
  return withEditor([](QAbstractScrollArea* e) { return e; });
}

QTextDocument* frmRTF::document() const {
  return withEditor([](auto* e) { return e->document(); });
}

QTextCursor frmRTF::textCursor() const {
  return withEditor([](auto* e) { return e->textCursor(); });
}

void frmRTF::setTextCursor(const QTextCursor& cursor) {
  withEditor([&cursor](auto* e) { e->setTextCursor(cursor); });
}

void frmRTF::setStatusText(const QString& text) { panel1_->setText(text); }

QString frmRTF::statusText() const { return panel1_->text(); }

// --- the modified flag --------------------------------------------------------

bool frmRTF::eventFilter(QObject* watched, QEvent* event) {
  const bool key = watched == editor() && event->type() == QEvent::KeyPress;
  // A key that changes or copies the text needs all of it; moving around
  // in what is there does not.
  if (key && isLoading()) {
    const auto* k = static_cast<QKeyEvent*>(event);
    if (!k->text().isEmpty() || k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
        k->matches(QKeySequence::Delete) || k->matches(QKeySequence::SelectAll))
      finishLoading();
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- loading ------------------------------------------------------------------

void frmRTF::setFontName(const QString& family) {
  QFont font = plainEditor_->font();
  font.setFamily(installedFamily(family));
  font.setStyleHint(QFont::TypeWriter);
  plainEditor_->setFont(font);
  richEditor_->setFont(font);
}

bool frmRTF::loadDocument(const QString& path, QString* error) { return loadDocument(path, LoadAs::Auto, error); }

bool frmRTF::loadDocument(const QString& path, LoadAs how, QString* error) {
  auto fail = [error](const QString& text) {
    if (error) *error = text;
    return false;
  };
  if (path.isEmpty()) return fail(say(Text::WindowViewerBadFileName));
  const QFileInfo info(path);
  if (!info.exists() || info.isDir())
    return fail(say(Text::WindowViewerFileNotFound) + ": " + QDir::toNativeSeparators(path));
  if (info.size() > kMaxFileBytes)
    return fail(say(Text::WindowViewerFileTooLarge) + ": " + QDir::toNativeSeparators(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString() + ": " + QDir::toNativeSeparators(path));
  if (how == LoadAs::Rich || (how == LoadAs::Auto && rtf::looksLikeRtf(file.peek(4096)))) {
    if (!loadRich(file.readAll(), path, error)) return false;
  } else {
    // In pieces, so that each piece's bytes can go once it is in the document.
    bool read = false;
    QList<QByteArray> pieces = textcodec::readPieces(file, kFirstPieceBytes, kPieceBytes, &read);
    if (!read) return fail(file.errorString() + ": " + QDir::toNativeSeparators(path));
    loadPlain(std::move(pieces));
  }
  fileName_ = path;
  setStatusText(QDir::toNativeSeparators(fileName_));
  return true;
}

bool frmRTF::loadRich(const QByteArray& bytes, const QString& path, QString* error) {
  auto fail = [&](const QString& detail) {
    if (error)
      *error = say(Text::WindowFileNamed) + lineBreak() + QDir::toNativeSeparators(path) + lineBreak() + detail;
    return false;
  };
  // The new text goes into a document of its own: a file that cannot be
  // read leaves the one on the screen as it is.
  std::unique_ptr<QTextDocument> doc(emptyDocument(true));
  const rtf::ReadResult r = rtf::read(bytes, doc.get());
  if (!r.ok())
    return fail(say(Text::WindowViewerUnreadable) + (r.error == rtf::ReadError::NotRtf
                                                         ? say(Text::WindowViewerNotRtf)
                                                         : say(Text::WindowViewerNestedTooDeeply).arg(r.offset)));
  // All of it hidden in parts that are not shown, or cut off: an empty
  // window would look like a viewer that failed.
  if (doc->toRawText().trimmed().isEmpty()) return fail(say(Text::WindowViewerNoText));
  replaceDocument(doc.release(), true);
  lineEnd_ = QStringLiteral("\r\n");
  byteOrderMark_ = false;
  return true;
}

void frmRTF::loadPlain(QList<QByteArray> pieces) {
  // Shown with its beginning; the rest is read in while the user already
  // looks at it.
  std::unique_ptr<QTextDocument> doc(emptyDocument(false));
  auto decoder = std::make_unique<textcodec::Decoder>(std::move(pieces));
  doc->setUndoRedoEnabled(false);
  QTextCursor(doc.get()).insertText(decoder->next());
  decoder->restarted();  // a start over within the first piece replaced nothing shown
  replaceDocument(doc.release(), false);
  loader_ = std::move(decoder);
  if (loader_->atEnd())
    completeLoading();
  else
    loadTimer_->start();
}

QTextDocument* frmRTF::emptyDocument(bool rich) {
  auto* doc = new QTextDocument(this);
  if (!rich) doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
  doc->setDefaultFont(plainEditor_->font());
  return doc;
}

void frmRTF::loadNextPiece() {
  if (!loader_) return;
  QTextDocument* doc = document();
  const QString piece = loader_->next();
  if (loader_->restarted()) doc->clear();  // it was no UTF-8 after all
  QTextCursor end(doc);
  end.movePosition(QTextCursor::End);
  end.insertText(piece);
  if (loader_->atEnd()) completeLoading();
}

void frmRTF::completeLoading() {
  loadTimer_->stop();
  lineEnd_ = loader_->lineEnd();
  byteOrderMark_ = loader_->byteOrderMark();
  loader_.reset();
  QTextDocument* doc = document();
  doc->setUndoRedoEnabled(true);
  doc->setModified(false);
}

void frmRTF::finishLoading() {
  while (loader_) loadNextPiece();
}

void frmRTF::replaceDocument(QTextDocument* doc, bool rich) {
  // A text still being read in is given up for the new one.
  loader_.reset();
  loadTimer_->stop();
  // The editors delete documents they made themselves; ours go here. The
  // editor not in use gets an empty one, so the old text is let go.
  const QPointer<QTextDocument> oldPlain = plainEditor_->document();
  const QPointer<QTextDocument> oldRich = richEditor_->document();
  doc->setModified(false);
  if (rich) {
    richEditor_->setDocument(doc);
    plainEditor_->setDocument(emptyDocument(false));
  } else {
    plainEditor_->setDocument(doc);
    richEditor_->setDocument(emptyDocument(true));
  }
  rich_ = rich;
  // Reports keep their columns; rich text flows like a letter.
  editors_->setCurrentWidget(editor());
  withEditor([](auto* e) { e->moveCursor(QTextCursor::Start); });
  for (const QPointer<QTextDocument>& old : {oldPlain, oldRich})
    if (old && old.data() != doc && old->parent() == this) delete old.data();
}

// --- open and save ------------------------------------------------------------

void frmRTF::open() {
  const QString folder = QDir::currentPath();
  FileDialogRequest request;
  request.title = say(Text::WindowViewerOpen);
  request.initialFolder = Module1::state().resultsFolder;
  request.filter = fileFilter();
  request.filterIndex = kFilterReports;
  const std::optional<FileDialogResult> chosen = seam().openFile(this, request);
  if (chosen && !chosen->path.isEmpty()) {
    if (isPdf(chosen->path)) {
      showMessage(this,
                  say(Text::WindowViewerOpenExternal) + lineBreak() + fileNamePart(chosen->path) + lineBreak() +
                      say(Text::WindowViewerExternalOnly),
                  say(Text::WindowViewerOpenTitle), Icon::Exclamation);
    } else {
      const LoadAs how = chosen->filterIndex == kFilterRich    ? LoadAs::Rich
                         : chosen->filterIndex == kFilterPlain ? LoadAs::Plain
                                                               : LoadAs::Auto;
      QString error;
      if (!loadDocument(chosen->path, how, &error))
        showMessage(this, error, say(Text::WindowErrorTitle), Icon::Exclamation);
    }
  }
  QDir::setCurrent(folder);
  setStatusText(QDir::toNativeSeparators(fileName_));
  showViewer();
  editor()->setFocus();
}

bool frmRTF::save() {
  const QString folder = QDir::currentPath();
  FileDialogRequest request;
  request.title = say(Text::WindowViewerSave);
  request.initialFolder = Module1::state().resultsFolder;
  request.filter = fileFilter();
  request.filterIndex = rich_ ? kFilterRich : kFilterPlain;
  request.overwritePrompt = true;
  QString proposed = fileNamePart(fileName_);
  if (proposed.contains(u'.')) proposed.truncate(proposed.lastIndexOf(u'.'));
  request.proposedName = proposed;

  std::optional<FileDialogResult> chosen;
  QString path;
  for (;;) {
    chosen = seam().saveFile(this, request);
    if (!chosen || chosen->path.isEmpty()) {
      QDir::setCurrent(folder);
      return false;
    }
    path = chosen->path;
    // A name typed without extension gets the one of the chosen type (of
    // the document's kind under the reports' entry); the dialog asked about
    // the name as typed, so ask again before replacing. No goes back to the
    // dialog, as the dialog's own question does.
    if (!QFileInfo(path).suffix().isEmpty() || chosen->filterIndex > kFilterPlain) break;
    const bool richType = chosen->filterIndex == kFilterRich || (chosen->filterIndex == kFilterReports && rich_);
    path += richType ? QStringLiteral(".rtf") : QStringLiteral(".txt");
    if (!QFileInfo::exists(path) ||
        showMessage(this,
                    say(Text::WindowFileNamed) + lineBreak() + QDir::toNativeSeparators(path) + lineBreak() +
                        say(Text::WindowViewerReplace),
                    say(Text::WindowViewerSaveTitle), Icon::Exclamation, Buttons::YesNo, 2) == Answer::Yes)
      break;
    request.proposedName = fileNamePart(chosen->path);
    request.filterIndex = chosen->filterIndex;
  }
  const bool rich = writesRich(chosen->filterIndex, QFileInfo(path).suffix());
  QString error;
  const bool ok = writeFile(path, rich, &error);
  QDir::setCurrent(folder);
  if (!ok) {
    showMessage(this, error, say(Text::WindowErrorTitle), Icon::Exclamation);
    return false;
  }
  document()->setModified(false);
  return true;
}

bool frmRTF::writesRich(int filterIndex, const QString& suffix) const {
  // The chosen type, else the name's extension; under the reports' entry a
  // name of another kind keeps the document's own.
  if (filterIndex == kFilterRich || filterIndex == kFilterPlain) return filterIndex == kFilterRich;
  if (suffix.compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0) return true;
  if (suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) return false;
  return filterIndex == kFilterReports && rich_;
}

bool frmRTF::isModified() const { return document()->isModified(); }

bool frmRTF::writeFile(const QString& path, bool rich, QString* error) {
  finishLoading();
  QByteArray bytes;
  if (rich) {
    bytes = rtf::write(document());
  } else {
    bytes = textcodec::encode(document()->toRawText(), {lineEnd_, byteOrderMark_}).bytes;
  }
  // Written beside and renamed: a failing disk never leaves half a file.
  try {
    files::WriteFileAtomically(Module1::nativePath(path), std::string_view(bytes.constData(), bytes.size()));
  } catch (const files::FileError& e) {
    if (error)
      *error = say(Text::WindowFileNamed) + lineBreak() + QDir::toNativeSeparators(path) + lineBreak() +
               say(Text::WindowViewerNotSaved) +
               QString::fromStdString(files::FileErrorCause(Module1::language(), e.error()));
    return false;
  }
  return true;
}

// --- search -------------------------------------------------------------------

void frmRTF::search() { runSearch(true); }

void frmRTF::findNext() { runSearch(false); }

void frmRTF::runSearch(bool askForText) {
  const QString title = say(Text::WindowViewerSearchTitle);
  QTextCursor cursor = textCursor();
  QString text = cursor.selectedText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  text.replace(QChar::LineSeparator, u'\n');
  if (askForText) {
    const std::optional<QString> typed = seam().inputBox(this, say(Text::WindowViewerSearchPrompt), title, text);
    text = typed.value_or(QString());
  }
  if (text.isEmpty()) return;

  // From the character after the start of the selection, ignoring case.
  finishLoading();
  const qsizetype found = documentText(document()).indexOf(text, cursor.selectionStart() + 1, Qt::CaseInsensitive);
  if (found >= 0) {
    cursor.setPosition(static_cast<int>(found));
    cursor.setPosition(static_cast<int>(found + text.size()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
  } else {
    cursor.setPosition(0);
    setTextCursor(cursor);
    showMessage(this, say(Text::WindowViewerNotFound), title, Icon::Information);
  }
  editor()->setFocus();
}

// --- formatting -----------------------------------------------------------------

void frmRTF::mergeFormat(const QTextCharFormat& format) {
  finishLoading();
  withEditor([&format](auto* e) { e->mergeCurrentCharFormat(format); });
}

void frmRTF::clearColour() {
  const QTextCursor selection = textCursor();
  if (!selection.hasSelection()) {
    withEditor([](auto* e) {
      QTextCharFormat f = e->currentCharFormat();
      f.clearForeground();
      e->setCurrentCharFormat(f);
    });
    return;
  }
  // A merge cannot remove an attribute: each coloured piece of the selection
  // gets its own format back without the colour.
  QTextDocument* doc = document();
  const int start = selection.selectionStart();
  const int end = selection.selectionEnd();
  struct Piece {
    int from, to;
    QTextCharFormat format;
  };
  QList<Piece> pieces;
  for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fr = it.fragment();
      const int from = std::max(start, fr.position());
      const int to = std::min(end, fr.position() + fr.length());
      if (from >= to || fr.charFormat().foreground().style() == Qt::NoBrush) continue;
      QTextCharFormat f = fr.charFormat();
      f.clearForeground();
      pieces.append({from, to, f});
    }
  }
  QTextCursor c(doc);
  c.beginEditBlock();
  for (const Piece& p : pieces) {
    c.setPosition(p.from);
    c.setPosition(p.to, QTextCursor::KeepAnchor);
    c.setCharFormat(p.format);
  }
  c.endEditBlock();
}

void frmRTF::applyPreset(Preset preset) {
  finishLoading();
  const QString family =
      installedFamily(preset == Preset::Text ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
  const double size = preset == Preset::Standard ? 10 : 8;
  // Standard is the plain look: the selection loses its colour too.
  if (preset == Preset::Standard) clearColour();
  QFont font(family);
  font.setPointSizeF(size);
  if (preset != Preset::Text) font.setStyleHint(QFont::TypeWriter);
  plainEditor_->setFont(font);
  richEditor_->setFont(font);
  // Text with a font of its own (rich text, or a font chosen for a part)
  // follows the whole editor.
  QTextCursor all(document());
  all.select(QTextCursor::Document);
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(size);
  all.mergeCharFormat(f);
}

void frmRTF::chooseFont() {
  seam().setBusy(true);
  finishLoading();
  const QTextCursor cursor = textCursor();
  QTextCharFormat format = cursor.charFormat();
  if (cursor.hasSelection()) {
    // The attributes of the first selected character.
    QTextCursor first(document());
    first.setPosition(cursor.selectionStart() + 1);
    format = first.charFormat();
  }
  FontChoice initial;
  initial.font = format.font().resolve(document()->defaultFont());
  initial.color = format.foreground().style() != Qt::NoBrush ? format.foreground().color()
                                                             : editor()->palette().color(QPalette::Text);
  seam().setBusy(false);
  const std::optional<FontChoice> chosen = seam().chooseFont(this, initial);
  if (!chosen) return;
  // Only what the user changed goes to the selection: OK on an untouched
  // dialog changes nothing, and a selection of mixed looks keeps the mix in
  // everything else.
  const QFont& was = initial.font;
  const QFont& now = chosen->font;
  QTextCharFormat out;
  if (now.family() != was.family()) out.setFontFamilies({now.family()});
  if (now.pointSizeF() > 0 && now.pointSizeF() != was.pointSizeF()) out.setFontPointSize(now.pointSizeF());
  if (now.bold() != was.bold()) out.setFontWeight(now.bold() ? QFont::Bold : QFont::Normal);
  if (now.italic() != was.italic()) out.setFontItalic(now.italic());
  if (now.strikeOut() != was.strikeOut()) out.setFontStrikeOut(now.strikeOut());
  if (now.underline() != was.underline()) out.setFontUnderline(now.underline());
  if (chosen->color != initial.color) out.setForeground(chosen->color);
  if (!out.properties().isEmpty()) mergeFormat(out);
}

void frmRTF::setBold() {
  QTextCharFormat f;
  f.setFontWeight(QFont::Bold);
  mergeFormat(f);
}

void frmRTF::setItalic() {
  QTextCharFormat f;
  f.setFontItalic(true);
  mergeFormat(f);
}

void frmRTF::setUnderline() {
  QTextCharFormat f;
  f.setFontUnderline(true);
  mergeFormat(f);
}

// --- printing -----------------------------------------------------------------

std::unique_ptr<QTextDocument> frmRTF::printableDocument(bool selectionOnly) const {
  const QTextDocument* source = document();
  std::unique_ptr<QTextDocument> doc;
  if (selectionOnly) {
    doc = std::make_unique<QTextDocument>();
    QTextCursor(doc.get()).insertFragment(textCursor().selection());
  } else {
    doc.reset(source->clone());
    doc->setParent(nullptr);
  }
  doc->setDefaultFont(source->defaultFont());
  return doc;
}

namespace {

// One printout of a document, in the steps that may fail: begun, its pages
// painted, ended, and (for a PDF file) put in place. A printout into a PDF
// file is written under a temporary name and renamed when it is complete,
// like every file the program writes.
class PrintJob {
 public:
  PrintJob(QPrinter& printer, QTextDocument& doc)
      : printer_(printer),
        doc_(doc),
        pdfTarget_(printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString()) {}

  bool begin() {
    if (!pdfTarget_.isEmpty() && !staged_) {
      try {
        staged_.emplace(Module1::nativePath(pdfTarget_));
      } catch (const files::FileError& e) {
        return fileFailed(e);
      }
      printer_.setOutputFileName(Module1::fromNativePath(staged_->path()));
    }
    if (!painter_.begin(&printer_)) return false;
    const QRectF page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    pageWidth_ = page.width();
    pageHeight_ = page.height();
    doc_.documentLayout()->setPaintDevice(&printer_);
    doc_.setPageSize(QSizeF(pageWidth_, pageHeight_));
    pages_ = doc_.pageCount();
    return true;
  }

  bool paintPages() {
    if (!painter_.isActive()) return true;
    for (int i = 0; i < pages_; ++i) {
      if (i > 0 && !printer_.newPage()) return false;
      painter_.save();
      painter_.translate(0, -i * pageHeight_);
      QAbstractTextDocumentLayout::PaintContext context;
      context.clip = QRectF(0, i * pageHeight_, pageWidth_, pageHeight_);
      context.palette.setColor(QPalette::Text, Qt::black);
      painter_.setClipRect(context.clip);
      doc_.documentLayout()->draw(&painter_, context);
      painter_.restore();
    }
    return true;
  }

  bool end() {
    if (painter_.isActive() && !painter_.end()) return false;
    return printer_.printerState() != QPrinter::Error;
  }

  bool commit() {
    if (!staged_) return true;
    try {
      staged_->commit();
    } catch (const files::FileError& e) {
      return fileFailed(e);
    }
    staged_.reset();
    return true;
  }

  void abandon() {
    if (painter_.isActive()) painter_.end();
  }

  // Why the last file operation failed, when it said so; it replaces the
  // step's own failure text.
  QString takeFileFailure() { return std::exchange(fileFailure_, QString()); }

 private:
  bool fileFailed(const files::FileError& e) {
    fileFailure_ = say(Text::WindowFileNamed) + QDir::toNativeSeparators(pdfTarget_) + lineBreak() +
                   say(Text::WindowViewerPdfNotWritten) +
                   QString::fromStdString(files::FileErrorCause(Module1::language(), e.error()));
    return false;
  }

  QPrinter& printer_;
  QTextDocument& doc_;
  const QString pdfTarget_;
  std::optional<files::StagedPath> staged_;
  QString fileFailure_;
  QPainter painter_;
  double pageWidth_ = 0;
  double pageHeight_ = 0;
  int pages_ = 0;
};

struct PrintStep {
  bool (PrintJob::*run)();
  QString failure;
};

// Runs the steps in turn; a failing one asks whether to repeat it, skip it
// or give up. False when the user gave up; `skipped` when he let a step go
// (the file may then be incomplete).
bool runPrintSteps(QWidget* parent, PrintJob& job, const std::vector<PrintStep>& steps, bool& skipped) {
  for (std::size_t i = 0; i < steps.size();) {
    if ((job.*steps[i].run)()) {
      ++i;
      continue;
    }
    seam().setBusy(false);
    const QString fileFailure = job.takeFileFailure();
    const QString failure = fileFailure.isEmpty() ? steps[i].failure : fileFailure;
    const Answer a = showMessage(parent, failure + lineBreak() + say(Text::WindowViewerRetry),
                                 say(Text::WindowViewerPrinterError), Icon::Exclamation, Buttons::AbortRetryIgnore);
    if (a == Answer::Abort) {
      job.abandon();
      return false;
    }
    seam().setBusy(true);
    if (a == Answer::Ignore) {
      skipped = true;
      ++i;
    }
  }
  return true;
}

}  // namespace

void frmRTF::print() {
  finishLoading();
  const bool hasSelection = textCursor().hasSelection();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
  // Without a printer the dialog could only offer a file somewhere: the
  // whole document goes into a PDF named after it in the results folder.
  const QString pdfPath = Printout::toPrinterOrPdf(
      printer,
      (fileName_.isEmpty() ? say(Text::WindowViewerPrintout) : QFileInfo(fileName_).completeBaseName()) + ".pdf");
  bool selectionOnly = false;
  if (pdfPath.isEmpty()) {
    PrintRequest request;
    request.hasSelection = hasSelection;
    const std::optional<PrintChoice> choice = seam().choosePrinter(this, printer, request);
    if (!choice) return;
    selectionOnly = choice->selectionOnly && hasSelection;
  }
  const QString target = pdfPath.isEmpty() ? QString() : lineBreak() + QDir::toNativeSeparators(pdfPath);

  seam().setBusy(true);
  std::unique_ptr<QTextDocument> doc = printableDocument(selectionOnly);
  PrintJob job(printer, *doc);
  const QString failed = say(Text::WindowViewerPrintFailed) + target;
  const std::vector<PrintStep> steps = {
      {&PrintJob::begin, say(Text::WindowViewerPrintNotStarted) + target},
      {&PrintJob::paintPages, say(Text::WindowViewerPageNotStarted) + target},
      {&PrintJob::end, failed},
      {&PrintJob::commit, failed},
  };
  bool skipped = false;
  if (!runPrintSteps(this, job, steps, skipped)) return;
  seam().setBusy(false);
  if (!pdfPath.isEmpty() && !skipped) Printout::tellPdf(this, pdfPath);
}

// --- help, info ---------------------------------------------------------------

void frmRTF::showHelp() {
  showMessage(this, say(Text::WindowViewerQuickHelp), say(Text::WindowViewerQuickHelpTitle), Icon::Information);
}

void frmRTF::showInfo() {
  if (infoHandler()) {
    infoHandler()(this);
    return;
  }
  const QString version = QStringLiteral("Version ") + QLatin1String(kVersionText) + ' ';
  showMessage(this,
              lineBreak() + QLatin1String(kProgramTitle) + "  " + lineBreak() + lineBreak() + version +
                  QString::fromUtf8(kLegalNotice) + lineBreak(),
              QStringLiteral(" Info "), Icon::Information);
}

// --- closing --------------------------------------------------------------------

bool frmRTF::offerSave() {
  const bool ask = mnuSave_->isEnabled() && !document()->isEmpty() && isModified();
  if (ask && showMessage(this, say(Text::WindowViewerSaveQuestion), say(Text::WindowViewerSaveQuestionTitle),
                         Icon::Question, Buttons::YesNo) == Answer::Yes)
    save();
  document()->setModified(false);
  return ask;
}

void frmRTF::closeEvent(QCloseEvent* event) {
  if (unloading_ || !isVisible()) {
    event->accept();
    return;
  }
  if (showMessage(this, say(Text::WindowViewerCloseQuestion), say(Text::WindowViewerCloseTitle), Icon::Question,
                  Buttons::YesNo) != Answer::Yes) {
    event->ignore();
    return;
  }
  offerSave();
  event->accept();  // hidden, not destroyed: the viewer stays loaded
  // Left behind by its main window, the viewer is the program's last
  // window: closing it ends the program rather than leaving it running
  // with nothing on the screen.
  const QWidget* main = Forms::mainWidget();
  if (!main || !main->isVisible()) QCoreApplication::quit();
}

// --- show file ------------------------------------------------------------------

namespace {
// Runs one step of showing a file until it succeeds or the user gives up on
// it. Returns false when he chose Abort.
bool runStep(const std::function<bool(QString*)>& step) {
  for (;;) {
    QString error;
    if (step(&error)) return true;
    const Answer a = showMessage(Forms::mainWidget(), error, say(Text::WindowErrorTitle), Icon::Exclamation,
                                 Buttons::AbortRetryIgnore);
    if (a == Answer::Retry) continue;
    return a == Answer::Ignore;
  }
}
}  // namespace

bool Module1::showFile(const QString& path) {
  frmRTF* viewer = nullptr;
  if (!runStep([&](QString*) {
        viewer = frmRTF::instance();
        viewer->setFontName(QStringLiteral("Courier New"));
        return true;
      }))
    return false;
  if (!runStep([&](QString* error) { return viewer->loadDocument(path, error); })) return false;
  return runStep([&](QString*) {
    viewer->showViewer();
    return true;
  });
}

}  // namespace lorvant
