#include "platform/TextFit.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QFont kLarge(QStringLiteral("DejaVu Sans"), 16);

int pixels(const QWidget &widget)
{
    return QFontInfo(widget.font()).pixelSize();
}

TEST(TextFitTest, AControlWhoseTextFitsKeepsItsFontUntouched)
{
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("閉じる"), &window);
    button->setGeometry(0, 0, 90, 28);
    const QFont before = button->font();
    fitTexts(window);
    EXPECT_EQ(button->font(), before);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetFont));
}

// A caption fitted to a long text must not stay small once the text is short again.
TEST(TextFitTest, ACaptionShrinksToItsButtonAndGrowsBackForAShorterOne)
{
    QWidget window;
    window.setFont(kLarge);
    auto *button = new QPushButton(QStringLiteral("この資産の追加実行"), &window);
    button->setGeometry(0, 0, 180, 48);
    fitText(*button);
    const int shrunk = pixels(*button);
    EXPECT_LT(shrunk, pixels(window));
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width());

    button->setText(QStringLiteral("完了"));
    fitText(*button);
    EXPECT_EQ(pixels(*button), pixels(window));

    // Fitted for every caption it will show, it holds the longest.
    fitText(*button, {QStringLiteral("この資産の追加実行")});
    EXPECT_EQ(pixels(*button), shrunk);
}

TEST(TextFitTest, AGroupTitleShrinksAboveItsFirstControlWhichKeepsItsFont)
{
    QWidget window;
    window.setFont(kLarge);
    auto *group = new QGroupBox(QStringLiteral("記帳"), &window);
    group->setGeometry(0, 0, 300, 120);
    auto *field = new QLineEdit(group);
    field->setGeometry(12, 20, 200, 40);
    fitTexts(window);
    EXPECT_LT(pixels(*group), pixels(window));
    EXPECT_EQ(pixels(*field), pixels(window));
}

TEST(TextFitTest, TheLargestFittingFontIsFoundAndNoneLeavesTheSmallest)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 16);
    const QFont fitted = largestFittingFont(
        font, [](const QFont &candidate) { return QFontMetrics(candidate).height() <= 18; });
    EXPECT_LE(QFontMetrics(fitted).height(), 18);
    QFont larger = fitted;
    larger.setPixelSize(QFontInfo(fitted).pixelSize() + 1);
    EXPECT_GT(QFontMetrics(larger).height(), 18);
    EXPECT_EQ(largestFittingFont(font, [](const QFont &) { return true; }), font);
    EXPECT_EQ(QFontInfo(largestFittingFont(font, [](const QFont &) { return false; })).pixelSize(), 6);
}

} // namespace
