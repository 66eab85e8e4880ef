#include "ledger/wndKakeibo.h"

#include "app/MainMenuBar.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPointer>

namespace {
QPointer<wndKakeibo> &instanceRef()
{
    static QPointer<wndKakeibo> window;
    return window;
}
} // namespace

wndKakeibo *wndKakeibo::instance()
{
    if (!instanceRef()) {
        instanceRef() = new wndKakeibo;
        instanceRef()->show();
    }
    return instanceRef();
}

bool wndKakeibo::exists()
{
    return !instanceRef().isNull();
}

wndKakeibo::wndKakeibo()
{
    setObjectName(QStringLiteral("wndKakeibo"));
    setAttribute(Qt::WA_DeleteOnClose);
    MainMenuBar::instance().installInto(menuBar());
    m_grbKakeibo2 = new QGroupBox(this);
    m_grbKakeibo2->setObjectName(QStringLiteral("grbKakeibo2"));
    m_grbKakeibo2->setEnabled(false);
    setCentralWidget(m_grbKakeibo2);
}
