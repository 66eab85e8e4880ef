#pragma once
// The main window: the accounts with their balances and grand total on the left, the
// selected account's entries with a running balance on the right, and below them the
// bookkeeping group with New, Edit, Delete and the entry form. One instance at a time.
//
// Every control is reached through an accessor of its own name (lsbSisan(), grbKinyu(), ...)
// and carries that name as its objectName. The handlers of the entry form live in
// wndKakeiboEntryForm.cpp, the entry routines there too, the menu commands in
// wndKakeiboMenuCommands.cpp; this file's own part (wndKakeibo.cpp) builds the window, the
// account list, the entry list and the full refresh.

#include "ledger/ChosenEntry.h"
#include "ledger/MainWindowQueries.h"
#include "platform/LookupTable.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class DateListBox;
class Transaction;
class ListBox;
class PopupMenu;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioButton;

class wndKakeibo : public QMainWindow
{
    Q_OBJECT
public:
    // The one main window, created and opened when it does not exist yet: its controls are
    // made, then it is shown and its open handler runs before this returns.
    static wndKakeibo *instance();
    static bool exists();
    // What opening or making a ledger does to the window (creating it when needed): enables
    // its bookkeeping group and gives New the focus, which New's open handler could not take
    // while the group was still disabled.
    static void enableBookkeeping();
    // A ledger connection exists and connecting it succeeds; says nothing either way.
    static bool ledgerConnected();

    // The entry form's mode: 0 none, 1 new, 2 edit, 3 delete, 23 and 24 transfer edit.
    int32_t KinyuuStatus = 0;

    // Controls, in the order they are created.
    QGroupBox *grbKakeibo1() const { return m_grbKakeibo1; }
    ListBox *lsbItem() const { return m_lsbItem; }
    QLabel *lblItotal() const { return m_lblItotal; }
    QGroupBox *grbKakeibo2() const { return m_grbKakeibo2; }
    QPushButton *pbtSinki() const { return m_pbtSinki; }
    QPushButton *pbtHensyuu() const { return m_pbtHensyuu; }
    QPushButton *pbtSakujyo() const { return m_pbtSakujyo; }
    QGroupBox *grbKinyu() const { return m_grbKinyu; }
    QLabel *lblHimokuSyubetu() const { return m_lblHimokuSyubetu; }
    QLabel *Label2() const { return m_Label2; }
    PopupMenu *ppmHimoku() const { return m_ppmHimoku; }
    QLabel *Label3() const { return m_Label3; }
    QLineEdit *tfdKingaku() const { return m_tfdKingaku; }
    QLineEdit *tfdBikou() const { return m_tfdBikou; }
    QPushButton *pbtTorikesi() const { return m_pbtTorikesi; }
    QPushButton *pbtNyuryoku() const { return m_pbtNyuryoku; }
    DateListBox *DateListBox1() const { return m_DateListBox1; }
    QLabel *lblItemID() const { return m_lblItemID; }
    QFrame *Rectangle1() const { return m_Rectangle1; }
    RadioButton *rbtSisyutu() const { return m_rbtSisyutu; }
    RadioButton *rbtSyunyu() const { return m_rbtSyunyu; }
    RadioButton *rbtIdou() const { return m_rbtIdou; }
    QGroupBox *grbKakeibo3() const { return m_grbKakeibo3; }
    QLabel *lblToday() const { return m_lblToday; }
    ListBox *lsbSisan() const { return m_lsbSisan; }
    QLabel *lblStotal() const { return m_lblStotal; }

    // The account list, the grand total and gDicSisan; selects the first account when
    // GSisanCodeInit is set or the selected account is no longer listed, and otherwise finds
    // the selected account's row again by its Id.
    void SetlsbSisan();
    // The entry list of the account in gSisanCode, scrolled to entry selectId (-1: the end);
    // false when no ledger is connected, no account is selected or the query failed.
    bool SetlsbItem(int32_t selectId);
    // SetlsbSisan with GSisanCodeInit set: true when selecting the first account listed its
    // entries. A SetlsbItem(-1) right after it would list the same rows with the same
    // balances, scroll position and selection, so the callers that would make one skip it
    // then; after a failed listing they make it, and its message comes again.
    bool SetlsbSisanListingFirst();
    // The end of a writing action whose statements succeeded: the balance rule for each
    // account involved and the entry list scrolled to selectId, then, when that refill
    // worked, the account list. False when a balance could not be stored: the action is
    // rolled back then and the lists show the ledger as it is.
    bool rebalanceAndRefill(const std::vector<int32_t> &accounts, int32_t selectId, Transaction &transaction);
    // What an action does when what the user chose is gone or no longer as shown (another
    // program changed the ledger): says so, and shows the ledger again (showLedgerAgain).
    void showChangedLedger(const QString &site);
    // Shows the ledger as it now is: the lookup tables, both lists and the popup filled
    // again. A failed read shows the site's message.
    void showLedgerAgain(const QString &site);
    // What a new or changed entry does when no account is selected, before it shows the
    // ledger again: with no account listed it says there is none to book to; after a failed
    // read of the account list nothing more (that read said so); otherwise the selected
    // account has changed (showChangedLedger).
    void noAccountSelected(const QString &site);
    // Selects the first row of the entry form's popup, when it has one.
    void SetPpmLsbHimoku();
    // What the window shows for a newly opened ledger: accounts with the first selected,
    // today's date, its entries, new mode, the popup's first row, the form locked.
    void FullRefresh();
    // An account of the open ledger is selected: the row gSisanCode.SisanRow of the account
    // list exists and holds the account gSisanCode.SisanId, which gDicSisan knows. Nothing
    // may be booked otherwise.
    bool accountSelected() const;

    // Handlers of the window and the account list.
    void Event_Open();
    void lsbSisan_Open();
    void lsbSisan_Change();
    void lsbItem_Open();

    // The entry form (wndKakeiboEntryForm.cpp).
    void lsbItem_Change();
    void pbtSinki_Action();
    void pbtSinki_Open();
    void pbtHensyuu_Action();
    void pbtSakujyo_Action();
    void ppmHimoku_Change();
    void pbtTorikesi_Action();
    void pbtNyuryoku_Action();
    void rbtSisyutu_Action();
    void rbtSyunyu_Action();
    void rbtIdou_Action();
    // Fills ppmHimoku from a lookup table in its order and rebuilds gDicIdIndex to match, as
    // the kind radios do (the category command uses it too).
    void fillHimokuPopup(const LookupTable<QString> &table);
    // fillHimokuPopup from the table of the checked kind radio.
    void refillHimokuPopup();

    // Writing new entries (wndKakeiboEntryForm.cpp).
    void KinyuuSinki();
    void KinyuuSinkiSisyutuSyuunyuu();
    void KinyuuSinkiIdou();
    // Changing and deleting entries (wndKakeiboEntryForm.cpp).
    void KinyuuHensyuu();
    void KinyuuHensyuuIdou(int32_t IdoumotoId, int32_t IdoumotoSisanNo, int32_t IdousakiId,
                           int32_t IdousakiSisanNo);
    void KinyuuSakujyo();
    void KinyuuSakujyoIdou(int32_t IdoumotoId, int32_t IdoumotoSisanNo, int32_t IdousakiId,
                           int32_t IdousakiSisanNo);

    // Menu commands (wndKakeiboMenuCommands.cpp), bound by item name in AddMenuHandlers. The
    // account command yields whether it could refill the entry list, the others true.
    void AddMenuHandlers();
    bool _mnuDBOpen_Action();
    bool _SisanKoumokuKanri_Action();
    bool _HimokuKoumokuKanri_Action();
    bool _mnuKakeiboReport_Action();
    bool _mnuSisanReport_Action();
    bool _mnuDBCreate_Action();
    bool _mnuPrintSetUp_Action();

protected:
    void changeEvent(QEvent *event) override;

private:
    wndKakeibo();
    // Fits every control's text inside it, under the font it has now.
    void fitControls();
    // SetlsbItem, its failure message handed back instead of shown; with `sums`, also the
    // balance rule's sums of the listed account when the refill has them for certain.
    bool fillEntryList(int32_t selectId, std::optional<EntrySums> *sums, QString &failure);
    void createControls();
    void attachHandlers();
    void runOpenHandlers();

    QGroupBox *m_grbKakeibo1 = nullptr;
    ListBox *m_lsbItem = nullptr;
    QLabel *m_lblItotal = nullptr;
    QGroupBox *m_grbKakeibo2 = nullptr;
    QPushButton *m_pbtSinki = nullptr;
    QPushButton *m_pbtHensyuu = nullptr;
    QPushButton *m_pbtSakujyo = nullptr;
    QGroupBox *m_grbKinyu = nullptr;
    QLabel *m_lblHimokuSyubetu = nullptr;
    QLabel *m_Label2 = nullptr;
    PopupMenu *m_ppmHimoku = nullptr;
    QLabel *m_Label3 = nullptr;
    QLineEdit *m_tfdKingaku = nullptr;
    QLineEdit *m_tfdBikou = nullptr;
    QPushButton *m_pbtTorikesi = nullptr;
    QPushButton *m_pbtNyuryoku = nullptr;
    DateListBox *m_DateListBox1 = nullptr;
    QLabel *m_lblItemID = nullptr;
    QFrame *m_Rectangle1 = nullptr;
    RadioButton *m_rbtSisyutu = nullptr;
    RadioButton *m_rbtSyunyu = nullptr;
    RadioButton *m_rbtIdou = nullptr;
    QGroupBox *m_grbKakeibo3 = nullptr;
    QLabel *m_lblToday = nullptr;
    ListBox *m_lsbSisan = nullptr;
    QLabel *m_lblStotal = nullptr;

    // Room for ordering the entry list, kept for the next refill.
    EntryOrder m_entryOrder;
    // Set by the account list's change handler to what its listing of the entries yielded.
    bool m_listedBySelection = false;
    // The last refill of the account list read the ledger's accounts.
    bool m_accountsRead = false;
    // The entry the form shows, as it was read when it was chosen in the list: what a change
    // or delete of it must find again.
    std::optional<ChosenEntry> m_chosenEntry;
};
