#pragma once
// The application object. Made, it installs Qt's Japanese translation for Qt's own dialogs.
// Its one handler runs when the application opens, before the main window exists: it resets
// the shared state and opens the last ledger.

#include <QApplication>

class App : public QApplication
{
    Q_OBJECT
public:
    App(int &argc, char **argv);

    void openHandler();
};
