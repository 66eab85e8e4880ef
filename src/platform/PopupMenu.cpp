#include "platform/PopupMenu.h"

#include <QSignalBlocker>

PopupMenu::PopupMenu(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setCurrentIndex(-1);
    // Only the user's choices arrive here: the program's changes are made with the signals
    // blocked and report themselves.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { raiseChange(); });
}

void PopupMenu::addRow(const QString &text)
{
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    addItem(text);
    if (selected < 0) {
        setCurrentIndex(-1);
    }
}

void PopupMenu::deleteAllRows()
{
    const bool hadSelection = currentIndex() >= 0;
    {
        const QSignalBlocker blocker(this);
        clear();
        setCurrentIndex(-1);
    }
    if (hadSelection) {
        raiseChange();
    }
}

void PopupMenu::setListIndex(int row)
{
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(row >= 0 && row < count() ? row : -1);
    }
    raiseChange();
}

void PopupMenu::raiseChange()
{
    if (m_changeHandler) {
        m_changeHandler();
    }
}
