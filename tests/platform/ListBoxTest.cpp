#include "platform/ListBox.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTest>

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <memory>

namespace {

class ListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list = std::make_unique<ListBox>();
        tester = std::make_unique<QAbstractItemModelTester>(
            list->listModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
        list->setColumnCount(4);
        list->setHeadings({QStringLiteral("ID"), QStringLiteral("名称"), QStringLiteral("残金"),
                           QStringLiteral("SyokiKingaku")});
        list->setColumnWidths(QStringLiteral("0%,55%,45%,0%"));
        list->setChangeHandler([this] { changes.push_back(list->listIndex()); });
    }

    void fill(int rows)
    {
        ListBox::Refill refill(*list);
        for (int r = 0; r < rows; ++r) {
            const int row = list->addRow();
            list->setCellNumber(row, 0, r + 1);
            list->setCell(row, 1, QStringLiteral("row %1").arg(r));
        }
    }

    std::unique_ptr<ListBox> list;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::vector<int> changes;
};

TEST_F(ListBoxTest, CellsReadBackExactlyAsWritten)
{
    {
        ListBox::Refill refill(*list);
        const int row = list->addRow();
        EXPECT_EQ(row, 0);
        list->setCellNumber(row, 0, -5000);
        list->setCell(row, 1, QStringLiteral("現金 "));
        list->setCell(row, 2, QStringLiteral("1,234,567"));
        list->setCell(row, 2, QStringLiteral("7"));
        list->addFolder(QStringLiteral("食費"));
    }
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->lastIndex(), 1);
    EXPECT_EQ(list->cell(0, 0), QStringLiteral("-5000"));
    EXPECT_EQ(list->cell(0, 1), QStringLiteral("現金 "));
    EXPECT_EQ(list->cell(0, 2), QStringLiteral("7"));
    EXPECT_EQ(list->cell(0, 3), QString());
    EXPECT_EQ(list->cell(1, 0), QStringLiteral("食費"));
    EXPECT_TRUE(list->isFolder(1));
    EXPECT_FALSE(list->isFolder(0));
    // Out of range reads as empty and writes are ignored.
    list->setCell(5, 0, QStringLiteral("x"));
    list->setCell(0, 9, QStringLiteral("x"));
    EXPECT_EQ(list->cell(5, 0), QString());
    EXPECT_EQ(list->cell(-1, 0), QString());
    EXPECT_EQ(list->listModel()->data(list->listModel()->index(0, 1)).toString(), QStringLiteral("現金 "));

    // Rows added outside a refill are signalled one by one and read back the same.
    const int added = list->addRow();
    list->setCell(added, 1, QStringLiteral("預金"));
    EXPECT_EQ(list->cell(2, 1), QStringLiteral("預金"));
    list->deleteAllRows();
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(list->lastIndex(), -1);
}

// Cells are eight bytes: numbers and texts beyond what fits in one still read back exactly,
// also after the rows were put in another order and after a refill reused the room.
TEST_F(ListBoxTest, EveryNumberAndTextReadsBackAfterReorderingAndRefilling)
{
    const int64_t numbers[] = {0,
                               -1,
                               (int64_t(1) << 60) - 1,
                               int64_t(1) << 60,
                               -(int64_t(1) << 60),
                               -(int64_t(1) << 60) - 1,
                               std::numeric_limits<int64_t>::max(),
                               std::numeric_limits<int64_t>::min()};
    // Four Mi characters is the longest text a cell holds by itself.
    const QString longText(4 * 1024 * 1024, QLatin1Char('x'));
    const QString texts[] = {QString(), QStringLiteral("日本語 's"), longText, longText.chopped(1)};
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<uint32_t> sources;
        {
            ListBox::Refill refill(*list);
            for (const int64_t n : numbers) {
                const int row = list->addRow();
                list->setCellNumber(row, 0, n);
                list->setCellAmount(row, 2, n);
                list->setCellUtf8(row, 3, QByteArrayView("€ 1"));
            }
            for (const QString &text : texts) {
                list->setCell(list->addRow(), 1, text);
            }
            list->addFolder(QStringLiteral("食費"));
            // Backwards, but the first and last rows swapped back.
            for (int row = list->rowCount() - 1; row >= 0; --row) {
                sources.push_back(uint32_t(row));
            }
            std::swap(sources.front(), sources.back());
            list->listModel()->reorderRows(sources);
        }
        const int last = list->rowCount() - 1;
        ASSERT_EQ(last, 12);
        EXPECT_TRUE(list->isFolder(last));
        EXPECT_EQ(list->cell(last, 0), QStringLiteral("食費"));
        EXPECT_EQ(list->cell(0, 0), QStringLiteral("0"));
        for (int i = 1; i < 8; ++i) {
            const int row = last - i;
            EXPECT_EQ(list->cell(row, 0), QString::number(numbers[i])) << i;
            EXPECT_EQ(list->cellValue(row, 0), numbers[i]) << i;
            EXPECT_EQ(list->cellValue(row, 2), numbers[i]) << i;
            EXPECT_EQ(list->cell(row, 3), QStringLiteral("€ 1"));
            EXPECT_EQ(list->cellValue(row, 3), 0);
        }
        EXPECT_EQ(list->cell(last - 7, 2), QStringLiteral("-9,223,372,036,854,775,808"));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(list->cell(4 - i, 1), texts[i]) << i;
            EXPECT_FALSE(list->isFolder(4 - i));
        }
    }
}

// UTF-8 cells read back as Qt decodes the bytes, well-formed or not.
TEST_F(ListBoxTest, Utf8CellsReadBackAsQtDecodesThem)
{
    const QByteArray texts[] = {
        "",
        "2024-03-05",
        "\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80",
        "\xef\xbb\xbf"
        "bom",
        "lone \x80 continuation",
        "overlong \xc0\xaf and \xe0\x80\xaf",
        "surrogate \xed\xa0\x80",
        "cut \xe6\x97",
        "past the range \xf4\x90\x80\x80",
        QByteArray("nul \0 inside", 12),
    };
    // What the well-formed first rows spell, written out rather than decoded.
    const QString wellFormed[] = {QString(), QStringLiteral("2024-03-05"), QStringLiteral("été € 日本 😀")};
    {
        ListBox::Refill refill(*list);
        for (const QByteArray &text : texts) {
            list->setCellUtf8(list->addRow(), 1, text);
        }
    }
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString expected = decoder.decode(texts[row]);
        EXPECT_EQ(list->cell(row, 1), expected) << row;
        if (row < static_cast<int>(std::size(wellFormed))) {
            EXPECT_EQ(list->cell(row, 1), wellFormed[row]) << row;
        }
    }
}

TEST_F(ListBoxTest, PercentWidthsHideZeroAndMissingColumns)
{
    list->setColumnCount(5);
    list->setColumnWidths(QStringLiteral("0%,55%,45%"));
    list->resize(400, 200);
    list->show();
    const int available = list->maximumViewportSize().width();
    EXPECT_EQ(list->columnWidth(0), 0);
    EXPECT_TRUE(list->isColumnHidden(0));
    EXPECT_TRUE(list->isColumnHidden(3));
    EXPECT_TRUE(list->isColumnHidden(4));
    EXPECT_EQ(list->columnWidth(1), available * 55 / 100);
    EXPECT_EQ(list->columnWidth(1) + list->columnWidth(2), available);
}

TEST_F(ListBoxTest, AlignmentAndEvenRowBackgroundAreModelRoles)
{
    list->setColumnAlignment(2, ListBox::Alignment::Decimal);
    list->setEvenRowBackground(QColor(0xF3F6FA));
    fill(3);
    const auto *model = list->listModel();
    EXPECT_EQ(model->data(model->index(0, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model->data(model->index(0, 1), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(model->data(model->index(0, 1), Qt::BackgroundRole).value<QColor>(), QColor(0xF3F6FA));
    EXPECT_FALSE(model->data(model->index(1, 1), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model->data(model->index(2, 3), Qt::BackgroundRole).value<QColor>(), QColor(0xF3F6FA));
    // A selected even row still reports itself selected: the highlight is drawn over the colour.
    list->setListIndex(2);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, QModelIndex()));
}

TEST_F(ListBoxTest, ProgramSelectionRaisesTheHandlerAtOnceEveryTime)
{
    fill(3);
    list->setListIndex(1);
    list->setListIndex(1);
    list->setListIndex(-1);
    list->setListIndex(-1);
    // Out of range means none.
    list->setListIndex(7);
    EXPECT_EQ(changes, (std::vector<int>{1, 1, -1, -1, -1}));
    EXPECT_EQ(list->listIndex(), -1);
}

TEST_F(ListBoxTest, RefillingASelectedListRaisesTheHandlerWithNoRowSelected)
{
    fill(3);
    fill(3);
    EXPECT_TRUE(changes.empty()) << "no selection, nothing to report";
    list->setListIndex(2);
    changes.clear();
    fill(2);
    EXPECT_EQ(changes, (std::vector<int>{-1}));
    EXPECT_EQ(list->listIndex(), -1);
    EXPECT_EQ(list->rowCount(), 2);
}

TEST_F(ListBoxTest, UserClickRaisesTheChangeAndClickHandlers)
{
    fill(5);
    std::vector<std::pair<int, int>> clicks;
    list->setCellClickHandler([&](int row, int column) { clicks.emplace_back(row, column); });
    list->resize(300, 200);
    list->show();
    const QRect cell = list->visualRect(list->listModel()->index(3, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(list->listIndex(), 3);
    EXPECT_EQ(changes, (std::vector<int>{3}));
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{3, 2}}));
}

// The entry list's scroll rule counts on exactly 17 wholly visible rows: a 310 pixel list
// with a 22 pixel heading and 16 pixel rows.
TEST_F(ListBoxTest, ScrollPositionIsTheFirstVisibleRowWithinTheRange)
{
    list->setHeadingHeight(22);
    list->setFixedRowHeight(16);
    list->setGeometry(0, 0, 745, 310);
    list->show();
    EXPECT_EQ(list->fullyVisibleRows(), 17);
    fill(25);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 25 - 17);
    list->setScrollPosition(8);
    EXPECT_EQ(list->scrollPosition(), 8);
    list->setScrollPosition(30);
    EXPECT_EQ(list->scrollPosition(), 8);
    list->setScrollPosition(-3);
    EXPECT_EQ(list->scrollPosition(), 0);
    fill(40);
    list->setScrollPosition(23);
    EXPECT_EQ(list->scrollPosition(), 23);
    EXPECT_EQ(list->verticalHeader()->sectionSize(0), 16);
}

} // namespace
