// A world's history at a glance: charts of its population, births and
// deaths, life spans, kinds and generations, each with a table of the same
// figures beside it (what a screen reader reads). It follows the history
// controller (an edit, a deletion, F5) and the find bar: with a search, the
// creatures found are counted.
#pragma once

#include "history/WorldStatistics.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class StatisticsWindow;
}
class FindFilterModel;
class HistoryController;
class QChartView;
class QTableView;

class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    StatisticsWindow(HistoryController* controller, FindFilterModel* filter, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // The figures shown now.
    const WorldStatistics& statistics() const { return statistics_; }
    // The chart of the tab shown, or null on a tab of figures alone.
    QChartView* currentChart() const;

    // Writes the chart shown as a PNG or SVG picture (by the name's ending)
    // through the program's writer. Throws FileCreateError.
    void saveChart(const QString& path) const;

public slots:
    // Reads the figures again and redraws (done by itself on every change).
    void refresh();
    void saveChartAs();

private:
    void scheduleRefresh();
    void showSummary();
    void showPeriods();
    void showSpans();
    void showCounts();
    void showGenerations();
    void updateButtons();

    std::unique_ptr<Ui::StatisticsWindow> ui;
    HistoryController* controller_;
    FindFilterModel* filter_;
    WorldStatistics statistics_;
    QTimer refreshTimer_;
};
