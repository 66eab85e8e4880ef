#include "ledger/wndKakeibo.h"

#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/ShownRows.h"
#include "app/mdlGlobal.h"
#include "ledger/BalanceRule.h"
#include "ledger/DateListBox.h"
#include "ledger/EntryWriter.h"
#include "ledger/MainWindowQueries.h"
#include "platform/CheckedSum.h"
#include "platform/ListBox.h"
#include "platform/NumberFormat.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "platform/RollingDate.h"
#include "platform/TextFit.h"
#include "platform/Ui.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {

QPointer<wndKakeibo> &instanceRef()
{
    static QPointer<wndKakeibo> window;
    return window;
}

// Text sizes are pixel sizes. A group box hands its font down to everything inside it, so
// every control inside one gets a font of its own: its given size, or the default one. The
// size stays with the control, so that its font is made again from the application's font
// when that changes while the window is open.
constexpr char kPixelSize[] = "quorvelaPixelSize";
constexpr int kDefaultSize = 0;

QFont sizedFont(int pixels)
{
    QFont font = QApplication::font();
    if (pixels == kDefaultSize) {
        font.setResolveMask(QFont::AllPropertiesResolved);
    } else {
        font.setPixelSize(pixels);
    }
    return font;
}

template <typename W> W *withFont(W *widget, int pixels = kDefaultSize)
{
    widget->setProperty(kPixelSize, pixels);
    widget->setFont(sizedFont(pixels));
    return widget;
}

// Every control's own font made again from the application's font.
void renewFonts(QWidget &content)
{
    for (QWidget *widget : content.findChildren<QWidget *>()) {
        if (const QVariant pixels = widget->property(kPixelSize); pixels.isValid()) {
            widget->setFont(sizedFont(pixels.toInt()));
        }
    }
}

template <typename W> W *named(W *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    return named(new QGroupBox(caption, parent), name, geometry);
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    return withFont(named(new QLabel(text, parent), name, geometry));
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *b = withFont(named(new QPushButton(caption, parent), name, geometry));
    // No button of the window is its default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLineEdit *textField(QWidget *parent, const char *name, const QRect &geometry)
{
    return withFont(named(new QLineEdit(parent), name, geometry));
}

// The entry list shows exactly 17 whole rows: 310 pixels less the frame and a 22 pixel
// heading leave room for 17 rows of 16 pixels and part of an 18th.
constexpr int kListRowHeight = 16;
constexpr int kListHeadingHeight = 22;
constexpr int kScrollRows = 17;

// Appends each entry read as a row of the entry list, every cell but the running balance,
// which needs the rows in list order.
class EntryListRows final : public EntrySink
{
public:
    explicit EntryListRows(ListBox &list) : m_list(list) {}

    void add(const EntryRecord &entry) override
    {
        const int row = m_list.addRow();
        m_list.setCellNumber(row, 0, entry.id);
        m_list.setCellUtf8(row, 1, entry.date);
        m_category.resize(0);
        appendEntryCategoryText(m_category, entry);
        m_list.setCell(row, 2, m_category);
        if (entry.kind == kExpense || entry.kind == kTransferOut) {
            m_list.setCellAmount(row, 4, entry.paid);
        } else if (entry.kind == kIncome || entry.kind == kTransferIn) {
            m_list.setCellAmount(row, 3, entry.received);
        }
        m_list.setCellUtf8(row, 6, entry.memo);
        m_list.setCellNumber(row, 7, entry.accountId);
        m_list.setCellNumber(row, 8, entry.kind);
        m_list.setCellNumber(row, 9, entry.categoryId);
        m_list.setCellNumber(row, 10, entry.partnerAccountId);
        m_list.setCellNumber(row, 11, entry.partnerEntryId);
    }

    void restart() override { m_list.deleteAllRows(); }

private:
    ListBox &m_list;
    // One text reused for every category text: no allocation per row.
    QString m_category;
};

} // namespace

wndKakeibo *wndKakeibo::instance()
{
    if (!instanceRef()) {
        auto *window = new wndKakeibo;
        // Known before the open handler runs, so that anything it reaches finds this window.
        instanceRef() = window;
        // Shown first: the lists need their real size when the open handler scrolls them.
        window->show();
        window->runOpenHandlers();
    }
    return instanceRef();
}

bool wndKakeibo::exists()
{
    return !instanceRef().isNull();
}

void wndKakeibo::enableBookkeeping()
{
    wndKakeibo *window = instance();
    window->m_grbKakeibo2->setEnabled(true);
    window->pbtSinki_Open();
}

bool wndKakeibo::ledgerConnected()
{
    return KakeiboDB && KakeiboDB->connect();
}

wndKakeibo::wndKakeibo()
{
    setObjectName(QStringLiteral("wndKakeibo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvela"));
    MainMenuBar::instance().installInto(menuBar());
    createControls();
    attachHandlers();
    AddMenuHandlers();
    setMinimumSize(64, 64);
    resize(1096, 686 + menuBar()->sizeHint().height());
}

void wndKakeibo::createControls()
{
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("wndKakeiboContent"));
    content->setMinimumSize(0, 0);
    setCentralWidget(content);

    // The entry list's group, top right.
    m_grbKakeibo1 = groupBox(content, "grbKakeibo1", QStringLiteral("sisan"), QRect(336, 8, 752, 366));
    withFont(m_grbKakeibo1, 14);
    m_lsbItem = named(new ListBox(m_grbKakeibo1), "lsbItem", QRect(3, 24, 745, 310));
    withFont(m_lsbItem, 12);
    m_lsbItem->setColumnCount(12);
    m_lsbItem->setHeadings({QStringLiteral("番号"), QStringLiteral("日付"), QStringLiteral("費目"),
                            QStringLiteral("収入"), QStringLiteral("支出"), QStringLiteral("残高"),
                            QStringLiteral("Bikou"), QStringLiteral("SisanNo"), QStringLiteral("SyubetuNo"),
                            QStringLiteral("HimokuNo"), QStringLiteral("IdouSisanNo"),
                            QStringLiteral("IdouId")});
    m_lsbItem->setHeadingHeight(kListHeadingHeight);
    m_lsbItem->setFixedRowHeight(kListRowHeight);
    m_lsbItem->setColumnWidths(QStringLiteral("0%,12%,40%,16%,16%,16%,0%,0%,0%,0%"));
    m_lblItotal = label(m_grbKakeibo1, "lblItotal", QStringLiteral("0"), QRect(448, 338, 296, 22));
    m_lblItotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The bookkeeping group below it, locked until a ledger is opened or created.
    m_grbKakeibo2 = groupBox(content, "grbKakeibo2", QStringLiteral("記帳"), QRect(336, 382, 752, 296));
    m_grbKakeibo2->setEnabled(false);
    m_pbtSinki = button(m_grbKakeibo2, "pbtSinki", QStringLiteral("新規"), QRect(12, 24, 96, 28));
    m_pbtHensyuu = button(m_grbKakeibo2, "pbtHensyuu", QStringLiteral("編集"), QRect(116, 24, 96, 28));
    m_pbtHensyuu->setEnabled(false);
    m_pbtSakujyo = button(m_grbKakeibo2, "pbtSakujyo", QStringLiteral("削除"), QRect(220, 24, 96, 28));
    m_pbtSakujyo->setEnabled(false);

    m_grbKinyu = groupBox(m_grbKakeibo2, "grbKinyu", QStringLiteral("記入"), QRect(8, 60, 736, 228));
    m_lblHimokuSyubetu = label(m_grbKinyu, "lblHimokuSyubetu", QStringLiteral("費目"), QRect(16, 82, 72, 24));
    m_Label2 = label(m_grbKinyu, "Label2", QStringLiteral("備考"), QRect(16, 154, 72, 24));
    m_ppmHimoku = named(new PopupMenu(m_grbKinyu), "ppmHimoku", QRect(92, 82, 300, 26));
    withFont(m_ppmHimoku);
    m_Label3 = label(m_grbKinyu, "Label3", QStringLiteral("金額"), QRect(16, 118, 72, 24));
    m_tfdKingaku = textField(m_grbKinyu, "tfdKingaku", QRect(92, 118, 160, 24));
    m_tfdBikou = textField(m_grbKinyu, "tfdBikou", QRect(92, 154, 520, 24));
    m_pbtTorikesi = button(m_grbKinyu, "pbtTorikesi", QStringLiteral("取消"), QRect(516, 190, 96, 28));
    m_pbtNyuryoku = button(m_grbKinyu, "pbtNyuryoku", QStringLiteral("入力"), QRect(624, 190, 96, 28));
    m_DateListBox1 = new DateListBox(m_grbKinyu);
    m_DateListBox1->setGeometry(316, 36, 120, 20);
    withFont(m_DateListBox1);
    m_lblItemID = label(m_grbKinyu, "lblItemID", QString(), QRect(624, 36, 96, 20));
    m_lblItemID->setEnabled(false);
    m_lblItemID->hide();
    m_Rectangle1 = named(new QFrame(m_grbKinyu), "Rectangle1", QRect(16, 28, 276, 36));
    m_Rectangle1->setFrameShape(QFrame::NoFrame);
    m_Rectangle1->setAutoFillBackground(true);
    QPalette fill = m_Rectangle1->palette();
    fill.setColor(QPalette::Window, QColor(0xE2E2E2));
    m_Rectangle1->setPalette(fill);
    m_rbtSisyutu =
        named(new RadioButton(QStringLiteral("支出"), m_Rectangle1), "rbtSisyutu", QRect(12, 8, 80, 20));
    withFont(m_rbtSisyutu);
    // The initial state, set before any handler is attached: no handler runs for it.
    m_rbtSisyutu->setChecked(true);
    m_rbtSyunyu =
        named(new RadioButton(QStringLiteral("収入"), m_Rectangle1), "rbtSyunyu", QRect(100, 8, 80, 20));
    withFont(m_rbtSyunyu);
    m_rbtIdou =
        named(new RadioButton(QStringLiteral("移動"), m_Rectangle1), "rbtIdou", QRect(188, 8, 80, 20));
    withFont(m_rbtIdou);

    // The account group on the left.
    m_grbKakeibo3 = groupBox(content, "grbKakeibo3", QStringLiteral("資産"), QRect(8, 8, 320, 670));
    withFont(m_grbKakeibo3, 14);
    m_lblToday = label(m_grbKakeibo3, "lblToday", QStringLiteral("Today"), QRect(10, 26, 300, 18));
    withFont(m_lblToday, 10);
    m_lsbSisan = named(new ListBox(m_grbKakeibo3), "lsbSisan", QRect(6, 48, 308, 582));
    withFont(m_lsbSisan, 12);
    m_lsbSisan->setColumnCount(4);
    m_lsbSisan->setHeadings({QStringLiteral("ID"), QStringLiteral("名称"), QStringLiteral("残金"),
                             QStringLiteral("SyokiKingaku")});
    m_lsbSisan->setHeadingHeight(kListHeadingHeight);
    m_lsbSisan->setFixedRowHeight(kListRowHeight + 4);
    m_lsbSisan->setColumnWidths(QStringLiteral("0%,55%,45%,0%"));
    m_lblStotal = label(m_grbKakeibo3, "lblStotal", QStringLiteral("0"), QRect(6, 638, 308, 22));
    m_lblStotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    fitControls();
}

void wndKakeibo::fitControls()
{
    fitTexts(*centralWidget());
    // The captions the form's modes give these two.
    fitText(*m_pbtNyuryoku, {QStringLiteral("編集完了"), QStringLiteral("削除")});
    fitText(*m_lblHimokuSyubetu, {QStringLiteral("支出費目"), QStringLiteral("収入費目"),
                                  QStringLiteral("移動先"), QStringLiteral("移動元")});
}

void wndKakeibo::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The desktop's font changed while the window is open: the controls are given their fonts
    // and fitted again, as if the window had been made under the new font.
    if (event->type() == QEvent::FontChange && m_lblStotal) {
        unfitTexts(*centralWidget());
        renewFonts(*centralWidget());
        fitControls();
    }
}

void wndKakeibo::attachHandlers()
{
    m_lsbItem->setChangeHandler([this] { lsbItem_Change(); });
    connect(m_pbtSinki, &QPushButton::clicked, this, [this] { pbtSinki_Action(); });
    connect(m_pbtHensyuu, &QPushButton::clicked, this, [this] { pbtHensyuu_Action(); });
    connect(m_pbtSakujyo, &QPushButton::clicked, this, [this] { pbtSakujyo_Action(); });
    m_ppmHimoku->setChangeHandler([this] { ppmHimoku_Change(); });
    connect(m_pbtTorikesi, &QPushButton::clicked, this, [this] { pbtTorikesi_Action(); });
    connect(m_pbtNyuryoku, &QPushButton::clicked, this, [this] { pbtNyuryoku_Action(); });
    m_rbtSisyutu->setActionHandler([this] { rbtSisyutu_Action(); });
    m_rbtSyunyu->setActionHandler([this] { rbtSyunyu_Action(); });
    m_rbtIdou->setActionHandler([this] { rbtIdou_Action(); });
    m_lsbSisan->setChangeHandler([this] { lsbSisan_Change(); });

    // Cancel is the window's cancel button: Escape presses it (a disabled one ignores it).
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { m_pbtTorikesi->click(); });
}

void wndKakeibo::runOpenHandlers()
{
    lsbItem_Open();
    pbtSinki_Open();
    lsbSisan_Open();
    Event_Open();
}

void wndKakeibo::Event_Open()
{
    // Without a usable ledger the window stays empty and says nothing.
    if (ledgerConnected()) {
        FullRefresh();
    }
}

void wndKakeibo::FullRefresh()
{
    GSisanCodeInit = true;
    const bool listed = SetlsbSisanListingFirst();
    m_lblToday->setText(RollingDate::today().shortDate());
    if (!listed) {
        SetlsbItem(-1);
    }
    KinyuuStatus = 1;
    SetPpmLsbHimoku();
    m_grbKinyu->setEnabled(false);
    // The window starts over at New: a first Space opens a new entry rather than showing one
    // of the list. At start-up the group is still disabled here; enableBookkeeping gives the
    // focus then.
    pbtSinki_Open();
}

void wndKakeibo::lsbSisan_Open()
{
    m_lsbSisan->setColumnAlignment(2, ListBox::Alignment::Decimal);
}

void wndKakeibo::lsbItem_Open()
{
    m_lsbItem->setColumnAlignment(3, ListBox::Alignment::Decimal);
    m_lsbItem->setColumnAlignment(4, ListBox::Alignment::Decimal);
    m_lsbItem->setColumnAlignment(5, ListBox::Alignment::Decimal);
    // The cell background paint of the list: rows 0, 2, 4, ... in a light blue-grey, the
    // selection highlight still drawn over it.
    m_lsbItem->setEvenRowBackground(QColor(0xF3F6FA));
}

void wndKakeibo::SetlsbSisan()
{
    if (!KakeiboDB) {
        return;
    }
    std::optional<std::vector<AccountRecord>> accounts;
    int selectedRow = -1;
    {
        ListBox::Refill refill(*m_lsbSisan);
        gDicSisan.clear();
        accounts = readAccounts(*KakeiboDB);
        if (accounts) {
            for (const AccountRecord &account : *accounts) {
                const int row = m_lsbSisan->addRow();
                if (account.id == gSisanCode.SisanId) {
                    selectedRow = row;
                }
                m_lsbSisan->setCellNumber(row, 0, account.id);
                m_lsbSisan->setCell(row, 1, account.name);
                m_lsbSisan->setCellAmount(row, 2, account.balance);
                m_lsbSisan->setCellNumber(row, 3, account.openingAmount);
                gDicSisan.set(account.id, account.name);
            }
        }
    }
    m_accountsRead = accounts.has_value();
    if (!accounts) {
        Ui::instance().message(QStringLiteral("from Method SetlsbSisan: ") + KakeiboDB->errorMessage());
    }

    if (const auto total = readBalanceTotal(*KakeiboDB)) {
        m_lblStotal->setText(formatAmount(*total) + QStringLiteral("(円)"));
        fitText(*m_lblStotal);
    } else {
        Ui::instance().message(QStringLiteral("from Method Sum  Zankin: ") + KakeiboDB->errorMessage());
    }

    // Another program may have added or deleted accounts since the last refill, so the
    // selected account may sit in another row now, or be gone: then the first account is
    // selected, as at the start. A list that could not be read (the ledger locked for a
    // moment) says nothing of that, and the next refill finds the account again.
    if (!GSisanCodeInit) {
        if (selectedRow >= 0) {
            gSisanCode.SisanRow = selectedRow;
        } else if (accounts) {
            GSisanCodeInit = true;
        }
    }
    if (GSisanCodeInit && m_lsbSisan->rowCount() > 0) {
        m_lsbSisan->setListIndex(0);
        gSisanCode.SisanRow = 0;
        gSisanCode.SisanId = m_lsbSisan->cell(0, 0).toInt();
        m_grbKakeibo1->setTitle(m_lsbSisan->cell(0, 1));
        GSisanCodeInit = false;
    }
}

bool wndKakeibo::SetlsbSisanListingFirst()
{
    m_listedBySelection = false;
    SetlsbSisan();
    return m_listedBySelection;
}

void wndKakeibo::lsbSisan_Change()
{
    const int row = m_lsbSisan->listIndex();
    if (row < 0) {
        return;
    }
    gSisanCode.SisanRow = row;
    gSisanCode.SisanId = m_lsbSisan->cell(row, 0).toInt();
    m_grbKakeibo1->setTitle(m_lsbSisan->cell(row, 1));
    m_listedBySelection = SetlsbItem(-1);
    m_pbtSinki->setEnabled(true);
    m_pbtHensyuu->setEnabled(false);
    m_pbtSakujyo->setEnabled(false);
}

bool wndKakeibo::accountSelected() const
{
    const int row = gSisanCode.SisanRow;
    return row >= 0 && row < m_lsbSisan->rowCount() &&
           m_lsbSisan->cell(row, 0).toInt() == gSisanCode.SisanId && gDicSisan.contains(gSisanCode.SisanId);
}

bool wndKakeibo::SetlsbItem(int32_t selectId)
{
    QString failure;
    const bool listed = fillEntryList(selectId, nullptr, failure);
    if (!failure.isEmpty()) {
        Ui::instance().message(failure);
    }
    return listed;
}

bool wndKakeibo::fillEntryList(int32_t selectId, std::optional<EntrySums> *sums, QString &failure)
{
    if (!CheckKakeiboDBConnected()) {
        return false;
    }
    // A ledger without accounts (or whose account list could not be read) lists nothing:
    // there is no opening amount to start from and no account to list.
    if (!accountSelected()) {
        m_lsbItem->deleteAllRows();
        m_lblItotal->setText(QStringLiteral("0"));
        return false;
    }
    int64_t balance = m_lsbSisan->cell(gSisanCode.SisanRow, 3).toLongLong();

    int found = -1;
    bool ok = false;
    // A running balance past the 64-bit limit has no true value: the refill fails as a
    // failed read would, and no wrapped number is shown.
    bool overflow = false;
    {
        ListBox::Refill refill(*m_lsbItem);
        EntryListRows rows(*m_lsbItem);
        ok = readEntries(*KakeiboDB, gSisanCode.SisanId, rows, m_entryOrder, sums);
        ListBox &list = *m_lsbItem;
        if (ok) {
            if (!m_entryOrder.sources.empty()) {
                list.listModel()->reorderRows(m_entryOrder.sources);
            }
            // The running balance walks the rows in list order.
            EntryRecord entry;
            for (int row = 0; row < list.rowCount(); ++row) {
                entry.kind = int32_t(list.cellValue(row, 8));
                entry.paid = list.cellValue(row, 4);
                entry.received = list.cellValue(row, 3);
                if (!balanceAfter(balance, entry)) {
                    overflow = true;
                    break;
                }
                list.setCellAmount(row, 5, balance);
                if (list.cellValue(row, 0) == selectId) {
                    found = row;
                }
            }
        }
        if (!ok || overflow) {
            // A step that failed part way leaves no half list behind.
            list.deleteAllRows();
        }
    }
    if (!ok || overflow) {
        failure = QStringLiteral("from Method SetlsbItem: ") +
                  (ok ? QString::fromLatin1(kIntegerOverflow) : KakeiboDB->errorMessage());
        return false;
    }
    m_lblItotal->setText(formatAmount(balance) + QStringLiteral("(円)"));
    fitText(*m_lblItotal);

    // The found entry sits 17 rows below the top; without one the last 17 rows are shown.
    if (found >= 0) {
        m_lsbItem->setScrollPosition(found - kScrollRows);
    } else if (m_lsbItem->rowCount() > kScrollRows) {
        m_lsbItem->setScrollPosition(m_lsbItem->rowCount() - kScrollRows);
        m_lsbItem->viewport()->update();
    } else {
        m_lsbItem->setListIndex(-1);
    }
    return true;
}

bool wndKakeibo::rebalanceAndRefill(const std::vector<int32_t> &accounts, int32_t selectId,
                                    Transaction &transaction)
{
    // The listed account's entries are read once: the refill reads every one of them after
    // the action's last change of entries, in its transaction, so the sums it takes on the
    // way are what the balance rule's select would find. It runs where that account's rule
    // runs, its message (if any) waits for the place where the refill stood, after the rules.
    const int32_t listed = accountSelected() ? gSisanCode.SisanId : -1;
    const int scrolled = m_lsbItem->scrollPosition();
    bool refillDone = false;
    bool refilled = false;
    QString refillFailure;
    std::vector<int32_t> done;
    for (const int32_t account : accounts) {
        if (std::find(done.begin(), done.end(), account) != done.end()) {
            continue;
        }
        done.push_back(account);
        std::optional<EntrySums> sums;
        if (account == listed) {
            refillDone = true;
            refilled = fillEntryList(selectId, &sums, refillFailure);
        }
        if (UpdateSisanZankin(account, sums) == QStringLiteral("ERROR")) {
            if (refilled) {
                // The list shows rows that are now rolled back: it shows the ledger again,
                // where it was.
                transaction.rollback();
                if (SetlsbItem(-1)) {
                    m_lsbItem->setScrollPosition(scrolled);
                }
            }
            return false;
        }
    }
    if (!refillDone) {
        refilled = SetlsbItem(selectId);
    } else if (!refillFailure.isEmpty()) {
        Ui::instance().message(refillFailure);
    }
    if (refilled) {
        SetlsbSisan();
    }
    return true;
}

void wndKakeibo::showChangedLedger(const QString &site)
{
    Ui::instance().message(changedChoiceMessage());
    showLedgerAgain(site);
}

void wndKakeibo::showLedgerAgain(const QString &site)
{
    loadLookupTables(site);
    if (!SetlsbSisanListingFirst()) {
        SetlsbItem(-1);
    }
    refillHimokuPopup();
}

void wndKakeibo::noAccountSelected(const QString &site)
{
    if (!m_accountsRead) {
        // Nothing is known of the accounts: their read failed, and said so then.
        showLedgerAgain(site);
    } else if (m_lsbSisan->rowCount() == 0) {
        Ui::instance().message(QStringLiteral("記入する資産項目がありません。"));
        showLedgerAgain(site);
    } else {
        showChangedLedger(site);
    }
}

void wndKakeibo::SetPpmLsbHimoku()
{
    if (m_ppmHimoku->rowCount() > 0) {
        m_ppmHimoku->setListIndex(0);
    }
}

void wndKakeibo::AddMenuHandlers()
{
    // The items are shared by every window that shows the bar; a connection ends with this
    // window, so a window made later binds them afresh.
    const struct
    {
        const char *item;
        bool (wndKakeibo::*handler)();
    } bindings[] = {
        {"mnuDBOpen", &wndKakeibo::_mnuDBOpen_Action},
        {"SisanKoumokuKanri", &wndKakeibo::_SisanKoumokuKanri_Action},
        {"HimokuKoumokuKanri", &wndKakeibo::_HimokuKoumokuKanri_Action},
        {"mnuKakeiboReport", &wndKakeibo::_mnuKakeiboReport_Action},
        {"mnuSisanReport", &wndKakeibo::_mnuSisanReport_Action},
        {"mnuDBCreate", &wndKakeibo::_mnuDBCreate_Action},
        {"mnuPrintSetUp", &wndKakeibo::_mnuPrintSetUp_Action},
    };
    for (const auto &binding : bindings) {
        if (QAction *item = MainMenuBar::instance().findItem(QString::fromLatin1(binding.item))) {
            connect(item, &QAction::triggered, this,
                    [this, handler = binding.handler] { (this->*handler)(); });
        }
    }
}
