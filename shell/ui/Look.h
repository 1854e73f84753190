// What every window of the program shares in how it looks and speaks
// beyond its own captions: Qt's own texts in the chosen language, the
// program's icon, and a main window that stays reachable on screen.
#pragma once

#include <initializer_list>
#include <utility>

class QGridLayout;
class QIcon;
class QLabel;
class QWidget;

namespace lorvant::Look {

// Qt's own texts (standard buttons, dialogs, field menus, "Strg+" in the
// menus) follow the language setting: German loads Qt's German
// translation from Qt's translation folder, anything else removes it.
// Returns false when German was asked for and no translation was found
// (Qt's texts then stay English).
bool applyQtLanguage();

// The program's icon, for the application and every window it makes.
const QIcon& programIcon();
// Makes the program's icon the application's default (once).
void installProgramIcon();

// A top-level window whose title bar lies off every screen (a stored
// position from another monitor or a higher resolution) is moved back onto
// the available area of the nearest screen. A window that can be grabbed
// where it is stays where it is.
void keepOnScreen(QWidget* window);

// Labels that show a computed value: a sunken panel wide enough for it.
void showAsResults(std::initializer_list<QLabel*> labels);

// Rows of a form from the grid's top: each caption on the left, its field
// (or result) on the right.
void addRows(QGridLayout* grid, std::initializer_list<std::pair<QWidget*, QWidget*>> rows);

}  // namespace lorvant::Look
