#pragma once
// The asset-account dialog: the list of accounts with their opening amounts and one edit
// panel that adds, changes or deletes an account. The main window's account command makes a
// new one each time and runs it modally:
//
//     dlgSisan dialog(mainWindow);
//     dialog.runModal();   // returns once "閉じる" has hidden it
//
// Its effects are the Sisan and Items rows it wrote and the rebuilt gDicSisan.

#include "app/ShownRows.h"
#include "maintenance/MaintenanceDialog.h"

#include <cstdint>
#include <optional>
#include <vector>

class ListBox;
class QFrame;

class dlgSisan : public MaintenanceDialog
{
    Q_OBJECT
public:
    explicit dlgSisan(QWidget *parent = nullptr);

    // The panel's mode: 1 add, 2 edit, 3 delete; never reset.
    int32_t SisanKanriSybetu = 0;
    // The list row last clicked; every re-read sets -1.
    int32_t SisanKoumokuSelectedRow = 0;

    void RepopulateLsbSisan();
    void SisanKoumokuSelected(int32_t row);
    void grbSisanInit();

    void lsbSisan_Open();
    bool lsbSisan_CellClick(int row, int column);
    void pbtClose_Action();
    void pbtSisanTuika_Action();
    void pbtSisanHensyuu_Action();
    void pbtSisanSakujyo_Action();
    void pbtSisanKoumokuKanryou_Action();
    void pbtSisanKoumokuTorikesi_Action();
    void Event_Open();

    // The operations Done runs; true when the panel is to be reset and the list re-read.
    bool SisanTuika();
    bool SisanHensyuu();
    bool SisanSakujyo();

protected:
    void fitControls() override;

private:
    void setPanelCaptions(const QString &panel, const QString &done, const QString &cancel);
    void emptyFields();
    void placeFieldsUnderHeadings();

    // The accounts as the list shows them, row by row.
    std::vector<ShownAccount> m_listed;
    // The account the panel shows, as the list showed it when it was loaded: what an edit or a
    // delete rests on. None while the panel shows no account.
    std::optional<ShownAccount> m_shown;

    ListBox *m_lsbSisan = nullptr;
    QPushButton *m_pbtClose = nullptr;
    QPushButton *m_pbtSisanTuika = nullptr;
    QPushButton *m_pbtSisanHensyuu = nullptr;
    QPushButton *m_pbtSisanSakujyo = nullptr;
    QGroupBox *m_grbSisanKoumoku = nullptr;
    QPushButton *m_pbtSisanKoumokuKanryou = nullptr;
    QPushButton *m_pbtSisanKoumokuTorikesi = nullptr;
    QFrame *m_rctSisanField = nullptr;
    QLineEdit *m_tfdSisankoumokuSyokikingaku = nullptr;
    QLineEdit *m_tfdSisankoumokuNamae = nullptr;
    QLabel *m_lblSisanKoumokuBangou = nullptr;
    QLabel *m_Label1 = nullptr;
};
