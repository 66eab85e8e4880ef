#pragma once
// The report window's canvas: it paints only by copying the preview page, never by drawing
// the report again, so scrolling stays cheap.

#include <QWidget>

#include <functional>

class ReportCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit ReportCanvas(QWidget *parent = nullptr);

    void setPaintHandler(std::function<void(QPainter &)> handler) { m_handler = std::move(handler); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<void(QPainter &)> m_handler;
};
