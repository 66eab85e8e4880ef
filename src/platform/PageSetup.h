#pragma once
// The remembered page setup: a page layout that can be kept as a setup string and restored.

#include <QPageLayout>
#include <QString>

class QPrinter;

class PageSetup
{
public:
    PageSetup();

    QString setupString() const;
    static PageSetup fromSetupString(const QString &text);

    QPageLayout layout() const { return m_layout; }
    void setLayout(const QPageLayout &layout) { m_layout = layout; }
    bool landscape() const { return m_layout.orientation() == QPageLayout::Landscape; }
    void setLandscape(bool landscape);

    void applyTo(QPrinter &printer) const;
    static PageSetup fromPrinter(const QPrinter &printer);

private:
    QPageLayout m_layout;
};
