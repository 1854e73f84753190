#include "shell/ui/Look.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "shell/Module1.h"

namespace lorvant::Look {
namespace {

QTranslator* qtGerman() {
  static QTranslator* translator = new QTranslator(qApp);
  return translator;
}

bool installed = false;

}  // namespace

bool applyQtLanguage() {
  QTranslator* german = qtGerman();
  if (!Module1::german()) {
    if (installed) QCoreApplication::removeTranslator(german);
    installed = false;
    return true;
  }
  if (installed) return true;
  // qtbase holds the texts of the widgets, dialogs and key names.
  if (german->isEmpty() && !german->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  installed = QCoreApplication::installTranslator(german);
  return installed;
}

const QIcon& programIcon() {
  static const QIcon icon(QStringLiteral(":/lorvant/lorvant.svg"));
  return icon;
}

void installProgramIcon() {
  if (qApp && QApplication::windowIcon().cacheKey() != programIcon().cacheKey())
    QApplication::setWindowIcon(programIcon());
}

void keepOnScreen(QWidget* window) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return;
  const QRect frame(window->pos(), window->size());
  // The part of the title bar a user needs to take hold of the window.
  constexpr int kBarHeight = 24;
  constexpr int kGrip = 120;
  const QRect bar(frame.topLeft(), QSize(frame.width(), kBarHeight));
  QScreen* nearest = screens.first();
  qint64 nearestDistance = std::numeric_limits<qint64>::max();
  for (QScreen* screen : screens) {
    const QRect room = screen->availableGeometry();
    const QRect held = bar & room;
    if (held.width() >= std::min(frame.width(), kGrip) && held.height() >= kBarHeight / 2) return;
    const QPoint corner(std::clamp(frame.left(), room.left(), room.right()),
                        std::clamp(frame.top(), room.top(), room.bottom()));
    const qint64 distance = (corner - frame.topLeft()).manhattanLength();
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = screen;
    }
  }
  const QRect room = nearest->availableGeometry();
  const int x = std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
  const int y = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
  window->move(x, y);
}

void showAsResults(std::initializer_list<QLabel*> labels) {
  for (QLabel* result : labels) {
    result->setMinimumWidth(70);
    result->setFrameShape(QFrame::Panel);
    result->setFrameShadow(QFrame::Sunken);
  }
}

void addRows(QGridLayout* grid, std::initializer_list<std::pair<QWidget*, QWidget*>> rows) {
  int row = 0;
  for (const auto& [caption, field] : rows) {
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    ++row;
  }
}

}  // namespace lorvant::Look
