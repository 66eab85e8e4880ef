#include "app/ProcessSetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <csignal>

void prepareProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool installQtTranslation(QCoreApplication &application, const QString &folder)
{
    // Owned by the application, so it lives as long as the texts it translates.
    auto *translator = new QTranslator(&application);
    translator->setObjectName(QStringLiteral("qtbaseTranslation"));
    if (!translator->load(QStringLiteral("qtbase_ja"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

bool installQtTranslation(QCoreApplication &application)
{
    return installQtTranslation(application, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
