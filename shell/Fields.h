// What the text fields of every window share.
//
// A number field lets in only the characters of its key set, whichever way
// they come: typed, pasted by key, from the context menu or with the middle
// mouse button, dropped, or composed by an input method. Each goes through
// Module1's key filter, so a refused character beeps the same way
// everywhere. The standard editing keys (select all, copy, cut, paste,
// undo, redo) edit as in any field; a paste passes only when every pasted
// character would pass as typed.
#pragma once

#include <string_view>

class QComboBox;
class QLineEdit;

namespace lorvant::Fields {

// The key set must outlive the field (the sets of numparse.h do).
void filterNumbers(QLineEdit* field, std::u32string_view keySet);
// An editable list: its typing reaches the list, the rest its line edit.
void filterNumbers(QComboBox* field, std::u32string_view keySet);

// Makes a list editable without letting it change a typed text by itself:
// no inline completion and no new entries; choosing from the list works.
void keepTypedText(QComboBox* combo);

// The menus' shortcuts leave the standard editing keys to the field or
// result box that has the focus (Ctrl+A selects the box's text instead of
// starting a tool). Installed once for the whole application.
void keepEditingKeys();

}  // namespace lorvant::Fields
