#include "windows/nec/NecAirPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "engine/nec/feedline.h"
#include "io/staged_files.h"
#include "picture/polar_picture.h"
#include "session/design.h"
#include "session/messages.h"
#include "session/nec_check.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "text/format.h"
#include "text/reports/neccheck.h"
#include "windows/nec/frmNec.h"

namespace lorvant {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The batch tool's bounds of --feedline-diameter and --choke.
constexpr double kMaxDiameterMm = 50, kMaxChokeOhms = 1e6;

}  // namespace

// ---- the inputs ----

NecAirInputs::NecAirInputs(QWidget* parent) : QWidget(parent) {
  patternBox = new QCheckBox(this);
  feedlineBox = new QCheckBox(this);
  diameterLabel = new QLabel(this);
  diameterField = new QLineEdit(this);
  chokeLabel = new QLabel(this);
  chokeField = new QLineEdit(this);
  for (QLineEdit* field : {diameterField, chokeField}) Fields::filterNumbers(field, kDecimalKeys);
  chokeField->setMaxLength(8);
  diameterLabel->setBuddy(diameterField);
  chokeLabel->setBuddy(chokeField);
  // Two rows, as the other pages' three at most: the window keeps its size.
  auto* grid = new QGridLayout(this);
  grid->addWidget(patternBox, 0, 0, 1, 2);
  grid->addWidget(feedlineBox, 1, 0, 1, 2);
  grid->addWidget(diameterLabel, 0, 2);
  grid->addWidget(diameterField, 0, 3);
  grid->addWidget(chokeLabel, 1, 2);
  grid->addWidget(chokeField, 1, 3);
  grid->setHorizontalSpacing(12);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(3, 1);
  const char sep = Module1::decimalSeparator();
  diameterField->setText(q(report::FormatGeneral(nec::kDefaultFeedlineDiameterMm, sep)));
  chokeField->setText(QStringLiteral("0"));
  connect(feedlineBox, &QCheckBox::toggled, this, [this] { enable(idle_); });
  applyCaptions();
  enable(true);
}

void NecAirInputs::applyCaptions() {
  patternBox->setText(say(Text::AirWindowPatterns));
  feedlineBox->setText(say(Text::AirWindowFeedline));
  diameterLabel->setText(say(Text::AirWindowDiameter));
  chokeLabel->setText(say(Text::AirWindowChoke));
  chokeField->setToolTip(say(Text::AirWindowChokeTip));
}

void NecAirInputs::enable(bool idle) {
  idle_ = idle;
  patternBox->setEnabled(idle);
  feedlineBox->setEnabled(idle);
  const bool shield = idle && feedlineBox->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{diameterLabel, diameterField, chokeLabel, chokeField})
    w->setEnabled(shield);
}

std::optional<NecAirInputs::Refusal> NecAirInputs::read(nec::AirSettings& s) const {
  s = {};
  s.patterns = patternBox->isChecked();
  if (!feedlineBox->isChecked()) return std::nullopt;
  const auto number = [](const QLineEdit* field) { return nec::TypedDecimal(Module1::parse(field->text())); };
  nec::Feedline f;
  f.diameterMm = number(diameterField);
  if (!(f.diameterMm > 0 && f.diameterMm <= kMaxDiameterMm))
    return Refusal{diameterField, say(Text::AirWindowDiameterRefused)};
  f.chokeOhms = chokeField->text().trimmed().isEmpty() ? 0 : number(chokeField);
  if (!(f.chokeOhms >= 0 && f.chokeOhms <= kMaxChokeOhms)) return Refusal{chokeField, say(Text::AirWindowChokeRefused)};
  s.feedline = f;
  return std::nullopt;
}

void NecAirInputs::give(design::NecInputs& d) const {
  d.pattern = patternBox->isChecked();
  d.feedline = feedlineBox->isChecked();
  d.feedlineDiameter = design::Stored(diameterField->text().toStdString());
  d.choke = design::Stored(chokeField->text().toStdString());
}

void NecAirInputs::take(const design::NecInputs& d) {
  const char sep = Module1::decimalSeparator();
  patternBox->setChecked(d.pattern);
  feedlineBox->setChecked(d.feedline);
  diameterField->setText(q(design::Shown(d.feedlineDiameter, sep)));
  chokeField->setText(q(design::Shown(d.choke, sep)));
  enable(idle_);
}

// ---- the pictures ----

NecAirView::NecAirView(QWidget* parent) : QWidget(parent) {
  QWidget* inner = this;
  auto* column = new QVBoxLayout(inner);
  column->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout();
  bandLabel = new QLabel(inner);
  bandList = new QComboBox(inner);
  bandLabel->setBuddy(bandList);
  saveButton = new QPushButton(inner);
  row->addWidget(bandLabel);
  row->addWidget(bandList);
  row->addWidget(saveButton);
  row->addStretch();
  column->addLayout(row);
  auto* pictures = new QHBoxLayout();
  elevationView = new QLabel(inner);
  azimuthView = new QLabel(inner);
  for (QLabel* view : {elevationView, azimuthView}) {
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictures->addWidget(view);
  }
  pictures->addStretch();
  column->addLayout(pictures);
  linesLabel = new QLabel(inner);
  linesLabel->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  linesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(linesLabel);
  connect(bandList, &QComboBox::currentIndexChanged, this, [this] { draw(); });
  connect(saveButton, &QPushButton::clicked, this, &NecAirView::onSave);
  applyCaptions();
}

void NecAirView::show(const nec::AirResult& air, float extraFrequency, Lines lines) {
  air_ = air;
  extraFrequency_ = extraFrequency;
  lines_ = std::move(lines);
  applyCaptions();
}

void NecAirView::clear() {
  air_.reset();
  lines_ = {};
  applyCaptions();
}

void NecAirView::applyCaptions() {
  const char sep = Module1::decimalSeparator();
  bandLabel->setText(say(Text::AirWindowBand));
  saveButton->setText(say(Text::AirWindowSave));
  {
    // The bands with a pattern, the chosen one kept.
    const QSignalBlocker quiet(bandList);
    const int chosen = std::max(0, bandList->currentIndex());
    bandList->clear();
    if (air_)
      for (const nec::BandAir& b : air_->bands)
        if (b.pattern) bandList->addItem(q(report::NecBandName(b.band, extraFrequency_, sep)));
    bandList->setCurrentIndex(std::min(chosen, bandList->count() - 1));
  }
  QString text;
  if (lines_)
    for (const std::string& line : lines_(Module1::language(), sep)) text += q(line) + '\n';
  linesLabel->setText(air_ ? text.trimmed() : say(Text::AirWindowNothing));
  // Only a check on the air takes room (its lines differ in length by
  // language; without one nothing may change the scrolled room's size).
  setVisible(air_.has_value());
  draw();
}

void NecAirView::draw() {
  elevation_ = azimuth_ = {};
  elevationView->clear();
  azimuthView->clear();
  const int index = bandList->currentIndex();
  bandList->setEnabled(bandList->count() > 1);
  saveButton->setEnabled(bandList->count() > 0);
  if (!air_ || index < 0) return;
  int seen = 0;
  for (const nec::BandAir& b : air_->bands) {
    if (!b.pattern || seen++ != index) continue;
    const Language lang = Module1::language();
    const char sep = Module1::decimalSeparator();
    elevation_ = nec::MakePolarPicture(b, nec::PolarCut::Elevation, extraFrequency_, lang, sep);
    azimuth_ = nec::MakePolarPicture(b, nec::PolarCut::Azimuth, extraFrequency_, lang, sep);
    elevationView->setPixmap(QPixmap::fromImage(PaintSwrPicture(elevation_)));
    azimuthView->setPixmap(QPixmap::fromImage(PaintSwrPicture(azimuth_)));
  }
}

void NecAirView::onSave() {
  if (!air_ || bandList->count() == 0) return;
  const std::optional<QString> path =
      AskPictureFile(this, say(Text::AirWindowSaveTitle), QStringLiteral("NecAir"), true);
  if (!path) return;
  // Every band's two pictures beside the chosen name, as the batch tool's
  // --picture writes them, all together or none.
  try {
    nec::CommitCheckFiles(nec::PolarPictureFiles(*air_, Module1::nativePath(*path), extraFrequency_,
                                                 Module1::language(), Module1::decimalSeparator()));
  } catch (const files::FileError& e) {
    showMessage(this, q(files::FileErrorText(Module1::language(), e.error(), e.path())), QStringLiteral(" NEC-2"),
                Icon::Exclamation);
  }
}

}  // namespace lorvant
