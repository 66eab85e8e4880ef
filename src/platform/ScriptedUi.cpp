#include "platform/ScriptedUi.h"

#include <QPrinter>

void ScriptedUi::showMessage(const QString &text, Icon icon)
{
    messages.append(text);
    messageIcons.append(icon);
    if (whileMessageShown) {
        whileMessageShown(text);
    }
}

bool ScriptedUi::confirm(const QString &text, const QString &actionCaption, const QString &cancelCaption,
                         Icon icon)
{
    confirmations.append({text, actionCaption, cancelCaption, icon});
    if (confirmAnswers.empty()) {
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedUi::openFile(const QString &title)
{
    fileDialogTitles.append(title);
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    const bool chosen = fileAnswers.front().has_value();
    const QString file = fileAnswers.front().value_or(QString());
    fileAnswers.pop_front();
    if (!chosen) {
        return std::nullopt;
    }
    return file;
}

std::optional<QString> ScriptedUi::saveFile(const QString &title)
{
    return openFile(title);
}

bool ScriptedUi::pageSetup(PageSetup &)
{
    ++pageSetupCount;
    if (pageSetupAnswers.empty()) {
        return false;
    }
    const bool answer = pageSetupAnswers.front();
    pageSetupAnswers.pop_front();
    return answer;
}

std::unique_ptr<QPrinter> ScriptedUi::print(const PageSetup &setup, int pageCount)
{
    ++printCount;
    printPageCounts.append(pageCount);
    if (whilePrintDialogShown) {
        whilePrintDialogShown();
    }
    if (printAnswers.empty() || !printAnswers.front()) {
        if (!printAnswers.empty()) {
            printAnswers.pop_front();
        }
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(*printAnswers.front());
    printAnswers.pop_front();
    setup.applyTo(*printer);
    if (printPages) {
        // As the print dialog leaves a printer when pages are chosen.
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(printPages->first, printPages->second);
    }
    printer->setCopyCount(printCopies);
    printer->setCollateCopies(printCollated);
    printer->setPageOrder(printLastPageFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    return printer;
}
