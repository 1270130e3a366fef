#include "qt/plain_text.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

void replacePlainText(QPlainTextEdit *box, const QString &text)
{
    QTextDocument *document = box->document();
    // Positions in the raw text (paragraph separators included) are the document's cursor
    // positions. Line breaks in the new text never match the raw text, so they always fall
    // in the replaced middle, where insertText makes paragraphs of them as setPlainText does.
    const QString old = document->toRawText();
    const auto shorter = std::min(old.size(), text.size());
    decltype(old.size()) head = 0, tail = 0;
    while (head < shorter && old.at(head) == text.at(head))
        ++head;
    while (tail < shorter - head &&
           old.at(old.size() - 1 - tail) == text.at(text.size() - 1 - tail))
        ++tail;

    document->firstBlock().layout()->setCacheEnabled(true);
    const bool undoRedo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false); // clears the history
    if (old != text) {
        QTextCursor middle(document);
        middle.setPosition(static_cast<int>(head));
        middle.setPosition(static_cast<int>(old.size() - tail), QTextCursor::KeepAnchor);
        middle.insertText(text.mid(head, text.size() - head - tail));
    }
    document->setUndoRedoEnabled(undoRedo);

    // setPlainText also puts the cursor at the start and brings the view back to the top.
    const QTextCursor cursor = box->textCursor();
    if (cursor.position() != 0 || cursor.hasSelection() || box->verticalScrollBar()->value() != 0)
        box->moveCursor(QTextCursor::Start);
    document->setModified(false);
}
