#include "platform/TextFit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <climits>

namespace {

// The font a control had before it was first fitted.
constexpr char kOwnFont[] = "quorvelaOwnFont";
// Set on a fitted control that had no font of its own before, but its container's.
constexpr char kContainersFont[] = "quorvelaContainersFont";
// Set on a control of a group box whose font was fixed so that fitting the title left it.
constexpr char kKeptFromGroup[] = "quorvelaKeptFromGroup";
// Below this no text is readable anyway.
constexpr int kSmallestPixelSize = 6;
// A line edit keeps one pixel above and below its line inside its frame.
constexpr int kLineEditVerticalMargin = 1;

bool sizeFits(const QSize &needed, const QRect &room)
{
    return needed.width() <= room.width() && needed.height() <= room.height();
}

QRect buttonFace(const QAbstractButton &button, const QFontMetrics &metrics, QStyle::SubElement element)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.fontMetrics = metrics;
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    return button.style()->subElementRect(element, &option, &button);
}

bool buttonFits(const QAbstractButton &button, const QFontMetrics &metrics, const QString &text)
{
    const bool radio = qobject_cast<const QRadioButton *>(&button) != nullptr;
    const QRect face =
        buttonFace(button, metrics, radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents);
    return sizeFits(metrics.size(Qt::TextShowMnemonic, text), face);
}

bool lineEditFits(const QLineEdit &field, const QFontMetrics &metrics)
{
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.fontMetrics = metrics;
    option.lineWidth =
        field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field) : 0;
    const QRect contents =
        field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field) - field.textMargins();
    return metrics.height() <= contents.height() - 2 * kLineEditVerticalMargin;
}

bool popupFits(const QComboBox &popup, const QFontMetrics &metrics)
{
    QStyleOptionComboBox option;
    option.initFrom(&popup);
    option.fontMetrics = metrics;
    option.editable = popup.isEditable();
    option.frame = popup.hasFrame();
    const QRect field =
        popup.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &popup);
    return metrics.height() <= field.height();
}

bool labelFits(const QLabel &label, const QFontMetrics &metrics, const QString &text)
{
    const QRect room = label.contentsRect();
    if (label.wordWrap()) {
        return metrics.height() <= room.height();
    }
    // An empty label is measured with a blank, so it holds a line of its font when filled.
    return sizeFits(metrics.size(0, text.isEmpty() ? QStringLiteral(" ") : text), room);
}

bool groupTitleFits(const QGroupBox &group, const QFontMetrics &metrics)
{
    if (group.title().isEmpty()) {
        return true;
    }
    int firstTop = INT_MAX;
    for (const QObject *child : group.children()) {
        if (const auto *widget = qobject_cast<const QWidget *>(child); widget && !widget->isWindow()) {
            firstTop = std::min(firstTop, widget->y());
        }
    }
    if (firstTop == INT_MAX) {
        return true;
    }
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.fontMetrics = metrics;
    option.text = group.title();
    option.textAlignment = group.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = group.isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    option.lineWidth = 1;
    const QRect title =
        group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
    return title.bottom() < firstTop;
}

bool fitsOneText(const QWidget &control, const QFontMetrics &metrics, const QString *text)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control)) {
        return buttonFits(*button, metrics, text ? *text : button->text());
    }
    if (const auto *label = qobject_cast<const QLabel *>(&control)) {
        return labelFits(*label, metrics, text ? *text : label->text());
    }
    if (const auto *field = qobject_cast<const QLineEdit *>(&control)) {
        return lineEditFits(*field, metrics);
    }
    if (const auto *popup = qobject_cast<const QComboBox *>(&control)) {
        return popupFits(*popup, metrics);
    }
    if (const auto *group = qobject_cast<const QGroupBox *>(&control)) {
        return groupTitleFits(*group, metrics);
    }
    return true;
}

// A font that a control's children do not take from it: every property set.
QFont ownFont(QFont font)
{
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

// Containers whose controls are fitted; the insides of lists, popups and the like are not.
bool holdsControls(const QWidget &widget)
{
    const QMetaObject *kind = widget.metaObject();
    return kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox *>(&widget) != nullptr;
}

void collectControls(QWidget &container, std::vector<QGroupBox *> &groups, std::vector<QWidget *> &controls)
{
    for (QObject *child : container.children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow()) {
            continue;
        }
        if (auto *group = qobject_cast<QGroupBox *>(widget)) {
            groups.push_back(group);
        } else if (!holdsControls(*widget)) {
            controls.push_back(widget);
        }
        if (holdsControls(*widget)) {
            collectControls(*widget, groups, controls);
        }
    }
}

// Whether the control's text, and every one of texts, stands whole inside it in the font.
bool textFits(const QWidget &control, const QFont &font, const QStringList &texts)
{
    const QFontMetrics metrics(font);
    if (!fitsOneText(control, metrics, nullptr)) {
        return false;
    }
    return std::all_of(texts.begin(), texts.end(),
                       [&](const QString &text) { return fitsOneText(control, metrics, &text); });
}

} // namespace

QFont largestFittingFont(const QFont &font, const std::function<bool(const QFont &)> &fits)
{
    if (fits(font)) {
        return font;
    }
    QFont smaller = font;
    for (int pixels = QFontInfo(font).pixelSize() - 1; pixels >= kSmallestPixelSize; --pixels) {
        smaller.setPixelSize(pixels);
        if (fits(smaller)) {
            break;
        }
    }
    return smaller;
}

void fitText(QWidget &control, const QStringList &texts)
{
    const QVariant own = control.property(kOwnFont);
    const QFont start = own.isValid() ? own.value<QFont>() : control.font();
    const QFont fitted =
        largestFittingFont(start, [&](const QFont &font) { return textFits(control, font, texts); });
    if (fitted == control.font()) {
        return;
    }
    if (!own.isValid()) {
        control.setProperty(kOwnFont, start);
        control.setProperty(kContainersFont, !control.testAttribute(Qt::WA_SetFont));
        // The controls inside a group box keep the font they had: only the title is fitted.
        if (qobject_cast<QGroupBox *>(&control)) {
            for (QWidget *child : control.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (!child->testAttribute(Qt::WA_SetFont)) {
                    child->setFont(ownFont(child->font()));
                    child->setProperty(kKeptFromGroup, true);
                }
            }
        }
    }
    control.setFont(ownFont(fitted));
}

void fitTexts(QWidget &window)
{
    std::vector<QGroupBox *> groups;
    std::vector<QWidget *> controls;
    collectControls(window, groups, controls);
    for (QGroupBox *group : groups) {
        fitText(*group);
    }
    for (QWidget *control : controls) {
        fitText(*control);
    }
}

void unfitTexts(QWidget &window)
{
    for (QWidget *control : window.findChildren<QWidget *>()) {
        // Fixed for its group's sake, it had its container's font (and kept it when fitted).
        const bool keptFromGroup = control->property(kKeptFromGroup).toBool();
        const QVariant own = control->property(kOwnFont);
        if (!keptFromGroup && !own.isValid()) {
            continue;
        }
        const bool containers = keptFromGroup || control->property(kContainersFont).toBool();
        for (const char *name : {kKeptFromGroup, kOwnFont, kContainersFont}) {
            control->setProperty(name, QVariant());
        }
        // A font with no property set is no font of its own: the container's is taken.
        control->setFont(containers ? QFont() : own.value<QFont>());
    }
}
