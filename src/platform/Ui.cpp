#include "platform/Ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {
std::unique_ptr<Ui> &current()
{
    static std::unique_ptr<Ui> ui;
    return ui;
}

struct HeldMessage
{
    QString text;
    Ui::Icon icon;
};

// The holds alive and the messages raised meanwhile (one user-interface thread).
int g_holds = 0;
std::vector<HeldMessage> &heldMessages()
{
    static std::vector<HeldMessage> held;
    return held;
}

// The window a dialog is asked from. It may be closed while the dialog is open (the report
// window then deletes itself), so it never owns the dialog, which would be deleted under its
// own event loop; the dialog is only kept in front of it.
QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

void keepInFrontOfAskingWindow(QWidget &dialog)
{
    QWidget *asking = dialogParent();
    if (!asking || asking == &dialog || !asking->windowHandle()) {
        return;
    }
    // The dialog's own window is made now, so that it can name the one it stays in front of;
    // a window knows that one only as long as it exists.
    dialog.winId();
    if (QWindow *window = dialog.windowHandle()) {
        window->setTransientParent(asking->windowHandle());
    }
}

// A file dialog as Qt's getOpenFileName and getSaveFileName make it, but owned here: theirs is
// owned by the window it is asked from.
std::optional<QString> askForFile(const QString &title, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(nullptr, title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    keepInFrontOfAskingWindow(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}
} // namespace

Ui &Ui::instance()
{
    if (!current()) {
        current() = std::make_unique<QtUi>();
    }
    return *current();
}

std::unique_ptr<Ui> Ui::install(std::unique_ptr<Ui> ui)
{
    std::unique_ptr<Ui> previous = std::move(current());
    current() = std::move(ui);
    return previous;
}

void Ui::message(const QString &text, Icon icon)
{
    if (g_holds > 0) {
        heldMessages().push_back({text, icon});
        return;
    }
    showMessage(text, icon);
}

MessageHold::MessageHold()
{
    ++g_holds;
}

MessageHold::~MessageHold()
{
    if (--g_holds > 0) {
        return;
    }
    // Taken first: a box shown here may raise (and hold) messages of its own.
    std::vector<HeldMessage> waiting = std::move(heldMessages());
    heldMessages().clear();
    for (const HeldMessage &held : waiting) {
        Ui::instance().message(held.text, held.icon);
    }
}

void QtUi::showMessage(const QString &text, Icon icon)
{
    QMessageBox box;
    keepInFrontOfAskingWindow(box);
    box.setIcon(icon == Icon::Caution   ? QMessageBox::Warning
                : icon == Icon::Default ? QMessageBox::Information
                                        : QMessageBox::NoIcon);
    // Messages carry typed names and database texts: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtUi::confirm(const QString &text, const QString &actionCaption, const QString &cancelCaption, Icon icon)
{
    QMessageBox box;
    keepInFrontOfAskingWindow(box);
    box.setIcon(icon == Icon::Caution ? QMessageBox::Warning
                : icon == Icon::None  ? QMessageBox::NoIcon
                                      : QMessageBox::Question);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton *action = box.addButton(actionCaption, QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(cancelCaption, QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == action;
}

std::optional<QString> QtUi::openFile(const QString &title)
{
    return askForFile(title, QFileDialog::AcceptOpen);
}

std::optional<QString> QtUi::saveFile(const QString &title)
{
    return askForFile(title, QFileDialog::AcceptSave);
}

bool QtUi::pageSetup(PageSetup &setup)
{
    QPrinter printer;
    setup.applyTo(printer);
    QPageSetupDialog dialog(&printer);
    keepInFrontOfAskingWindow(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    setup = PageSetup::fromPrinter(printer);
    return true;
}

std::unique_ptr<QPrinter> QtUi::print(const PageSetup &setup, int pageCount)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    setup.applyTo(*printer);
    QPrintDialog dialog(printer.get());
    keepInFrontOfAskingWindow(dialog);
    // A range can then only name pages the document has.
    dialog.setMinMax(1, std::max(1, pageCount));
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return printer;
}
