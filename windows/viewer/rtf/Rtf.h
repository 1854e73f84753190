// A compact reader and writer of the Rich Text Format for QTextDocument.
//
// The reader understands what ordinary word processors write for running
// text: font and colour tables (with the kind of each font, so that a
// family that is not installed is stood in for by one of its kind), bold,
// italic, underline, strike-through, superscript and subscript, font size,
// font, colour, paragraphs and their alignment, line breaks, tabs, "\'xx"
// bytes in the document's code page (or the font's character set), "\uN"
// with its fallback, groups, and it skips "\*" and other destinations it
// does not show (style sheet, document information, pictures, headers ...).
// Other paragraph layout (indents, spacing, tab stops) is not taken over.
//
// Any input is safe: the reader never reads past the data, keeps its memory
// proportional to the input, stops at an absurd nesting depth, and reports a
// file that is not rich text as such instead of guessing.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace lorvant::rtf {

enum class ReadError {
  None,
  NotRtf,   // does not start with "{\rtf"
  TooDeep,  // more nested groups than any word processor writes
};

struct ReadResult {
  ReadError error = ReadError::None;
  qsizetype offset = 0;  // byte where reading stopped on an error
  bool ok() const { return error == ReadError::None; }
};

// Groups nested deeper than this are refused.
inline constexpr int kMaxDepth = 2000;

// True when the bytes start like rich text ("{\rtf", blanks and a UTF-8
// byte-order mark before it allowed).
bool looksLikeRtf(const QByteArray& data);

// Replaces the content of `doc` by the rich text in `data`. On an error the
// document is left empty. The document's undo history is not touched.
ReadResult read(const QByteArray& data, QTextDocument* doc);

// The document as rich text: Windows-1252 with "\uN" escapes for every other
// character, one "\par" after every paragraph, paragraph alignment and
// character attributes (font and its kind, size, bold, italic, underline,
// strike-through, superscript and subscript, colour) as they change.
QByteArray write(const QTextDocument* doc);

}  // namespace lorvant::rtf
