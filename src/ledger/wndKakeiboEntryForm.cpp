// The entry form of the main window: its modes, the kind radios, the popup, showing an
// entry, and the routines that write, change and delete entries.
//
// Every writing action (one press of Input) is one transaction: its statements, the balance
// of every account involved and the refills of both lists, committed once at the end. A
// refused statement rolls the whole action back, so a transfer pair is whole or absent and a
// stored balance never contradicts the entries; its message is shown after the rollback, so
// the ledger is not locked while the user reads it. The writes come before the refills, so a
// rolled-back action has shown nothing that the ledger does not hold.

#include "ledger/wndKakeibo.h"

#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"
#include "ledger/ChosenEntry.h"
#include "ledger/DateListBox.h"
#include "ledger/EntryWriter.h"
#include "platform/AmountInput.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "platform/SqlText.h"
#include "platform/Ui.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace {

enum FormMode : int32_t
{
    kNewMode = 1,
    kEditMode = 2,
    kDeleteMode = 3,
    kTransferOutEditMode = 23,
    kTransferInEditMode = 24
};

const QString kHeaderPrefix = QStringLiteral(">>");

// A hidden cell of the entry list as a number (the cells hold plain decimals).
int32_t cellNumber(const ListBox *list, int row, int column)
{
    return list->cell(row, column).toInt();
}

// The Id the popup row stands for: each row carries the key it was filled from, so a
// lookup table rebuilt since then cannot shift it onto another sub-item or account.
std::optional<int32_t> popupRowId(const PopupMenu *popup, int row)
{
    if (row < 0 || row >= popup->rowCount()) {
        return std::nullopt;
    }
    const QVariant id = popup->itemData(row);
    if (!id.isValid()) {
        return gDicIdIndex.keyAt(row);
    }
    return id.toInt();
}

// The sub-item or account chosen in the popup, when the table that is to be booked to still
// holds it and it is not a category header.
std::optional<int32_t> chosenId(const PopupMenu *popup, const LookupTable<QString> &table)
{
    const auto id = popupRowId(popup, popup->listIndex());
    if (!id || !table.contains(*id) || table.value(*id).startsWith(kHeaderPrefix)) {
        return std::nullopt;
    }
    return id;
}

const LookupTable<QString> &subItemTable(int32_t kind)
{
    return kind == kIncome ? gDicSyuunyuu : gDicSisyutu;
}

// What the form holds: the date picker's date, the amount (which passed the numeric test
// of Input) as its value, and the memo exactly as typed (which passed its test there too).
std::optional<EntryValues> formValues(wndKakeibo &w)
{
    const auto amount = parseAmount(w.tfdKingaku()->text());
    if (!amount || !isStorableText(w.tfdBikou()->text())) {
        return std::nullopt;
    }
    const RollingDate &date = w.DateListBox1()->TheDate();
    return EntryValues{date.year(), date.month(), date.day(), *amount, w.tfdBikou()->text()};
}

bool actionBegun(const Transaction &transaction, const QString &site)
{
    if (transaction.isActive()) {
        return true;
    }
    Ui::instance().message(site + transaction.errorMessage());
    return false;
}

// Reads again, inside the action's transaction and before its first change, the rows the
// action rests on, with the chosen entry (when it acts on one). When another program has
// changed or deleted any of them, nothing is written: the action is rolled back, says so,
// and the window shows the ledger as it now is.
bool actionStands(wndKakeibo &w, Transaction &transaction, const ShownRows &rows, const ChosenEntry *chosen,
                  const QString &site)
{
    const Standing standing =
        chosen ? chosenEntryStands(*KakeiboDB, *chosen, rows, site) : shownRowsStand(*KakeiboDB, rows, site);
    if (standing == Standing::Changed) {
        transaction.rollback();
        w.showChangedLedger(site);
    }
    return standing == Standing::Stands;
}

// The selected account as the account list shows it: its name, and the opening amount that
// the entry list's running balances start from.
ShownAccount shownAccount(const wndKakeibo &w)
{
    const int row = gSisanCode.SisanRow;
    return ShownAccount{gSisanCode.SisanId, w.lsbSisan()->cell(row, 1),
                        w.lsbSisan()->cell(row, 3).toLongLong()};
}

// The popup's chosen row: the Id it stands for and the name it shows.
struct PopupChoice
{
    int32_t id = 0;
    QString name;
};

std::optional<PopupChoice> popupChoice(const PopupMenu *popup)
{
    const int row = popup->listIndex();
    const auto id = popupRowId(popup, row);
    if (!id) {
        return std::nullopt;
    }
    return PopupChoice{*id, popup->itemText(row)};
}

// A sub-item of the kind as the popup shows it: by its whole name, which holds its category's.
ShownCategoryItem shownSubItem(int32_t id, int32_t kind, const QString &name)
{
    return ShownCategoryItem{id, kind, std::nullopt, name, false};
}

// The entry chosen in the row, as the form showed it when it was chosen; none when the form
// shows no entry of that row.
std::optional<ChosenEntry> chosenEntry(const std::optional<ChosenEntry> &shown, const ListBox *list, int row)
{
    if (!shown || row < 0 || shown->entry.id != cellNumber(list, row, 0)) {
        return std::nullopt;
    }
    return shown;
}

// What a change or delete of a transfer row rests on besides the rows themselves: the
// selected account, and the partner account as the form showed it (a broken pair's partner
// account may be gone already: then the form showed none).
ShownRows transferBasis(const wndKakeibo &w, const ChosenEntry &chosen)
{
    ShownRows rows;
    if (w.accountSelected()) {
        rows.accounts.push_back(shownAccount(w));
    }
    if (const auto partner = popupChoice(w.ppmHimoku());
        partner && partner->id == chosen.entry.partnerAccount) {
        rows.accounts.push_back(ShownAccount{partner->id, partner->name, std::nullopt});
    }
    return rows;
}

// Every account whose entries a change or delete of the pair touches: the source's and the
// destination's as the chosen row names them, and where the partner row lies.
std::vector<int32_t> transferAccounts(const ChosenEntry &chosen, int32_t idoumotoSisanNo,
                                      int32_t idousakiSisanNo)
{
    std::vector<int32_t> accounts{idoumotoSisanNo, idousakiSisanNo};
    if (chosen.partner) {
        accounts.push_back(chosen.partner->account);
    }
    return accounts;
}

// The end of every writing action whose statements succeeded: the balance of each account
// involved, whatever the list refill then yields; the entry list scrolled to selectId and,
// when that refill worked, the account list; one commit.
void completeAction(wndKakeibo &w, Transaction &transaction, std::vector<int32_t> accounts, int32_t selectId,
                    const QString &site)
{
    if (!w.rebalanceAndRefill(accounts, selectId, transaction)) {
        return;
    }
    if (transaction.commit() != Transaction::Outcome::Committed) {
        Ui::instance().message(site + transaction.errorMessage());
        // The lists were refilled from what has just been rolled back.
        if (w.SetlsbItem(-1)) {
            w.SetlsbSisan();
        }
    }
}

QString pairConfirmation(int32_t idoumotoSisanNo, int32_t idousakiSisanNo, const QString &verb)
{
    return QStringLiteral("移動元(") + gDicSisan.value(idoumotoSisanNo) + QStringLiteral(" )と ") +
           QLatin1Char('\n') + QStringLiteral("移動先(") + gDicSisan.value(idousakiSisanNo) +
           QStringLiteral(" )の２件のレコード を") + verb + QStringLiteral("していいですか？");
}

// The three kind radios differ only in their table, kind and label.
void kindRadioAction(wndKakeibo &w, const LookupTable<QString> &table, int32_t kind, const QString &label)
{
    w.fillHimokuPopup(table);
    if (w.KinyuuStatus == kNewMode) {
        gSyubetuNo = kind;
        w.lblHimokuSyubetu()->setText(label);
    }
    w.ppmHimoku()->setListIndex(-1);
    w.tfdKingaku()->clear();
    w.tfdBikou()->clear();
}

void setEntryButtons(wndKakeibo &w, bool sinki, bool hensyuu, bool sakujyo)
{
    w.pbtSinki()->setEnabled(sinki);
    w.pbtHensyuu()->setEnabled(hensyuu);
    w.pbtSakujyo()->setEnabled(sakujyo);
}

void setKindRadiosEnabled(wndKakeibo &w, bool enabled)
{
    w.rbtSisyutu()->setEnabled(enabled);
    w.rbtSyunyu()->setEnabled(enabled);
    w.rbtIdou()->setEnabled(enabled);
}

void setListsEnabled(wndKakeibo &w, bool enabled)
{
    w.lsbSisan()->setEnabled(enabled);
    w.lsbItem()->setEnabled(enabled);
}

void setFieldsEnabled(wndKakeibo &w, bool enabled)
{
    w.ppmHimoku()->setEnabled(enabled);
    w.tfdKingaku()->setEnabled(enabled);
    w.tfdBikou()->setEnabled(enabled);
    w.DateListBox1()->setEnabled(enabled);
}

// What Cancel does, and Input after its routine: the fields open and empty, the caption
// back to "入力", only New enabled, both lists usable; the mode and the kind stay.
void resetForm(wndKakeibo &w)
{
    setFieldsEnabled(w, true);
    w.ppmHimoku()->setListIndex(-1);
    w.tfdKingaku()->clear();
    w.tfdBikou()->clear();
    w.pbtNyuryoku()->setText(QStringLiteral("入力"));
    setEntryButtons(w, true, false, false);
    setListsEnabled(w, true);
}

} // namespace

void wndKakeibo::lsbItem_Change()
{
    const int row = m_lsbItem->listIndex();
    if (row < 0) {
        return;
    }
    m_grbKinyu->setEnabled(false);
    m_chosenEntry.reset();
    const int32_t id = cellNumber(m_lsbItem, row, 0);
    // Edit and Delete would act on the entry shown before, so a failed show disables them.
    const auto failed = [this] {
        m_pbtHensyuu->setEnabled(false);
        m_pbtSakujyo->setEnabled(false);
    };
    if (!KakeiboDB) {
        failed();
        return;
    }
    const QString site = QStringLiteral("from lsbItem Change event : ");
    const auto stored = readChosenEntry(*KakeiboDB, id);
    if (!stored.found()) {
        failed();
        if (stored.outcome == StoredRow<ChosenEntry>::Outcome::Failed) {
            Ui::instance().message(site + KakeiboDB->errorMessage());
            return;
        }
        // Another program has deleted the entry since the list was filled: the list shows
        // the ledger again, without it, so that no click is left on a row that is gone.
        Ui::instance().message(site + changedChoiceMessage());
        showLedgerAgain(site);
        return;
    }
    const ShownEntry &entry = stored.row.entry;
    m_DateListBox1->TheDate().setYMD(entry.year, entry.month, entry.day);
    m_DateListBox1->DisplayDate();

    struct Shown
    {
        RadioButton *radio;
        QString label;
        int32_t popupKey;
        int64_t amount;
    };
    std::optional<Shown> shown;
    switch (entry.kind) {
    case kExpense:
        shown = Shown{m_rbtSisyutu, QStringLiteral("支出費目"), entry.subItem, entry.paid};
        break;
    case kIncome:
        shown = Shown{m_rbtSyunyu, QStringLiteral("収入費目"), entry.subItem, entry.received};
        break;
    case kTransferOut:
        shown = Shown{m_rbtIdou, QStringLiteral("移動先"), entry.partnerAccount, entry.paid};
        break;
    case kTransferIn:
        shown = Shown{m_rbtIdou, QStringLiteral("移動元"), entry.partnerAccount, entry.received};
        break;
    default:
        break;
    }
    if (shown) {
        // The radio refills the popup and clears the fields; the popup row may then prefill
        // last-used values, which the entry's own amount and memo replace below.
        shown->radio->setValue(true);
        gSyubetuNo = entry.kind;
        m_lblHimokuSyubetu->setText(shown->label);
        // A sub-item or account the table no longer holds leaves the popup without a row.
        m_ppmHimoku->setListIndex(gDicIdIndex.contains(shown->popupKey) ? gDicIdIndex.value(shown->popupKey)
                                                                        : -1);
        m_tfdKingaku->setText(QString::number(shown->amount));
    } else {
        Ui::instance().message(QStringLiteral("from lsbItem Change event SyubetuNo error"));
        gSyubetuNo = entry.kind;
    }
    setEntryButtons(*this, true, true, true);
    m_tfdBikou->setText(entry.memo);
    // A long memo shows its start, not its end.
    m_tfdBikou->setCursorPosition(0);
    // What a change or delete of this entry will find again, or refuse.
    m_chosenEntry = stored.row;
}

void wndKakeibo::pbtSinki_Action()
{
    setEntryButtons(*this, false, false, false);
    m_grbKinyu->setEnabled(true);
    setKindRadiosEnabled(*this, true);
    KinyuuStatus = kNewMode;
    m_rbtSisyutu->setValue(true);
    m_lsbItem->setListIndex(-1);
    m_ppmHimoku->setListIndex(-1);
    m_tfdKingaku->clear();
    m_tfdBikou->clear();
}

void wndKakeibo::pbtSinki_Open()
{
    m_pbtSinki->setFocus();
}

void wndKakeibo::pbtHensyuu_Action()
{
    const int row = m_lsbItem->listIndex();
    if (row < 0) {
        return;
    }
    setListsEnabled(*this, false);
    m_grbKinyu->setEnabled(true);
    setKindRadiosEnabled(*this, false);
    m_pbtSakujyo->setEnabled(false);
    m_pbtNyuryoku->setText(QStringLiteral("編集完了"));
    const int32_t kind = cellNumber(m_lsbItem, row, 8);
    if (kind == kTransferOut) {
        KinyuuStatus = kTransferOutEditMode;
        m_ppmHimoku->setEnabled(false);
    } else if (kind == kTransferIn) {
        KinyuuStatus = kTransferInEditMode;
        m_ppmHimoku->setEnabled(false);
    } else {
        KinyuuStatus = kEditMode;
    }
}

void wndKakeibo::pbtSakujyo_Action()
{
    setListsEnabled(*this, false);
    m_grbKinyu->setEnabled(true);
    setKindRadiosEnabled(*this, false);
    m_pbtHensyuu->setEnabled(false);
    setFieldsEnabled(*this, false);
    m_pbtNyuryoku->setText(QStringLiteral("削除"));
    KinyuuStatus = kDeleteMode;
}

void wndKakeibo::ppmHimoku_Change()
{
    if (m_ppmHimoku->text().startsWith(kHeaderPrefix)) {
        // A category cannot be chosen; the deselection comes back here and stops below.
        m_ppmHimoku->setListIndex(-1);
        return;
    }
    const int row = m_ppmHimoku->listIndex();
    if (row < 0) {
        return;
    }
    if (gSyubetuNo != kExpense && gSyubetuNo != kIncome) {
        return;
    }
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const auto id = popupRowId(m_ppmHimoku, row);
    if (!id) {
        return;
    }
    if (const auto used = readLastUsed(*KakeiboDB, *id)) {
        m_tfdKingaku->setText(QString::number(used->amount));
        m_tfdBikou->setText(used->memo);
    }
}

void wndKakeibo::pbtTorikesi_Action()
{
    resetForm(*this);
    m_lsbItem->setListIndex(-1);
}

void wndKakeibo::pbtNyuryoku_Action()
{
    if (!parseAmount(m_tfdKingaku->text())) {
        Ui::instance().message(QStringLiteral("記入　金額欄が数値ではありません"));
        return;
    }
    // A memo the ledger cannot store exactly is refused like the amount, before anything is
    // asked or written; a deletion stores no memo.
    const bool storesMemo = KinyuuStatus == kNewMode || KinyuuStatus == kEditMode ||
                            KinyuuStatus == kTransferOutEditMode || KinyuuStatus == kTransferInEditMode;
    if (storesMemo && !isStorableText(m_tfdBikou->text())) {
        Ui::instance().message(unstorableTextMessage());
        return;
    }
    const bool popupRow = m_ppmHimoku->listIndex() >= 0;
    const int row = m_lsbItem->listIndex();
    const bool entry = row >= 0;
    switch (KinyuuStatus) {
    case kNewMode:
        if (!popupRow) {
            return;
        }
        KinyuuSinki();
        break;
    case kEditMode:
        if (!entry) {
            return;
        }
        KinyuuHensyuu();
        break;
    case kDeleteMode:
        if (!entry) {
            return;
        }
        KinyuuSakujyo();
        break;
    case kTransferOutEditMode:
        if (!entry) {
            return;
        }
        KinyuuHensyuuIdou(cellNumber(m_lsbItem, row, 0), cellNumber(m_lsbItem, row, 7),
                          cellNumber(m_lsbItem, row, 11), cellNumber(m_lsbItem, row, 10));
        break;
    case kTransferInEditMode:
        if (!entry) {
            return;
        }
        KinyuuHensyuuIdou(cellNumber(m_lsbItem, row, 11), cellNumber(m_lsbItem, row, 10),
                          cellNumber(m_lsbItem, row, 0), cellNumber(m_lsbItem, row, 7));
        break;
    default:
        Ui::instance().message(QStringLiteral("記入入力処理で　kinyuuStatus が不正です"));
        return;
    }
    resetForm(*this);
}

void wndKakeibo::rbtSisyutu_Action()
{
    kindRadioAction(*this, gDicSisyutu, kExpense, QStringLiteral("支出費目"));
}

void wndKakeibo::rbtSyunyu_Action()
{
    kindRadioAction(*this, gDicSyuunyuu, kIncome, QStringLiteral("収入費目"));
}

void wndKakeibo::rbtIdou_Action()
{
    kindRadioAction(*this, gDicSisan, kTransferOut, QStringLiteral("移動先"));
}

void wndKakeibo::refillHimokuPopup()
{
    if (m_rbtSisyutu->value()) {
        fillHimokuPopup(gDicSisyutu);
    } else if (m_rbtSyunyu->value()) {
        fillHimokuPopup(gDicSyuunyuu);
    } else if (m_rbtIdou->value()) {
        fillHimokuPopup(gDicSisan);
    }
}

void wndKakeibo::fillHimokuPopup(const LookupTable<QString> &table)
{
    m_ppmHimoku->deleteAllRows();
    gDicIdIndex.clear();
    for (const auto &[id, text] : table) {
        m_ppmHimoku->addRow(text);
        const int row = m_ppmHimoku->rowCount() - 1;
        m_ppmHimoku->setItemData(row, id);
        gDicIdIndex.set(id, row);
    }
}

void wndKakeibo::KinyuuSinki()
{
    if (gSyubetuNo == kExpense || gSyubetuNo == kIncome) {
        KinyuuSinkiSisyutuSyuunyuu();
    } else if (gSyubetuNo == kTransferOut) {
        KinyuuSinkiIdou();
    }
}

void wndKakeibo::KinyuuSinkiSisyutuSyuunyuu()
{
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const int32_t kind = gSyubetuNo;
    const int32_t account = gSisanCode.SisanId;
    const auto himoku = chosenId(m_ppmHimoku, subItemTable(kind));
    const auto values = formValues(*this);
    if (!values) {
        return;
    }
    const QString site = QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu: ");
    if (!accountSelected()) {
        noAccountSelected(site);
        return;
    }
    // Never booked to an account or sub-item the ledger no longer lists, nor to a category.
    if (!himoku) {
        showChangedLedger(site);
        return;
    }
    const ShownRows basis{{shownAccount(*this)}, {shownSubItem(*himoku, kind, m_ppmHimoku->text())}, {}};
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) || !actionStands(*this, transaction, basis, nullptr, site)) {
        return;
    }
    const auto id = insertEntry(*KakeiboDB, account, kind, *himoku, *values);
    if (!id) {
        return;
    }
    if (saveLastItems(*KakeiboDB, *himoku, *values) == LastItemsResult::WriteFailed) {
        return;
    }
    completeAction(*this, transaction, {account}, *id, site);
}

void wndKakeibo::KinyuuSinkiIdou()
{
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const int32_t from = gSisanCode.SisanId;
    const auto to = chosenId(m_ppmHimoku, gDicSisan);
    const auto values = formValues(*this);
    if (!values) {
        return;
    }
    const QString site = QStringLiteral("from Method KinyuuSinkiIdou: ");
    if (!accountSelected()) {
        noAccountSelected(site);
        return;
    }
    if (!to) {
        showChangedLedger(site);
        return;
    }
    const ShownRows basis{
        {shownAccount(*this), ShownAccount{*to, m_ppmHimoku->text(), std::nullopt}}, {}, {}};
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) || !actionStands(*this, transaction, basis, nullptr, site)) {
        return;
    }
    const auto rows = insertTransfer(*KakeiboDB, from, *to, *values);
    if (!rows) {
        return;
    }
    completeAction(*this, transaction, {from, *to}, rows->sourceId, site);
}

void wndKakeibo::KinyuuHensyuu()
{
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const int row = m_lsbItem->listIndex();
    const int32_t kind = gSyubetuNo;
    // A stored kind other than expense or income has no amount column to rewrite.
    if (m_ppmHimoku->listIndex() < 0 || row < 0 || (kind != kExpense && kind != kIncome)) {
        return;
    }
    const auto chosen = chosenEntry(m_chosenEntry, m_lsbItem, row);
    if (!chosen) {
        return;
    }
    const int32_t account = gSisanCode.SisanId;
    const auto himoku = chosenId(m_ppmHimoku, subItemTable(kind));
    const auto values = formValues(*this);
    if (!values) {
        return;
    }
    const QString site = QStringLiteral("from Method KinyuuHensyuu: ");
    if (!accountSelected()) {
        noAccountSelected(site);
        return;
    }
    if (!himoku) {
        showChangedLedger(site);
        return;
    }
    const int32_t entryId = chosen->entry.id;
    const ShownRows basis{{shownAccount(*this)}, {shownSubItem(*himoku, kind, m_ppmHimoku->text())}, {}};
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) || !actionStands(*this, transaction, basis, &*chosen, site)) {
        return;
    }
    if (!rewriteEntry(*KakeiboDB, entryId, account, kind, *himoku, *values)) {
        return;
    }
    completeAction(*this, transaction, {account, chosen->entry.account}, entryId, site);
}

void wndKakeibo::KinyuuHensyuuIdou(int32_t IdoumotoId, int32_t IdoumotoSisanNo, int32_t IdousakiId,
                                   int32_t IdousakiSisanNo)
{
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    // The chosen row is one of the two the arguments name; a broken pair acts on it alone.
    const auto chosen = chosenEntry(m_chosenEntry, m_lsbItem, m_lsbItem->listIndex());
    if (!chosen || !chosen->isTransfer() ||
        (chosen->entry.id != IdoumotoId && chosen->entry.id != IdousakiId)) {
        return;
    }
    if (!Ui::instance().confirm(pairConfirmation(IdoumotoSisanNo, IdousakiSisanNo, QStringLiteral("更新")),
                                QStringLiteral("更新する"), QStringLiteral("更新しない"),
                                Ui::Icon::Default)) {
        return;
    }
    const auto values = formValues(*this);
    if (!values) {
        return;
    }
    const QString site = QStringLiteral("from Method KinyuuHensyuuIdou moto: ");
    const PairRows rows = chosen->pairRows();
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) ||
        !actionStands(*this, transaction, transferBasis(*this, *chosen), &*chosen, site)) {
        return;
    }
    if (!rewriteTransfer(*KakeiboDB, rows, *values)) {
        return;
    }
    // The list is scrolled to the source row, or to the chosen row where no source row was
    // changed.
    completeAction(*this, transaction, transferAccounts(*chosen, IdoumotoSisanNo, IdousakiSisanNo),
                   rows.sourceId.value_or(chosen->entry.id), site);
}

void wndKakeibo::KinyuuSakujyo()
{
    const int row = m_lsbItem->listIndex();
    if (row < 0) {
        return;
    }
    const auto cell = [this, row](int column) { return cellNumber(m_lsbItem, row, column); };
    if (gSyubetuNo == kTransferOut) {
        KinyuuSakujyoIdou(cell(0), cell(7), cell(11), cell(10));
        return;
    }
    if (gSyubetuNo == kTransferIn) {
        KinyuuSakujyoIdou(cell(11), cell(10), cell(0), cell(7));
        return;
    }
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const auto chosen = chosenEntry(m_chosenEntry, m_lsbItem, row);
    if (!chosen) {
        return;
    }
    if (!Ui::instance().confirm(QStringLiteral("このレコードを削除していいですか？"),
                                QStringLiteral("削除する"), QStringLiteral("削除しない"),
                                Ui::Icon::Default)) {
        return;
    }
    const int32_t entryId = chosen->entry.id;
    const int32_t entryAccount = chosen->entry.account;
    // The refilled list is scrolled to the entry that stood just above the deleted one.
    const int32_t above = row > 0 ? cellNumber(m_lsbItem, row - 1, 0) : -1;
    const QString site = QStringLiteral("from Method KinyuSakujyo: ");
    ShownRows basis;
    if (accountSelected()) {
        basis.accounts.push_back(shownAccount(*this));
    }
    // The sub-item the form showed with the entry.
    const auto subItem = popupChoice(m_ppmHimoku);
    if (subItem && subItem->id == chosen->entry.subItem &&
        (gSyubetuNo == kExpense || gSyubetuNo == kIncome)) {
        basis.categoryItems.push_back(shownSubItem(subItem->id, gSyubetuNo, subItem->name));
    }
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) || !actionStands(*this, transaction, basis, &*chosen, site)) {
        return;
    }
    if (!deleteEntry(*KakeiboDB, entryId)) {
        return;
    }
    completeAction(*this, transaction, {gSisanCode.SisanId, entryAccount}, above, site);
}

void wndKakeibo::KinyuuSakujyoIdou(int32_t IdoumotoId, int32_t IdoumotoSisanNo, int32_t IdousakiId,
                                   int32_t IdousakiSisanNo)
{
    if (!CheckKakeiboDBConnected()) {
        return;
    }
    const auto chosen = chosenEntry(m_chosenEntry, m_lsbItem, m_lsbItem->listIndex());
    if (!chosen || !chosen->isTransfer() ||
        (chosen->entry.id != IdoumotoId && chosen->entry.id != IdousakiId)) {
        return;
    }
    if (!Ui::instance().confirm(pairConfirmation(IdoumotoSisanNo, IdousakiSisanNo, QStringLiteral("削除")),
                                QStringLiteral("削除する"), QStringLiteral("削除しない"),
                                Ui::Icon::Default)) {
        return;
    }
    const QString site = QStringLiteral("from Method KinyuSakujyo Idoumoto: ");
    Transaction transaction(KakeiboDB.get());
    if (!actionBegun(transaction, site) ||
        !actionStands(*this, transaction, transferBasis(*this, *chosen), &*chosen, site)) {
        return;
    }
    if (!deleteTransfer(*KakeiboDB, chosen->pairRows())) {
        return;
    }
    completeAction(*this, transaction, transferAccounts(*chosen, IdoumotoSisanNo, IdousakiSisanNo), -1, site);
}
