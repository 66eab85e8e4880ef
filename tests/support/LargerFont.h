#pragma once
// Windows under a larger application font, set as a desktop theme sets it: the font is the
// application's before the window is built, and the previous one is back when the scope ends.
// A window open meanwhile gets the change once deliverFontChange() has run.
// Both listings are standard strings, so a failing comparison prints them readably.
// misfitControls() names every control of a window that a user could not use whole there.

#include <QFont>
#include <QString>
#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

class QWidget;

struct ThemeFont
{
    const char *family;
    int points;
};

// The fonts the windows must hold: the default's family and the common CJK one, 14 to 16 pt.
inline constexpr ThemeFont kLargerFonts[] = {
    {"DejaVu Sans", 14}, {"DejaVu Sans", 16}, {"Noto Sans CJK JP", 14}, {"Noto Sans CJK JP", 16}};

inline void PrintTo(const ThemeFont &font, std::ostream *os)
{
    *os << font.family << ' ' << font.points << " pt";
}

class ApplicationFontScope
{
public:
    explicit ApplicationFontScope(const ThemeFont &font);
    ~ApplicationFontScope();
    ApplicationFontScope(const ApplicationFontScope &) = delete;
    ApplicationFontScope &operator=(const ApplicationFontScope &) = delete;

private:
    QFont m_previous;
};

// What the event loop of the running program does after the application font changed: the
// windows that are open receive the change (Qt posts it to them).
void deliverFontChange();

// Each named field, button, popup, radio and label the window shows that reaches past its
// frame (its parent, or a group box's title), or whose text is not whole in it; one line each,
// with the reason. Empty when every control is whole.
std::vector<std::string> misfitControls(const QWidget &window);

// Every named control of the window with its geometry and its font's pixel size, one
// "name x,y wxh Npx" line each, in the order they were made.
std::vector<std::string> controlGeometries(const QWidget &window);

// Every named control of the window with the family of the font it is drawn in, one
// "name family" line each, in the order they were made.
std::vector<std::string> fontFamilies(const QWidget &window);

// controlGeometries followed by fontFamilies: what a window made under a font shows of its
// controls, to hold a window fitted again against.
std::vector<std::string> controlFonts(const QWidget &window);
