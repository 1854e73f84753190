// The shortening-factor calculator window. The pruning command reuses it
// with other captions; the calculate button tells the two apart by the
// window caption. While its tag reads "Aktiv" the rest of the program takes
// height, diameter and ground correction from it.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "engine/shortening.h"

class QLineEdit;
class QComboBox;
class QPushButton;
class QLabel;
class QGroupBox;
class QMenuBar;
class QMenu;
class QAction;

namespace lorvant {
namespace design {
struct Design;
}

class frmVk : public QWidget {
  Q_OBJECT
 public:
  static frmVk* instance();  // loads the window on first use
  static frmVk* loaded();    // nullptr while not loaded

  // Main-window menu commands.
  // Each brings the window back as it is when it already shows its layout
  // and switches it over cleanly when it shows the other one.
  static void mnuVk();       // calculator
  static void mnuPruning();  // pruning layout

  // What the calculations of the main form read: active exactly while the
  // window is loaded and its tag is "Aktiv".
  static CalculatorState calculatorState();
  // Its conductor diameter as typed (empty while not loaded).
  static QString diameterText();

  // Command1: the calculator or the pruning computation, by the caption.
  void Command1_Click();
  // Takes the last result over into the main form and the additional dipole.
  void takeOver();
  // The captions of the layout it shows, in the current language; fields
  // and results stay.
  void applyCaptions();
  // Unloads the window: the calculator is no longer active.
  void unload();
  // The main form's conductor diameter changed.
  void conductorChanged(const QString& text);

  QString Tag;  // shown: "-" after loading, "Aktiv" after a calculation

  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QComboBox* Combo1 = nullptr;
  QPushButton* Command1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QMenuBar* menuBar = nullptr;
  QMenu* mnuOpt = nullptr;
  QAction* mnuVkUebernehmen = nullptr;  // "&Vk übernehmen"
  QAction* mnuErdbodenKor = nullptr;    // "&Erdbodenkorrektur"

  float lastVk() const { return lastVk_; }

  // A design's part of this window: the calculator's inputs (and whether
  // it is active) or the pruning's, by the layout shown. Taking returns
  // whether the design had a part for the layout.
  bool calculatorLayout() const;
  void giveInputs(design::Design& d) const;
  bool takeInputs(const design::Design& d);

 protected:
  explicit frmVk(QWidget* parent = nullptr);
  ~frmVk() override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The two layouts share the fields; which one is shown decides what they hold.
  enum class Layout { Calculator, Pruning };
  Layout layout_ = Layout::Calculator;
  // Active once a calculation succeeded: the main form's runs then take
  // height, diameter and ground correction from here.
  bool active_ = false;
  void setActive(bool active);
  void applyCalculatorCaptions();
  void applyPruningCaptions();
  // The calculator layout as at loading: captions, list, inputs, no result.
  void setUpCalculatorLayout();
  void calculateVk();
  void calculatePruning();
  // A refused input leaves no result of the inputs before it.
  void clearResults();
  // The inputs as they stand; a result belongs to those it was computed from.
  QStringList inputs() const;
  // Writes the conductor into the main form when its field takes it.
  void takeOverConductor();
  void refuseTakeOver(const QString& reason);

  float lastVk_ = 0;
  QStringList resultInputs_;  // what lastVk_ was computed from
};

}  // namespace lorvant
