#include "app/MainWindowPort.h"

namespace {
std::function<void()> &enablerRef()
{
    static std::function<void()> enabler;
    return enabler;
}
} // namespace

void setMainWindowEnabler(std::function<void()> enabler)
{
    enablerRef() = std::move(enabler);
}

void enableMainWindowBookkeeping()
{
    if (enablerRef()) {
        enablerRef()();
    }
}
