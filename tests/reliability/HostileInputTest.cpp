// Hostile input typed into every field that reaches the ledger: quotes, SQL fragments, very
// long texts, line ends, NUL characters and lone surrogates, full-width digits, signs, the
// 32-bit boundaries and one past them. Each is stored exactly as the field holds it, or
// refused with the site's message and nothing written; no input changes what its statement
// does (the seeded rows stay as they were).

#include "ReliabilityFixture.h"

#include "support/Utf16.h"

#include "LedgerInvariants.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <iostream>
#include <optional>

namespace {

struct TypedText
{
    const char *what;
    QString text;
    // A text that could not be stored exactly: refused before anything is written.
    bool refused = false;
};

// The refusal of such a text, at every site.
const QString kUnstorable = QString::fromUtf8("使用できない文字が含まれています。");

// Texts for every name and memo field. A QLineEdit holds at most 32767 characters, so that is
// the longest text a user can hand to a writer.
const std::vector<TypedText> &hostileTexts()
{
    static const std::vector<TypedText> texts = {
        {"empty", QString()},
        {"single quote", QStringLiteral("O'Neil")},
        {"lone quote", QStringLiteral("'")},
        {"two quotes", QStringLiteral("''")},
        {"quote at both ends", QStringLiteral("'quoted'")},
        {"double quotes", QStringLiteral("\"double\"")},
        {"statement after a quote", QStringLiteral("x'); DROP TABLE Items; --")},
        {"always-true condition", QStringLiteral("' OR '1'='1")},
        {"update after a quote", QStringLiteral("a', Zankin = 0 WHERE 1; --")},
        {"comment", QStringLiteral("/* c */ -- d")},
        {"semicolons", QStringLiteral(";;")},
        {"backslashes", QStringLiteral("C:\\path\\'x'\\")},
        {"percent and underscore", QStringLiteral("100%_off")},
        {"line end", QStringLiteral("line1\nline2")},
        {"carriage return and tab", QStringLiteral("a\r\n\tb")},
        {"surrounding blanks", QStringLiteral("  padded  ")},
        {"full-width digits and blank", QString::fromUtf8("１２３　４")},
        {"Japanese with quotes", QString::fromUtf8("食費'引用'／「鍵」")},
        {"emoji", QString::fromUtf8("財布 😀👍🏽")},
        {"combining mark", QString::fromUtf8("e\u0301")},
        {"right-to-left override", QString::fromUtf8("\u202Eabc")},
        {"NUL inside", QString(QChar(u'a')) + QChar(u'\0') + QChar(u'b'), true},
        {"NUL alone", QString(QChar(u'\0')), true},
        {"lone high surrogate inside", utf16({u'a', 0xD83D, u'b'}), true},
        {"lone high surrogate at the end", utf16({u'a', 0xD83D}), true},
        {"lone low surrogate", utf16({0xDE00, u'b'}), true},
        {"pair in the wrong order", utf16({0xDE00, 0xD83D}), true},
        {"whole pair beside a lone half", utf16({0xD83D, 0xDE00, 0xD83D}), true},
        {"emoji as its UTF-16 pair", utf16({0xD83D, 0xDE00}) + QString::fromUtf8("漢")},
        {"20000 characters", QString(20000, QChar(u'長'))},
        {"32767 quotes", QString(32767, QLatin1Char('\''))},
    };
    return texts;
}

struct TypedAmount
{
    QString typed;
    // The value stored, or none when the site refuses it.
    std::optional<int32_t> value;
};

// Amounts for every amount field: the shared validator takes optional blanks, a sign and
// ASCII digits within the signed 32-bit range, and nothing else.
const std::vector<TypedAmount> &hostileAmounts()
{
    static const std::vector<TypedAmount> amounts = {
        {QStringLiteral("0"), 0},
        {QStringLiteral("500"), 500},
        {QStringLiteral("+0500"), 500},
        {QStringLiteral("-1"), -1},
        {QStringLiteral("-0"), 0},
        {QStringLiteral(" 42 "), 42},
        {QStringLiteral("\t7\t"), 7},
        {QStringLiteral("2147483647"), 2147483647},
        {QStringLiteral("-2147483648"), INT32_MIN},
        {QStringLiteral("2147483648"), std::nullopt},
        {QStringLiteral("-2147483649"), std::nullopt},
        {QStringLiteral("99999999999999999999"), std::nullopt},
        {QStringLiteral("00000000000000000012"), 12},
        {QString(), std::nullopt},
        {QStringLiteral("   "), std::nullopt},
        {QStringLiteral("-"), std::nullopt},
        {QStringLiteral("+"), std::nullopt},
        {QStringLiteral("--5"), std::nullopt},
        {QStringLiteral("+-5"), std::nullopt},
        {QStringLiteral("5-"), std::nullopt},
        {QStringLiteral("1 2"), std::nullopt},
        {QStringLiteral("1,000"), std::nullopt},
        {QStringLiteral("12.5"), std::nullopt},
        {QStringLiteral("1e3"), std::nullopt},
        {QStringLiteral("0x10"), std::nullopt},
        {QString::fromUtf8("１２３"), std::nullopt},
        {QString::fromUtf8("－５"), std::nullopt},
        {QString::fromUtf8("\u0663"), std::nullopt},
        {QString::fromUtf8("\u00a05"), std::nullopt},
        {QStringLiteral("5\n"), std::nullopt},
        {QStringLiteral("1; DROP TABLE Sisan"), std::nullopt},
        {QStringLiteral("0 OR 1=1"), std::nullopt},
        {QStringLiteral("NULL"), std::nullopt},
    };
    return amounts;
}

// What the field holds after the user typed the text (the field may cut it).
QString typeInto(const QWidget &window, const char *name, const QString &text)
{
    auto *field = child<QLineEdit>(window, name);
    field->setText(text);
    return field->text();
}

class HostileInputTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        createLedger(QStringLiteral("ledger.sqlf"));
        addSampleEntries(30);
        keepSeedRowsBut(0);
        m_seedItems = rows(QStringLiteral("SELECT * FROM Items ORDER BY Id"));
        m_seedLastId = scalar(QStringLiteral("SELECT max(Id) FROM Items"));
    }

    void TearDown() override
    {
        // Nothing typed changed a row it was not meant for, and the ledger is sound.
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM Items WHERE Id <= %1 ORDER BY Id").arg(m_seedLastId)),
                  m_seedItems);
        EXPECT_EQ(rows(m_keptSql), m_keptRows);
        KakeiboDB.reset();
        expectSound(QStringLiteral("ledger.sqlf"));
        std::cout << "[ hostile  ] " << m_tried << " hostile inputs typed, " << m_refused << " refused\n";
        ReliabilityFixture::TearDown();
    }

    QStringList rows(const QString &sql)
    {
        QStringList result;
        if (auto set = KakeiboDB->select(sql)) {
            for (; !set->atEnd(); set->moveNext()) {
                QStringList cells;
                for (int c = 0; c < set->columnCount(); ++c) {
                    cells << (set->isNullAt(c) ? QStringLiteral("NULL") : set->textAt(c));
                }
                result << cells.join(QLatin1Char('|'));
            }
        }
        return result;
    }

    QString text(const QString &sql) { return rows(sql).value(0); }

    qint64 lastEntry() { return scalar(QStringLiteral("SELECT max(Id) FROM Items")); }

    // Shows the entry with the Id in the form, presses Edit, types and presses Input.
    void editEntry(qint64 id, const QString &amount, const QString &memo)
    {
        for (int row = 0; row < m_w->lsbItem()->rowCount(); ++row) {
            if (m_w->lsbItem()->cell(row, 0) == QString::number(id)) {
                m_w->lsbItem()->setListIndex(row);
                break;
            }
        }
        ASSERT_EQ(m_w->lsbItem()->listIndex() >= 0 ? m_w->lsbItem()->cell(m_w->lsbItem()->listIndex(), 0)
                                                   : QString(),
                  QString::number(id));
        m_w->pbtHensyuu()->click();
        m_w->tfdKingaku()->setText(amount);
        m_w->tfdBikou()->setText(memo);
        m_w->pbtNyuryoku()->click();
    }

    // A refusal: exactly the site's message (or the message begins with it when the database's
    // reason follows), and the row count unchanged.
    void expectRefused(const QString &site, bool reasonFollows, qint64 rowsBefore, const QString &countSql)
    {
        ++m_refused;
        ASSERT_EQ(m_ui->messages.size(), 1) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        if (reasonFollows) {
            EXPECT_TRUE(m_ui->messages[0].startsWith(site)) << m_ui->messages[0].toStdString();
        } else {
            EXPECT_EQ(m_ui->messages[0], site);
        }
        EXPECT_EQ(scalar(countSql), rowsBefore);
    }

    // The seeded categories and sub-items but the one a test renames must stay as they are.
    void keepSeedRowsBut(int32_t renamed)
    {
        m_keptSql =
            QStringLiteral("SELECT * FROM Himoku WHERE Id <= 90 AND Id <> %1 ORDER BY Id").arg(renamed);
        m_keptRows = rows(m_keptSql);
    }

    QString m_keptSql;
    QStringList m_keptRows;
    QStringList m_seedItems;
    qint64 m_seedLastId = 0;
    int m_tried = 0;
    int m_refused = 0;
};

TEST_F(HostileInputTest, AccountNamesAreStoredExactlyAsTyped)
{
    dlgSisan dialog;
    for (const TypedText &input : hostileTexts()) {
        SCOPED_TRACE(input.what);
        ++m_tried;
        m_ui->messages.clear();
        const qint64 before = scalar(QStringLiteral("SELECT count(*) FROM Sisan"));
        press(dialog, "pbtSisanTuika");
        const QString typed = typeInto(dialog, "tfdSisankoumokuNamae", input.text);
        typeInto(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("100"));
        press(dialog, "pbtSisanKoumokuKanryou");
        if (input.refused) {
            expectRefused(kUnstorable, false, before, QStringLiteral("SELECT count(*) FROM Sisan"));
            press(dialog, "pbtSisanKoumokuTorikesi");
            continue;
        }
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        const int32_t id = static_cast<int32_t>(scalar(QStringLiteral("SELECT max(Id) FROM Sisan")));
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan")), before + 1);
        EXPECT_EQ(text(QStringLiteral("SELECT Namae FROM Sisan WHERE Id = %1").arg(id)), typed);
        EXPECT_EQ(gDicSisan.value(id), typed);
    }

    // Renaming an account takes the same texts.
    for (const TypedText &input : hostileTexts()) {
        SCOPED_TRACE(input.what);
        ++m_tried;
        m_ui->messages.clear();
        const QString before = text(QStringLiteral("SELECT * FROM Sisan WHERE Id = 1"));
        dialog.lsbSisan_CellClick(0, 0);
        press(dialog, "pbtSisanHensyuu");
        const QString typed = typeInto(dialog, "tfdSisankoumokuNamae", input.text);
        press(dialog, "pbtSisanKoumokuKanryou");
        if (input.refused) {
            ++m_refused;
            EXPECT_EQ(m_ui->messages, QStringList{kUnstorable});
            EXPECT_EQ(text(QStringLiteral("SELECT * FROM Sisan WHERE Id = 1")), before);
            press(dialog, "pbtSisanKoumokuTorikesi");
            continue;
        }
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(text(QStringLiteral("SELECT Namae FROM Sisan WHERE Id = 1")), typed);
    }
}

TEST_F(HostileInputTest, OpeningAmountsAreStoredAsTheirValueOrRefusedWithTheSitesMessage)
{
    dlgSisan dialog;
    for (const TypedAmount &input : hostileAmounts()) {
        SCOPED_TRACE(input.typed.toStdString());
        ++m_tried;
        m_ui->messages.clear();
        const qint64 before = scalar(QStringLiteral("SELECT count(*) FROM Sisan"));
        press(dialog, "pbtSisanTuika");
        typeInto(dialog, "tfdSisankoumokuNamae", QStringLiteral("口座"));
        typeInto(dialog, "tfdSisankoumokuSyokikingaku", input.typed);
        press(dialog, "pbtSisanKoumokuKanryou");
        if (!input.value) {
            expectRefused(QString::fromUtf8("初期金額のデータが数値ではありません"), false, before,
                          QStringLiteral("SELECT count(*) FROM Sisan"));
            press(dialog, "pbtSisanKoumokuTorikesi");
            continue;
        }
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(text(QStringLiteral("SELECT SyokiKingaku || ' ' || Zankin FROM Sisan WHERE Id = (SELECT "
                                      "max(Id) FROM Sisan)")),
                  QStringLiteral("%1 %1").arg(*input.value));
    }

    // A changed opening amount shifts the balance by the difference, in 64 bits.
    for (const TypedAmount &input : hostileAmounts()) {
        SCOPED_TRACE(input.typed.toStdString());
        ++m_tried;
        m_ui->messages.clear();
        const QString before = text(QStringLiteral("SELECT * FROM Sisan WHERE Id = 2"));
        const qint64 entries = scalar(QStringLiteral("SELECT Zankin - SyokiKingaku FROM Sisan WHERE Id = 2"));
        dialog.lsbSisan_CellClick(1, 0);
        press(dialog, "pbtSisanHensyuu");
        typeInto(dialog, "tfdSisankoumokuSyokikingaku", input.typed);
        press(dialog, "pbtSisanKoumokuKanryou");
        if (!input.value) {
            ++m_refused;
            EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8(
                                          "from SisanHensyuu 初期金額  のデータが数値ではありません ")});
            EXPECT_EQ(text(QStringLiteral("SELECT * FROM Sisan WHERE Id = 2")), before);
            press(dialog, "pbtSisanKoumokuTorikesi");
            continue;
        }
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(scalar(QStringLiteral("SELECT SyokiKingaku FROM Sisan WHERE Id = 2")), *input.value);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), *input.value + entries);
    }
}

TEST_F(HostileInputTest, CategoryAndSubItemNamesAreStoredExactlyAsTyped)
{
    keepSeedRowsBut(2);
    dlgHimoku dialog;
    ASSERT_GE(categoryRow(dialog, 2), 0) << "the list's column 2 holds each row's Id";

    for (const TypedText &input : hostileTexts()) {
        SCOPED_TRACE(input.what);
        const QString countSql = QStringLiteral("SELECT count(*) FROM Himoku");

        // A new category with its first sub-item "NAME/NAME".
        ++m_tried;
        m_ui->messages.clear();
        qint64 before = scalar(countSql);
        press(dialog, "pbtHimokuTuika");
        child<PopupMenu>(dialog, "ppmHimokuSyubetu")->setListIndex(0);
        const QString typed = typeInto(dialog, "tfdHimokuNamae", input.text);
        press(dialog, "pbtKoumokuKanryou");
        if (input.refused) {
            expectRefused(kUnstorable, false, before, countSql);
            press(dialog, "pbtKoumokuTorikesi");
        } else {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(scalar(countSql), before + 2);
            EXPECT_EQ(
                rows(QStringLiteral("SELECT Namae FROM Himoku WHERE Id > (SELECT max(Id) - 2 FROM Himoku) "
                                    "ORDER BY Id")),
                (QStringList{typed, typed + QLatin1Char('/') + typed}));
        }

        // A sub-item under 食費: "食費/SUBNAME".
        ++m_tried;
        m_ui->messages.clear();
        before = scalar(countSql);
        dialog.lsbHimoku_CellClick(0, 0);
        press(dialog, "pbtUtiwakeTuika");
        const QString subTyped = typeInto(dialog, "tfdUtiwakeNamae", input.text);
        press(dialog, "pbtKoumokuKanryou");
        if (input.refused) {
            expectRefused(kUnstorable, false, before, countSql);
            press(dialog, "pbtKoumokuTorikesi");
        } else {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(
                text(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = (SELECT max(Id) FROM Himoku)")),
                QString::fromUtf8("食費/") + subTyped);
        }

        // Renaming the sub-item 食費/食材 to the whole typed text.
        ++m_tried;
        m_ui->messages.clear();
        const QString old = text(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = 2"));
        dialog.lsbHimoku_CellClick(categoryRow(dialog, 2), 0);
        press(dialog, "pbtKoumokuHensyuu");
        const QString renamed = typeInto(dialog, "tfdUtiwakeNamae", input.text);
        press(dialog, "pbtKoumokuKanryou");
        if (input.refused) {
            ++m_refused;
            EXPECT_EQ(m_ui->messages, QStringList{kUnstorable});
            EXPECT_EQ(text(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = 2")), old);
            press(dialog, "pbtKoumokuTorikesi");
        } else {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(text(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = 2")), renamed);
        }
    }
}

TEST_F(HostileInputTest, MemosAreStoredExactlyAsTypedInEntriesPairsAndLastUsedValues)
{
    keepSeedRowsBut(0);
    showMainWindow();
    const QString food = QString::fromUtf8("食費/食材");
    const QString countSql = QStringLiteral("SELECT count(*) FROM Items");
    for (const TypedText &input : hostileTexts()) {
        SCOPED_TRACE(input.what);
        const QString typed = input.text.left(m_w->tfdBikou()->maxLength());
        if (input.refused) {
            // A new expense, a new transfer pair and a changed entry: each refused before
            // anything is asked or written.
            const qint64 before = scalar(countSql);
            const QString lastUsed = text(QStringLiteral("SELECT * FROM LastItems WHERE Id = 2"));
            const qint64 changed =
                scalar(QStringLiteral("SELECT max(Id) FROM Items WHERE SyubetuNo = 1 AND SisanNo = %1")
                           .arg(gSisanCode.SisanId));
            const QString changedRow = text(QStringLiteral("SELECT * FROM Items WHERE Id = %1").arg(changed));
            for (int site = 0; site < 3; ++site) {
                SCOPED_TRACE(site);
                ++m_tried;
                m_ui->messages.clear();
                m_ui->confirmations.clear();
                if (site == 0) {
                    enterNew(m_w->rbtSisyutu(), food, QStringLiteral("100"), input.text);
                } else if (site == 1) {
                    enterNew(m_w->rbtIdou(), QString::fromUtf8("預金"), QStringLiteral("100"), input.text);
                } else {
                    editEntry(changed, QStringLiteral("100"), input.text);
                }
                expectRefused(kUnstorable, false, before, countSql);
                EXPECT_TRUE(m_ui->confirmations.isEmpty());
                m_w->pbtTorikesi()->click();
            }
            EXPECT_EQ(text(QStringLiteral("SELECT * FROM LastItems WHERE Id = 2")), lastUsed);
            EXPECT_EQ(text(QStringLiteral("SELECT * FROM Items WHERE Id = %1").arg(changed)), changedRow);
            continue;
        }

        // A new expense, and the last-used values of its sub-item.
        ++m_tried;
        m_ui->messages.clear();
        const qint64 before = scalar(countSql);
        enterNew(m_w->rbtSisyutu(), food, QStringLiteral("100"), input.text);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(scalar(countSql), before + 1);
        const qint64 expense = lastEntry();
        EXPECT_EQ(text(QStringLiteral("SELECT Bikou FROM Items WHERE Id = %1").arg(expense)), typed);
        EXPECT_EQ(text(QStringLiteral("SELECT Bikou FROM LastItems WHERE Id = 2")), typed);

        // A transfer pair: both rows carry the memo.
        ++m_tried;
        m_ui->messages.clear();
        enterNew(m_w->rbtIdou(), QString::fromUtf8("預金"), QStringLiteral("100"), input.text);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(rows(QStringLiteral("SELECT Bikou FROM Items WHERE Id > %1 ORDER BY Id").arg(expense)),
                  (QStringList{typed, typed}));

        // The expense changed to carry the memo twice.
        ++m_tried;
        m_ui->messages.clear();
        const QString twice = (typed + typed).left(m_w->tfdBikou()->maxLength());
        editEntry(expense, QStringLiteral("100"), twice);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(text(QStringLiteral("SELECT Bikou FROM Items WHERE Id = %1").arg(expense)), twice);
    }
}

TEST_F(HostileInputTest, EntryAmountsAreStoredAsTheirValueOrRefusedWithTheSitesMessage)
{
    keepSeedRowsBut(0);
    showMainWindow();
    const QString food = QString::fromUtf8("食費/食材");
    const QString refusal = QString::fromUtf8("記入　金額欄が数値ではありません");
    const QString countSql = QStringLiteral("SELECT count(*) FROM Items");
    enterNew(m_w->rbtSisyutu(), food, QStringLiteral("1"), QStringLiteral("to be changed"));
    const qint64 changed = lastEntry();
    for (const TypedAmount &input : hostileAmounts()) {
        SCOPED_TRACE(input.typed.toStdString());

        // A new income entry, and the last-used amount of its sub-item.
        ++m_tried;
        m_ui->messages.clear();
        const qint64 before = scalar(countSql);
        enterNew(m_w->rbtSyunyu(), QString::fromUtf8("給料/給料"), input.typed, QStringLiteral("m"));
        if (input.value) {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(scalar(QStringLiteral("SELECT Nyuukin FROM Items WHERE Id = %1").arg(lastEntry())),
                      *input.value);
            EXPECT_EQ(scalar(QStringLiteral("SELECT Kingaku FROM LastItems WHERE Id = 77")), *input.value);
        } else {
            expectRefused(refusal, false, before, countSql);
        }

        // The expense changed to the amount.
        ++m_tried;
        m_ui->messages.clear();
        const qint64 old = scalar(QStringLiteral("SELECT Syukkin FROM Items WHERE Id = %1").arg(changed));
        editEntry(changed, input.typed, QStringLiteral("changed"));
        if (input.value) {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(scalar(QStringLiteral("SELECT Syukkin FROM Items WHERE Id = %1").arg(changed)),
                      *input.value);
        } else {
            ++m_refused;
            EXPECT_EQ(m_ui->messages, QStringList{refusal});
            EXPECT_EQ(scalar(QStringLiteral("SELECT Syukkin FROM Items WHERE Id = %1").arg(changed)), old);
            m_w->pbtTorikesi()->click();
        }
    }
}

} // namespace
