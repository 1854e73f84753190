// What connects the tool windows to each other. They never include one
// another; where one window's action reaches into another, the program's top
// says so here, once, at start.
#pragma once

namespace lorvant::app {

// The calculator's "Vk übernehmen" also fills the additional dipole's Vk
// (loading that window, not showing it). Called by the main window; tests of
// that hand-over call it themselves.
void connectToolWindows();

}  // namespace lorvant::app
