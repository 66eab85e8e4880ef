#include "maintenance/dlgHimoku.h"

#include "app/mdlGlobal.h"
#include "maintenance/CategoryMaintenance.h"
#include "maintenance/MaintenanceSql.h"
#include "maintenance/VerticalGridDelegate.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/TextFit.h"
#include "platform/Ui.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kNotePixelSize = 10;

// The hidden cells of a list row.
constexpr int kKindColumn = 1;
constexpr int kIdColumn = 2;
constexpr int kUcountColumn = 4;

int32_t cellNumber(const ListBox *list, int row, int column)
{
    return list->cell(row, column).toInt();
}

} // namespace

dlgHimoku::dlgHimoku(QWidget *parent)
    : MaintenanceDialog(QStringLiteral("dlgHimoku"), QStringLiteral("費目の管理"), QSize(784, 520), parent)
{
    m_pbtClose = addButton(this, "pbtClose", QStringLiteral("閉じる"), QRect(684, 10, 90, 28));
    m_pbtHimokuTuika =
        addButton(this, "pbtHimokuTuika", QStringLiteral("費目の追加"), QRect(462, 48, 152, 28));
    m_pbtKoumokuHensyuu =
        addButton(this, "pbtKoumokuHensyuu", QStringLiteral("編集"), QRect(462, 84, 96, 28));
    m_pbtKoumokuSakujyo =
        addButton(this, "pbtKoumokuSakujyo", QStringLiteral("削除"), QRect(566, 84, 96, 28));

    m_grbKoumoku = addGroupBox(this, "grbKoumoku", QStringLiteral("項目"), QRect(462, 122, 312, 236));
    setOpen(m_grbKoumoku, false);
    m_tfdHimokuNamae = addTextField(m_grbKoumoku, "tfdHimokuNamae", QRect(64, 100, 236, 26));
    m_lblHimokuKoumokuBangou =
        addLabel(m_grbKoumoku, "lblHimokuKoumokuBangou", QStringLiteral("123"), QRect(64, 30, 100, 24));
    m_pbtKoumokuKanryou =
        addButton(m_grbKoumoku, "pbtKoumokuKanryou", QStringLiteral("完了"), QRect(12, 190, 164, 32));
    m_pbtKoumokuTorikesi =
        addButton(m_grbKoumoku, "pbtKoumokuTorikesi", QStringLiteral("取り消し"), QRect(184, 190, 116, 32));
    addLabel(m_grbKoumoku, "Label1", QStringLiteral("番号"), QRect(12, 30, 44, 24));
    addLabel(m_grbKoumoku, "Label2", QStringLiteral("種別"), QRect(12, 64, 44, 24));
    m_ppmHimokuSyubetu = new PopupMenu(m_grbKoumoku);
    m_ppmHimokuSyubetu->setObjectName(QStringLiteral("ppmHimokuSyubetu"));
    m_ppmHimokuSyubetu->setGeometry(64, 62, 120, 28);
    m_ppmHimokuSyubetu->addRow(QStringLiteral("支出"));
    m_ppmHimokuSyubetu->addRow(QStringLiteral("収入"));
    m_ppmHimokuSyubetu->setListIndex(0);
    addLabel(m_grbKoumoku, "Label3", QStringLiteral("費目"), QRect(12, 100, 44, 24));
    addLabel(m_grbKoumoku, "Label5", QStringLiteral("内訳"), QRect(12, 136, 44, 24));
    m_tfdUtiwakeNamae = addTextField(m_grbKoumoku, "tfdUtiwakeNamae", QRect(64, 136, 236, 26));

    m_lsbHimoku = new ListBox(this);
    m_lsbHimoku->setObjectName(QStringLiteral("lsbHimoku"));
    m_lsbHimoku->setGeometry(10, 10, 440, 474);
    m_lsbHimoku->setColumnCount(5);
    m_lsbHimoku->setHeadings({QStringLiteral("名前"), QStringLiteral("種別"), QStringLiteral("id"),
                              QStringLiteral("Hno"), QStringLiteral("Ucount")});
    m_lsbHimoku->setColumnWidths(QStringLiteral("85%,15%,0%,0%,0%"));
    m_lsbHimoku->setEvenRowBackground(QColor(0xF3, 0xF6, 0xFA));
    m_lsbHimoku->setItemDelegate(new VerticalGridDelegate(m_lsbHimoku));

    m_Label4 = addLabel(this, "Label4", QStringLiteral("（種別番号　　1： 支出　、　2： 収入）"),
                        QRect(10, 490, 440, 20));
    QFont noteFont = m_Label4->font();
    noteFont.setPixelSize(kNotePixelSize);
    m_Label4->setFont(noteFont);
    m_Label4->setEnabled(false);

    m_pbtUtiwakeTougou =
        addButton(this, "pbtUtiwakeTougou", QStringLiteral("内訳の統合"), QRect(670, 84, 104, 28));
    m_grbUtiwakeTougou =
        addGroupBox(this, "grbUtiwakeTougou", QStringLiteral("項目の内訳統合先"), QRect(462, 368, 312, 70));
    m_ppmUtiwakeTougouSaki = new PopupMenu(m_grbUtiwakeTougou);
    m_ppmUtiwakeTougouSaki->setObjectName(QStringLiteral("ppmUtiwakeTougouSaki"));
    m_ppmUtiwakeTougouSaki->setGeometry(12, 30, 288, 28);
    m_pbtUtiwakeTuika =
        addButton(this, "pbtUtiwakeTuika", QStringLiteral("内訳の追加"), QRect(622, 48, 152, 28));

    makeNoButtonDefault();
    fitTexts(*this);

    m_lsbHimoku->setCellClickHandler([this](int row, int column) { lsbHimoku_CellClick(row, column); });
    // A press below the last row is a click on no row, which the list does not report.
    m_lsbHimoku->viewport()->installEventFilter(this);
    connect(m_pbtClose, &QPushButton::clicked, this, &dlgHimoku::pbtClose_Action);
    connect(m_pbtHimokuTuika, &QPushButton::clicked, this, &dlgHimoku::pbtHimokuTuika_Action);
    connect(m_pbtUtiwakeTuika, &QPushButton::clicked, this, &dlgHimoku::pbtUtiwakeTuika_Action);
    connect(m_pbtKoumokuHensyuu, &QPushButton::clicked, this, &dlgHimoku::pbtKoumokuHensyuu_Action);
    connect(m_pbtKoumokuSakujyo, &QPushButton::clicked, this, &dlgHimoku::pbtKoumokuSakujyo_Action);
    connect(m_pbtUtiwakeTougou, &QPushButton::clicked, this, &dlgHimoku::pbtUtiwakeTougou_Action);
    connect(m_pbtKoumokuKanryou, &QPushButton::clicked, this, &dlgHimoku::pbtKoumokuKanryou_Action);
    connect(m_pbtKoumokuTorikesi, &QPushButton::clicked, this, &dlgHimoku::pbtKoumokuTorikesi_Action);

    // The open events run while the dialog is made, the list's first.
    lsbHimoku_Open();
    Event_Open();
}

bool dlgHimoku::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lsbHimoku->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (!m_lsbHimoku->indexAt(press->position().toPoint()).isValid()) {
            lsbHimoku_CellClick(-1, -1);
        }
    }
    return MaintenanceDialog::eventFilter(watched, event);
}

void dlgHimoku::RepopulateLsbHimoku()
{
    const std::vector<CategoryRow> tree = readCategoryTree();
    m_listed.clear();
    {
        ListBox::Refill refill(*m_lsbHimoku);
        for (const CategoryRow &item : tree) {
            m_listed.push_back(shownCategoryItem(item));
            const int row = item.isCategory() ? m_lsbHimoku->addFolder(item.name) : m_lsbHimoku->addRow();
            m_lsbHimoku->setCell(row, 0, item.name);
            m_lsbHimoku->setCellNumber(row, kKindColumn, item.kind);
            m_lsbHimoku->setCellNumber(row, kIdColumn, item.id);
            m_lsbHimoku->setCellNumber(row, 3, item.hno);
            m_lsbHimoku->setCellNumber(row, kUcountColumn, item.ucount);
        }
    }
    HimokuKoumokuSelectedRow = -1;
}

void dlgHimoku::HimokuKoumokuSelected(int32_t row)
{
    m_loaded.reset();
    if (row < 0 || row >= m_lsbHimoku->rowCount()) {
        return;
    }
    const std::optional<CategoryRow> item = readCategoryItem(
        cellNumber(m_lsbHimoku, row, kIdColumn), QStringLiteral("from Method HimokuKoumokuSelected: "));
    if (!item) {
        return;
    }
    m_lblHimokuKoumokuBangou->setText(QString::number(item->id));
    // A kind outside the popup's rows leaves it as it is; the loaded kind is what is written.
    if (item->kind == 1 || item->kind == 2) {
        m_ppmHimokuSyubetu->setListIndex(item->kind - 1);
    }
    // The write compares the ledger with the list the user chose from: a panel loaded from a
    // row that changed since it was listed is refused at Done as well.
    m_loaded = LoadedItem{m_listed.at(size_t(row)), false};
    if (TheKoumokuSyubetu == 1) {
        m_tfdHimokuNamae->setEnabled(true);
        m_tfdHimokuNamae->setText(item->name);
        m_tfdHimokuNamae->setCursorPosition(0);
        m_tfdUtiwakeNamae->setEnabled(false);
    } else if (TheKoumokuSyubetu == 2) {
        m_tfdUtiwakeNamae->setEnabled(true);
        const std::optional<CategoryRow> category =
            readCategoryItem(item->hno, QStringLiteral("from Method HimokuKoumokuSelected  Utiwake: "));
        if (!category) {
            return;
        }
        // Long names show their start, as the list does.
        m_tfdHimokuNamae->setText(category->name);
        m_tfdHimokuNamae->setCursorPosition(0);
        m_tfdUtiwakeNamae->setText(item->name);
        m_tfdUtiwakeNamae->setCursorPosition(0);
        m_tfdHimokuNamae->setEnabled(false);
    } else {
        Ui::instance().message(QStringLiteral("Error in HimokuKoumokuselected method"));
        return;
    }
    m_loaded->namesLoaded = true;
}

void dlgHimoku::grbHimokuInit()
{
    HimokuKanriSybetu = 0;
    TheKoumokuSyubetu = 0;
    m_loaded.reset();
    m_mergeSource.reset();
    setOpen(m_grbKoumoku, false);
    setPanelCaptions(QStringLiteral("項目"), QStringLiteral("完了"), QStringLiteral("取消"));
    m_lblHimokuKoumokuBangou->clear();
    m_ppmHimokuSyubetu->setListIndex(0);
    m_ppmHimokuSyubetu->setEnabled(true);
    m_tfdHimokuNamae->clear();
    m_tfdHimokuNamae->setEnabled(true);
    m_tfdUtiwakeNamae->clear();
    m_tfdUtiwakeNamae->setEnabled(true);
    setOpen(m_grbUtiwakeTougou, false);
    m_pbtKoumokuHensyuu->setEnabled(false);
    m_pbtKoumokuSakujyo->setEnabled(false);
    m_pbtUtiwakeTougou->setEnabled(false);
}

void dlgHimoku::lsbHimoku_Open()
{
    // The list never sorts: clicking a heading does nothing.
    RepopulateLsbHimoku();
}

bool dlgHimoku::lsbHimoku_CellClick(int row, int column)
{
    Q_UNUSED(column);
    if (row < 0 || row >= m_lsbHimoku->rowCount()) {
        if (!isInEditDeleteOrMerge()) {
            TheKoumokuSyubetu = 0;
        }
        return false;
    }
    HimokuKoumokuSelectedRow = row;
    // While the panel edits, deletes or merges an item, it keeps acting on that item.
    if (!isInEditDeleteOrMerge()) {
        TheKoumokuSyubetu = rowKind(row);
    }
    m_pbtKoumokuHensyuu->setEnabled(true);
    m_pbtKoumokuSakujyo->setEnabled(true);
    m_pbtUtiwakeTougou->setEnabled(true);
    return false;
}

void dlgHimoku::pbtClose_Action()
{
    done(0);
}

void dlgHimoku::pbtHimokuTuika_Action()
{
    setOpen(m_grbKoumoku, true);
    setPanelCaptions(QStringLiteral("費目項目の追加"), QStringLiteral("この費目の追加実行"),
                     QStringLiteral("追加の取消"));
    m_lblHimokuKoumokuBangou->clear();
    m_ppmHimokuSyubetu->setListIndex(0);
    m_tfdHimokuNamae->clear();
    m_tfdUtiwakeNamae->clear();
    m_tfdHimokuNamae->setEnabled(true);
    m_tfdUtiwakeNamae->setEnabled(false);
    HimokuKanriSybetu = 1;
    TheKoumokuSyubetu = 1;
}

void dlgHimoku::pbtUtiwakeTuika_Action()
{
    const int row = HimokuKoumokuSelectedRow;
    if (TheKoumokuSyubetu != 1 || row < 0 || row >= m_lsbHimoku->rowCount() || rowKind(row) != 1) {
        Ui::instance().message(
            QStringLiteral("どの費目につかするのかを選択指定してから内訳を追加してください"));
        return;
    }
    setOpen(m_grbKoumoku, true);
    setPanelCaptions(QStringLiteral("内訳項目の追加"), QStringLiteral("この内訳の追加実行"),
                     QStringLiteral("追加の取消"));
    m_lblHimokuKoumokuBangou->clear();
    m_ppmHimokuSyubetu->setListIndex(0);
    HimokuKoumokuSelected(row);
    m_tfdHimokuNamae->setEnabled(false);
    m_tfdUtiwakeNamae->setEnabled(true);
    m_tfdUtiwakeNamae->clear();
    m_ppmHimokuSyubetu->setEnabled(false);
    TheKoumokuSyubetu = 2;
    HimokuKanriSybetu = 5;
}

void dlgHimoku::pbtKoumokuHensyuu_Action()
{
    const int row = HimokuKoumokuSelectedRow;
    if (row < 0 || row >= m_lsbHimoku->rowCount()) {
        return;
    }
    TheKoumokuSyubetu = rowKind(row);
    setOpen(m_grbKoumoku, true);
    m_ppmHimokuSyubetu->setEnabled(false);
    setPanelCaptions(QStringLiteral("項目編集"), QStringLiteral("この編集を登録"),
                     QStringLiteral("編集の取消"));
    m_lblHimokuKoumokuBangou->clear();
    m_tfdHimokuNamae->clear();
    m_tfdUtiwakeNamae->clear();
    m_ppmHimokuSyubetu->setListIndex(0);
    HimokuKanriSybetu = 2;
    HimokuKoumokuSelected(row);
}

void dlgHimoku::pbtKoumokuSakujyo_Action()
{
    const int row = HimokuKoumokuSelectedRow;
    if (row < 0 || row >= m_lsbHimoku->rowCount()) {
        return;
    }
    TheKoumokuSyubetu = rowKind(row);
    setOpen(m_grbKoumoku, true);
    m_ppmHimokuSyubetu->setEnabled(false);
    m_tfdHimokuNamae->setEnabled(false);
    m_tfdUtiwakeNamae->setEnabled(false);
    setPanelCaptions(QStringLiteral("項目の削除"), QStringLiteral("この項目の削除実行"),
                     QStringLiteral("削除の取消"));
    HimokuKanriSybetu = 3;
    HimokuKoumokuSelected(row);
}

void dlgHimoku::pbtUtiwakeTougou_Action()
{
    const int row = HimokuKoumokuSelectedRow;
    // The first row is always a category.
    if (row < 1 || row >= m_lsbHimoku->rowCount()) {
        return;
    }
    // A refused press changes nothing, the row kind of a loaded item included.
    if (rowKind(row) != 2) {
        Ui::instance().message(QStringLiteral("統合処理は、内訳でのみ可能です"));
        return;
    }
    TheKoumokuSyubetu = 2;
    setOpen(m_grbKoumoku, true);
    setOpen(m_grbUtiwakeTougou, true);
    m_ppmHimokuSyubetu->setEnabled(false);
    m_tfdHimokuNamae->setEnabled(false);
    setPanelCaptions(QStringLiteral("内訳の統合"), QStringLiteral("この内訳の統合実行"),
                     QStringLiteral("統合の取消"));
    HimokuKanriSybetu = 4;
    HimokuKoumokuSelected(row);

    const int32_t kind = cellNumber(m_lsbHimoku, row, kKindColumn);
    const LookupTable<QString> &table = kind == 1 ? gDicSisyutu : gDicSyuunyuu;
    m_mergeSource.reset();
    if (m_loaded) {
        MergeSource merge{m_listed.at(size_t(row)), {}};
        for (const auto &entry : table) {
            merge.targets.push_back(listedItem(entry.first, kind == 1 ? 1 : 2, entry.second));
        }
        m_mergeSource = std::move(merge);
    }
    m_ppmUtiwakeTougouSaki->deleteAllRows();
    for (const auto &entry : table) {
        m_ppmUtiwakeTougouSaki->addRow(entry.second);
    }
    m_ppmUtiwakeTougouSaki->setListIndex(-1);
}

void dlgHimoku::pbtKoumokuKanryou_Action()
{
    // A row just added may be listed far below what is in view.
    const bool adding = HimokuKanriSybetu == 1 || HimokuKanriSybetu == 5;
    const std::vector<int32_t> listedBefore = adding ? listedIds() : std::vector<int32_t>();
    bool finished = true;
    switch (HimokuKanriSybetu) {
    case 1:
        finished = HimokuTuika();
        break;
    case 2:
        finished = KoumokuHensyuu();
        break;
    case 3:
        finished = KoumokuSakujyo();
        break;
    case 4:
        finished = UtiwakeTougou();
        break;
    case 5:
        finished = UtiwakeTuika();
        break;
    default:
        break;
    }
    if (finished) {
        grbHimokuInit();
        RepopulateLsbHimoku();
        if (adding) {
            showRowsAddedSince(listedBefore);
        }
    }
}

void dlgHimoku::pbtKoumokuTorikesi_Action()
{
    grbHimokuInit();
    RepopulateLsbHimoku();
}

void dlgHimoku::Event_Open()
{
    grbHimokuInit();
    RepopulateLsbHimoku();
}

bool dlgHimoku::HimokuTuika()
{
    const int32_t kind = qMax(0, m_ppmHimokuSyubetu->listIndex()) + 1;
    // A name that cannot be stored exactly is refused before anything is written, and the
    // panel keeps it to be mended.
    if (!storableOrReport(m_tfdHimokuNamae->text())) {
        return false;
    }
    // An add counts as finished also when it failed: its message has been shown.
    addCategory(kind, m_tfdHimokuNamae->text());
    return true;
}

bool dlgHimoku::KoumokuHensyuu()
{
    if (TheKoumokuSyubetu == 0) {
        return false;
    }
    // A load that stopped half-way leaves the fields empty: writing one would lose a name.
    if (!m_loaded || !m_loaded->namesLoaded) {
        return false;
    }
    QString name;
    if (m_tfdHimokuNamae->isEnabledTo(m_grbKoumoku)) {
        name = m_tfdHimokuNamae->text();
    } else if (m_tfdUtiwakeNamae->isEnabledTo(m_grbKoumoku)) {
        name = m_tfdUtiwakeNamae->text();
    } else {
        Ui::instance().message(QStringLiteral("Error in KoumokuHensyuu method , tfd not enabled "));
        return false;
    }
    if (!storableOrReport(name)) {
        return false;
    }
    return renameCategoryItem(m_loaded->shown, name);
}

bool dlgHimoku::KoumokuSakujyo()
{
    if (TheKoumokuSyubetu == 0 || !m_loaded) {
        return false;
    }
    const QString text =
        TheKoumokuSyubetu == 1
            ? QStringLiteral(
                  "この費目とその内訳全てを削除していいですか？（この内訳のデータが全て削除されます）")
            : QStringLiteral("この内訳を削除していいですか？（この内訳のデータが全て削除されます）");
    if (!Ui::instance().confirm(text, QStringLiteral("削除する"), QStringLiteral("削除しない"),
                                Ui::Icon::Caution)) {
        return true;
    }
    return TheKoumokuSyubetu == 1 ? deleteCategoryWithEntries(m_loaded->shown)
                                  : deleteSubItemWithEntries(m_loaded->shown);
}

bool dlgHimoku::UtiwakeTougou()
{
    if (TheKoumokuSyubetu != 2 || !m_mergeSource) {
        return false;
    }
    const int row = m_ppmUtiwakeTougouSaki->listIndex();
    if (row < 0 || row >= int(m_mergeSource->targets.size())) {
        Ui::instance().message(QStringLiteral("統合先の内訳を選択してください。"));
        return false;
    }
    const ShownCategoryItem &target = m_mergeSource->targets[size_t(row)];
    if (target.id == m_mergeSource->source.id) {
        Ui::instance().message(QStringLiteral("同じ内訳に統合することはできません。"));
        return false;
    }
    const QString text =
        QStringLiteral("この費目 : ") +
        (m_mergeSource->source.kind == 1 ? QStringLiteral("支出 , ") : QStringLiteral("収入 , ")) +
        m_tfdUtiwakeNamae->text() + QStringLiteral("  を ") + m_ppmUtiwakeTougouSaki->text() +
        QStringLiteral(" に統合しますか？");
    if (!Ui::instance().confirm(text, QStringLiteral("統合する"), QStringLiteral("統合しない"),
                                Ui::Icon::Caution)) {
        Ui::instance().message(QStringLiteral("この統合処理をしません。"));
        return false;
    }
    return mergeSubItem(m_mergeSource->source, target);
}

bool dlgHimoku::UtiwakeTuika()
{
    // Without its category loaded there is nothing to add to; the load has said why.
    if (m_loaded && m_loaded->namesLoaded) {
        // The stored name is the category's and the typed one joined.
        if (!storableOrReport(m_loaded->shown.name + QLatin1Char('/') + m_tfdUtiwakeNamae->text())) {
            return false;
        }
        addSubItem(m_loaded->shown, m_tfdUtiwakeNamae->text());
    }
    return true;
}

bool dlgHimoku::isInEditDeleteOrMerge() const
{
    return HimokuKanriSybetu == 2 || HimokuKanriSybetu == 3 || HimokuKanriSybetu == 4;
}

int32_t dlgHimoku::rowKind(int row) const
{
    return cellNumber(m_lsbHimoku, row, kUcountColumn) > 0 ? 1 : 2;
}

std::vector<int32_t> dlgHimoku::listedIds() const
{
    std::vector<int32_t> ids;
    ids.reserve(m_listed.size());
    for (const ShownCategoryItem &item : m_listed) {
        ids.push_back(item.id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

void dlgHimoku::showRowsAddedSince(const std::vector<int32_t> &before)
{
    int first = -1;
    int last = -1;
    for (int row = 0; row < m_lsbHimoku->rowCount(); ++row) {
        if (!std::binary_search(before.begin(), before.end(), cellNumber(m_lsbHimoku, row, kIdColumn))) {
            first = first < 0 ? row : first;
            last = row;
        }
    }
    if (first < 0) {
        return;
    }
    // A new category comes with its first sub-item: the last row first, then the first, so
    // that both are in view where they fit and the category in any case.
    m_lsbHimoku->scrollTo(m_lsbHimoku->model()->index(last, 0));
    m_lsbHimoku->scrollTo(m_lsbHimoku->model()->index(first, 0));
}

ShownCategoryItem dlgHimoku::listedItem(int32_t id, int32_t kind, const QString &name) const
{
    for (const ShownCategoryItem &item : m_listed) {
        if (item.id == id) {
            return item;
        }
    }
    return ShownCategoryItem{id, kind, std::nullopt, name, false};
}

void dlgHimoku::setPanelCaptions(const QString &panel, const QString &done, const QString &cancel)
{
    m_grbKoumoku->setTitle(panel);
    m_pbtKoumokuKanryou->setText(done);
    m_pbtKoumokuTorikesi->setText(cancel);
    fitText(*m_pbtKoumokuKanryou);
    fitText(*m_pbtKoumokuTorikesi);
}
