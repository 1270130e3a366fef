#include "window/form1.h"

#include "developer/developer_panel.h"
#include "numbering/card_number.h"
#include "reader/card_writer.h"
#include "window/controls.h"
#include "window/list_combo_box.h"
#include "window/number_field.h"
#include "window/plain_text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

QStringList portEntries()
{
    QStringList entries;
    for (int port = 1; port <= 100; ++port)
        entries << QStringLiteral("Com%1").arg(port);
    return entries;
}

QStringList siteEntries()
{
    QStringList entries;
    for (const numbering::Site &site : numbering::kSites)
        entries << QString::fromUtf8(site.name.data(), static_cast<qsizetype>(site.name.size()));
    return entries;
}

const QColor kSuccessColour(0, 255, 0);
const QColor kFailureColour(255, 0, 0);

} // namespace

QFont Form1::windowFont()
{
    return timesFont(15.75);
}

Form1::Form1(reader::ReaderLibrary &library, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_library(library), m_link(library)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pro Tagwright"));
    setFixedSize(690, 439);
    setFont(windowFont());
    const QFont numberFont = timesFont(20.25);

    // Created in Tab order: the Tab cycle follows creation among the controls that take
    // keyboard focus.
    m_cboComPort = new ListComboBox(portEntries(), QStringLiteral("-Select Com Port-"), this);
    placeControl(m_cboComPort, "cboComPort", QStringLiteral("Com Port"), {120, 180, 2895, 465},
                 TabStop::Yes);
    m_close = makeButton(this, "Close", QStringLiteral("Disconnect"), {7560, 5160, 2550, 585});
    m_open =
        makeButton(this, "Open", QStringLiteral("Connect"), {3060, 180, 1680, 465}, TabStop::Yes);
    m_txtCurrentNo = new NumberField(QStringLiteral("00000"), this);
    placeControl(m_txtCurrentNo, "txtCurrentNo", QStringLiteral("Current No"),
                 {8100, 180, 1215, 585}, TabStop::Yes);
    m_txtCurrentNo->setFont(numberFont);
    m_cmdWritePrev = makeButton(this, "cmdWritePrev", QStringLiteral("Write Prev No"),
                                {6840, 1020, 3240, 465}, TabStop::Yes);
    m_cmdWriteCard = makeButton(this, "cmdWriteCard", QStringLiteral("Write"),
                                {6840, 1560, 3240, 1185}, TabStop::Yes);
    m_cmdWriteNext = makeButton(this, "cmdWriteNext", QStringLiteral("Write Next No"),
                                {6840, 2820, 3240, 765}, TabStop::Yes);

    m_opList = new QPlainTextEdit(this);
    placeControl(m_opList, "opList", QStringLiteral("Status"), {60, 1020, 6615, 2535}, TabStop::No);
    m_opList->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_opList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_opList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_opList->setTabChangesFocus(true);

    m_combo1 = new ListComboBox(siteEntries(), QStringLiteral("-Site Reference-"), this);
    placeControl(m_combo1, "Combo1", QStringLiteral("Site Reference"), {120, 4080, 3075, 465},
                 TabStop::No);
    m_txtNoStartAt = makeTextBox(this, "txtNoStartAt", QString(), {4860, 4080, 1875, 465},
                                 QStringLiteral("No Start At"));
    m_label1 = new QLabel(QStringLiteral("No Start At"), this);
    placeControl(m_label1, "Label1", m_label1->text(), {3300, 4140, 1575, 375}, TabStop::No);
    m_label2 = new QLabel(QStringLiteral("Current No"), this);
    placeControl(m_label2, "Label2", m_label2->text(), {5280, 300, 1575, 375}, TabStop::No);
    for (QLabel *label : {m_label1, m_label2})
        label->setFocusPolicy(Qt::NoFocus);

    m_frame1 = new DeveloperPanel(library, m_link, this);
    m_frame1->setGeometry(pixels({120, 4680, 6555, 1815}));

    m_cmdClose = makeButton(this, "cmdClose", QStringLiteral("Close"), {7560, 5880, 2550, 525});
    m_txtCurrentNoFront =
        makeTextBox(this, "txtCurrentNoFront",
                    QString::fromLatin1(numbering::kPrefix.data(), numbering::kPrefix.size()),
                    {6840, 180, 1215, 585}, QStringLiteral("Card number prefix"));
    m_txtCurrentNoFront->setFont(numberFont);
    m_txtCurrentNoFront->setEnabled(false);
    m_txtCurrentNoFront->setFocusPolicy(Qt::NoFocus);
    m_cmdMinus = makeButton(this, "cmdMinus", QStringLiteral("-"), {9540, 480, 555, 345});
    m_cmdPlus = makeButton(this, "cmdPlus", QStringLiteral("+"), {9540, 120, 555, 345});

    // The wiring: every handler the window has, and nothing else.
    connect(m_open, &QPushButton::clicked, this, &Form1::connectReader);
    connect(m_close, &QPushButton::clicked, this, &Form1::disconnectReader);
    connect(m_cmdClose, &QPushButton::clicked, this, &Form1::endProgram);
    connect(m_txtCurrentNo, &QLineEdit::textChanged, this, &Form1::currentNumberChanged);
    connect(m_cmdPlus, &QPushButton::clicked, this, &Form1::stepUp);
    connect(m_cmdMinus, &QPushButton::clicked, this, &Form1::stepDown);
    connect(m_combo1, &ListComboBox::entryChosen, this, &Form1::siteChosen);
    connect(m_cmdWriteCard, &QPushButton::clicked, this, &Form1::writeCard);
    connect(m_cmdWriteNext, &QPushButton::clicked, this, &Form1::writeNext);
    connect(m_cmdWritePrev, &QPushButton::clicked, this, &Form1::writePrev);
    connect(m_frame1, &DeveloperPanel::statusMessage, this, &Form1::showStatus);

    m_cboComPort->setFocus();
}

void Form1::closeEvent(QCloseEvent *event)
{
    m_link.release();
    event->accept();
}

void Form1::connectReader()
{
    if (!reader::portChosen(m_cboComPort->currentIndex())) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Connect..."),
                        QStringLiteral("Please Select Port Number Before Continue!"),
                        QMessageBox::Ok, this);
        box.exec();
        m_cboComPort->setFocus();
        return;
    }
    showStatus(QString::fromStdString(m_link.connect()));
}

void Form1::disconnectReader()
{
    showStatus(QString::fromStdString(m_link.disconnect()));
}

void Form1::endProgram()
{
    // Ends the event loop without closing the window, so the link is left as it is: exit()
    // sends no close events, where quit() would.
    QCoreApplication::exit(0);
}

std::optional<int32_t> Form1::currentNumber() const
{
    return numbering::currentValue(m_txtCurrentNo->text().toStdString());
}

QString Form1::cardNumberOf(int32_t current) const
{
    const std::string prefix = m_txtCurrentNoFront->text().toStdString();
    return QString::fromStdString(
        numbering::cardNumber(prefix, numbering::paddedCurrentNumber(current)));
}

void Form1::currentNumberChanged()
{
    // An empty field (every digit deleted) keeps the previous card number and caption.
    const auto current = currentNumber();
    if (!current)
        return;
    const std::string prefix = m_txtCurrentNoFront->text().toStdString();
    const std::string padded = numbering::paddedCurrentNumber(*current);
    m_cardNumber = QString::fromStdString(numbering::cardNumber(prefix, padded));
    m_cmdWriteCard->setText(QString::fromStdString(numbering::writeCaption(prefix, padded)));
}

void Form1::setCurrentNumber(int32_t current)
{
    // Runs the change step at once, before the caller goes on.
    m_txtCurrentNo->setText(QString::number(current));
}

void Form1::stepUp()
{
    const auto current = currentNumber();
    if (current && numbering::mayStepUp(*current))
        setCurrentNumber(*current + 1);
}

void Form1::stepDown()
{
    const auto current = currentNumber();
    if (current && numbering::mayStepDown(*current))
        setCurrentNumber(*current - 1);
}

void Form1::siteChosen()
{
    const std::string start = numbering::siteStartNumber(m_combo1->currentText().toStdString(),
                                                         m_txtNoStartAt->text().toStdString());
    m_txtNoStartAt->setText(QString::fromStdString(start));
    m_txtCurrentNo->setText(QString::fromStdString(numbering::currentFromStart(start)));
}

void Form1::writeCard()
{
    if (const auto current = currentNumber())
        writeAndReport(*current);
}

void Form1::writeNext()
{
    const auto current = currentNumber();
    if (!current || !numbering::mayStepUp(*current))
        return;
    setCurrentNumber(*current + 1);
    writeAndReport(*current + 1);
}

void Form1::writePrev()
{
    const auto current = currentNumber();
    if (!current || !numbering::mayStepDown(*current))
        return;
    setCurrentNumber(*current - 1);
    writeAndReport(*current - 1);
}

void Form1::writeAndReport(int32_t current)
{
    const auto outcome =
        reader::writeCardWords(m_library, m_link.handle(), numbering::cardWords(current));
    // The report names the card number of the value just written, also before the field
    // has first changed (when the window-level card number is still empty).
    QString text = cardNumberOf(current);
    if (outcome.written)
        text += QStringLiteral(" >>>> Write Successfull!");
    else if (outcome.bindError)
        text += QStringLiteral(" >>>> Write Error. ") +
                QString::fromStdString(outcome.bindError->message());
    else
        text += QStringLiteral(" >>>> Write Error");

    // A palette change re-polishes the status box and its scroll bars and repaints them:
    // only when the colour really changes, not for every card of a run.
    const QColor &colour = outcome.written ? kSuccessColour : kFailureColour;
    if (m_opList->palette().color(QPalette::Text) != colour) {
        QPalette palette = m_opList->palette();
        palette.setColor(QPalette::Text, colour);
        m_opList->setPalette(palette);
    }
    showStatus(text);
}

void Form1::showStatus(const QString &text)
{
    replacePlainText(m_opList, text);
}
