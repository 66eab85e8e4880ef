#include "app/App.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/ProcessSetup.h"
#include "ledger/wndKakeibo.h"
#include "platform/DataFolder.h"

#include <QCommandLineParser>
#include <QGroupBox>

int main(int argc, char **argv)
{
    prepareProcess();
    App app(argc, argv);
    App::setApplicationName(QStringLiteral("Quorvela"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Household ledger"));
    parser.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Folder of the settings file and the default ledger."),
                                     QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.process(app);
    setDataFolder(parser.isSet(dataDir) ? parser.value(dataDir) : defaultDataFolder());

    MainMenuBar::instance();
    setMainWindowEnabler([] { wndKakeibo::instance()->grbKakeibo2()->setEnabled(true); });

    // The open handler runs before the main window is made: opening a ledger creates the
    // window once the lookup tables are loaded, and a window made earlier would stay empty.
    app.openHandler();
    wndKakeibo::instance();
    return app.exec();
}
