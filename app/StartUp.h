// The program's start: Module1's start-up procedure.
#pragma once

namespace lorvant {
class MDIForm1;
}

namespace lorvant::Module1 {

// Loads and shows the main window (settings restored, main input form
// loaded on its first activation), resets the shared calculation values,
// checks the results folder and finds an existing current-sum report.
// The caller owns the window.
MDIForm1* startUp();

}  // namespace lorvant::Module1
