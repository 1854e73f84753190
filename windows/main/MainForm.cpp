#include "windows/main/MainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "windows/main/frmHauptform.h"

namespace lorvant::mainForm {
namespace {
Calculator installed;
std::function<void(const QString&)> vkFollower;
std::function<void(const QString&)> feedPointFollower;
std::function<void(const QString&, const QString&)> pruningFollower;
frmHauptform* form() { return frmHauptform::instance(); }
}  // namespace

MainFormValues values() { return form()->values(); }

void takeOverVk(const QString& vk) {
  form()->Text4->setText(vk);
  if (vkFollower) vkFollower(vk);
}

void takeOverFrequency(const QString& megahertz) { form()->Text1->setText(megahertz); }

void takeOverConductor(const QString& diameter) { form()->Combo2->setEditText(diameter); }

void takeOverHalfWaves(const QString& count) { form()->Text2->setText(count); }

void selectPreferredLength() { form()->Option2[0]->setChecked(true); }

QString note() { return form()->Info->text(); }

void setNote(const QString& text) {
  form()->setNote([text] { return text; });
}

void addNote(std::function<QString()> text, bool ownLine) { form()->addNote(std::move(text), ownLine); }

QPixmap printImage() {
  frmHauptform* f = form();
  QWidget* const hidden[] = {f->Check11, f->Command1, f->Command2};
  bool wasVisible[std::size(hidden)];
  for (std::size_t i = 0; i < std::size(hidden); ++i) {
    QWidget* w = hidden[i];
    wasVisible[i] = w->isVisibleTo(f);
    QSizePolicy keep = w->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    w->setSizePolicy(keep);
    w->hide();
  }
  const QPixmap image = f->grab();
  for (std::size_t i = 0; i < std::size(hidden); ++i) {
    if (wasVisible[i]) hidden[i]->show();
    QSizePolicy normal = hidden[i]->sizePolicy();
    normal.setRetainSizeWhenHidden(false);
    hidden[i]->setSizePolicy(normal);
  }
  return image;
}

void installCalculator(const Calculator& calculator) { installed = calculator; }

CalculatorState calculatorState() { return installed.state ? installed.state() : CalculatorState{}; }

QString calculatorDiameter() {
  return calculatorState().active && installed.diameter ? installed.diameter() : QString();
}

void setVkFollower(std::function<void(const QString& vk)> follower) { vkFollower = std::move(follower); }

void setFeedPointFollower(std::function<void(const QString& distance)> follower) {
  feedPointFollower = std::move(follower);
}

void takeOverFeedPoint(const QString& distance) {
  if (feedPointFollower) feedPointFollower(distance);
}

void setPruningFollower(std::function<void(const QString& length, const QString& frequency)> follower) {
  pruningFollower = std::move(follower);
}

void takeOverPruning(const QString& length, const QString& frequency) {
  if (pruningFollower) pruningFollower(length, frequency);
}

QMetaObject::Connection onConductorChanged(QObject* context, std::function<void(const QString&)> handler) {
  return QObject::connect(form(), &frmHauptform::conductorChanged, context, std::move(handler));
}

}  // namespace lorvant::mainForm
