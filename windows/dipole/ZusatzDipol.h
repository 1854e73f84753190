// The additional, radiation-coupled dipole or WINDOM: length, feed point
// and spacing beside an exciting antenna, written to ZusatzDipol.txt.
#pragma once

#include <QWidget>
#include <array>

#include "session/calculators/dipole.h"

class QLineEdit;
class QComboBox;
class QPushButton;
class QRadioButton;
class QLabel;
class QGroupBox;
class QLayout;

namespace lorvant {
namespace design {
struct DipoleInputs;
}

class ZusatzDipol : public QWidget {
  Q_OBJECT
 public:
  static ZusatzDipol* instance();  // loads the window on first use (not shown)
  static ZusatzDipol* loaded();    // nullptr while not loaded

  // Main-window menu command: shows the window.
  static void mnuBerZusDipol();

  // Every activation: lowest counted band and both diameters.
  void refresh();
  // Every caption in the current language (those of the chosen variant
  // too); fields and results stay.
  void applyCaptions();
  void Option1_Click(int index);
  void Command1_Click();  // calculate
  void Command2_Click();  // conditions

  // The inputs as the calculation reads them.
  dipole::Inputs inputs() const;
  // The captions the window shows, as the report quotes them.
  dipole::Texts shownCaptions() const;

  // A design's part of this window.
  void giveInputs(design::DipoleInputs& d) const;
  void takeInputs(const design::DipoleInputs& d);

  std::array<QRadioButton*, 2> Option1{};
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QLineEdit* Text1 = nullptr;   // f_add
  QLineEdit* Text2 = nullptr;   // f_exc
  QLineEdit* Text3 = nullptr;   // impedance
  QLineEdit* Text4 = nullptr;   // d_add
  QLineEdit* Text5 = nullptr;   // d_exc
  QLineEdit* Text6 = nullptr;   // Vk
  QLineEdit* Text7 = nullptr;   // half-waves of the WINDOM
  QComboBox* Combo1 = nullptr;  // feed-point fraction
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;  // result: spacing
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;  // result: length
  QLabel* Label11 = nullptr;  // result: feed point
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QGroupBox* Frame3 = nullptr;

 protected:
  explicit ZusatzDipol(QWidget* parent = nullptr);

 private:
  // The steps of building the window.
  QLayout* typeRow(const dipole::Texts& t);
  QGroupBox* additionalFrame();
  QGroupBox* exciterFrame();
  void load(const dipole::Texts& t);
  void applyCaptions(const dipole::Texts& t);
  void fillFractions(const std::vector<std::string>& items, bool enabled);
  // Results of inputs that are no longer the window's.
  void clearResults();
};

}  // namespace lorvant
