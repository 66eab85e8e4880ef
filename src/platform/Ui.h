#pragma once
// Every modal interaction with the user goes through this one service: message boxes,
// confirmations, file dialogs, page setup and the print dialog. The program uses the Qt
// dialogs; tests install a scripted replacement so that nothing ever blocks.
//
// No window owns a dialog of the service: the window it was asked from may be closed, and
// delete itself, while the dialog is open. The dialog is kept in front of that window instead.
//
// A message box raised while a write transaction is open waits until that transaction has
// been committed or rolled back (see MessageHold): a box the user may leave open for minutes
// must not keep the ledger locked against every other writer.

#include "platform/PageSetup.h"

#include <QString>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

class Ui
{
public:
    enum class Icon
    {
        None,
        Default,
        Caution
    };

    virtual ~Ui() = default;

    // A modal message box with one text and an OK button; while messages are held, it is
    // kept and shown, in order with the others, when the last hold ends.
    void message(const QString &text, Icon icon = Icon::None);
    // A confirmation with captioned action and cancel buttons; true when the action
    // button was pressed.
    virtual bool confirm(const QString &text, const QString &actionCaption, const QString &cancelCaption,
                         Icon icon) = 0;
    // The chosen file's full path, or none when the dialog was cancelled.
    virtual std::optional<QString> openFile(const QString &title) = 0;
    virtual std::optional<QString> saveFile(const QString &title) = 0;
    // The page-setup dialog, starting from and updating the given setup; false when cancelled.
    virtual bool pageSetup(PageSetup &setup) = 0;
    // The print dialog for a document of pageCount pages, whose page range it keeps within
    // them: a printer ready to draw on in the given setup, or none when cancelled. The printer
    // carries the chosen pages, copies and page order; the caller honours what the printer
    // leaves to the program.
    virtual std::unique_ptr<QPrinter> print(const PageSetup &setup, int pageCount) = 0;

    static Ui &instance();
    // Installs another service (tests); the previous one is returned to the caller.
    static std::unique_ptr<Ui> install(std::unique_ptr<Ui> ui);

protected:
    // Shows the message box now.
    virtual void showMessage(const QString &text, Icon icon) = 0;
};

// While one of these lives, message boxes wait; when the last one ends, the waiting boxes are
// shown in the order they were raised. An owning Transaction holds one from its begin to its
// commit or rollback. No confirmation or file dialog is asked while a hold lives.
class MessageHold
{
public:
    MessageHold();
    ~MessageHold();
    MessageHold(const MessageHold &) = delete;
    MessageHold &operator=(const MessageHold &) = delete;
};

// The Qt dialogs.
class QtUi : public Ui
{
public:
    bool confirm(const QString &text, const QString &actionCaption, const QString &cancelCaption,
                 Icon icon) override;
    std::optional<QString> openFile(const QString &title) override;
    std::optional<QString> saveFile(const QString &title) override;
    bool pageSetup(PageSetup &setup) override;
    std::unique_ptr<QPrinter> print(const PageSetup &setup, int pageCount) override;

protected:
    void showMessage(const QString &text, Icon icon) override;
};
