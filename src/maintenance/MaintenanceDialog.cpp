#include "maintenance/MaintenanceDialog.h"

#include "platform/TextFit.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

MaintenanceDialog::MaintenanceDialog(const QString &objectName, const QString &title, const QSize &size,
                                     QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setFixedSize(size);
    setModal(true);
}

void MaintenanceDialog::runModal()
{
    exec();
}

void MaintenanceDialog::reject()
{
    // Only the close button ends the dialog.
}

void MaintenanceDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        unfitTexts(*this);
        fitControls();
    }
}

void MaintenanceDialog::fitControls()
{
    fitTexts(*this);
}

void MaintenanceDialog::makeNoButtonDefault()
{
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

QPushButton *MaintenanceDialog::addButton(QWidget *parent, const char *name, const QString &caption,
                                          const QRect &rect)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(rect);
    return button;
}

QLabel *MaintenanceDialog::addLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(rect);
    return label;
}

QLineEdit *MaintenanceDialog::addTextField(QWidget *parent, const char *name, const QRect &rect)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    // No length limit: QLineEdit's own default is 32767 characters.
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setGeometry(rect);
    return field;
}

QGroupBox *MaintenanceDialog::addGroupBox(QWidget *parent, const char *name, const QString &caption,
                                          const QRect &rect)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    group->setGeometry(rect);
    return group;
}

void MaintenanceDialog::setOpen(QWidget *panel, bool open)
{
    panel->setVisible(open);
    panel->setEnabled(open);
}
