// memory_usage_panel.cpp: painting the panel plan's rows and turning clicks into regions.
#include "shell/memory_usage_panel.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tessaly {

namespace {

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

QColor statusColour(RegionStatus status)
{
    switch (status) {
    case RegionStatus::Fail:
        return toQColor(kRgbRed);
    case RegionStatus::Warn:
        return toQColor(kRgbRegionWarn);
    case RegionStatus::Ok:
        break;
    }
    return toQColor(kRgbBlack);
}

} // namespace

MemoryUsagePanel::MemoryUsagePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("memoryUsagePanel"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void MemoryUsagePanel::setUsage(const MapModel& model, const MemoryUsage& usage)
{
    m_model = &model;
    m_usage = &usage;
    m_plan.reset();
    // Wide enough for every text: the dock scrolls rather than cut the figures off.
    int textWidth = 0;
    for (const RegionPanelRow& row : BuildRegionPanelPlan(model, usage, 1).rows)
        for (const std::string* text : { &row.title, &row.figures })
            textWidth = std::max(textWidth, fontMetrics().horizontalAdvance(QString::fromStdString(*text)));
    setMinimumSize(textWidth + 2 * layout().margin, layout().rowHeight() * static_cast<int>(usage.regions.size()));
    updateGeometry();
    update();
}

RegionPanelLayout MemoryUsagePanel::layout() const
{
    RegionPanelLayout layout;
    layout.lineHeight = std::max(fontMetrics().height(), 1);
    return layout;
}

const RegionPanelPlan& MemoryUsagePanel::plan()
{
    if (!m_plan) {
        m_plan = m_model && m_usage ? BuildRegionPanelPlan(*m_model, *m_usage, layout().barWidth(width()))
                                    : RegionPanelPlan {};
    }
    return *m_plan;
}

QSize MemoryUsagePanel::sizeHint() const
{
    const int rows = m_usage ? static_cast<int>(m_usage->regions.size()) : 0;
    return QSize(
        std::max(minimumWidth(), fontMetrics().averageCharWidth() * 40), layout().rowHeight() * std::max(rows, 1));
}

void MemoryUsagePanel::resizeEvent(QResizeEvent* event)
{
    m_plan.reset();
    QWidget::resizeEvent(event);
}

void MemoryUsagePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const RegionPanelLayout l = layout();
    const RegionPanelPlan& rows = plan();
    const int barWidth = l.barWidth(width());
    const int ascent = fontMetrics().ascent();
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        const RegionPanelRow& row = rows.rows[i];
        const QColor status = statusColour(row.status);
        const int top = l.rowTop(i);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(l.margin, top + ascent, QString::fromStdString(row.title));
        painter.setPen(row.status == RegionStatus::Ok ? palette().color(QPalette::Text) : status);
        painter.drawText(l.margin, l.figuresTop(i) + ascent, QString::fromStdString(row.figures));

        const QRect bar(l.barLeft(), l.barTop(i), barWidth, l.barBottom(i) - l.barTop(i));
        painter.fillRect(bar, toQColor(kRgbRegionFree));
        for (const RegionBarRun& run : row.runs)
            painter.fillRect(
                QRect(bar.left() + run.left, bar.top(), run.right - run.left, bar.height()), toQColor(run.colour));
        // Over budget shows in the outline as well as in the figures, so it is seen at a glance.
        // The outline lies just outside the bar, one pixel wide, two when over budget.
        painter.setPen(QPen(status, 1));
        painter.setBrush(Qt::NoBrush);
        const int border = row.status == RegionStatus::Ok ? 1 : 2;
        for (int ring = 1; ring <= border; ++ring)
            painter.drawRect(bar.adjusted(-ring, -ring, ring - 1, ring - 1));
    }
}

void MemoryUsagePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_usage) {
        if (const std::optional<std::size_t> row
            = layout().rowAt(event->position().toPoint().y(), m_usage->regions.size()))
            emit regionClicked(*row);
    }
    QWidget::mousePressEvent(event);
}

} // namespace tessaly
