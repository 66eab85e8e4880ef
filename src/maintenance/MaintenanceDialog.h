#pragma once
// What the two maintenance dialogs share: a fixed-size modal dialog without a close box that
// only its own close button ends (Escape and the window manager's close do nothing), no
// default button (Enter in a field presses nothing), and small builders for its controls.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class MaintenanceDialog : public QDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; returns once its close button has hidden it.
    void runModal();

protected:
    MaintenanceDialog(const QString &objectName, const QString &title, const QSize &size, QWidget *parent);

    void reject() override;
    // The desktop's font changed while the dialog is open: what fitting did is taken back and
    // the dialog fits its controls again under the new font.
    void changeEvent(QEvent *event) override;
    // Fits every control's text inside it under the font it has now, after every font change
    // (and, where a dialog places controls by their texts, when it is made): fitTexts.
    virtual void fitControls();
    // Run at the end of construction: no button may be the default one.
    void makeNoButtonDefault();

    static QPushButton *addButton(QWidget *parent, const char *name, const QString &caption,
                                  const QRect &rect);
    static QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect);
    static QLineEdit *addTextField(QWidget *parent, const char *name, const QRect &rect);
    static QGroupBox *addGroupBox(QWidget *parent, const char *name, const QString &caption,
                                  const QRect &rect);
    // Hidden and disabled, or shown and enabled, as the panels switch.
    static void setOpen(QWidget *panel, bool open);
};
