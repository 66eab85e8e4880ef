#pragma once
// A dialog service that answers from a script and records what was asked, for tests and
// benchmarks that drive the real windows without a person.

#include "platform/Ui.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

class ScriptedUi : public Ui
{
public:
    struct Confirmation
    {
        QString text;
        QString actionCaption;
        QString cancelCaption;
        Icon icon;
    };

    // Answers, taken in order. With none left, dialogs are cancelled and confirmations declined.
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<bool> confirmAnswers;
    std::deque<bool> pageSetupAnswers;
    // A PDF file to print to, or none to cancel the print dialog.
    std::deque<std::optional<QString>> printAnswers;
    // The pages chosen in the print dialog, first and last (taken as given, whatever the
    // document's pages); none for all pages.
    std::optional<std::pair<int, int>> printPages;
    // The copies, their collation and the page order chosen in the print dialog.
    int printCopies = 1;
    bool printCollated = true;
    bool printLastPageFirst = false;

    // What was shown, in order.
    QStringList messages;
    QList<Ui::Icon> messageIcons;
    QStringList fileDialogTitles;
    QList<Confirmation> confirmations;
    int pageSetupCount = 0;
    int printCount = 0;
    // The page count each print dialog was given, in order.
    QList<int> printPageCounts;

    // Runs while each message is shown, after it has been recorded: what another program
    // could do while the user reads the box.
    std::function<void(const QString &text)> whileMessageShown;
    // Runs while each print dialog is shown, before it is answered.
    std::function<void()> whilePrintDialogShown;

    bool confirm(const QString &text, const QString &actionCaption, const QString &cancelCaption,
                 Icon icon) override;
    std::optional<QString> openFile(const QString &title) override;
    std::optional<QString> saveFile(const QString &title) override;
    bool pageSetup(PageSetup &setup) override;
    std::unique_ptr<QPrinter> print(const PageSetup &setup, int pageCount) override;

protected:
    void showMessage(const QString &text, Icon icon) override;
};
