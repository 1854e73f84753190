#include "app/Wiring.h"

#include <QLineEdit>

#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/MainForm.h"
#include "windows/vk/frmVk.h"

namespace lorvant::app {

void connectToolWindows() {
  mainForm::setVkFollower([](const QString& vk) { ZusatzDipol::instance()->Text6->setText(vk); });
  mainForm::setFeedPointFollower(&frmSpeisePkt::takeOverDistance);
  mainForm::setPruningFollower(&frmVk::takeOverMeasured);
}

}  // namespace lorvant::app
