#include "qt/form1_window.h"

#include "qt/list_combo_box.h"
#include "qt/number_field.h"
#include "qt/plain_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using window::ControlId;

// The window's sizes are given for 96 dots per inch.
constexpr int kDotsPerInch = 96;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect pixels(window::Twips place)
{
    return {window::pixels(place.left, kDotsPerInch), window::pixels(place.top, kDotsPerInch),
            window::pixels(place.width, kDotsPerInch), window::pixels(place.height, kDotsPerInch)};
}

Qt::FocusPolicy policyOf(window::Focus focus)
{
    switch (focus) {
    case window::Focus::Tab:
        return Qt::StrongFocus;
    case window::Focus::Mouse:
        return Qt::ClickFocus;
    case window::Focus::Never:
        break;
    }
    return Qt::NoFocus;
}

QStringList entries(window::List list)
{
    QStringList entries;
    for (const std::string &entry : window::listEntries(list))
        entries << QString::fromStdString(entry);
    return entries;
}

QWidget *makeControl(const window::Control &control, QWidget *parent)
{
    const QString text = qs(control.text);
    switch (control.kind) {
    case window::Kind::ComboBox:
        return new ListComboBox(entries(control.list), text, parent);
    case window::Kind::Button: {
        auto *button = new QPushButton(text, parent);
        // Return activates the focused button, as Space does; no button is the default.
        button->setAutoDefault(true);
        return button;
    }
    case window::Kind::TextBox: {
        // The number field takes no maximum length: its check holds the limit.
        QLineEdit *box = control.maxLength > 0 ? new NumberField(window::isNumberText, parent)
                                               : new QLineEdit(parent);
        box->setText(text);
        return box;
    }
    case window::Kind::StatusBox: {
        auto *box = new QPlainTextEdit(text, parent);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // A text box of the window, not an editor: Tab leaves it.
        box->setTabChangesFocus(true);
        return box;
    }
    case window::Kind::Label:
        return new QLabel(text, parent);
    case window::Kind::Frame:
        break;
    }
    return new QGroupBox(text, parent);
}

// The program's icon, in the sizes that title bars, task bars and switchers take (the
// resources of qt/CMakeLists.txt). Each is read only when first shown.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/tagwright-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

QFont Form1Window::fontFor(const window::FontSpec &spec)
{
    QFont font(qs(spec.family));
    font.setFamilies({qs(spec.family), qs(spec.substitute)});
    font.setPointSizeF(spec.points);
    font.setWeight(QFont::Normal);
    return font;
}

Form1Window::Form1Window(reader::ReaderLibrary &library, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_form(*this, library), m_panel(*this, library, m_form.link())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(window::kWindow.caption));
    setWindowIcon(programIcon());
    setFixedSize(window::pixels(window::kWindow.clientWidth, kDotsPerInch),
                 window::pixels(window::kWindow.clientHeight, kDotsPerInch));
    setFont(fontFor(window::kWindow.windowFont));
    build();
    route();
    m_form.load();
}

void Form1Window::build()
{
    // Created in Tab-index order: the Tab cycle follows creation among the controls that
    // take focus from the keyboard. The frame comes before the five controls it holds.
    QWidget *firstTabStop = nullptr;
    for (const window::Control &control : window::kControls) {
        QWidget *container = control.inFrame ? widget(ControlId::Frame1) : this;
        QWidget *made = makeControl(control, container);
        made->setObjectName(
            QString::fromLatin1(control.name.data(), static_cast<qsizetype>(control.name.size())));
        made->setAccessibleName(control.accessibleName.empty() ? qs(control.text)
                                                               : qs(control.accessibleName));
        made->setGeometry(pixels(control.place));
        made->setFocusPolicy(policyOf(control.focus));
        // The window's font reaches the others from the window.
        if (&window::fontOf(control) != &window::kWindow.windowFont)
            made->setFont(fontFor(window::fontOf(control)));
        made->setEnabled(control.enabled);
        m_widgets[static_cast<std::size_t>(control.id)] = made;
        if (firstTabStop == nullptr && control.focus == window::Focus::Tab)
            firstTabStop = made;
    }
    if (firstTabStop != nullptr)
        firstTabStop->setFocus();
}

void Form1Window::route()
{
    using enum ControlId;
    const auto onClick = [this](ControlId id, auto handler) {
        connect(static_cast<QPushButton *>(widget(id)), &QPushButton::clicked, this, handler);
    };
    onClick(Open, [this] { m_form.connectReader(); });
    onClick(Close, [this] { m_form.disconnectReader(); });
    onClick(cmdClose, [this] { m_form.closeProgram(); });
    onClick(cmdPlus, [this] { m_form.stepUp(); });
    onClick(cmdMinus, [this] { m_form.stepDown(); });
    onClick(cmdWriteCard, [this] { m_form.writeCard(); });
    onClick(cmdWriteNext, [this] { m_form.writeNext(); });
    onClick(cmdWritePrev, [this] { m_form.writePrev(); });
    onClick(cmdRead, [this] { m_panel.read(); });
    onClick(cmdWrite, [this] { m_panel.writeTestValue(); });
    onClick(cmdRegularizeCardNo, [this] { m_panel.regularize(); });

    auto *current = static_cast<NumberField *>(widget(txtCurrentNo));
    connect(current, &QLineEdit::textChanged, this, [this] { m_form.currentNumberChanged(); });
    connect(current, &NumberField::clicked, this, [this] { m_form.currentNumberClicked(); });
    current->setKeyFilter([this](char32_t typed) { return m_form.currentNumberKey(typed); });
    current->setEditable([this] { return m_form.currentNumberEditable(); });

    connect(static_cast<ListComboBox *>(widget(Combo1)), &ListComboBox::entryChosen, this,
            [this] { m_form.siteChosen(); });
}

std::string Form1Window::text(ControlId id) const
{
    QWidget *control = widget(id);
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text().toStdString();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText().toStdString();
    if (auto *box = qobject_cast<QPlainTextEdit *>(control))
        return box->toPlainText().toStdString();
    return {};
}

void Form1Window::setText(ControlId id, std::string_view text)
{
    QWidget *control = widget(id);
    if (auto *box = qobject_cast<QLineEdit *>(control))
        box->setText(qs(text));
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(qs(text));
    else if (auto *box = qobject_cast<QPlainTextEdit *>(control))
        replacePlainText(box, qs(text));
}

void Form1Window::setSelection(ControlId id, int start, int length)
{
    if (auto *box = qobject_cast<QLineEdit *>(widget(id)))
        box->setSelection(start, length);
}

void Form1Window::setCaption(ControlId id, std::string_view caption)
{
    QWidget *control = widget(id);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(qs(caption));
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(qs(caption));
    else if (auto *frame = qobject_cast<QGroupBox *>(control))
        frame->setTitle(qs(caption));
}

void Form1Window::setStatus(std::string_view text)
{
    setText(ControlId::opList, text);
}

void Form1Window::setStatusColour(window::Rgb colour)
{
    auto *status = static_cast<QPlainTextEdit *>(widget(ControlId::opList));
    const QColor wanted(colour.red, colour.green, colour.blue);
    // A palette change re-polishes the status box and its scroll bars and repaints them:
    // only when the colour really changes, not for every card of a run.
    if (status->palette().color(QPalette::Text) != wanted) {
        QPalette palette = status->palette();
        palette.setColor(QPalette::Text, wanted);
        status->setPalette(palette);
    }
}

int Form1Window::selectedPosition(ControlId id) const
{
    auto *combo = qobject_cast<QComboBox *>(widget(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

void Form1Window::giveFocus(ControlId id)
{
    widget(id)->setFocus();
}

void Form1Window::showMessage(std::string_view title, std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Ok, this);
    box.exec();
}

void Form1Window::endProgram()
{
    // Ends the event loop without closing the window, so no unload step runs: exit() sends
    // no close events, where quit() would.
    QCoreApplication::exit(0);
}

void Form1Window::setWordText(uint8_t wordAddress, std::string_view text)
{
    setText(window::wordField(wordAddress), text);
}

void Form1Window::closeWindow()
{
    close();
}

void Form1Window::showBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Form1Window::closeEvent(QCloseEvent *event)
{
    // Closing is never refused, only put off until the command that runs has ended.
    if (m_form.unload())
        event->accept();
    else
        event->ignore();
}
