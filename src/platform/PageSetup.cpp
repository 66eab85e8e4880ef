#include "platform/PageSetup.h"

#include <QPageSize>
#include <QPrinter>
#include <QStringList>

PageSetup::PageSetup()
    : m_layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
               QPageLayout::Millimeter)
{}

void PageSetup::setLandscape(bool landscape)
{
    m_layout.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QString PageSetup::setupString() const
{
    const QMarginsF m = m_layout.margins(QPageLayout::Millimeter);
    const QSizeF size = m_layout.pageSize().size(QPageSize::Millimeter);
    return QStringLiteral("size=%1x%2;orientation=%3;margins=%4,%5,%6,%7")
        .arg(size.width())
        .arg(size.height())
        .arg(landscape() ? 1 : 0)
        .arg(m.left())
        .arg(m.top())
        .arg(m.right())
        .arg(m.bottom());
}

PageSetup PageSetup::fromSetupString(const QString &text)
{
    PageSetup setup;
    QSizeF size(210, 297);
    QMarginsF margins(10, 10, 10, 10);
    bool isLandscape = false;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString value = part.section(QLatin1Char('='), 1);
        if (key == QLatin1String("size")) {
            const QStringList wh = value.split(QLatin1Char('x'));
            if (wh.size() == 2 && wh[0].toDouble() > 0 && wh[1].toDouble() > 0) {
                size = QSizeF(wh[0].toDouble(), wh[1].toDouble());
            }
        } else if (key == QLatin1String("orientation")) {
            isLandscape = value == QLatin1String("1");
        } else if (key == QLatin1String("margins")) {
            const QStringList m = value.split(QLatin1Char(','));
            if (m.size() == 4) {
                margins = QMarginsF(m[0].toDouble(), m[1].toDouble(), m[2].toDouble(), m[3].toDouble());
            }
        }
    }
    setup.m_layout = QPageLayout(QPageSize(size, QPageSize::Millimeter),
                                 isLandscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                                 QPageLayout::Millimeter);
    return setup;
}

void PageSetup::applyTo(QPrinter &printer) const
{
    printer.setPageLayout(m_layout);
}

PageSetup PageSetup::fromPrinter(const QPrinter &printer)
{
    PageSetup setup;
    setup.m_layout = printer.pageLayout();
    return setup;
}
