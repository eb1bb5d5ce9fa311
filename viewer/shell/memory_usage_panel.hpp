// memory_usage_panel.hpp: the Memory usage panel: one bar per region with its figures, painted from the panel plan.
#pragma once

#include "region_panel_plan.hpp"

#include <QWidget>
#include <optional>

namespace tessaly {

class MemoryUsagePanel : public QWidget {
    Q_OBJECT

public:
    explicit MemoryUsagePanel(QWidget* parent = nullptr);

    // The usage to show; both must outlive the panel or the next call.
    void setUsage(const MapModel& model, const MemoryUsage& usage);

    RegionPanelLayout layout() const;
    // The plan of the last paint or the one a paint at the current width would use.
    const RegionPanelPlan& plan();

    QSize sizeHint() const override;

signals:
    // A click on the row of usage().regions[index].
    void regionClicked(std::size_t index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const MapModel* m_model = nullptr;
    const MemoryUsage* m_usage = nullptr;
    std::optional<RegionPanelPlan> m_plan; // dropped when the usage or the width changes
};

} // namespace tessaly
