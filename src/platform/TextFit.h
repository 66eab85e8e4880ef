#pragma once
// The windows place their controls at fixed positions and sizes, chosen for the default font.
// Under a larger application font (a desktop theme's setting) a control's text may no longer be
// whole inside it: these draw such a control in a smaller font, the largest that lets its text
// stand whole inside it, so every caption, field and title stays readable where it was. A control
// whose text fits keeps its font untouched, so at the default font nothing changes.
//
// Usage, once a window has made its controls:
//     fitTexts(*this);                                    // every control of the window
//     fitText(*label, {"支出費目", "収入費目"});          // one control, for each text it will show
// A control fitted again starts from its own font before the first fitting, so a shorter caption
// gets its larger font back. When the application font changes while a window is open, the
// window takes its fitting back first and fits again under the new font:
//     unfitTexts(*this);                                  // every control as before fitting
//     ... set the window's own fonts again, from the new application font ...
//     fitTexts(*this);

#include <QFont>
#include <QStringList>

#include <functional>

class QWidget;

// Fits the control's font: a caption inside a button's or a radio's face, a label's text inside
// the label, a line of text inside a field or a popup, a group box's title above its first
// control. texts are the texts it will show besides its present one.
void fitText(QWidget &control, const QStringList &texts = {});

// Fits every control of the window: group box titles first, then the controls inside them.
// Lists and other item views keep their own fonts.
void fitTexts(QWidget &window);

// Takes back what fitting did to the window's controls: each one fitted has the font again that
// it had before its first fitting (its container's, when it had none of its own), and a group
// box's controls follow the group's font again.
void unfitTexts(QWidget &window);

// The largest font no larger than font (in whole pixels) for which fits holds; font itself when
// it does, the smallest tried when none does.
QFont largestFittingFont(const QFont &font, const std::function<bool(const QFont &)> &fits);
