#pragma once
// A surface that draws nothing and keeps what was asked of it, page by page: used to learn how
// many pages a report takes, and by tests to check a layout without comparing pixels.

#include "reports/ReportSurface.h"

#include <QList>

#include <optional>

class RecordingSurface : public ReportSurface
{
public:
    struct Operation
    {
        enum class Kind
        {
            Text,
            Line,
            Clear
        };
        Kind kind = Kind::Text;
        int page = 1;
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
        QString text;
        float size = 0;
        QString font;
        bool bold = false;
        bool underline = false;
        QColor color;
    };

    void setTextFont(const QString &name) override { change(m_font, name); }
    void setBold(bool bold) override { change(m_bold, bold); }
    void setUnderline(bool underline) override { change(m_underline, underline); }
    void setForeColor(const QColor &color) override { m_color = color; }
    void setTextSize(float size) override { change(m_size, size); }
    // As a painter surface measures the same font.
    QFontMetricsF metrics() const override;
    void drawText(int x, int y, const QString &text) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void clearRect(int x, int y, int width, int height) override;
    void nextPage() override { ++m_pageCount; }

    int pageCount() const { return m_pageCount; }
    const QList<Operation> &operations() const { return m_operations; }
    QList<Operation> texts() const { return ofKind(Operation::Kind::Text); }
    QList<Operation> lines() const { return ofKind(Operation::Kind::Line); }
    QList<Operation> ofKind(Operation::Kind kind) const;

private:
    Operation current(Operation::Kind kind) const;
    template <typename T> void change(T &setting, const T &value)
    {
        if (setting != value) {
            setting = value;
            m_metrics.reset();
        }
    }

    QList<Operation> m_operations;
    int m_pageCount = 1;
    QString m_font;
    bool m_bold = false;
    bool m_underline = false;
    QColor m_color;
    float m_size = 0;
    // The measures of the current font, kept until it changes.
    mutable std::optional<QFontMetricsF> m_metrics;
};
