#include "app/StartUp.h"

#include <QFileInfo>

#include "app/Designs.h"
#include "app/MDIForm1.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Files.h"
#include "windows/main/frmHauptform.h"

namespace lorvant::Module1 {

MDIForm1* startUp() {
  auto* window = new MDIForm1;
  window->load();

  State& s = state();
  s.lineBreak = QStringLiteral("\r\n");
  s.insulation = 0;
  s.extraBandOn = false;
  s.extraBandFrequency = 0;

  seam().processEvents();
  window->show();
  seam().processEvents();
  // The platform may deliver the first activation late (or, without a
  // display, never); the main input form belongs on screen before the
  // folder question.
  if (!frmHauptform::loaded()) window->activate();
  // The inputs of the last session come back before anything is asked.
  Designs::restoreLastInputs(window);

  checkResultsFolder(window);

  const QString report = resultFile(QStringLiteral("AntStrSu.txt"));
  s.reportPath = QFileInfo(report).isFile() ? report : QString();
  return window;
}

}  // namespace lorvant::Module1
