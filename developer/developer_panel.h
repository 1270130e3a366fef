// The developer panel: reads the card-number words (EPC words 6 and 7) of whatever tag the
// reader reaches and writes two fixed patterns into them, with no questions asked.
#pragma once

#include "numbering/encoding.h"

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace reader {
class ReaderLibrary;
class ReaderLink;
} // namespace reader

// Word 6 0x000F, word 7 0x4629: the value 1,001,001.
inline constexpr numbering::CardWords kTestValue{{0x00, 0x0F}, {0x46, 0x29}};
// Word 6 0xEC88, word 7 0x851A.
inline constexpr numbering::CardWords kRegularizeValue{{0xEC, 0x88}, {0x85, 0x1A}};

// A word as exactly four upper-case hexadecimal digits, high byte first ("0098", "EC88"),
// so that no two words look alike.
QString wordHex(numbering::Word word);

class DeveloperPanel : public QGroupBox
{
    Q_OBJECT

public:
    DeveloperPanel(reader::ReaderLibrary &library, const reader::ReaderLink &link, QWidget *parent);

signals:
    // The panel's report for the status line; it never changes the line's colour.
    void statusMessage(const QString &text);

private:
    void readWords();
    void writeWords(numbering::CardWords words, const QString &success, const QString &failure);

    reader::ReaderLibrary &m_library;
    const reader::ReaderLink &m_link;
    QPushButton *m_cmdRegularizeCardNo;
    QPushButton *m_cmdRead;
    QPushButton *m_cmdWrite;
    QLineEdit *m_txt2;
    QLineEdit *m_txt1;
};
