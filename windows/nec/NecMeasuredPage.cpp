#include "windows/nec/NecMeasuredPage.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPushButton>
#include <QSizePolicy>
#include <cmath>

#include "engine/sweep/analysis.h"
#include "engine/sweep/model_sweep.h"
#include "engine/sweep/touchstone.h"
#include "io/staged_files.h"
#include "session/calculators/vk.h"
#include "session/measured_check.h"
#include "session/messages.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "text/reports/sheet.h"
#include "windows/main/MainForm.h"

namespace lorvant {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QString Title() { return QStringLiteral(" NEC-2"); }

// The sheet on the printer's paper, to the page's scale.
bool PrintSheet(QPrinter& printer, const pdf::Page& page) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  PaintSheetPage(painter, page, std::min(paper.width() / page.width(), paper.height() / page.height()));
  return painter.end();
}

// The sweep's bands by the region's band plan.
sweep::MeasuredFile InRegion(const sweep::MeasuredFile& m, nec::Region region) {
  sweep::MeasuredFile banded = m;
  banded.bands = sweep::AnalyseSweep(m.sweep, region);
  return banded;
}

}  // namespace

void PaintSheetPage(QPainter& painter, const pdf::Page& page, double scale) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const auto at = [&](double x, double y) { return QPointF(x * scale, (page.height() - y) * scale); };
  for (const pdf::Mark& m : page.marks()) {
    if (m.isText) {
      QFont font(QStringLiteral("Helvetica"));
      font.setStyleHint(QFont::SansSerif);
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(m.size * scale))));
      font.setBold(m.font == pdf::Font::Bold);
      painter.setFont(font);
      painter.setPen(Qt::black);
      // Where no font with Helvetica's widths is installed, the stand-in
      // (DejaVu Sans on most systems) runs about a tenth wider: narrowed
      // by that, a text ends where the PDF's does and keeps off the lines.
      const QString family = QFontInfo(font).family();
      const bool helveticaWide =
          family.contains(QLatin1String("Helvetica")) || family.contains(QLatin1String("Nimbus Sans")) ||
          family.contains(QLatin1String("Liberation Sans")) || family.contains(QLatin1String("Arial"));
      painter.save();
      painter.translate(at(m.x1, m.y1));
      painter.scale(helveticaWide ? 1.0 : 0.9, 1.0);
      painter.drawText(QPointF(0, 0), q(report::FromCp1252(m.cp1252)));
      painter.restore();
    } else {
      QPen pen(Qt::black, std::max(1.0, m.width * scale));
      if (m.dash > 0) pen.setDashPattern({m.dash / m.width, m.dash / m.width});
      painter.setPen(pen);
      painter.drawLine(at(m.x1, m.y1), at(m.x2, m.y2));
    }
  }
}

NecMeasuredPage::NecMeasuredPage(QWidget* parent) : QWidget(parent) {
  setObjectName("necMeasuredPage");
  openButton = new QPushButton(this);
  dropButton = new QPushButton(this);
  fileLabel = new QLabel(this);
  // A long name must not widen the window.
  fileLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  allowanceLabel = new QLabel(this);
  allowanceField = new QLineEdit(this);
  Fields::filterNumbers(allowanceField, kDecimalKeys);
  allowanceField->setMaxLength(5);
  allowanceField->setText(q(report::FormatGeneral(report::kDefaultAllowance * 100, Module1::decimalSeparator())));
  allowanceLabel->setBuddy(allowanceField);
  sheetButton = new QPushButton(this);
  printButton = new QPushButton(this);
  touchstoneButton = new QPushButton(this);
  bandList = new QComboBox(this);
  pruneButton = new QPushButton(this);

  // Three rows, as the window's other pages: the window keeps its size.
  auto* grid = new QGridLayout(this);
  grid->addWidget(openButton, 0, 0);
  grid->addWidget(dropButton, 0, 1);
  grid->addWidget(fileLabel, 0, 2, 1, 3);
  grid->addWidget(allowanceLabel, 1, 0);
  grid->addWidget(allowanceField, 1, 1);
  grid->addWidget(sheetButton, 1, 2);
  grid->addWidget(printButton, 1, 3);
  grid->addWidget(touchstoneButton, 2, 0);
  grid->addWidget(bandList, 2, 1);
  grid->addWidget(pruneButton, 2, 2);
  grid->setHorizontalSpacing(12);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);

  connect(openButton, &QPushButton::clicked, this, &NecMeasuredPage::onOpen);
  connect(dropButton, &QPushButton::clicked, this, &NecMeasuredPage::onDrop);
  connect(sheetButton, &QPushButton::clicked, this, &NecMeasuredPage::onSaveSheet);
  connect(printButton, &QPushButton::clicked, this, &NecMeasuredPage::onPrintSheet);
  connect(touchstoneButton, &QPushButton::clicked, this, &NecMeasuredPage::onSaveTouchstone);
  connect(pruneButton, &QPushButton::clicked, this, &NecMeasuredPage::onTakeOverPruning);
  applyCaptions();
  enable(true);
}

void NecMeasuredPage::applyCaptions() {
  openButton->setText(say(Text::WindowMeasuredOpen));
  dropButton->setText(say(Text::WindowMeasuredDrop));
  allowanceLabel->setText(say(Text::WindowMeasuredAllowance));
  sheetButton->setText(say(Text::WindowMeasuredSaveSheet));
  printButton->setText(say(Text::WindowMeasuredPrintSheet));
  touchstoneButton->setText(say(Text::WindowMeasuredTouchstone));
  pruneButton->setText(say(Text::WindowMeasuredPrune));
  pruneButton->setToolTip(say(Text::WindowMeasuredPruneTip));
  showFile();
  fillBands();
}

void NecMeasuredPage::showFile() {
  if (!measured_) {
    fileLabel->setText(say(Text::WindowMeasuredNone));
    return;
  }
  const char sep = Module1::decimalSeparator();
  QString text = QFileInfo(q(measuredName_)).fileName() + ": " + QString::number(measured_->sweep.size());
  if (measured_->bands.empty()) {
    text += say(Text::WindowMeasuredNoBands);
  } else {
    QStringList bands;
    for (const sweep::BandFinding& f : measured_->bands) bands << q(report::NecBandName(f.band, 0, sep));
    text += say(Text::WindowMeasuredPointsIn) + bands.join(", ");
  }
  fileLabel->setText(text);
  fileLabel->setToolTip(Module1::fromNativePath(measuredName_));
}

// The bands whose measured resonance can go to the pruning calculator; the
// band the fit chose first, else the lowest.
void NecMeasuredPage::fillBands() {
  const int chosen = bandList->currentData().isValid() ? bandList->currentData().toInt() : -1;
  bandList->clear();
  if (!compared_) return;
  const char sep = Module1::decimalSeparator();
  for (const report::MeasuredBandRow& b : compared_->bands)
    if (b.measured && !b.measured->empty()) bandList->addItem(q(report::NecBandName(b.band, 0, sep)), b.band);
  const int preferred = chosen >= 0 ? chosen : compared_->fitBand;
  if (const int index = bandList->findData(preferred); index >= 0) bandList->setCurrentIndex(index);
}

std::optional<report::MeasuredCheck> NecMeasuredPage::CompareInBackground(
    const sweep::MeasuredFile& m, const std::string& name, const nec::Design& design, const nec::Settings& settings,
    const nec::Plan& plan, const std::string& output, nec::Engine& engine, const nec::EngineProgress& progress) {
  try {
    const nec::Result result = nec::Evaluate(design, settings, plan, output);
    return nec::CompareMeasured(name, InRegion(m, settings.region), design, settings, result, engine, progress);
  } catch (const nec::OutputError&) {
  } catch (const nec::ImpedanceError&) {
  }
  return std::nullopt;
}

void NecMeasuredPage::takeCheck(const nec::Design& design, const nec::Settings& settings, const nec::Plan& plan,
                                const nec::Result& result, const std::string& dateText,
                                std::optional<report::MeasuredCheck> compared) {
  check_ = Check{design, settings, plan, result, dateText};
  compared_ = measured_ ? std::move(compared) : std::nullopt;
  fitted_ = compared_.has_value();
  // A check started without the sweep shows it without the fit.
  if (measured_ && !compared_) compareBands();
  fillBands();
  enable(idle_);
}

void NecMeasuredPage::compareBands() {
  compared_ = nec::CompareMeasuredBands(measuredName_, InRegion(*measured_, check_->settings.region), check_->design,
                                        check_->result);
  fitted_ = false;
}

void NecMeasuredPage::clearCheck() {
  check_.reset();
  compared_.reset();
  fitted_ = false;
  fillBands();
  enable(idle_);
}

QString NecMeasuredPage::noteLines() const {
  if (!compared_ || !check_) return QString();
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  QStringList bands;
  for (const report::MeasuredBandRow& b : compared_->bands) {
    const std::string measured = b.measured ? report::ResonancesText(*b.measured, lang, sep)
                                            : std::string(say(lang, Text::CheckMeasuredSwrOnly));
    const std::string model =
        b.counted ? report::ResonancesText(b.model, lang, sep) : std::string(say(lang, Text::CheckMeasuredNotModelled));
    bands << q(report::NecBandName(b.band, 0, sep) + " " + measured + " (" + model + ")");
  }
  QString lines = '\n' + say(Text::WindowMeasuredNote) +
                  (bands.isEmpty() ? say(Text::CheckMeasuredNoBands) : bands.join(QStringLiteral("; ")));
  // A sweep opened after the check has no fitted length yet.
  lines += '\n' + (fitted_ ? q(report::FitLine(*compared_, lang, sep)) : say(Text::WindowMeasuredNextCheck));
  return lines;
}

void NecMeasuredPage::enable(bool idle) {
  idle_ = idle;
  openButton->setEnabled(idle);
  dropButton->setEnabled(idle && measured_);
  const bool checked = idle && check_.has_value();
  for (QWidget* w : std::initializer_list<QWidget*>{sheetButton, printButton, touchstoneButton}) w->setEnabled(checked);
  bandList->setEnabled(checked && bandList->count() > 0);
  pruneButton->setEnabled(checked && bandList->count() > 0);
}

std::optional<double> NecMeasuredPage::allowance() {
  const QString text = allowanceField->text().trimmed();
  const double cm = text.isEmpty() ? -1 : nec::TypedDecimal(Module1::parse(text));
  if (cm >= 0 && cm <= 100) return cm / 100;
  showMessage(this, say(Text::WindowMeasuredAllowanceRefused), Title(), Icon::Exclamation);
  allowanceField->setFocus();
  allowanceField->selectAll();
  return std::nullopt;
}

std::optional<report::NecCheckReport> NecMeasuredPage::shownReport() const {
  if (!check_) return std::nullopt;
  report::NecCheckReport r = report::MakeNecCheckReport(
      check_->design, check_->plan, check_->result, Module1::language(), Module1::decimalSeparator(), check_->dateText);
  r.measured = compared_;
  return r;
}

void NecMeasuredPage::onOpen() {
  if (!idle_) return;
  FileDialogRequest request;
  request.title = say(Text::WindowMeasuredOpenTitle);
  request.initialFolder = Module1::state().resultsFolder;
  request.filter = QStringLiteral("Touchstone (*.s1p)|*.s1p|CSV (*.csv)|*.csv");
  const std::optional<FileDialogResult> chosen = seam().openFile(this, request);
  if (!chosen || chosen->path.isEmpty()) return;
  const std::string path = Module1::nativePath(chosen->path);
  // The bands by the region of the check shown; a check compares them by its own.
  sweep::MeasuredFile file = sweep::ReadMeasured(path, check_ ? check_->settings.region : nec::kDefaultRegion);
  if (!file.read) {
    // The sweep shown before stays.
    showMessage(this, q(file.refusal.in(Module1::language())), Title(), Icon::Exclamation);
    return;
  }
  measured_ = std::make_shared<const sweep::MeasuredFile>(std::move(file));
  measuredName_ = path;
  compared_.reset();
  fitted_ = false;
  if (check_) compareBands();
  showFile();
  fillBands();
  enable(idle_);
  emit sweepChanged();
}

void NecMeasuredPage::onDrop() {
  if (!idle_ || !measured_) return;
  measured_.reset();
  measuredName_.clear();
  compared_.reset();
  fitted_ = false;
  showFile();
  fillBands();
  enable(idle_);
  emit sweepChanged();
}

void NecMeasuredPage::saveAs(const QString& title, const QString& proposedName, const QString& suffix,
                             const QString& filter, const std::string& bytes) {
  FileDialogRequest request;
  request.title = title;
  request.initialFolder = Module1::state().resultsFolder;
  request.proposedName = proposedName;
  request.filter = filter;
  request.overwritePrompt = true;
  const std::optional<FileDialogResult> chosen = seam().saveFile(this, request);
  if (!chosen || chosen->path.isEmpty()) return;
  QString path = chosen->path;
  if (QFileInfo(path).suffix().toLower() != suffix) path += '.' + suffix;
  try {
    files::WriteFileAtomically(Module1::nativePath(path), bytes);
  } catch (const files::FileError& e) {
    showMessage(this, q(files::FileErrorText(Module1::language(), e.error(), e.path())), Title(), Icon::Exclamation);
  }
}

void NecMeasuredPage::onSaveTouchstone() {
  if (!idle_ || !check_) return;
  saveAs(say(Text::WindowMeasuredTouchstoneTitle),
         QFileInfo(QString::fromLatin1(sweep::kModelSweepFileName)).baseName(), QStringLiteral("s1p"),
         QStringLiteral("Touchstone (*.s1p)|*.s1p"), sweep::WriteTouchstone(sweep::ModelSweep(check_->result)));
}

void NecMeasuredPage::onSaveSheet() {
  if (!idle_ || !check_) return;
  const std::optional<double> perEnd = allowance();
  if (!perEnd) return;
  saveAs(say(Text::WindowMeasuredSaveSheetTitle), QFileInfo(QString::fromLatin1(report::kSheetFileName)).baseName(),
         QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)|*.pdf"), report::WriteSheet({*shownReport(), *perEnd}));
}

void NecMeasuredPage::onPrintSheet() {
  if (!idle_ || !check_) return;
  const std::optional<double> perEnd = allowance();
  if (!perEnd) return;
  const report::SheetData sheet{*shownReport(), *perEnd};
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setFullPage(true);
  // Without a printer the sheet's own PDF goes into the results folder.
  const QString pdfPath = Printout::toPrinterOrPdf(printer, QString::fromLatin1(report::kSheetFileName));
  if (!pdfPath.isEmpty()) {
    try {
      files::WriteFileAtomically(Module1::nativePath(pdfPath), report::WriteSheet(sheet));
    } catch (const files::FileError& e) {
      showMessage(this, q(files::FileErrorText(Module1::language(), e.error(), e.path())), Title(), Icon::Exclamation);
      return;
    }
    Printout::tellPdf(this, pdfPath);
    return;
  }
  if (!seam().choosePrinter(this, printer, PrintRequest{})) return;
  seam().setBusy(true);
  const bool printed = PrintSheet(printer, report::SheetPage(sheet));
  seam().setBusy(false);
  if (!printed) showMessage(this, say(Text::WindowMeasuredPrintFailed), Title(), Icon::Exclamation);
}

void NecMeasuredPage::onTakeOverPruning() {
  if (!idle_ || !check_ || !compared_ || bandList->currentIndex() < 0) return;
  const int band = bandList->currentData().toInt();
  const char sep = Module1::decimalSeparator();
  for (const report::MeasuredBandRow& b : compared_->bands) {
    if (b.band != band || !b.measured || b.measured->empty()) continue;
    // The resonance nearest the band's own frequency in the check; a band
    // not checked gives its lowest.
    double own = b.measured->front();
    for (const nec::BandCheck& c : check_->result.bands)
      if (c.solved.band == band) own = c.solved.frequency;
    double resonance = b.measured->front();
    for (const double f : *b.measured)
      if (std::fabs(f - own) < std::fabs(resonance - own)) resonance = f;
    mainForm::takeOverPruning(q(vk::PruningLengthText(check_->design.length, sep)),
                              q(report::FormatPicture(resonance, "#0.000", sep)));
    return;
  }
}

}  // namespace lorvant
