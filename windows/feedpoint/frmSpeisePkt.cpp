#include "windows/feedpoint/frmSpeisePkt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <functional>

#include "session/design.h"
#include "session/question.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Look.h"
#include "text/bilingual.h"
#include "windows/main/MainForm.h"

namespace lorvant {
namespace {

QPointer<frmSpeisePkt> sharedScanWindow;

// Every feed-point window, for the language switch.
QList<QPointer<frmSpeisePkt>>& allWindows() {
  static QList<QPointer<frmSpeisePkt>> windows;
  return windows;
}

// Window heights in twips: with the result box, and the rows alone.
constexpr int kFullHeightTwips = 5580;
constexpr int kCompactHeightTwips = 2265;

// Scans with fewer rows than this end long before a progress display
// would be worth showing.
constexpr double kProgressRows = 20000;

// The fixed-pitch font of the header and the result box.
QFont tableFont() {
  QFont f(QStringLiteral("Courier New"));
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  return f;
}

feedpoint::WindowSetup scanSetup() {
  return feedpoint::OpenScan(Module1::state().antennaLength, Module1::language(), Module1::decimalSeparator());
}

}  // namespace

frmSpeisePkt::frmSpeisePkt(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmSpeisePkt"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  Label1 = new QLabel(this);
  Text1 = new QLineEdit(this);
  Label2 = new QLabel(this);
  Text2 = new QLineEdit(this);
  Label3 = new QLabel(this);
  Text3 = new QLineEdit(this);
  cmdRechnen = new QPushButton(this);
  Label4 = new QLabel(this);
  txtAuswertung = new QPlainTextEdit(this);

  Label1->setObjectName(QStringLiteral("Label1"));
  Text1->setObjectName(QStringLiteral("Text1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  Text2->setObjectName(QStringLiteral("Text2"));
  Label3->setObjectName(QStringLiteral("Label3"));
  Text3->setObjectName(QStringLiteral("Text3"));
  cmdRechnen->setObjectName(QStringLiteral("cmdRechnen"));
  Label4->setObjectName(QStringLiteral("Label4"));
  txtAuswertung->setObjectName(QStringLiteral("txtAuswertung"));

  Label1->setBuddy(Text1);
  Label2->setBuddy(Text2);
  Label3->setBuddy(Text3);
  Label4->setFont(tableFont());
  txtAuswertung->setFont(tableFont());
  txtAuswertung->setReadOnly(true);
  txtAuswertung->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtAuswertung->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The header's columns stand over the rows' columns: it starts where the
  // box's text starts and moves with it when the box scrolls sideways.
  const auto alignHeader = [this](int scrolled) {
    Label4->setIndent(txtAuswertung->frameWidth() + int(txtAuswertung->document()->documentMargin()) - scrolled);
  };
  alignHeader(0);
  connect(txtAuswertung->horizontalScrollBar(), &QScrollBar::valueChanged, this, alignHeader);

  auto* grid = new QGridLayout;
  Look::addRows(grid, {{Label1, Text1}, {Label2, Text2}, {Label3, Text3}});
  // Width the window gains stays after the fields, which keep beside
  // their captions; the result box below takes it.
  grid->setColumnStretch(2, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  buttonRow->addWidget(cmdRechnen);
  auto* box = new QVBoxLayout(this);
  box->addLayout(grid);
  box->addLayout(buttonRow);
  box->addWidget(Label4);
  box->addWidget(txtAuswertung, 1);

  for (QLineEdit* t : {Text1, Text2, Text3}) {
    t->setMinimumWidth(90);
    t->setMaximumWidth(120);
    Fields::filterNumbers(t, kDecimalKeys);
  }
  connect(cmdRechnen, &QPushButton::clicked, this, &frmSpeisePkt::cmdRechnen_Click);
  resize(600, 372);
}

frmSpeisePkt* frmSpeisePkt::create() {
  auto* form = new frmSpeisePkt;
  allWindows().removeAll(nullptr);
  allWindows().append(form);
  Forms::adopt(form);
  Forms::onActivation(form, [form] { form->activate(); });
  return form;
}

frmSpeisePkt* frmSpeisePkt::instance() {
  if (!sharedScanWindow) {
    sharedScanWindow = create();
    sharedScanWindow->apply(scanSetup());
  }
  return sharedScanWindow;
}

frmSpeisePkt* frmSpeisePkt::loaded() { return sharedScanWindow; }

void frmSpeisePkt::takeOverDistance(const QString& distance) {
  for (const QPointer<frmSpeisePkt>& w : allWindows())
    if (w && (w->mode_ == feedpoint::Mode::AllBands || w->mode_ == feedpoint::Mode::OneFrequency))
      w->Text3->setText(distance);
}

void frmSpeisePkt::applyLanguage() {
  for (const QPointer<frmSpeisePkt>& w : allWindows())
    if (w) w->applyCaptions();
}

void frmSpeisePkt::applyCaptions() {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  feedpoint::WindowSetup w;
  switch (mode_) {
    case feedpoint::Mode::AllBands:
      w = feedpoint::OpenAllBands(mainForm::values(), lang, sep);
      break;
    case feedpoint::Mode::OneFrequency:
      w = feedpoint::OpenOneFrequency(mainForm::values(), lang, sep);
      break;
    case feedpoint::Mode::Impedance:
      w = feedpoint::OpenImpedance(lang);
      break;
    case feedpoint::Mode::Scan:
      w = feedpoint::OpenScan(Module1::state().antennaLength, lang, sep);
      break;
  }
  setWindowTitle(qs(w.title));
  cmdRechnen->setText(qs(w.calculate));
  Label1->setText(qs(w.rows.first.caption));
  Label2->setText(qs(w.rows.second.caption));
  Label3->setText(qs(w.rows.third.caption));
  Label4->setText(qs(w.rows.header));
}

namespace {

// How a mode lays the window out.
struct Layout {
  bool compact = false;               // the rows only: a lower window
  bool firstBold = true;              // the first caption
  bool firstVisible = true;           // the first field
  bool thirdEditable = true;          // the third field (else it shows a result)
  bool captionsRightAligned = false;  // the second and third captions
  bool headerVisible = true;
  bool resultVisible = true;
  bool clearResult = false;  // the result box empties on opening
};

Layout layoutOf(feedpoint::Mode mode) {
  Layout l;
  switch (mode) {
    case feedpoint::Mode::AllBands:
      break;
    case feedpoint::Mode::OneFrequency:
      l.headerVisible = false;
      break;
    case feedpoint::Mode::Impedance:
      l.headerVisible = false;
      l.resultVisible = false;
      l.firstVisible = false;
      l.compact = true;
      l.captionsRightAligned = true;
      l.thirdEditable = false;
      break;
    case feedpoint::Mode::Scan:
      l.firstBold = false;
      l.clearResult = true;
      break;
  }
  return l;
}

}  // namespace

void frmSpeisePkt::apply(const feedpoint::WindowSetup& w) {
  const Layout l = layoutOf(w.mode);
  mode_ = w.mode;
  setWindowTitle(qs(w.title));
  cmdRechnen->setText(qs(w.calculate));
  Label1->setText(qs(w.rows.first.caption));
  Label2->setText(qs(w.rows.second.caption));
  Label3->setText(qs(w.rows.third.caption));
  Label4->setText(qs(w.rows.header));
  QFont bold = Label1->font();
  bold.setBold(l.firstBold);
  Label1->setFont(bold);
  const Qt::Alignment align = (l.captionsRightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
  Label2->setAlignment(align);
  Label3->setAlignment(align);
  Text1->setText(qs(w.rows.first.text));
  Text2->setText(qs(w.rows.second.text));
  Text3->setText(qs(w.rows.third.text));
  Text1->setVisible(l.firstVisible);
  // A result field the user cannot type into is still read in full
  // contrast (and can be copied): read-only, not disabled.
  Text3->setEnabled(true);
  Text3->setReadOnly(!l.thirdEditable);
  Label4->setVisible(l.headerVisible);
  txtAuswertung->setVisible(l.resultVisible);
  if (l.clearResult) txtAuswertung->clear();
  setHeightTwips(l.compact ? kCompactHeightTwips : kFullHeightTwips);
}

void frmSpeisePkt::setHeightTwips(int twips) {
  // Wide enough for the longest column header in the fixed-pitch font.
  constexpr int kWidthTwips = 9000;
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  QWidget* frame = sub ? static_cast<QWidget*>(sub) : this;
  frame->resize(kWidthTwips * logicalDpiX() / 1440, twips * logicalDpiY() / 1440);
}

frmSpeisePkt* frmSpeisePkt::openMode(QPointer<frmSpeisePkt>& window,
                                     const std::function<feedpoint::WindowSetup()>& setup) {
  // Chosen again, a mode's window comes back as the user left it: its
  // inputs and its table are the work in hand.
  if (!window) {
    window = create();
    window->apply(setup());
  }
  Forms::show(window);
  return window;
}

frmSpeisePkt* frmSpeisePkt::openAllBands() {
  static QPointer<frmSpeisePkt> window;
  return openMode(window, [] {
    return feedpoint::OpenAllBands(mainForm::values(), Module1::language(), Module1::decimalSeparator());
  });
}

frmSpeisePkt* frmSpeisePkt::openOneFrequency() {
  static QPointer<frmSpeisePkt> window;
  return openMode(window, [] {
    return feedpoint::OpenOneFrequency(mainForm::values(), Module1::language(), Module1::decimalSeparator());
  });
}

frmSpeisePkt* frmSpeisePkt::openImpedance() {
  static QPointer<frmSpeisePkt> window;
  return openMode(window, [] { return feedpoint::OpenImpedance(Module1::language()); });
}

frmSpeisePkt* frmSpeisePkt::openScan() { return openMode(sharedScanWindow, scanSetup); }

feedpoint::WindowTexts frmSpeisePkt::texts() const {
  feedpoint::WindowTexts t;
  t.first = {utf8(Label1->text()), utf8(Text1->text())};
  t.second = {utf8(Label2->text()), utf8(Text2->text())};
  t.third = {utf8(Label3->text()), utf8(Text3->text())};
  t.header = utf8(Label4->text());
  return t;
}

void frmSpeisePkt::setResult(const std::string& rows) {
  // The box keeps one line per row; the line ends are the box's own.
  QString text = qs(rows);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  txtAuswertung->setPlainText(text);
}

void frmSpeisePkt::cmdRechnen_Click() {
  switch (mode_) {
    case feedpoint::Mode::Impedance:
      impedance();
      break;
    case feedpoint::Mode::Scan:
      scan();
      break;
    case feedpoint::Mode::AllBands:
      checkAllBands();
      break;
    case feedpoint::Mode::OneFrequency:
      checkOneFrequency();
      break;
  }
}

void frmSpeisePkt::checkAllBands() {
  feedpoint::AllBandsEnv env;
  env.lang = Module1::language();
  env.sep = Module1::decimalSeparator();
  env.dateText = utf8(Module1::generalDateTime());
  env.resultsFolder = Module1::nativePath(Module1::state().resultsFolder);

  SeamAsker asker(this);
  seam().setBusy(true);
  const feedpoint::AllBandsResult r = feedpoint::CheckAllBands(texts(), mainForm::values(), env, asker);
  seam().setBusy(false);
  if (r.adapted) {
    if (r.mainHalfWaves) mainForm::takeOverHalfWaves(qs(*r.mainHalfWaves));
    if (r.selectPreferredLength) mainForm::selectPreferredLength();
  }
  Text1->setText(qs(r.length));
  if (!r.done) {
    // The rows of the last check belong to other inputs.
    txtAuswertung->clear();
    focusRefused(r.refused);
    return;
  }
  setResult(r.rows);
  if (r.reportWritten) mainForm::addNote([] { return qs(feedpoint::ReportNote(Module1::language())); });
  if (!r.reportError.empty()) {
    // The table stays on the screen; the user learns that the file is not
    // there, and why.
    showMessage(
        this,
        say(Text::WindowFeedReportNotWritten) + Module1::state().lineBreak + QString::fromStdString(r.reportError),
        say(Text::WindowErrorTitle), Icon::Exclamation);
  }
}

void frmSpeisePkt::checkOneFrequency() {
  SeamAsker asker(this);
  seam().setBusy(true);
  const feedpoint::OneFrequencyResult r = feedpoint::CheckOneFrequency(texts(), mainForm::values(), Module1::language(),
                                                                       Module1::decimalSeparator(), asker);
  seam().setBusy(false);
  if (r.done) {
    setResult(r.rows);
  } else {
    txtAuswertung->clear();
    focusRefused(r.refused);
  }
}

void frmSpeisePkt::focusRefused(feedpoint::Input field) {
  switch (field) {
    case feedpoint::Input::Length:
      Text1->setFocus();
      break;
    case feedpoint::Input::Frequency:
      Text2->setFocus();
      break;
    case feedpoint::Input::Distance:
      Text3->setFocus();
      break;
    case feedpoint::Input::None:
      break;
  }
}

void frmSpeisePkt::impedance() {
  const feedpoint::ImpedanceResult r =
      feedpoint::ImpedanceFromCurrentSum(utf8(Text2->text()), Module1::decimalSeparator());
  if (r.beep) refuse(r.reason);
  Text3->setText(qs(r.impedance));
}

void frmSpeisePkt::scan() {
  const char sep = Module1::decimalSeparator();
  seam().setBusy(true);
  txtAuswertung->clear();
  const feedpoint::ScanSetup setup = feedpoint::PrepareScan(texts(), mainForm::values(), sep);
  if (setup.x0 > setup.x1) {
    // The scan would list nothing; an empty box tells the user nothing.
    seam().setBusy(false);
    showMessage(this, say(Text::WindowFeedLimitsCrossed) + Module1::state().lineBreak + say(Text::WindowFeedSwapLimits),
                say(Text::WindowFeedLimitsTitle), Icon::Exclamation);
    Text1->setFocus();
    return;
  }
  if (setup.stepCorrected) {
    refuse(setup.stepReason);
    Text3->setText(qs(setup.stepText));
    seam().processEvents();
  }
  // A fine step over a long wire may take a while. The rows reach the box
  // in pieces while the scan goes on, so the box never takes one huge text
  // at the end, Cancel is looked at between pieces, and the box holds a
  // bounded number of rows.
  std::unique_ptr<ProgressHandle> progress;
  if (feedpoint::EstimatedScanRows(setup) > kProgressRows)
    progress = seam().startProgress(this, say(Text::WindowFeedChecking));
  QString piece;
  const auto putPiece = [&] {
    if (piece.isEmpty()) return;
    QTextCursor end(txtAuswertung->document());
    end.movePosition(QTextCursor::End);
    end.insertText(piece);
    piece.clear();
  };
  std::size_t rows = 0;
  const auto sink = [&](std::string_view row) {
    if (rows == feedpoint::kScanBoxRows) return false;
    ++rows;
    // The box keeps one line per row; the line ends are the box's own.
    if (row.size() >= 2 && row.substr(row.size() - 2) == "\r\n") row.remove_suffix(2);
    piece += QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    piece += u'\n';
    return true;
  };
  feedpoint::ScanProgress report;
  if (progress)
    report = [&](double done) {
      constexpr qsizetype kPieceChars = 1 << 14;
      if (piece.size() >= kPieceChars) putPiece();
      return progress->update(done);
    };
  const feedpoint::ScanOutcome out = feedpoint::StreamScan(setup, sep, sink, report);
  putPiece();
  progress.reset();

  std::string note;
  if (out.wireEnded) note = feedpoint::WireEndNote(Module1::language(), setup.length, sep);
  if (out.stalled) note = feedpoint::StalledNote(Module1::language(), out.stalledAt, sep);
  if (out.receiverStop) note = feedpoint::RowLimitNote(Module1::language());
  // Rows of a cancelled scan are not the whole stretch: the box says so.
  if (out.cancelled) note = utf8(say(Text::WindowFeedCancelled));
  if (!note.empty()) {
    txtAuswertung->appendPlainText(qs(note));
    Forms::setStatus(qs(note));
  }
  seam().setBusy(false);
}

void frmSpeisePkt::activate() {
  Forms::setStatus(qs(feedpoint::ActivationStatus(mode_, Module1::language())));
  seam().processEvents();
  setVisible(true);
}

void frmSpeisePkt::closeEvent(QCloseEvent* event) {
  if (Forms::unloading()) {
    event->accept();
    return;
  }
  event->ignore();
  Forms::hide(this);
  Forms::setStatus(qs(feedpoint::ClosedStatus(Module1::language())));
}

// ---- designs ----

void frmSpeisePkt::giveInputs(design::FeedPointInputs& d) const {
  using design::Stored;
  const design::FeedRows rows{Stored(utf8(Text1->text())), Stored(utf8(Text2->text())), Stored(utf8(Text3->text()))};
  switch (mode_) {
    case feedpoint::Mode::AllBands:
      d.allBands = rows;
      break;
    case feedpoint::Mode::OneFrequency:
      d.oneFrequency = rows;
      break;
    case feedpoint::Mode::Impedance:
      d.currentSum = rows[1];
      break;  // the third row is the result
    case feedpoint::Mode::Scan:
      d.scan = rows;
      break;
  }
}

std::optional<feedpoint::Mode> frmSpeisePkt::takeInputs(const design::FeedPointInputs& d) {
  const char sep = Module1::decimalSeparator();
  const auto shown = [sep](const std::string& s) { return qs(design::Shown(s, sep)); };
  const feedpoint::Mode mode = mode_;
  const std::optional<design::FeedRows>* rows = nullptr;
  switch (mode) {
    case feedpoint::Mode::AllBands:
      rows = &d.allBands;
      break;
    case feedpoint::Mode::OneFrequency:
      rows = &d.oneFrequency;
      break;
    case feedpoint::Mode::Scan:
      rows = &d.scan;
      break;
    case feedpoint::Mode::Impedance:
      if (!d.currentSum) return std::nullopt;
      Text2->setText(shown(*d.currentSum));
      Text3->clear();
      return mode;
  }
  if (!*rows) return std::nullopt;
  Text1->setText(shown((**rows)[0]));
  Text2->setText(shown((**rows)[1]));
  Text3->setText(shown((**rows)[2]));
  return mode;
}

}  // namespace lorvant
