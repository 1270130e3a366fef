#include "developer/developer_panel.h"

#include "reader/card_writer.h"
#include "reader/reader_link.h"
#include "window/controls.h"

#include <QLineEdit>
#include <QPushButton>

QString wordHex(numbering::Word word)
{
    return QStringLiteral("%1").arg(word.value(), 4, 16, QLatin1Char('0')).toUpper();
}

DeveloperPanel::DeveloperPanel(reader::ReaderLibrary &library, const reader::ReaderLink &link,
                               QWidget *parent)
    : QGroupBox(QStringLiteral("Developer"), parent), m_library(library), m_link(link),
      m_cmdRegularizeCardNo(makeButton(this, "cmdRegularizeCardNo",
                                       QStringLiteral("Regularize Card No"),
                                       {3480, 1140, 2775, 495})),
      m_cmdRead(makeButton(this, "cmdRead", QStringLiteral("Read"), {3480, 540, 1095, 495})),
      m_cmdWrite(makeButton(this, "cmdWrite", QStringLiteral("Write"), {4920, 540, 1335, 495})),
      m_txt2(
          makeTextBox(this, "txt2", QString(), {1500, 540, 1695, 375}, QStringLiteral("Word 7"))),
      m_txt1(makeTextBox(this, "txt1", QString(), {240, 540, 1215, 375}, QStringLiteral("Word 6")))
{
    setObjectName(QStringLiteral("Frame1"));
    setAccessibleName(title());
    setFocusPolicy(Qt::NoFocus);

    connect(m_cmdRead, &QPushButton::clicked, this, &DeveloperPanel::readWords);
    connect(m_cmdWrite, &QPushButton::clicked, this, [this] {
        writeWords(kTestValue, QStringLiteral("Write Successfull!"), QStringLiteral("Write Error"));
    });
    connect(m_cmdRegularizeCardNo, &QPushButton::clicked, this, [this] {
        writeWords(kRegularizeValue, QStringLiteral("Regularize Successfull!"),
                   QStringLiteral("Regularize Failed！"));
    });
}

void DeveloperPanel::readWords()
{
    // Fresh zero-filled buffers for every Read: a failed read shows zeros, never what an
    // earlier read fetched.
    const auto read = [this](uint8_t address, QLineEdit *box) {
        uint8_t buffer[2] = {0, 0};
        const auto result =
            m_library.readTag(m_link.handle(), numbering::kEpcBank, address, 1, buffer);
        if (!result.called()) {
            box->clear();
            emit statusMessage(QString::fromStdString(result.error().message()));
            return false;
        }
        box->setText(wordHex({buffer[0], buffer[1]}));
        return true;
    };
    if (read(numbering::kHighWordAddress, m_txt1))
        read(numbering::kLowWordAddress, m_txt2);
    else
        m_txt2->clear();
}

void DeveloperPanel::writeWords(numbering::CardWords words, const QString &success,
                                const QString &failure)
{
    const auto outcome = reader::writeCardWords(m_library, m_link.handle(), words);
    if (outcome.bindError)
        emit statusMessage(QString::fromStdString(outcome.bindError->message()));
    else
        emit statusMessage(outcome.written ? success : failure);
}
