// The shortening-factor calculator window. The pruning command reuses it
// with other captions; the calculate button tells the two apart by the
// window caption. While its tag reads "Aktiv" the rest of the program takes
// height, diameter and ground correction from it.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "engine/shortening.h"
#include "io/engine_runner.h"

class QLineEdit;
class QComboBox;
class QPushButton;
class QLabel;
class QGroupBox;
class QMenuBar;
class QMenu;
class QAction;
class QTimer;

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
  // The pruning layout with a measured wire's length and resonance in its
  // fields (the NEC-2 window hands them over from an analyser's sweep).
  static void takeOverMeasured(const QString& length, const QString& frequency);

  // What the calculations of the main form read: active exactly while the
  // window is loaded and its tag is "Aktiv".
  static CalculatorState calculatorState();
  // Its conductor diameter as typed (empty while not loaded).
  static QString diameterText();

  // Command1: the calculator or the pruning computation, by the caption.
  void Command1_Click();
  // Takes the last result over into the main form and the additional dipole.
  void takeOver();
  // The same with the last NEC-2 Vk.
  void takeOverNec();
  // The NEC-2 button: the calculation, then the half-wave wire of its Vk
  // through the engine in the background; while that runs the button
  // cancels it.
  void Command2_Click();
  bool necRunning() const { return job_ != nullptr; }

  // The engine of the next NEC-2 steps; empty: nec2c on PATH. Tests put a
  // fake engine here.
  using EngineFactory = std::function<std::unique_ptr<nec::Engine>()>;
  static void setEngineFactory(EngineFactory factory);
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
  QLabel* Label10 = nullptr;        // "Boden:"
  QComboBox* Combo2 = nullptr;      // the NEC-2 step's ground
  QPushButton* Command2 = nullptr;  // "Vk mit NEC-2"
  QLabel* Label11 = nullptr;        // "Verkürzungsfaktor (NEC-2):"
  QLabel* Label12 = nullptr;        // the NEC-2 Vk
  QGroupBox* Frame1 = nullptr;
  QMenuBar* menuBar = nullptr;
  QMenu* mnuOpt = nullptr;
  QAction* mnuVkUebernehmen = nullptr;     // "&Vk übernehmen"
  QAction* mnuErdbodenKor = nullptr;       // "&Erdbodenkorrektur"
  QAction* mnuNecVkUebernehmen = nullptr;  // "Vk (NEC-2) ü&bernehmen"

  float lastVk() const { return lastVk_; }
  float lastNecVk() const { return lastNecVk_; }

  // A design's part of this window: the calculator's inputs (and whether
  // it is active) or the pruning's, by the layout shown. Taking returns
  // whether the design had a part for the layout.
  bool calculatorLayout() const;
  void giveInputs(design::Design& d) const;
  bool takeInputs(const design::Design& d);

 signals:
  // A NEC-2 step ended (with a Vk, a failure or cancelled).
  void necFinished();

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
  // Takes `vk` over when the inputs `now` are still those it was computed `from`.
  void takeOverValue(float vk, const QStringList& from, const QStringList& now);
  // The NEC-2 step's widgets belong to the calculator layout only.
  void showNecStep(bool shown);
  void applyNecCaptions();
  void clearNecResult();
  QStringList necInputs() const;
  // The NEC-2 step's ground: its index in vk::kNecGrounds, and set by its word.
  int necGroundIndex() const;
  void setNecGround(const std::string& word);
  void cancelNec();
  void pollNec();
  void finishNec();

  float lastVk_ = 0;
  QStringList resultInputs_;  // what lastVk_ was computed from
  float lastNecVk_ = 0;
  QStringList necResultInputs_;  // what lastNecVk_ was computed from

  struct Job;
  std::shared_ptr<Job> job_;
  QTimer* timer_ = nullptr;
};

}  // namespace lorvant
