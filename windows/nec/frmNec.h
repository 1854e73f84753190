// The NEC-2 check window: the last run's wire with one of its feed points
// (or a typed one), hung flat, sloping or as an inverted V over a ground
// (drawn beside the inputs as it hangs), of a conductor, swept over a
// region's band plan, run through nec2c in the background; the table of
// every counted band, the SWR picture, the balun to use, and the model's
// shortening factor for the main form. Writes Lorvant.nec and NecCheck.txt
// into the results folder, as the batch tool does. Tune searches the length
// and feed point that serve the bands best (Lorvant.nec and NecTune.txt)
// and shows the start and the tuned design side by side.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "io/engine_runner.h"
#include "picture/hanging_picture.h"
#include "picture/swr_picture.h"
#include "session/nec_air.h"
#include "session/nec_check.h"
#include "session/nec_tune.h"

class QComboBox;
namespace lorvant {
class NecAirInputs;
class NecAirView;
}  // namespace lorvant
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QTabWidget;
class QTimer;
class TestNecWindow;

namespace lorvant {
struct MainFormValues;
class NecMeasuredPage;
namespace design {
struct NecInputs;
}
namespace files {
class FolderLock;
}

class frmNec : public QWidget {
  Q_OBJECT
 public:
  static frmNec* instance();  // loads it on first use
  static frmNec* loaded();    // nullptr while not loaded
  // mnuBerNec: the window with the last run's design.
  static void mnuBerNec();
  // Every caption in the current language (the main window calls it after
  // a language switch).
  void applyCaptions();

  // The engine of the next checks; empty: nec2c on PATH. Tests put a fake
  // engine here.
  using EngineFactory = std::function<std::unique_ptr<nec::Engine>()>;
  static void setEngineFactory(EngineFactory factory);

  // Takes the last run's length and feed points from the main form.
  void takeDesign(const MainFormValues& values);

  void onCheck();        // starts the check
  void onCancel();       // stops a running check
  void onSavePicture();  // saves the picture as PNG or SVG
  // The check's shortening factor Vk' into the main form's Vk field.
  void onTakeVk();
  // Tunes the design from the check's inputs in the background.
  void onTune();
  // The tuned design's Vk into the main form and its feed point into this
  // window's feed-point field and the feed-point window's distance.
  void onTakeTuned();
  bool running() const { return job_ != nullptr || tuneJob_ != nullptr; }
  // The last completed tuning (none before, or after the design changed).
  const std::optional<nec::TunedDesign>& tuned() const { return tuned_; }

  // A design's part of this window: feed point, hanging, ground, conductor,
  // region, balun and sweep points.
  void giveInputs(design::NecInputs& d) const;
  void takeInputs(const design::NecInputs& d);

  // The picture of the last completed check (empty before).
  const nec::SwrPicture& picture() const { return picture_; }
  // The drawing of the wire as the inputs hang it; without a wire, the
  // reason it cannot be drawn.
  const nec::HangingPicture& hangingPicture() const { return hanging_; }
  const QString& hangingReason() const { return hangingReason_; }
  // The settings of the last check started (none before).
  const std::optional<nec::Settings>& checkedSettings() const { return checkedSettings_; }

  QLabel* lengthLabel = nullptr;     // the wire's length
  QTabWidget* inputPages = nullptr;  // feed point and check, hanging, conductor and band plan
  QLabel* feedPointLabel = nullptr;
  QComboBox* feedPointList = nullptr;  // proposed feed points; a distance may be typed
  QLabel* shapeLabel = nullptr;
  QComboBox* shapeList = nullptr;  // by nec::Shape
  QLabel* heightLabel = nullptr;
  QLineEdit* heightField = nullptr;  // a flat wire's height, or its start's
  QLabel* endHeightLabel = nullptr;
  QLineEdit* endHeightField = nullptr;
  QLabel* apexHeightLabel = nullptr;
  QLineEdit* apexHeightField = nullptr;
  QLabel* apexAtLabel = nullptr;
  QLineEdit* apexAtField = nullptr;  // empty: the apex is at the feed point
  QLabel* planAngleLabel = nullptr;
  QLineEdit* planAngleField = nullptr;
  QLabel* groundLabel = nullptr;
  QComboBox* groundList = nullptr;
  QLabel* conductorLabel = nullptr;
  QComboBox* conductorList = nullptr;  // by nec::Material
  QLabel* conductivityLabel = nullptr;
  QLineEdit* conductivityField = nullptr;  // empty: the conductor's own
  QLabel* regionLabel = nullptr;
  QComboBox* regionList = nullptr;  // regions 1, 2, 3
  QLabel* balunLabel = nullptr;
  QComboBox* balunList = nullptr;
  QLabel* pointsLabel = nullptr;
  QLineEdit* pointsField = nullptr;
  QLabel* timeoutLabel = nullptr;
  QLineEdit* timeoutEdit = nullptr;  // seconds the engine may take for a frequency
  QPushButton* checkButton = nullptr;
  QPushButton* tuneButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QProgressBar* progressBar = nullptr;
  QTableWidget* resultTable = nullptr;
  QTableWidget* tuneTable = nullptr;  // start and tuned design, one column each
  QLabel* hintLabel = nullptr;        // the balun to use, or what went wrong
  QLabel* pictureView = nullptr;      // the SWR picture
  QPushButton* pictureButton = nullptr;
  QPushButton* takeVkButton = nullptr;     // open after a check that found a resonance
  QPushButton* takeTunedButton = nullptr;  // open after a tuning
  QWidget* hangingView = nullptr;          // paints hangingPicture()
  // On the air: its inputs' page of inputPages, and under the SWR picture
  // (in pictureScroll) each band's polar pictures, after a check with them.
  NecAirInputs* airInputs = nullptr;
  QScrollArea* pictureScroll = nullptr;
  NecAirView* airView = nullptr;

  // The last page of inputPages: the analyser's sweep and the build sheet.
  NecMeasuredPage* measuredPage = nullptr;

 signals:
  // A check ended (completed, failed or cancelled).
  void checkFinished();

 protected:
  explicit frmNec(QWidget* parent = nullptr);
  ~frmNec() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Job;
  struct TuneJob;
  void setRunning(bool on);
  void poll();
  void finish();
  void finishTune();
  // The table of the start and the tuned design.
  void showTuned(const nec::TunedDesign& t);
  // The typed or chosen feed point; nullopt after a refusal (said).
  std::optional<double> feedPoint();
  // The same without a word: nullopt when it is not on the wire.
  std::optional<double> typedFeedPoint() const;
  // An input the window refuses: the field to go back to and why.
  struct Refusal {
    QWidget* field = nullptr;
    QString text;
  };
  // The hanging as typed; or the first field it cannot take.
  std::optional<Refusal> readHanging(nec::Hanging& hanging) const;
  std::optional<Refusal> readConductor(nec::Settings& settings) const;
  // What the check and the tuning both start from: the settings as typed,
  // the engine's timeout and the check's plan; nullopt after a refusal
  // (said, the field focused).
  struct CheckStart {
    nec::Settings settings;
    int timeout = 0;
    nec::Plan plan;
  };
  std::optional<CheckStart> readCheck();
  // The field of a value the engine's hanging refuses, and the refusal's words.
  QWidget* hangField(nec::HangError::Value value) const;
  QString hangRefusal(const nec::HangError& e) const;
  // Fields that do not apply to the chosen shape or conductor are closed,
  // and every input while a check runs; captions follow the shape.
  void enableInputs();
  // Shows the field's page and puts the focus there.
  void focusField(QWidget* field);
  // The drawing from the inputs of the moment.
  void drawHanging();
  // The results folder's lock for the job, asked about as the run asks;
  // false on Abort. Ignore lets the check run without writing its files.
  bool lockResultsFolder(files::FolderLock& lock, bool& writeFiles);
  void showResult(const nec::Design& design, const nec::Plan& plan, const nec::Result& result);
  // The air settings as typed, the shield added to the plan; false after a
  // refusal (said, the field focused).
  bool readAir(nec::Plan& plan, nec::AirSettings& air);
  // The check's patterns and feed line on their page.
  void showAir(const Job& job, const nec::Result& result);
  // The note under the table after a completed check, in the language of
  // the moment.
  static QString CheckNote(const report::NecCheckReport& shown, bool written, const std::string& reportPath);
  // A failure as note and message; `text` renders it in a language.
  void failed(std::function<std::string(Language)> text);
  // The note under the table, rendered again after a language switch.
  void setNote(std::function<QString()> text);
  void showLength();
  void drawPicture();
  // Takes away the table, note and picture of a check that no longer
  // belongs to the design or is being replaced.
  void clearResults();

  nec::Design design_;
  // The shown check's result and the extra band's frequency, kept so the
  // picture can be drawn again in another language.
  std::optional<nec::Result> shown_;
  float shownExtraFrequency_ = 0;
  nec::SwrPicture picture_;
  QImage image_;
  std::function<QString()> note_;
  std::shared_ptr<Job> job_;
  std::shared_ptr<TuneJob> tuneJob_;
  std::optional<nec::TunedDesign> tuned_;
  QTimer* timer_ = nullptr;
  nec::HangingPicture hanging_;
  QString hangingReason_;
  std::optional<nec::Settings> checkedSettings_;
  friend class ::TestNecWindow;  // hands the window a check's resonance
};

// The picture painted into an image (the window and the PNG file).
QImage PaintSwrPicture(const nec::SwrPicture& picture);

// A picture's file asked for through the seam, PNG or SVG (the one first
// in the filter when `svgFirst`); a name with neither suffix gets the
// chosen filter's. None when the user cancels.
std::optional<QString> AskPictureFile(QWidget* parent, const QString& title, const QString& proposedName,
                                      bool svgFirst);

}  // namespace lorvant
