// The main input form: the user describes the antenna here and starts the
// optimisation run. Other windows read and write its fields by control name.
#pragma once

#include <QWidget>
#include <array>

class QLineEdit;
class QComboBox;
class QCheckBox;
class QRadioButton;
class QPushButton;
class QLabel;
class QScrollBar;
class QGroupBox;

namespace lorvant {

class frmHauptform : public QWidget {
  Q_OBJECT
 public:
  static frmHauptform* instance();  // loads the form on first use
  static frmHauptform* loaded();    // nullptr while not loaded

  // Re-captions every element in the current language.
  void HauptForm_Sprache();
  // Spinner from Text4: 1000 - (v * 1000 rounded half-even); used when the
  // main window or this form becomes active.
  void syncSpinnerFromVk();
  // Command1 ("&Rechnen"): runs the optimisation.
  void runCalculation();

  // Controls, named as the other windows address them.
  QLineEdit* Text1 = nullptr;  // preferred frequency, MHz
  QLineEdit* Text2 = nullptr;  // half-waves
  QLineEdit* Text3 = nullptr;  // maximum wire length, m
  QLineEdit* Text4 = nullptr;  // shortening factor Vk
  QLineEdit* Text5 = nullptr;  // tolerance, %
  QLineEdit* Text6 = nullptr;  // outer diameter, mm
  QLineEdit* Text8 = nullptr;  // minimum current sum
  QComboBox* Combo1 = nullptr;  // dielectric constant (editable)
  QComboBox* Combo2 = nullptr;  // conductor diameter (editable)
  QScrollBar* VkSteller = nullptr;
  std::array<QCheckBox*, 11> Check1{};  // band boxes, tristate
  QCheckBox* Check10 = nullptr;  // all
  QCheckBox* Check2 = nullptr;   // classic WINDOM
  QCheckBox* Check11 = nullptr;  // special table
  std::array<QRadioButton*, 3> Option1{};  // segment
  std::array<QRadioButton*, 3> Option2{};  // length mode
  QRadioButton* Option3 = nullptr;  // maximum current sum
  QRadioButton* Option4 = nullptr;  // equal impedances
  QPushButton* Command1 = nullptr;  // calculate
  QPushButton* Command2 = nullptr;  // show report
  QLabel* Info = nullptr;           // notes
  QLabel* Bild1 = nullptr;          // current-curve picture
  QLabel* Label1 = nullptr;         // frequency label (its caption is read by the feed-point check)

 protected:
  explicit frmHauptform(QWidget* parent = nullptr);
};

}  // namespace lorvant
