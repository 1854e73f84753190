// What the NEC-2 window asks and shows of the wire on the air: a page of
// the inputs (the far field per band; the coax's shield as a wire, its
// diameter and a choke) and, under the SWR picture after such a check, each
// band's polar pictures, the far-field and feed-line lines of the report,
// and the pictures' saving (every band's, named as the batch tool names
// them).
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/nec/air.h"
#include "picture/swr_picture.h"
#include "session/nec_air.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lorvant {
namespace design {
struct NecInputs;
}

class NecAirInputs : public QWidget {
  Q_OBJECT
 public:
  explicit NecAirInputs(QWidget* parent = nullptr);
  void applyCaptions();
  // Closed while a check runs; the shield's fields also without the shield.
  void enable(bool idle);
  // The settings as typed; or the field it refuses, with why (in the
  // language of the moment).
  struct Refusal {
    QWidget* field = nullptr;
    QString text;
  };
  std::optional<Refusal> read(nec::AirSettings& settings) const;
  void give(design::NecInputs& d) const;
  void take(const design::NecInputs& d);

  QCheckBox* patternBox = nullptr;
  QCheckBox* feedlineBox = nullptr;
  QLabel* diameterLabel = nullptr;
  QLineEdit* diameterField = nullptr;  // mm
  QLabel* chokeLabel = nullptr;
  QLineEdit* chokeField = nullptr;  // ohms, 0 none

 private:
  bool idle_ = true;
};

class NecAirView : public QWidget {
  Q_OBJECT
 public:
  explicit NecAirView(QWidget* parent = nullptr);
  // The lines below the pictures, rendered again in each language.
  using Lines = std::function<std::vector<std::string>(Language, char)>;
  void show(const nec::AirResult& air, float extraFrequency, Lines lines);
  void clear();
  // Captions, pictures and lines in the language of the moment.
  void applyCaptions();
  void onSave();

  const std::optional<nec::AirResult>& shown() const { return air_; }
  // The chosen band's pictures (empty before a check with patterns).
  const nec::SwrPicture& elevationPicture() const { return elevation_; }
  const nec::SwrPicture& azimuthPicture() const { return azimuth_; }

  QLabel* bandLabel = nullptr;
  QComboBox* bandList = nullptr;  // the bands with a pattern
  QPushButton* saveButton = nullptr;
  QLabel* elevationView = nullptr;
  QLabel* azimuthView = nullptr;
  QLabel* linesLabel = nullptr;  // the report's lines on the air

 private:
  void draw();
  std::optional<nec::AirResult> air_;
  float extraFrequency_ = 0;
  Lines lines_;
  nec::SwrPicture elevation_, azimuth_;
};

}  // namespace lorvant
