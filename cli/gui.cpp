#include "cli/gui.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "cli/options.h"

namespace lorvant::cli {

namespace {

// Qt outlives nothing of ours, so its arguments are static.
int gArgc = 1;
char gArgv0[] = "lorvant-calc";
char* gArgv[] = {gArgv0, nullptr};

void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s: %s\n", kToolName, message.toLocal8Bit().constData());
}

}  // namespace

GuiSession::GuiSession() {
  if (QCoreApplication::instance()) return;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietHandler);
  app_ = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

GuiSession::~GuiSession() = default;

}  // namespace lorvant::cli
