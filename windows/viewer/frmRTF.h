// The quick viewer: the one window in which every report is read. A small
// editor with a menu, two toolbars and a status bar that shows, searches,
// reformats, saves (rich text or plain text) and prints a document.
//
// There is one viewer: instance() creates it on first use, showing another
// report replaces the document in it. Closing it only hides it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QAbstractScrollArea;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QTextEdit;
class QTimer;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;
class QToolBar;

namespace lorvant {

namespace textcodec {
class Decoder;
}

// The installed family that stands for the wanted one: "Courier New" falls
// back to a fixed-pitch family, "Arial" to the system's general font.
QString installedFamily(const QString& family);

class frmRTF : public QMainWindow {
  Q_OBJECT

 public:
  enum class Preset { Listing, Standard, Text };
  // How a file is read: by its content, as rich text, or as plain text.
  enum class LoadAs { Auto, Rich, Plain };

  // The viewer, created on first use (a window of its own beside the main
  // window, not one of the tool windows inside it).
  static frmRTF* instance();
  static frmRTF* loaded();  // nullptr while not created
  // At program end: offers to save a changed text, then destroys the viewer.
  static void unload();
  // What the Info command shows (the program's information box); without
  // one the viewer shows the version and the legal notice.
  static void setInfoHandler(std::function<void(QWidget* parent)> handler);

  ~frmRTF() override;

  // The editor's font family ("Courier New" falls back to the system's
  // fixed-pitch font where it is not installed); the size is kept.
  void setFontName(const QString& family);
  // Loads a file as show-file does: rich text when it is rich text, else
  // plain text. False with a description (and the document kept) when the
  // file is missing, unreadable, too big, broken rich text or rich text
  // without anything to show. A plain text is shown as soon as its
  // beginning is in; the rest follows while the event loop runs, and every
  // command that needs the whole text waits for it.

  bool loadDocument(const QString& path, QString* error);
  bool loadDocument(const QString& path, LoadAs how, QString* error);
  // Whether the rest of a plain text is still being read in.
  bool isLoading() const { return loader_ != nullptr; }
  // Reads the rest of a plain text in at once.
  void finishLoading();
  // Shows the viewer non-modally, raises and activates it.
  void showViewer();
  // Menu, toolbar and window captions in the current language.
  void applyCaptions();

  // The commands of the menu and the toolbars.
  void open();
  bool save();
  void search();
  void findNext();
  void print();
  void chooseFont();
  void applyPreset(Preset preset);
  void setBold();
  void setItalic();
  void setUnderline();
  void showHelp();
  void showInfo();

  // The editing control that shows the document: a plain-text editor for
  // reports (fast with the biggest), a rich-text editor for rich text (it
  // lays out alignment).
  QAbstractScrollArea* editor() const;
  QTextDocument* document() const;
  QTextCursor textCursor() const;
  void setTextCursor(const QTextCursor& cursor);
  QString fileName() const { return fileName_; }
  // The text or its formatting was changed since it was loaded or saved
  // (reading it, with the keys or the mouse, changes nothing).
  bool isModified() const;
  bool isRichText() const { return rich_; }
  QString statusText() const;  // panel 1 of the status bar
  // The width the window takes on activation, in twips.
  int reportWidthTwips() const;
  int twipsToPixels(double twips) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit frmRTF(QWidget* parent = nullptr);
  void buildMenus();
  void buildToolbars();
  void placeOnScreen();
  void activated();
  void setStatusText(const QString& text);
  void runSearch(bool askForText);
  bool loadRich(const QByteArray& bytes, const QString& path, QString* error);
  void loadPlain(QList<QByteArray> pieces);
  void replaceDocument(QTextDocument* doc, bool rich);
  void loadNextPiece();
  void completeLoading();
  QTextDocument* emptyDocument(bool rich);
  // Calls f with the editor that shows the document.
  template <class F>
  decltype(auto) withEditor(F&& f) const {
    return rich_ ? f(richEditor_) : f(plainEditor_);
  }
  void mergeFormat(const QTextCharFormat& format);
  void clearColour();
  bool writeFile(const QString& path, bool rich, QString* error);
  // Whether a save under this filter entry and extension writes rich text.
  bool writesRich(int filterIndex, const QString& suffix) const;
  std::unique_ptr<QTextDocument> printableDocument(bool selectionOnly) const;
  bool offerSave();  // the save question on closing

  QStackedWidget* editors_ = nullptr;
  QPlainTextEdit* plainEditor_ = nullptr;
  QTextEdit* richEditor_ = nullptr;
  QLabel* panel1_ = nullptr;
  QToolBar* toolbar1_ = nullptr;
  QToolBar* toolbar2_ = nullptr;
  QMenu* mnuFile_ = nullptr;
  QMenu* mnuVorlage_ = nullptr;
  QAction* mnuOpen_ = nullptr;
  QAction* mnuSave_ = nullptr;
  QAction* mnuSuchen_ = nullptr;
  QAction* mnuSuchWeiter_ = nullptr;
  QAction* mnuPrint_ = nullptr;
  QAction* mnuExit_ = nullptr;
  QAction* mnuFont_ = nullptr;
  QAction* mnuListing_ = nullptr;
  QAction* mnuStandard_ = nullptr;
  QAction* mnuText_ = nullptr;
  QAction* mnuHilfe_ = nullptr;
  QAction* mnuInfo_ = nullptr;
  QAction* tbOpen_ = nullptr;
  QAction* tbSave_ = nullptr;
  QAction* tbPrint_ = nullptr;
  QAction* tbFont_ = nullptr;
  QAction* tbBold_ = nullptr;
  QAction* tbKursiv_ = nullptr;
  QAction* tbUnderline_ = nullptr;

  QString fileName_;
  bool rich_ = false;
  bool unloading_ = false;
  // How a plain text came, so that saving it again gives the same bytes.
  QString lineEnd_ = QStringLiteral("\r\n");
  bool byteOrderMark_ = false;
  // The rest of a plain text still to be read in, and what reads it.
  std::unique_ptr<textcodec::Decoder> loader_;
  QTimer* loadTimer_ = nullptr;
};

namespace Module1 {
// Shows a file in the quick viewer: font "Courier New", load, show. A
// failing step is reported with Abort / Retry / Ignore. False when the user
// aborted.
bool showFile(const QString& path);
}  // namespace Module1

}  // namespace lorvant
