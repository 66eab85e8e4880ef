#pragma once
// The category dialog: the two-level tree of categories and sub-items in one flat list with
// folder rows, and one edit panel that adds a category or a sub-item, renames, deletes, or
// merges one sub-item into another. The main window's category command makes a new one each
// time and runs it modally:
//
//     dlgHimoku dialog(mainWindow);
//     dialog.runModal();   // returns once "閉じる" has hidden it
//
// Its effects are the Himoku and Items rows it wrote, the balances it recomputed, and
// gDicSisyutu and gDicSyuunyuu rebuilt with the sub-items only.

#include "app/ShownRows.h"
#include "maintenance/MaintenanceDialog.h"

#include <cstdint>
#include <optional>
#include <vector>

class ListBox;
class PopupMenu;

class dlgHimoku : public MaintenanceDialog
{
    Q_OBJECT
public:
    explicit dlgHimoku(QWidget *parent = nullptr);

    // The panel's mode: 0 none, 1 add a category, 2 edit, 3 delete, 4 merge, 5 add a sub-item.
    int32_t HimokuKanriSybetu = 0;
    // The list row last clicked; every re-read sets -1.
    int32_t HimokuKoumokuSelectedRow = 0;
    // The row kind: 0 none, 1 category, 2 sub-item.
    int32_t TheKoumokuSyubetu = 0;

    void RepopulateLsbHimoku();
    void HimokuKoumokuSelected(int32_t row);
    void grbHimokuInit();

    void lsbHimoku_Open();
    bool lsbHimoku_CellClick(int row, int column);
    void pbtClose_Action();
    void pbtHimokuTuika_Action();
    void pbtUtiwakeTuika_Action();
    void pbtKoumokuHensyuu_Action();
    void pbtKoumokuSakujyo_Action();
    void pbtUtiwakeTougou_Action();
    void pbtKoumokuKanryou_Action();
    void pbtKoumokuTorikesi_Action();
    void Event_Open();

    // The operations Done runs; true when the panel is to be reset and the list re-read.
    bool HimokuTuika();
    bool KoumokuHensyuu();
    bool KoumokuSakujyo();
    bool UtiwakeTougou();
    bool UtiwakeTuika();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct LoadedItem
    {
        // The item as the list showed it when the panel loaded it: what a write rests on.
        ShownCategoryItem shown;
        // False when the load stopped before the names were in the panel (a sub-item whose
        // category cannot be read): the item can still be deleted or merged, not renamed.
        bool namesLoaded = false;
    };
    struct MergeSource
    {
        ShownCategoryItem source;
        // The target popup's rows stand for these sub-items, in order, as the list showed them.
        std::vector<ShownCategoryItem> targets;
    };

    bool isInEditDeleteOrMerge() const;
    int32_t rowKind(int row) const;
    // The listed row with the Id, or one made of what the lookup table shows of it.
    ShownCategoryItem listedItem(int32_t id, int32_t kind, const QString &name) const;
    void setPanelCaptions(const QString &panel, const QString &done, const QString &cancel);
    // The Ids of the listed rows, sorted.
    std::vector<int32_t> listedIds() const;
    // Scrolls the rows whose Id is not among before into view, the first of them above all.
    void showRowsAddedSince(const std::vector<int32_t> &before);

    // The rows as the list shows them, row by row.
    std::vector<ShownCategoryItem> m_listed;
    // The item the last load put into the panel; none unless its own row was read.
    std::optional<LoadedItem> m_loaded;
    // Fixed when the merge is prepared: a later click must not change what is merged.
    std::optional<MergeSource> m_mergeSource;

    QPushButton *m_pbtClose = nullptr;
    QPushButton *m_pbtHimokuTuika = nullptr;
    QPushButton *m_pbtKoumokuHensyuu = nullptr;
    QPushButton *m_pbtKoumokuSakujyo = nullptr;
    QGroupBox *m_grbKoumoku = nullptr;
    QLineEdit *m_tfdHimokuNamae = nullptr;
    QLabel *m_lblHimokuKoumokuBangou = nullptr;
    QPushButton *m_pbtKoumokuKanryou = nullptr;
    QPushButton *m_pbtKoumokuTorikesi = nullptr;
    PopupMenu *m_ppmHimokuSyubetu = nullptr;
    QLineEdit *m_tfdUtiwakeNamae = nullptr;
    ListBox *m_lsbHimoku = nullptr;
    QLabel *m_Label4 = nullptr;
    QPushButton *m_pbtUtiwakeTougou = nullptr;
    QGroupBox *m_grbUtiwakeTougou = nullptr;
    PopupMenu *m_ppmUtiwakeTougouSaki = nullptr;
    QPushButton *m_pbtUtiwakeTuika = nullptr;
};
