#include "app/ProcessSetup.h"

#include <csignal>

void prepareProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
