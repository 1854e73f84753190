// The main input form: the user describes the antenna here and starts the
// optimisation run. Other windows know it only through MainForm.h; its
// controls are public for the program's top (app/) and the form's own tests.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "engine/shortening.h"
#include "picture/curve_picture.h"
#include "session/mainform.h"

class QLineEdit;
class QComboBox;
class QCheckBox;
class QRadioButton;
class QPushButton;
class QLabel;
class QScrollBar;
class QGroupBox;
class QKeyEvent;

namespace lorvant {

// A key of the catalogue (text/catalogue.h), which moc cannot read.
enum class Text : unsigned short;

namespace design {
struct MainInputs;
}
struct RunInput;
struct RunOutput;
class ImageCanvas;

class frmHauptform : public QWidget {
  Q_OBJECT
 public:
  static frmHauptform* instance();  // loads the form on first use
  static frmHauptform* loaded();    // nullptr while not loaded
  ~frmHauptform() override;

  // Re-captions every element in the current language; the note and the
  // picture of a run are rendered anew in it.
  void HauptForm_Sprache();

  // The note under the commands is kept as pieces, each with what renders
  // it in the language of the moment, so a language switch shows all of it
  // in the new language.
  using NoteText = std::function<QString()>;
  static NoteText bilingual(Text key);
  // The note becomes this one piece.
  void setNote(NoteText text);
  // Appends a piece (after a line break when `ownLine`) unless the note
  // already shows it.
  void addNote(NoteText text, bool ownLine);
  // Spinner from Text4: 1000 - (v * 1000 rounded half-even); used when the
  // main window or this form becomes active.
  void syncSpinnerFromVk();
  // Command1 ("&Rechnen"): runs the optimisation.
  void runCalculation();
  // Command2 ("&Anzeigen"): shows the current-sum report in the viewer.
  void showReport();
  // What the form does each time it becomes the active window: status
  // text, wire length cleared, spinner taken from Vk.
  void activate();

  // Band box value: 0 off, 1 counted, 2 grey.
  BandState bandValue(int index) const;
  void setBandValue(int index, BandState value);
  BandValues bandValues() const;
  // Segment code 1..3 from Option1; length mode 0..2 from Option2.
  // The chosen segment button; none when none is (the run reads it as the
  // band centre).
  std::optional<Segment> selectedSegment() const;
  Segment segment() const { return SegmentOrCentre(selectedSegment()); }
  LengthMode lengthMode() const;
  // What the length search reads from this form (and Module1's additional
  // band); the calculator's part comes from calculatorState().
  LengthContext lengthContext() const;

  // The run's inputs, gathered from the fields.
  RunInput runInput() const;
  // A design's part of this form: the fields given to it, and its values
  // shown in the fields (DesignFields.cpp).
  void giveInputs(design::MainInputs& m) const;
  void takeInputs(const design::MainInputs& m);
  // What the tool windows read: the fields, the note and the last run.
  MainFormValues values() const;

  // The shortening-factor calculator's contribution (mainForm::installCalculator).
  static CalculatorState calculatorState();

  // Controls, named as the other windows address them.
  QLineEdit* Text1 = nullptr;   // preferred frequency, MHz
  QLineEdit* Text2 = nullptr;   // half-waves
  QLineEdit* Text3 = nullptr;   // maximum wire length, m
  QLineEdit* Text4 = nullptr;   // shortening factor Vk
  QLineEdit* Text5 = nullptr;   // tolerance, %
  QLineEdit* Text6 = nullptr;   // outer diameter, mm
  QLineEdit* Text8 = nullptr;   // minimum current sum
  QComboBox* Combo1 = nullptr;  // dielectric constant (editable)
  QComboBox* Combo2 = nullptr;  // conductor diameter (editable)
  QScrollBar* VkSteller = nullptr;
  std::array<QCheckBox*, 11> Check1{};     // band boxes, tristate
  QCheckBox* Check10 = nullptr;            // all
  QCheckBox* Check2 = nullptr;             // classic WINDOM
  QCheckBox* Check11 = nullptr;            // special table
  std::array<QRadioButton*, 3> Option1{};  // segment
  std::array<QRadioButton*, 3> Option2{};  // length mode
  QRadioButton* Option3 = nullptr;         // maximum current sum
  QRadioButton* Option4 = nullptr;         // equal impedances
  QPushButton* Command1 = nullptr;         // calculate
  QPushButton* Command2 = nullptr;         // show report
  QLabel* Info = nullptr;                  // notes
  QLabel* Bild1 = nullptr;                 // current-curve picture
  QLabel* Label1 = nullptr;                // frequency label (its caption is read by the feed-point check)
  QLabel* Label2 = nullptr;                // half-waves
  QLabel* Label3 = nullptr;                // "% Toleranz"
  QLabel* Label4 = nullptr;                // "bei max"
  QLabel* Label6 = nullptr;                // wire length
  QLabel* Label7 = nullptr;                // Vk
  QLabel* Label8 = nullptr;                // dielectric constant
  QLabel* Label9 = nullptr;                // "mm"
  QLabel* Label10 = nullptr;               // outer diameter
  QLabel* Label11 = nullptr;               // conductor diameter
  QLabel* Label12 = nullptr;               // minimum current sum
  QGroupBox* Frame1 = nullptr;             // segment
  QGroupBox* Frame2 = nullptr;             // bands
  QGroupBox* Frame3 = nullptr;             // length
  QGroupBox* Frame4 = nullptr;             // length mode
  QGroupBox* Frame5 = nullptr;             // insulation
  QGroupBox* Frame6 = nullptr;             // feed-point mode

  // Pixel size of the current-curve picture (and of AntKurve.BMP). The form
  // shows it scaled down to the room it has, never enlarged.
  static constexpr int kPictureWidth = kPicturePixelWidth;
  static constexpr int kPictureHeight = kPicturePixelHeight;

 signals:
  // A run of "&Rechnen" has ended; `completed` when it wrote its results
  // (the feed-point submenu opens then), false when it stopped early.
  void runFinished(bool completed);
  // The conductor diameter in Combo2 changed (the shortening-factor
  // calculator keeps its own diameter in step while it is active).
  void conductorChanged(const QString& text);

 protected:
  explicit frmHauptform(QWidget* parent = nullptr);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  // The steps of buildControls.
  void createFields();
  void createChoices();
  QGroupBox* lengthFrame(int fieldWidth);
  QGroupBox* lengthModeFrame();
  QGroupBox* insulationFrame(int fieldWidth);
  void bandFrames();
  void arrange(int fieldWidth);
  void setDefaultsAndTabOrder();
  // Sizes the form's sub-window to the main window's area.
  void fitToArea();
  void connectHandlers();
  static QString activeStatus();
  void load();
  void fillMaterialList();
  void renderNote();
  void fillConductorList();

  // Field handlers.
  void allBandsToggled(bool on);
  void bandClicked(int index);
  bool bandKey(int index, int key, Qt::KeyboardModifiers mods);
  void windomToggled(bool on);
  void lengthModeChanged();
  void toleranceLeft();
  void segmentClicked(int index);
  void halfWavesKeyReleased();
  void wireLengthKeyReleased();
  void deriveHalfWaves(bool fromHalfWaveFocus);
  void vkChanged();
  void vkLeft();
  void spinnerFocused();
  void spinnerChanged(int value);
  void materialChosen(int index);
  void materialKeyReleased();
  void setInsulationEnabled(bool on, bool withMmLabel);
  void conductorCheck();
  void minimumLeft();
  void showReportLeft();
  void colourBandBoxes();

  // Writes a number into a field with the locale's separator.
  static QString general(float value);
  static QString picture(float value, const char* pic);

  void applyRunOutput(const RunOutput& out);
  void redrawPicture();
  void showCancelled();
  void clearResults();

  std::unique_ptr<ImageCanvas> canvas_;        // the picture of Bild1, kept between runs
  std::vector<FeedCandidate> lastCandidates_;  // the feed points the last run proposed
  LastRun lastRun_;                            // the last run's conductor and report data (the NEC-2 check models them)
  QSize fittedSize_;                           // the sub-window size last set by fitToArea
  bool pictureOfRun_ = false;                  // Bild1 shows the picture of the last run
  std::vector<NoteText> note_;                 // empty: the design text ("Hinweis:")
  QString noteShown_;                          // what the pieces rendered last
  int spinnerPrevious_ = 0;                    // the spinner's value before its last change
  bool spinnerAdjusting_ = false;
};

}  // namespace lorvant
