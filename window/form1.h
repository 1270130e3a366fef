// The main window "Pro Tagwright": the port list and the reader link, the fields that make
// the card number, the site box, the three card-writing commands, the status line and the
// developer panel. Handlers stay thin: the rules live in numbering/ and reader/.
#pragma once

#include "reader/reader_link.h"

#include <QWidget>

#include <cstdint>
#include <optional>

class DeveloperPanel;
class ListComboBox;
class NumberField;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(reader::ReaderLibrary &library, QWidget *parent = nullptr);

    // Times New Roman 15.75 pt, the font of every control that has none of its own.
    static QFont windowFont();

    // Empty until the current number first changes.
    const QString &cardNumber() const { return m_cardNumber; }
    int32_t readerHandle() const { return m_link.handle(); }

protected:
    // Closing the window with its close box releases the reader link, silently.
    void closeEvent(QCloseEvent *event) override;

private:
    void connectReader();
    void disconnectReader();
    void endProgram();

    void currentNumberChanged();
    void stepUp();
    void stepDown();
    void siteChosen();

    void writeCard();
    void writeNext();
    void writePrev();

    std::optional<int32_t> currentNumber() const;
    QString cardNumberOf(int32_t current) const;
    void setCurrentNumber(int32_t current);
    void writeAndReport(int32_t current);
    void showStatus(const QString &text);

    reader::ReaderLibrary &m_library;
    reader::ReaderLink m_link;
    QString m_cardNumber;

    ListComboBox *m_cboComPort;
    QPushButton *m_close;
    QPushButton *m_open;
    NumberField *m_txtCurrentNo;
    QPushButton *m_cmdWritePrev;
    QPushButton *m_cmdWriteCard;
    QPushButton *m_cmdWriteNext;
    QPlainTextEdit *m_opList;
    ListComboBox *m_combo1;
    QLineEdit *m_txtNoStartAt;
    QLabel *m_label1;
    QLabel *m_label2;
    DeveloperPanel *m_frame1;
    QPushButton *m_cmdClose;
    QLineEdit *m_txtCurrentNoFront;
    QPushButton *m_cmdMinus;
    QPushButton *m_cmdPlus;
};
