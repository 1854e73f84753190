// The program as a window test starts it: state as after a first start in
// German with a decimal comma, results going to a folder of the test, and
// the main window shown.
#pragma once

#include <QString>
#include <QTest>

#include "app/MDIForm1.h"
#include "shell/Module1.h"

namespace lorvant::test {

inline void FreshState(const QString& resultsFolder) {
  Module1::resetState();
  Module1::setDecimalSeparator(',');
  Module1::state().language = Language::German;
  Module1::state().resultsFolder = resultsFolder + '/';
}

// nullptr when the platform never exposes the window.
inline MDIForm1* ShowMainWindow() {
  auto* main = new MDIForm1;
  main->show();
  if (QTest::qWaitForWindowExposed(main)) return main;
  delete main;
  return nullptr;
}

}  // namespace lorvant::test
