// Building the window's controls at their fixed places. Positions and sizes are given in
// twips, as the layout is drawn; 15 twips make one pixel at 96 dots per inch.
#pragma once

#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>

struct Twips
{
    int left;
    int top;
    int width;
    int height;
};

inline QRect pixels(Twips t)
{
    constexpr int kTwipsPerPixel = 15;
    return {t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
            t.height / kTwipsPerPixel};
}

inline QFont timesFont(qreal points)
{
    // Liberation Serif has Times New Roman's metrics and stands in where it is missing.
    QFont font(QStringLiteral("Times New Roman"));
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// Only the controls in the Tab cycle take focus from the keyboard; the others are reached
// with the mouse.
enum class TabStop { Yes, No };

inline void placeControl(QWidget *control, const char *name, const QString &accessibleName,
                         Twips where, TabStop tabStop)
{
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(accessibleName);
    control->setGeometry(pixels(where));
    control->setFocusPolicy(tabStop == TabStop::Yes ? Qt::StrongFocus : Qt::ClickFocus);
}

inline QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                               Twips where, TabStop tabStop = TabStop::No)
{
    auto *button = new QPushButton(caption, parent);
    placeControl(button, name, caption, where, tabStop);
    // Return activates the focused button, as Space does; no button is the window's default.
    button->setAutoDefault(true);
    return button;
}

inline QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &text, Twips where,
                              const QString &accessibleName)
{
    auto *box = new QLineEdit(text, parent);
    placeControl(box, name, accessibleName, where, TabStop::No);
    return box;
}
