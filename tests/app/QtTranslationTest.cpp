// Qt's own dialogs as the program sets them up (this process made its application object as
// main does): their buttons, labels and the question before a file is replaced are Japanese.
// Without Qt's translation file they stay in English and nothing breaks.

#include "app/ProcessSetup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

// The question QFileDialog asks before it hands back a file that exists; its answer decides
// whether a ledger or a CSV file is replaced.
const char kReplaceQuestion[] = "%1 already exists.\nDo you want to replace it?";

QStringList buttonTexts(const QWidget &dialog)
{
    QStringList texts;
    for (const QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (!button->text().isEmpty()) {
            texts.push_back(button->text());
        }
    }
    texts.sort();
    return texts;
}

QString labelText(const QWidget &dialog, const char *name)
{
    const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("(no label %1)").arg(QLatin1String(name));
}

QStringList yesNoButtons()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
}

QString replaceQuestion()
{
    return QCoreApplication::translate("QFileDialog", kReplaceQuestion);
}

// The dialog a save asks in, as Qt's own widgets draw it where the desktop offers none.
std::unique_ptr<QFileDialog> saveDialog()
{
    auto dialog = std::make_unique<QFileDialog>(nullptr, QStringLiteral("CSV"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    return dialog;
}

TEST(QtTranslationTest, QtsDialogsSpeakJapanese)
{
    EXPECT_EQ(yesNoButtons(), (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
    EXPECT_EQ(replaceQuestion(), QStringLiteral("%1 は既に存在します。\n置き換えますか?"));

    const auto save = saveDialog();
    EXPECT_EQ(buttonTexts(*save), (QStringList{QStringLiteral("キャンセル"), QStringLiteral("保存(&S)")}));
    EXPECT_EQ(labelText(*save, "fileNameLabel"), QStringLiteral("ファイル名(&N):"));
    QFileDialog open(nullptr, QStringLiteral("家計簿ファイルを開く"));
    open.setOption(QFileDialog::DontUseNativeDialog);
    open.setAcceptMode(QFileDialog::AcceptOpen);
    EXPECT_EQ(buttonTexts(open), (QStringList{QStringLiteral("キャンセル"), QStringLiteral("開く(&O)")}));

    QPrinter printer;
    {
        QPrintDialog print(&printer);
        EXPECT_EQ(print.windowTitle(), QStringLiteral("印刷"));
        EXPECT_TRUE(buttonTexts(print).contains(QStringLiteral("印刷(&P)")))
            << buttonTexts(print).join(u' ').toStdString();
        EXPECT_TRUE(buttonTexts(print).contains(QStringLiteral("キャンセル")));
        EXPECT_EQ(labelText(print, "lOutput"), QStringLiteral("出力ファイル名(&F):"));
    }
    QPageSetupDialog pageSetup(&printer);
    EXPECT_EQ(pageSetup.windowTitle(), QStringLiteral("ページ設定"));
    EXPECT_EQ(labelText(pageSetup, "pageSizeLabel"), QStringLiteral("用紙サイズ:"));
    EXPECT_TRUE(buttonTexts(pageSetup).contains(QStringLiteral("キャンセル")));
}

TEST(QtTranslationTest, WithoutTheTranslationFileQtsDialogsStayEnglish)
{
    // The translation the application object installed is taken away for this test.
    auto *installed = qApp->findChild<QTranslator *>(QStringLiteral("qtbaseTranslation"));
    ASSERT_NE(installed, nullptr) << "the application object installed no translation";
    QCoreApplication::removeTranslator(installed);
    delete installed;
    const auto restore = qScopeGuard([] { installQtTranslation(*qApp); });
    ASSERT_EQ(yesNoButtons(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));

    QTemporaryDir missing;
    QTemporaryDir damaged;
    ASSERT_TRUE(missing.isValid() && damaged.isValid());
    QFile garbage(damaged.filePath(QStringLiteral("qtbase_ja.qm")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a translation file");
    garbage.close();
    for (const QTemporaryDir *folder : {&missing, &damaged}) {
        SCOPED_TRACE(folder->path().toStdString());
        EXPECT_FALSE(installQtTranslation(*qApp, folder->path()));
        EXPECT_EQ(qApp->findChildren<QTranslator *>().size(), 0);
        EXPECT_EQ(yesNoButtons(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
        EXPECT_EQ(replaceQuestion(), QString::fromLatin1(kReplaceQuestion));
        EXPECT_EQ(buttonTexts(*saveDialog()),
                  (QStringList{QStringLiteral("&Save"), QStringLiteral("Cancel")}));
    }
}

} // namespace
