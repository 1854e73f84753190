// The main form's part of a design: its fields given to the record and
// taken from it. Taking sets every control at once with its handlers
// quiet, so that no field derives another from a half-set design; the
// enabled states and the spinner then follow the whole.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <vector>

#include "session/design.h"
#include "shell/Module1.h"
#include "shell/Text.h"
#include "windows/main/frmHauptform.h"

namespace lorvant {

void frmHauptform::giveInputs(design::MainInputs& m) const {
  using design::Stored;
  m.frequency = Stored(utf8(Text1->text()));
  m.halfWaves = Stored(utf8(Text2->text()));
  m.wireLength = Stored(utf8(Text3->text()));
  m.shorteningFactor = Stored(utf8(Text4->text()));
  m.tolerance = Stored(utf8(Text5->text()));
  design::SetDielectric(m, utf8(Combo1->currentText()));
  m.outerDiameter = Stored(utf8(Text6->text()));
  m.conductorDiameter = Stored(utf8(Combo2->currentText()));
  m.minimumSum = Stored(utf8(Text8->text()));
  m.bands = bandValues();
  m.allBands = Check10->isChecked();
  m.windom = Check2->isChecked();
  m.specialTable = Check11->isChecked();
  m.segment = segment();
  m.lengthMode = lengthMode();
  m.equalImpedances = Option4->isChecked();
}

void frmHauptform::takeInputs(const design::MainInputs& m) {
  const char sep = Module1::decimalSeparator();
  const auto shown = [sep](const std::string& stored) { return qs(design::Shown(stored, sep)); };
  {
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* o : std::initializer_list<QObject*>{Text1, Text2, Text3, Text4, Text5, Text6, Text8, Combo1, Combo2,
                                                      Check10, Check2, Check11, Option3, Option4})
      quiet.push_back(std::make_unique<QSignalBlocker>(o));
    for (QObject* o : Check1) quiet.push_back(std::make_unique<QSignalBlocker>(o));
    for (QObject* o : Option1) quiet.push_back(std::make_unique<QSignalBlocker>(o));
    for (QObject* o : Option2) quiet.push_back(std::make_unique<QSignalBlocker>(o));

    Text1->setText(shown(m.frequency));
    Text2->setText(shown(m.halfWaves));
    Text3->setText(shown(m.wireLength));
    Text4->setText(shown(m.shorteningFactor));
    Text5->setText(shown(m.tolerance));
    Combo1->setEditText(qs(design::DielectricText(m, Module1::language(), sep)));
    Text6->setText(shown(m.outerDiameter));
    Combo2->setEditText(shown(m.conductorDiameter));
    Text8->setText(shown(m.minimumSum));
    for (int i = 0; i < kBandCount; ++i) setBandValue(i, m.bands[static_cast<std::size_t>(i)]);
    Check10->setChecked(m.allBands);
    Check2->setChecked(m.windom);
    Check11->setChecked(m.specialTable);
    Option1[std::clamp(ButtonOfSegment(m.segment), 0, 2)]->setChecked(true);
    Option2[std::clamp(static_cast<int>(m.lengthMode), 0, 2)]->setChecked(true);
    (m.equalImpedances ? Option4 : Option3)->setChecked(true);
  }
  lengthModeChanged();
  setInsulationEnabled(IsInsulated(Module1::parse(Combo1->currentText())), true);
  syncSpinnerFromVk();
  emit conductorChanged(Combo2->currentText());
}

}  // namespace lorvant
