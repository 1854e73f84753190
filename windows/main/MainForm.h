// The main input form as the other windows know it: what they read (its
// fields, bands, segment, note and the last run's results), the few things
// they write into it, and what it tells them. They include this header and
// never the form's class, so that its controls stay its own.
#pragma once

#include <QMetaObject>
#include <QString>
#include <functional>

#include "engine/shortening.h"
#include "session/mainform.h"

class QObject;
class QPixmap;

namespace lorvant::mainForm {

// Every call loads the form on first use.

// The fields as typed, the note and the last run.
MainFormValues values();

// The shortening-factor calculator's "Vk übernehmen": its Vk (and the
// frequency it was computed for) into the form. Whoever follows the
// calculator's Vk besides the form (setVkFollower) gets it too.
void takeOverVk(const QString& vk);
void takeOverFrequency(const QString& megahertz);
// The calculator's conductor diameter into the form's list field.
void takeOverConductor(const QString& diameter);
// The feed-point check's adaptation of the antenna: another half-wave
// count, and the length for the preferred band.
void takeOverHalfWaves(const QString& count);
void selectPreferredLength();

// The note under the commands.
QString note();
void setNote(const QString& text);
// Appends a piece of the note (after a line break when `ownLine`) unless
// the note already shows it; `text` gives it in the language of the moment,
// so that it follows a language switch.
void addNote(std::function<QString()> text, bool ownLine = true);

// The form as it is printed: the commands left out, their places empty.
QPixmap printImage();

// The shortening-factor calculator, installed by that window when it loads:
// from then on the form's calculations ask it.
struct Calculator {
  CalculatorState (*state)() = nullptr;
  QString (*diameter)() = nullptr;  // its conductor diameter as typed
};
void installCalculator(const Calculator& calculator);
CalculatorState calculatorState();
// The active calculator's diameter as typed; empty while none is active.
QString calculatorDiameter();

// Who else takes the calculator's Vk over (the additional dipole); the
// program connects it at start, so that the calculator needs to know no
// other tool window.
void setVkFollower(std::function<void(const QString& vk)> follower);

// A feed point's distance handed on by the NEC-2 window's tuning: the main
// form has no field for it, so it goes to whoever follows it (the feed-point
// window); the program connects that at start, as the Vk's follower.
void setFeedPointFollower(std::function<void(const QString& distance)> follower);
void takeOverFeedPoint(const QString& distance);

// A measured resonance and the length of the wire it was measured on,
// handed on by the NEC-2 window for pruning: they go to whoever follows
// them (the pruning calculator); the program connects that at start.
void setPruningFollower(std::function<void(const QString& length, const QString& frequency)> follower);
void takeOverPruning(const QString& length, const QString& frequency);

// The conductor diameter changed.
QMetaObject::Connection onConductorChanged(QObject* context, std::function<void(const QString&)> handler);

}  // namespace lorvant::mainForm
