#include "windows/main/frmHauptform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "engine/bands.h"
#include "engine/checked.h"
#include "session/mainform.h"
#include "session/run.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"

// What the form's fields do while the user types and moves on: the band
// boxes, the length and half-wave derivation, the shortening factor and its
// spinner, the insulation and the minimum current sum.

namespace lorvant {
namespace {

// Colours of the 16-colour basic palette that the form uses itself.
const QColor kBlack(0, 0, 0);
const QColor kLightRed(255, 0, 0);  // colour 12

}  // namespace

void frmHauptform::connectHandlers() {
  const std::array<QObject*, 11> watched = {Text1, Text2,  Text3,  Text4,     Text5,   Text6,
                                            Text8, Combo1, Combo2, VkSteller, Command2};
  for (QObject* w : watched) w->installEventFilter(this);
  for (QCheckBox* box : Check1) box->installEventFilter(this);
  // Combo2 takes any text: its list entries name the cross-section.
  Fields::filterNumbers(Text2, kWholeKeys);
  for (QLineEdit* e : {Text1, Text3, Text4, Text5, Text6, Text8}) Fields::filterNumbers(e, kDecimalKeys);
  Fields::filterNumbers(Combo1, kDecimalKeys);

  for (int i = 0; i < kBandCount; ++i) connect(Check1[i], &QCheckBox::clicked, this, [this, i] { bandClicked(i); });
  connect(Check10, &QCheckBox::toggled, this, &frmHauptform::allBandsToggled);
  connect(Check2, &QCheckBox::toggled, this, &frmHauptform::windomToggled);
  connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Check2->setChecked(false);
  });
  for (int i = 0; i < 3; ++i) {
    connect(Option1[i], &QRadioButton::clicked, this, [this, i] { segmentClicked(i); });
    connect(Option2[i], &QRadioButton::toggled, this, [this](bool on) {
      if (on) lengthModeChanged();
    });
  }
  connect(Text1, &QLineEdit::textChanged, this, [this] { deriveHalfWaves(false); });
  connect(Text4, &QLineEdit::textChanged, this, &frmHauptform::vkChanged);
  connect(VkSteller, &QScrollBar::valueChanged, this, &frmHauptform::spinnerChanged);
  connect(Combo1, &QComboBox::activated, this, &frmHauptform::materialChosen);
  connect(Combo2, &QComboBox::editTextChanged, this, &frmHauptform::conductorCheck);
  connect(Combo2, &QComboBox::activated, this, &frmHauptform::conductorCheck);
  connect(Command1, &QPushButton::clicked, this, &frmHauptform::runCalculation);
  connect(Command2, &QPushButton::clicked, this, &frmHauptform::showReport);
}

// ---- band boxes -----------------------------------------------------------

void frmHauptform::allBandsToggled(bool on) {
  if (!on) return;
  seam().processEvents();
  for (int i = 0; i < kBandCount; ++i) setBandValue(i, BandState::Counted);
}

void frmHauptform::bandClicked(int) { Check10->setChecked(false); }

bool frmHauptform::bandKey(int index, int key, Qt::KeyboardModifiers mods) {
  if (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier)) return false;
  const BandState before = bandValue(index);
  if (key == Qt::Key_0) {
    if (before == BandState::Counted) setBandValue(index, BandState::Grey);
  } else if (key == Qt::Key_1) {
    setBandValue(index, BandState::Counted);
  } else {
    return false;
  }
  // A box changed by key is a change by the user as much as a click.
  if (bandValue(index) != before) Check10->setChecked(false);
  return true;
}

void frmHauptform::windomToggled(bool on) {
  if (!on) return;
  Option4->setChecked(true);
  const WindomPreset preset = WindomPresetFor(bandValues());
  for (int i = 0; i < kBandCount; ++i) setBandValue(i, preset.bands[i]);
  Text1->setText(general(kDefaultPreferredFrequency));
  Text2->setText(qs(preset.halfWaves));
}

// ---- length, segment, half-waves ------------------------------------------

void frmHauptform::lengthModeChanged() {
  const bool tolerance = Option2[1]->isChecked();
  Text5->setEnabled(tolerance);
  Label3->setEnabled(tolerance);
  Label4->setEnabled(tolerance);
  Text3->setEnabled(!tolerance);
  Label6->setEnabled(!tolerance);
}

void frmHauptform::toleranceLeft() {
  const float v = Module1::parse(Text5->text());
  if (v == 0 || v >= 100) {
    refuse(say(Text::WindowMainToleranceRefused) + kDefaultTolerance + " %.");
    Text5->setText(kDefaultTolerance);
    seam().processEvents();
  }
  Option2[1]->setToolTip(say(Text::WindowMainToleranceTip) + Text5->text() + say(Text::WindowMainToleranceTipUnit));
}

void frmHauptform::segmentClicked(int index) {
  const float f = Module1::parse(Text1->text());
  const float r = SegmentFrequenz(SegmentOrCentre(SegmentOfButton(index)), f);
  if (r > 0) Text1->setText(picture(r, "##0.0##"));
}

void frmHauptform::halfWavesKeyReleased() {
  if (!Text2->text().isEmpty() && Module1::parse(Text2->text()) > 0) Text3->clear();
}

void frmHauptform::wireLengthKeyReleased() {
  if (!Text3->text().isEmpty() && Module1::parse(Text3->text()) > 0) Text2->clear();
}

namespace {
// The half-wave derivation runs each step through attempt(): a step whose
// result is not a number of single precision (or does not fit a whole
// count) leaves its target as it was.
using checked::attempt;
using checked::withinSingle;
double quotient(double a, double b) { return withinSingle(checked::div(a, b)); }
float wholeCount(double v) { return checked::whole16(v); }
}  // namespace

void frmHauptform::deriveHalfWaves(bool fromHalfWaveFocus) {
  float H = Module1::parse(Text2->text());
  const float L = Module1::parse(Text3->text());
  const float F = Module1::parse(Text1->text());
  const float V = Module1::parse(Text4->text());
  if (H == 0 && L == 0) return;
  if (H == 0 && L > 0) {
    const double w = attempt([&] { return quotient(150.0, F); }).valueOr(0);
    float n = attempt([&] { return sng(withinSingle(quotient(quotient(L, V), w))); }).valueOr(0);
    const float k = attempt([&] { return wholeCount(n); }).valueOr(0);
    const float length = attempt([&] {
                           float count = k;
                           float f0 = F;
                           return AntennenLaenge(count, V, Module1::state().insulation, f0, lengthContext());
                         }).valueOr(0);
    if (length > L) n = attempt([&] { return sng(withinSingle(double(n) - 1.0)); }).valueOr(n);
    H = attempt([&] { return wholeCount(n); }).valueOr(H);
    Text2->setText(general(H));
  }
  float B = 0;
  for (int i = 0; i < kBandCount; ++i)
    if (bandValue(i) == BandState::Counted) {
      B = BandNennFrequenz(i);
      break;
    }
  const float ratio = H != 0 ? attempt([&] { return sng(quotient(F, H)); }).valueOr(0) : 0;
  if (ratio != B) {
    const float m = attempt([&] { return wholeCount(quotient(F, B)); }).valueOr(0);
    if (m > H) {
      if (fromHalfWaveFocus)
        refuse(say(Text::WindowMainHalfWavesRaised) + general(m) + say(Text::WindowMainHalfWavesShortOn) + general(B) +
               say(Text::WindowMainHalfWavesMhz));
      Text2->setText(general(m));
    }
  }
}

// ---- shortening factor and spinner ----------------------------------------

namespace {
// (1 - v) * 1000 as a whole spinner position, halves to even.
int spinnerPosition(float v) { return toInt32(sng((1.0 - v) * 1000.0)).value_or(0); }
}  // namespace

void frmHauptform::vkChanged() {
  const bool low = Module1::parse(Text4->text()) < 0.8;
  QPalette pal = Text4->palette();
  pal.setColor(QPalette::Text, low ? kLightRed : kBlack);
  Text4->setPalette(pal);
}

void frmHauptform::vkLeft() {
  const float v = Module1::parse(Text4->text());
  if (!(v > 0 && v <= 1)) {
    setNote(bilingual(Text::WindowMainShorteningRefused));
    Text4->setText(kTypicalShorteningFactorText);
    refuse(Info->text().trimmed());
    seam().processEvents();
  } else if (v == 1) {
    Combo1->setEditText("1,0");
    setInsulationEnabled(false, true);
    refuse(say(Text::WindowMainShorteningOne));
    seam().processEvents();
  } else {
    VkSteller->setValue(spinnerPosition(v));
  }
}

void frmHauptform::spinnerFocused() {
  VkSteller->setValue(spinnerPosition(Module1::parse(Text4->text())));
  seam().processEvents();
}

void frmHauptform::spinnerChanged(int a) {
  const int d = spinnerPosition(Module1::parse(Text4->text()));
  if (!spinnerAdjusting_ && (a < d - 1 || a > d + 1)) {
    // The field was edited since the spinner last moved: the step the user
    // just made applies to the edited value. The corrected position is
    // final; judging it again against the old previous value would walk
    // the spinner to the end of its range.
    const int g = (a - spinnerPrevious_) + d;
    if (VkSteller->value() != g) {
      spinnerAdjusting_ = true;
      VkSteller->setValue(g);
      spinnerAdjusting_ = false;
    }
  }
  spinnerPrevious_ = VkSteller->value();
  Text4->setText(picture(sng(1.0 - VkSteller->value() / 1000.0), "0.00##"));
}

void frmHauptform::syncSpinnerFromVk() {
  const float v = Module1::parse(Text4->text());
  VkSteller->setValue(1000 - toInt32(sng(v * 1000.0)).value_or(0));
}

// ---- insulation -------------------------------------------------------------

void frmHauptform::setInsulationEnabled(bool on, bool withMmLabel) {
  Text6->setEnabled(on);
  Combo2->setEnabled(on);
  Label10->setEnabled(on);
  Label11->setEnabled(on);
  if (withMmLabel) Label9->setEnabled(on);
}

void frmHauptform::materialChosen(int index) { setInsulationEnabled(index >= kFirstInsulatingMaterial, false); }

void frmHauptform::materialKeyReleased() {
  setInsulationEnabled(IsInsulated(Module1::parse(Combo1->currentText())), true);
}

void frmHauptform::conductorCheck() {
  const float c = Module1::parse(Combo2->currentText());
  const float o = Module1::parse(Text6->text());
  if (!(o > c)) Text6->setText(picture(sng(c + 1.0), "##0.0"));
  emit conductorChanged(Combo2->currentText());
}

// ---- minimum current sum, commands, activation ------------------------------

void frmHauptform::minimumLeft() {
  const float v = Module1::parse(Text8->text());
  if (!(v > 0) || v > 1) {
    setNote(bilingual(Text::WindowMainMinimumSumRefused));
    seam().processEvents();
    Text8->setText(general(kDefaultMinimumSum));
    refuse(Info->text().trimmed());
  }
}

void frmHauptform::showReportLeft() {
  Command2->setEnabled(false);
  Forms::setStatus(activeStatus());
}

BandState frmHauptform::bandValue(int index) const {
  switch (Check1[index]->checkState()) {
    case Qt::Checked:
      return BandState::Counted;
    case Qt::PartiallyChecked:
      return BandState::Grey;
    default:
      return BandState::Off;
  }
}

void frmHauptform::setBandValue(int index, BandState value) {
  Check1[index]->setCheckState(value == BandState::Counted ? Qt::Checked
                               : value == BandState::Grey  ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
}

BandValues frmHauptform::bandValues() const {
  BandValues v{};
  for (int i = 0; i < kBandCount; ++i) v[i] = bandValue(i);
  return v;
}

std::optional<Segment> frmHauptform::selectedSegment() const {
  for (int i = 0; i < 3; ++i)
    if (Option1[i]->isChecked()) return SegmentOfButton(i);
  return std::nullopt;
}

LengthMode frmHauptform::lengthMode() const {
  for (int i = 0; i < 3; ++i)
    if (Option2[i]->isChecked()) return static_cast<LengthMode>(i);
  return LengthMode::Preferred;
}

LengthContext frmHauptform::lengthContext() const { return values().lengthContext(); }

namespace {
// Focus that leaves because another window or a popup came up, or because
// the menu is worked with the keys, is no "leaving the field": the user has
// not moved on (a language switch by Alt and the arrows must not disable
// "Anzeigen").
bool leftField(QEvent* event) {
  const auto reason = static_cast<QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason;
}
}  // namespace

bool frmHauptform::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == parentWidget() && event->type() == QEvent::Show) ||
      (event->type() == QEvent::Resize && qobject_cast<QMdiArea*>(watched))) {
    fitToArea();
    return false;
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      for (int i = 0; i < kBandCount; ++i)
        if (watched == Check1[i]) return bandKey(i, key->key(), key->modifiers());
      break;
    }
    case QEvent::KeyRelease:
      if (watched == Text2)
        halfWavesKeyReleased();
      else if (watched == Text3)
        wireLengthKeyReleased();
      else if (watched == Combo1)
        materialKeyReleased();
      break;
    case QEvent::FocusOut:
      if (!leftField(event)) break;
      if (watched == Text2)
        deriveHalfWaves(true);
      else if (watched == Text4)
        vkLeft();
      else if (watched == Text5)
        toleranceLeft();
      else if (watched == Text8)
        minimumLeft();
      else if (watched == Combo2)
        conductorCheck();
      else if (watched == Command2)
        showReportLeft();
      break;
    case QEvent::FocusIn:
      if (watched == VkSteller) spinnerFocused();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lorvant
