#include "platform/RadioButton.h"

#include <QSignalBlocker>

RadioButton::RadioButton(const QString &caption, QWidget *parent) : QRadioButton(caption, parent)
{
    // A user's click that turns it on; the program's setValue reports itself.
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on && m_actionHandler) {
            m_actionHandler();
        }
    });
}

void RadioButton::setValue(bool on)
{
    {
        const QSignalBlocker blocker(this);
        if (on) {
            setChecked(true);
        } else {
            // The checked radio of an exclusive set refuses to be turned off directly.
            const bool exclusive = autoExclusive();
            setAutoExclusive(false);
            setChecked(false);
            setAutoExclusive(exclusive);
        }
    }
    if (on && m_actionHandler) {
        m_actionHandler();
    }
}
