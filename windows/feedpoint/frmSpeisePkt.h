// The feed-point window: one window type, four modes told apart by its
// caption (all bands at one length, currents at one frequency, impedance
// from a current sum, feed-point scan). Each mode has one window, made by
// the first use of its command and brought back as it is by the next.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "session/feedpoint.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lorvant {
namespace design {
struct FeedPointInputs;
}

class frmSpeisePkt : public QWidget {
  Q_OBJECT
 public:
  // The window of the scan.
  static frmSpeisePkt* instance();  // loads it on first use
  static frmSpeisePkt* loaded();    // nullptr while not loaded

  // The four menu commands.
  static frmSpeisePkt* openAllBands();      // mnuBerSpeisePktLänge
  static frmSpeisePkt* openOneFrequency();  // mnuBerSpeisePktQRG
  static frmSpeisePkt* openImpedance();     // mnuBerImpedanz
  static frmSpeisePkt* openScan();          // mnuBerSpeisePkt

  // Every loaded feed-point window, visible or hidden, in the current
  // language (the main window calls it after a language switch).
  static void applyLanguage();
  // A feed point's distance into the distance field of every loaded window
  // whose mode has one (all bands, one frequency).
  static void takeOverDistance(const QString& distance);
  // The captions of this window's mode in the current language; fields and
  // results stay.
  void applyCaptions();

  // cmdRechnen: the calculation of the mode the caption names.
  void cmdRechnen_Click();
  // Activation: status text by mode, pending events, visible.
  void activate();

  // A design's part of this window: the rows of its mode. Taking returns
  // the mode when the design had rows for it.
  void giveInputs(design::FeedPointInputs& d) const;
  std::optional<feedpoint::Mode> takeInputs(const design::FeedPointInputs& d);

  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Text3 = nullptr;
  QPushButton* cmdRechnen = nullptr;
  QLabel* Label4 = nullptr;                 // column header
  QPlainTextEdit* txtAuswertung = nullptr;  // result rows

 protected:
  explicit frmSpeisePkt(QWidget* parent = nullptr);
  void closeEvent(QCloseEvent* event) override;

 private:
  // Chosen by the menu command that opened the window; the caption only shows it.
  feedpoint::Mode mode_ = feedpoint::Mode::OneFrequency;
  static frmSpeisePkt* create();
  // The mode's window, made and set up on first use.
  static frmSpeisePkt* openMode(QPointer<frmSpeisePkt>& window, const std::function<feedpoint::WindowSetup()>& setup);
  void apply(const feedpoint::WindowSetup& setup);
  void setHeightTwips(int twips);
  feedpoint::WindowTexts texts() const;
  void setResult(const std::string& rows);
  // After a refused input the user types the correction there.
  void focusRefused(feedpoint::Input field);

  void checkAllBands();
  void checkOneFrequency();
  void impedance();
  void scan();
};

}  // namespace lorvant
