#include "support/LargerFont.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>

namespace {

// A line edit keeps a pixel above and below its line.
constexpr int kLineMargin = 1;

std::string describe(const QWidget &control, const QString &reason)
{
    const QRect g = control.geometry();
    return QStringLiteral("%1 (%2,%3 %4x%5 in %6): %7")
        .arg(control.objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(control.parentWidget()->objectName(), reason)
        .toStdString();
}

// Why the control's text is not whole in it, or nothing.
QString textProblem(const QWidget &control)
{
    const QFontMetrics metrics(control.font());
    const QSize room = control.size();
    // The frame of a button's face, a field and a popup, on each side.
    const int frame = control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    QSize needed;
    if (const auto *radio = qobject_cast<const QRadioButton *>(&control)) {
        const int indicator = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                              radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        needed = metrics.size(Qt::TextShowMnemonic, radio->text()) + QSize(indicator, 0);
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(&control)) {
        needed = metrics.size(Qt::TextShowMnemonic, button->text()) + QSize(2 * frame, 2 * frame);
    } else if (qobject_cast<const QLineEdit *>(&control)) {
        needed = QSize(0, metrics.height() + 2 * frame + 2 * kLineMargin);
    } else if (qobject_cast<const QComboBox *>(&control)) {
        needed = QSize(0, metrics.height() + 2 * frame);
    } else if (const auto *label = qobject_cast<const QLabel *>(&control)) {
        needed = metrics.size(0, label->text().isEmpty() ? QStringLiteral(" ") : label->text());
    } else {
        return {};
    }
    if (needed.width() > room.width() || needed.height() > room.height()) {
        return QStringLiteral("its text needs %1x%2").arg(needed.width()).arg(needed.height());
    }
    return {};
}

bool isControl(const QWidget &widget)
{
    return qobject_cast<const QAbstractButton *>(&widget) || qobject_cast<const QLineEdit *>(&widget) ||
           qobject_cast<const QComboBox *>(&widget) || qobject_cast<const QLabel *>(&widget);
}

bool named(const QWidget &widget)
{
    return !widget.objectName().isEmpty() && !widget.objectName().startsWith(QLatin1String("qt_"));
}

// The named controls of the window, in the order they were made.
std::vector<const QWidget *> namedControls(const QWidget &window)
{
    std::vector<const QWidget *> controls;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (named(*widget) && !widget->isWindow()) {
            controls.push_back(widget);
        }
    }
    return controls;
}

} // namespace

ApplicationFontScope::ApplicationFontScope(const ThemeFont &font) : m_previous(QApplication::font())
{
    QApplication::setFont(QFont(QString::fromLatin1(font.family), font.points));
}

ApplicationFontScope::~ApplicationFontScope()
{
    QApplication::setFont(m_previous);
}

void deliverFontChange()
{
    QCoreApplication::sendPostedEvents();
}

std::vector<std::string> misfitControls(const QWidget &window)
{
    std::vector<std::string> misfits;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (!named(*widget) || widget->isWindow() || !widget->isVisibleTo(&window)) {
            continue;
        }
        const QWidget *parent = widget->parentWidget();
        if (!parent->rect().contains(widget->geometry())) {
            misfits.push_back(describe(*widget, QStringLiteral("reaches past its frame")));
            continue;
        }
        const auto *group = qobject_cast<const QGroupBox *>(parent);
        if (group && !group->title().isEmpty() && widget->y() < QFontMetrics(group->font()).height()) {
            misfits.push_back(describe(*widget, QStringLiteral("lies under the title of its group")));
            continue;
        }
        if (isControl(*widget)) {
            if (const QString problem = textProblem(*widget); !problem.isEmpty()) {
                misfits.push_back(describe(*widget, problem));
            }
        }
    }
    return misfits;
}

std::vector<std::string> controlGeometries(const QWidget &window)
{
    std::vector<std::string> lines;
    for (const QWidget *widget : namedControls(window)) {
        const QRect g = widget->geometry();
        lines.push_back(QStringLiteral("%1 %2,%3 %4x%5 %6px")
                            .arg(widget->objectName())
                            .arg(g.x())
                            .arg(g.y())
                            .arg(g.width())
                            .arg(g.height())
                            .arg(QFontInfo(widget->font()).pixelSize())
                            .toStdString());
    }
    return lines;
}

std::vector<std::string> fontFamilies(const QWidget &window)
{
    std::vector<std::string> lines;
    for (const QWidget *widget : namedControls(window)) {
        lines.push_back((widget->objectName() + u' ' + QFontInfo(widget->font()).family()).toStdString());
    }
    return lines;
}

std::vector<std::string> controlFonts(const QWidget &window)
{
    std::vector<std::string> lines = controlGeometries(window);
    for (const std::string &family : fontFamilies(window)) {
        lines.push_back(family);
    }
    return lines;
}
