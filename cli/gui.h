// What a subcommand that draws text into an image needs: a Qt GUI
// application object (fonts live there), without any display.
#pragma once

#include <memory>

class QGuiApplication;

namespace lorvant::cli {

// Creates the application object on the "offscreen" platform for as long as
// the session lives (nothing when one exists already). The batch tool never
// shows a window, so it always takes the offscreen platform: a display
// setting left in the environment (QT_QPA_PLATFORM=xcb without an X server)
// cannot stop it, and the picture does not depend on the desktop it runs on.
// Qt's own debug and warning chatter is kept off stderr, which carries the
// tool's messages.
class GuiSession {
 public:
  GuiSession();
  ~GuiSession();
  GuiSession(const GuiSession&) = delete;
  GuiSession& operator=(const GuiSession&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace lorvant::cli
