#pragma once
// A radio button whose action handler runs whenever it is set on: by the user's click, and
// by the program through setValue(true), also when it was on already (a QRadioButton only
// signals a change). Setting it on turns the other radios of its parent off, as usual.
//
// Usage:
//     radio->setActionHandler([this] { rbtSisyutu_Action(); });
//     radio->setValue(true);     // the handler runs before this returns, every time
//     radio->value();            // whether it is on
// Initial state: setChecked(true) before the handler is attached sets it without running it.

#include <QRadioButton>

#include <functional>

class RadioButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit RadioButton(const QString &caption, QWidget *parent = nullptr);

    bool value() const { return isChecked(); }
    void setValue(bool on);
    void setActionHandler(std::function<void()> handler) { m_actionHandler = std::move(handler); }

private:
    std::function<void()> m_actionHandler;
};
