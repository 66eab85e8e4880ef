#include "maintenance/dlgSisan.h"

#include "maintenance/AccountMaintenance.h"
#include "maintenance/VerticalGridDelegate.h"
#include "platform/ListBox.h"
#include "platform/NumberFormat.h"
#include "platform/TextFit.h"
#include "platform/Ui.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

const QString kBlank = QStringLiteral(" ");

// The headings over the fields; the fields stand under their words.
const QString kNumberHeading = kBlank + QStringLiteral("番号");
const QString kNameHeading = QStringLiteral("資産名");
const QString kAmountHeading = QStringLiteral("初期金額");
const QString kLabel1Text =
    kNumberHeading + kBlank.repeated(14) + kNameHeading + kBlank.repeated(66) + kAmountHeading;

constexpr int kListPixelSize = 14;
// A line edit's frame and its text margins, left and right together.
constexpr int kFieldTextMargins = 12;

} // namespace

dlgSisan::dlgSisan(QWidget *parent)
    : MaintenanceDialog(QStringLiteral("dlgSisan"), QStringLiteral("資産項目の管理"), QSize(594, 568), parent)
{
    m_lsbSisan = new ListBox(this);
    m_lsbSisan->setObjectName(QStringLiteral("lsbSisan"));
    m_lsbSisan->setGeometry(10, 44, 574, 300);
    QFont listFont = m_lsbSisan->font();
    listFont.setPixelSize(kListPixelSize);
    m_lsbSisan->setFont(listFont);
    m_lsbSisan->setFixedRowHeight(QFontMetrics(listFont).height() + 4);
    m_lsbSisan->setColumnCount(4);
    m_lsbSisan->setHeadings({QStringLiteral("番号"), QStringLiteral("名前"), QStringLiteral("初期金額　"),
                             QStringLiteral("残金　")});
    m_lsbSisan->setColumnWidths(QStringLiteral("10%,60%,30%,0%"));
    m_lsbSisan->setEvenRowBackground(QColor(0xF3, 0xF6, 0xFA));
    m_lsbSisan->setItemDelegate(new VerticalGridDelegate(m_lsbSisan));

    m_pbtClose = addButton(this, "pbtClose", QStringLiteral("閉じる"), QRect(494, 8, 90, 28));
    m_pbtSisanTuika = addButton(this, "pbtSisanTuika", QStringLiteral("追加"), QRect(10, 354, 90, 28));
    m_pbtSisanHensyuu = addButton(this, "pbtSisanHensyuu", QStringLiteral("編集"), QRect(108, 354, 90, 28));
    m_pbtSisanHensyuu->setEnabled(false);
    m_pbtSisanSakujyo = addButton(this, "pbtSisanSakujyo", QStringLiteral("削除"), QRect(206, 354, 90, 28));
    m_pbtSisanSakujyo->setEnabled(false);

    m_grbSisanKoumoku =
        addGroupBox(this, "grbSisanKoumoku", QStringLiteral("資産項目"), QRect(10, 392, 574, 166));
    setOpen(m_grbSisanKoumoku, false);
    m_pbtSisanKoumokuKanryou = addButton(m_grbSisanKoumoku, "pbtSisanKoumokuKanryou", QStringLiteral("完了"),
                                         QRect(262, 122, 180, 32));
    m_pbtSisanKoumokuTorikesi = addButton(m_grbSisanKoumoku, "pbtSisanKoumokuTorikesi",
                                          QStringLiteral("取り消し"), QRect(450, 122, 114, 32));

    m_rctSisanField = new QFrame(m_grbSisanKoumoku);
    m_rctSisanField->setObjectName(QStringLiteral("rctSisanField"));
    m_rctSisanField->setGeometry(10, 26, 554, 78);
    m_rctSisanField->setFrameShape(QFrame::NoFrame);
    m_rctSisanField->setAutoFillBackground(true);
    QPalette grey = m_rctSisanField->palette();
    grey.setColor(QPalette::Window, QColor(215, 215, 215));
    m_rctSisanField->setPalette(grey);

    m_tfdSisankoumokuSyokikingaku = addTextField(m_rctSisanField, "tfdSisankoumokuSyokikingaku", QRect());
    m_tfdSisankoumokuNamae = addTextField(m_rctSisanField, "tfdSisankoumokuNamae", QRect());
    m_lblSisanKoumokuBangou = addLabel(m_rctSisanField, "lblSisanKoumokuBangou", QString(), QRect());
    m_Label1 = addLabel(m_rctSisanField, "Label1", kLabel1Text, QRect(8, 8, 538, 20));

    fitControls();
    // The amount field is made before the name field, yet Tab goes from the name to the
    // amount and on to the panel's buttons: from the name it would reach the list, whose key
    // search swallows the amount typed next.
    setTabOrder(m_tfdSisankoumokuNamae, m_tfdSisankoumokuSyokikingaku);
    setTabOrder(m_tfdSisankoumokuSyokikingaku, m_pbtSisanKoumokuKanryou);
    setTabOrder(m_pbtSisanKoumokuKanryou, m_pbtSisanKoumokuTorikesi);

    makeNoButtonDefault();

    m_lsbSisan->setCellClickHandler([this](int row, int column) { lsbSisan_CellClick(row, column); });
    connect(m_pbtClose, &QPushButton::clicked, this, &dlgSisan::pbtClose_Action);
    connect(m_pbtSisanTuika, &QPushButton::clicked, this, &dlgSisan::pbtSisanTuika_Action);
    connect(m_pbtSisanHensyuu, &QPushButton::clicked, this, &dlgSisan::pbtSisanHensyuu_Action);
    connect(m_pbtSisanSakujyo, &QPushButton::clicked, this, &dlgSisan::pbtSisanSakujyo_Action);
    connect(m_pbtSisanKoumokuKanryou, &QPushButton::clicked, this, &dlgSisan::pbtSisanKoumokuKanryou_Action);
    connect(m_pbtSisanKoumokuTorikesi, &QPushButton::clicked, this,
            &dlgSisan::pbtSisanKoumokuTorikesi_Action);

    // The open events run while the dialog is made, the list's first.
    lsbSisan_Open();
    Event_Open();
}

void dlgSisan::fitControls()
{
    // The row the fields share; their texts are fitted to its height before the heading's
    // words place them along it.
    const QRect fieldRow(8, 38, 538, 26);
    m_lblSisanKoumokuBangou->setGeometry(fieldRow);
    m_tfdSisankoumokuNamae->setGeometry(fieldRow);
    m_tfdSisankoumokuSyokikingaku->setGeometry(fieldRow);
    fitTexts(*this);
    placeFieldsUnderHeadings();
}

void dlgSisan::placeFieldsUnderHeadings()
{
    // Each field starts where its heading word starts in Label1, measured in the font the
    // heading is drawn in.
    const QFontMetrics metrics(m_Label1->font());
    const int left = m_Label1->x();
    const int numberX = left + metrics.horizontalAdvance(kBlank);
    const int nameX = left + metrics.horizontalAdvance(kNumberHeading + kBlank.repeated(14));
    const int right = m_rctSisanField->width() - 8;
    // The amount field holds the longest amount whole; under a large font it starts left of
    // its heading word, which then still stands over it.
    const QFontMetrics fieldMetrics(m_tfdSisankoumokuSyokikingaku->font());
    const int amountWidth =
        fieldMetrics.horizontalAdvance(QString::number(std::numeric_limits<int32_t>::min())) +
        kFieldTextMargins;
    const int amountX =
        qMin(left + metrics.horizontalAdvance(kLabel1Text.left(kLabel1Text.size() - kAmountHeading.size())),
             right - amountWidth);
    const QRect field = m_tfdSisankoumokuNamae->geometry();
    m_lblSisanKoumokuBangou->setGeometry(numberX, field.y(), qMax(30, nameX - numberX - 8), field.height());
    m_tfdSisankoumokuNamae->setGeometry(nameX, field.y(), qMax(60, amountX - nameX - 10), field.height());
    m_tfdSisankoumokuSyokikingaku->setGeometry(amountX, field.y(), qMax(60, right - amountX), field.height());
}

void dlgSisan::RepopulateLsbSisan()
{
    const std::vector<AccountRow> accounts = readAccounts();
    m_listed.clear();
    {
        ListBox::Refill refill(*m_lsbSisan);
        for (const AccountRow &account : accounts) {
            m_listed.push_back(shownAccount(account));
            const int row = m_lsbSisan->addRow();
            m_lsbSisan->setCellNumber(row, 0, account.id);
            m_lsbSisan->setCell(row, 1, account.name);
            // Padded to ten characters and never cut, so a large negative amount keeps its sign.
            m_lsbSisan->setCell(row, 2, rightAlignedAmount(account.opening));
            m_lsbSisan->setCell(row, 3, rightAlignedAmount(account.balance));
        }
    }
    SisanKoumokuSelectedRow = -1;
}

void dlgSisan::SisanKoumokuSelected(int32_t row)
{
    if (row < 0 || row >= m_lsbSisan->rowCount()) {
        return;
    }
    bool isNumber = false;
    const int32_t id = m_lsbSisan->cell(row, 0).toInt(&isNumber);
    if (!isNumber) {
        return;
    }
    const std::optional<AccountRow> account = readAccount(id);
    if (!account) {
        return;
    }
    // The write compares the ledger with the list the user chose from: a panel loaded from a
    // row that changed since it was listed is refused at Done as well.
    m_shown = m_listed.at(size_t(row));
    m_lblSisanKoumokuBangou->setText(QString::number(account->id));
    m_tfdSisankoumokuNamae->setText(account->name);
    m_tfdSisankoumokuSyokikingaku->setText(QString::number(account->opening));
    // A long name shows its start, as the list does.
    m_tfdSisankoumokuNamae->setCursorPosition(0);
}

void dlgSisan::grbSisanInit()
{
    setOpen(m_grbSisanKoumoku, false);
    setPanelCaptions(QStringLiteral("資産項目"), QStringLiteral("完了"), QStringLiteral("取消"));
    emptyFields();
    m_rctSisanField->setEnabled(true);
    m_pbtSisanTuika->setEnabled(true);
    m_pbtSisanHensyuu->setEnabled(false);
    m_pbtSisanSakujyo->setEnabled(false);
}

void dlgSisan::lsbSisan_Open()
{
    m_lsbSisan->setColumnAlignment(2, ListBox::Alignment::Decimal);
    m_lsbSisan->setColumnAlignment(3, ListBox::Alignment::Decimal);
    RepopulateLsbSisan();
}

bool dlgSisan::lsbSisan_CellClick(int row, int column)
{
    Q_UNUSED(column);
    // Only a click on a row counts: edit and delete would otherwise load no account.
    if (row < 0 || row >= m_lsbSisan->rowCount()) {
        return false;
    }
    m_pbtSisanHensyuu->setEnabled(true);
    m_pbtSisanSakujyo->setEnabled(true);
    SisanKoumokuSelectedRow = row;
    return false;
}

void dlgSisan::pbtClose_Action()
{
    done(0);
}

void dlgSisan::pbtSisanTuika_Action()
{
    m_pbtSisanHensyuu->setEnabled(false);
    m_pbtSisanSakujyo->setEnabled(false);
    setOpen(m_grbSisanKoumoku, true);
    setPanelCaptions(QStringLiteral("資産項目の追加"), QStringLiteral("この資産の追加実行"),
                     QStringLiteral("追加の取消"));
    emptyFields();
    SisanKanriSybetu = 1;
}

void dlgSisan::pbtSisanHensyuu_Action()
{
    m_pbtSisanTuika->setEnabled(false);
    m_pbtSisanSakujyo->setEnabled(false);
    setOpen(m_grbSisanKoumoku, true);
    setPanelCaptions(QStringLiteral("資産項目の編集"), QStringLiteral("この編集を登録"),
                     QStringLiteral("編集の取消"));
    emptyFields();
    SisanKanriSybetu = 2;
    SisanKoumokuSelected(SisanKoumokuSelectedRow);
}

void dlgSisan::pbtSisanSakujyo_Action()
{
    m_pbtSisanTuika->setEnabled(false);
    m_pbtSisanHensyuu->setEnabled(false);
    setOpen(m_grbSisanKoumoku, true);
    m_rctSisanField->setEnabled(false);
    setPanelCaptions(QStringLiteral("資産項目の削除"), QStringLiteral("この資産の削除実行"),
                     QStringLiteral("削除の取消"));
    SisanKanriSybetu = 3;
    SisanKoumokuSelected(SisanKoumokuSelectedRow);
}

void dlgSisan::pbtSisanKoumokuKanryou_Action()
{
    bool finished = false;
    switch (SisanKanriSybetu) {
    case 1:
        finished = SisanTuika();
        break;
    case 2:
        finished = SisanHensyuu();
        break;
    case 3:
        finished = SisanSakujyo();
        break;
    default:
        break;
    }
    if (finished) {
        grbSisanInit();
        RepopulateLsbSisan();
    }
}

void dlgSisan::pbtSisanKoumokuTorikesi_Action()
{
    grbSisanInit();
    RepopulateLsbSisan();
}

void dlgSisan::Event_Open()
{
    grbSisanInit();
    RepopulateLsbSisan();
}

bool dlgSisan::SisanTuika()
{
    return addAccount(m_tfdSisankoumokuNamae->text(), m_tfdSisankoumokuSyokikingaku->text());
}

bool dlgSisan::SisanHensyuu()
{
    // No account loaded (its load has reported why): nothing to change.
    if (!m_shown) {
        return false;
    }
    return editAccount(*m_shown, m_tfdSisankoumokuNamae->text(), m_tfdSisankoumokuSyokikingaku->text());
}

bool dlgSisan::SisanSakujyo()
{
    if (!m_shown) {
        return false;
    }
    if (!Ui::instance().confirm(QStringLiteral("この資産を、本当に削除していいですか？"),
                                QStringLiteral("削除する"), QStringLiteral("削除しない"),
                                Ui::Icon::Caution)) {
        return true;
    }
    return deleteAccountWithEntries(*m_shown);
}

void dlgSisan::setPanelCaptions(const QString &panel, const QString &done, const QString &cancel)
{
    m_grbSisanKoumoku->setTitle(panel);
    m_pbtSisanKoumokuKanryou->setText(done);
    m_pbtSisanKoumokuTorikesi->setText(cancel);
    fitText(*m_pbtSisanKoumokuKanryou);
    fitText(*m_pbtSisanKoumokuTorikesi);
}

void dlgSisan::emptyFields()
{
    m_shown.reset();
    m_lblSisanKoumokuBangou->clear();
    m_tfdSisankoumokuNamae->clear();
    m_tfdSisankoumokuSyokikingaku->clear();
}
