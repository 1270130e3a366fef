// Rewriting the whole text of a QPlainTextEdit with the outcome of setPlainText (the text
// replaced, the undo history cleared, the cursor at the start with nothing selected, the
// view at the top, the document unmodified) at a fraction of its cost, for a status line
// that is rewritten with every card: only the characters that differ are replaced, in the
// block that already holds the line, and that block keeps its shaped glyphs, so the new
// text is laid out once. setPlainText rebuilds the document and shapes the text anew for
// every step that measures it.
#pragma once

class QPlainTextEdit;
class QString;

void replacePlainText(QPlainTextEdit *box, const QString &text);
