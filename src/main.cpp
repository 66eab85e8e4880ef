#include "app/App.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/ProcessSetup.h"
#include "ledger/wndKakeibo.h"
#include "platform/DataFolder.h"

#include <QCommandLineParser>

#ifdef QUORVELA_BENCH_HOOK
#include <QEvent>
#include <QTimer>

#include <unistd.h>

#include <utility>

namespace {

// Benchmark builds only: with QUORVELA_BENCH_SHOWN_FD set, one byte goes to that descriptor
// once the main window's first paint is done, and the program ends.
class ShownReporter : public QObject
{
public:
    explicit ShownReporter(int fd) : m_fd(fd) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_fd >= 0) {
            const int fd = std::exchange(m_fd, -1);
            QTimer::singleShot(0, [fd] {
                (void)!::write(fd, "1", 1);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    int m_fd;
};

} // namespace
#endif

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
    setMainWindowEnabler(&wndKakeibo::enableBookkeeping);

    // The open handler runs before the main window is made: opening a ledger creates the
    // window once the lookup tables are loaded, and a window made earlier would stay empty.
    app.openHandler();
    wndKakeibo::instance();
#ifdef QUORVELA_BENCH_HOOK
    bool hooked = false;
    ShownReporter reporter(qEnvironmentVariableIntValue("QUORVELA_BENCH_SHOWN_FD", &hooked));
    if (hooked) {
        wndKakeibo::instance()->installEventFilter(&reporter);
    }
#endif
    return app.exec();
}
