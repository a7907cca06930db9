#include "browser/StatisticsWindow.h"
#include "ui_StatisticsWindow.h"

#include "browser/CommandGuard.h"
#include "browser/CreatureListModel.h"
#include "browser/FindFilterModel.h"
#include "browser/HistoryController.h"
#include "browser/SaveFileDialog.h"
#include "history/Lineage.h"
#include "history/TimeStamps.h"
#include "platform/TextCodec.h"

#include <QAbstractTableModel>
#include <QBuffer>
#include <QHeaderView>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
#include <QSvgGenerator>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

namespace {

// The figures of a chart as rows of texts: what the table beside it shows.
class FigureTable : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void set(QStringList headers, std::vector<QStringList> rows)
    {
        beginResetModel();
        headers_ = std::move(headers);
        rows_ = std::move(rows);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(headers_.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        const QStringList& row = rows_[size_t(index.row())];
        return index.column() < row.size() ? row[index.column()] : QString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return section < headers_.size() ? headers_[section] : QString();
    }

private:
    QStringList headers_;
    std::vector<QStringList> rows_;
};

FigureTable* tableOf(QTableView* view)
{
    auto* table = dynamic_cast<FigureTable*>(view->model());
    if (!table) {
        table = new FigureTable(view);
        view->setModel(table);
        view->verticalHeader()->hide();
        view->horizontalHeader()->setStretchLastSection(true);
        view->setWordWrap(false);
    }
    return table;
}

void fill(QTableView* view, QStringList headers, std::vector<QStringList> rows)
{
    tableOf(view)->set(std::move(headers), std::move(rows));
    view->resizeColumnsToContents();
}

QString number(qint64 n)
{
    return QLocale().toString(n);
}

QString days(double d)
{
    return StatisticsWindow::tr("%1 days").arg(QLocale().toString(d, 'f', 1));
}

QString periodName(StatisticsPeriod period)
{
    switch (period) {
    case StatisticsPeriod::Hour: return StatisticsWindow::tr("hour");
    case StatisticsPeriod::Day: return StatisticsWindow::tr("day");
    case StatisticsPeriod::Week: return StatisticsWindow::tr("week");
    case StatisticsPeriod::Month: return StatisticsWindow::tr("month");
    case StatisticsPeriod::Quarter: return StatisticsWindow::tr("quarter");
    case StatisticsPeriod::Year: return StatisticsWindow::tr("year");
    case StatisticsPeriod::Decade: return StatisticsWindow::tr("decade");
    }
    return {};
}

// A period as a person names it, in the game's time (no time zone).
QString periodText(StatisticsPeriod period, std::int64_t start)
{
    const QDateTime at = QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
    const QLocale locale;
    switch (period) {
    case StatisticsPeriod::Hour: return locale.toString(at, QStringLiteral("d MMM yyyy, HH:00"));
    case StatisticsPeriod::Day: return locale.toString(at.date(), QStringLiteral("d MMM yyyy"));
    case StatisticsPeriod::Week: return StatisticsWindow::tr("week of %1").arg(locale.toString(at.date(), QStringLiteral("d MMM yyyy")));
    case StatisticsPeriod::Month: return locale.toString(at.date(), QStringLiteral("MMM yyyy"));
    case StatisticsPeriod::Quarter:
        return StatisticsWindow::tr("Q%1 %2").arg((at.date().month() - 1) / 3 + 1).arg(at.date().year());
    case StatisticsPeriod::Year: return QString::number(at.date().year());
    case StatisticsPeriod::Decade: return StatisticsWindow::tr("%1s").arg(at.date().year());
    }
    return {};
}

QChart* newChart(QChartView* view, const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    QChart* old = view->chart();
    view->setChart(chart);  // the view owns the chart now
    delete old;
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(title);
    return chart;
}

QValueAxis* countAxis(QChart* chart, QAbstractSeries* series, const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    axis->setMin(0);
    chart->addAxis(axis, Qt::AlignLeft);
    series->attachAxis(axis);
    axis->applyNiceNumbers();
    if (axis->max() < 1)
        axis->setMax(1);
    return axis;
}

// A chart of bars in the view, one series of the sets given.
QBarSeries* barChart(QChartView* view, const QString& title, const QList<QBarSet*>& sets, qreal barWidth)
{
    QChart* chart = newChart(view, title);
    auto* bars = new QBarSeries;
    bars->append(sets);
    bars->setBarWidth(barWidth);
    chart->addSeries(bars);
    return bars;
}

// An axis of bars or points 0 .. n - 1, labelled at about `wanted` of them
// (a label for each would not fit), slanted when they are long.
QCategoryAxis* sparseAxis(QChart* chart, QAbstractSeries* series, const QStringList& labels, int wanted, int angle,
                          const QString& title = {})
{
    auto* axis = new QCategoryAxis;
    const int n = int(labels.size());
    const int every = std::max(1, (n + wanted - 1) / wanted);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, n - 0.5);
    for (int i = 0; i < n; i += every)
        axis->append(labels[i], i);
    axis->setLabelsAngle(angle);
    axis->setTitleText(title);
    chart->addAxis(axis, Qt::AlignBottom);
    series->attachAxis(axis);
    return axis;
}

QCategoryAxis* periodAxis(QChart* chart, QAbstractSeries* series, const WorldStatistics& s)
{
    QStringList labels;
    for (const PeriodFigures& p : s.periods)
        labels << periodText(s.period, p.start);
    return sparseAxis(chart, series, labels, 12, -45);
}

QBarCategoryAxis* categoryAxis(QChart* chart, QAbstractSeries* series, const QStringList& labels, const QString& title)
{
    auto* axis = new QBarCategoryAxis;
    axis->append(labels);
    axis->setTitleText(title);
    chart->addAxis(axis, Qt::AlignBottom);
    series->attachAxis(axis);
    return axis;
}

// Generations grouped so that a chart holds at most this many bars.
constexpr int kMaxGenerationBars = 100;
// Species or gender codes a chart shows one by one, at most.
constexpr size_t kMaxCodeBars = 12;

}  // namespace

StatisticsWindow::StatisticsWindow(HistoryController* controller, FindFilterModel* filter, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::StatisticsWindow>()), controller_(controller), filter_(filter)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    for (int tab = 0; tab < ui->tabs->count(); ++tab)
        for (QTableView* table : ui->tabs->widget(tab)->findChildren<QTableView*>())
            table->setAccessibleName(tr("%1, as a table").arg(ui->tabs->tabText(tab).remove(QLatin1Char('&'))));
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->saveChartButton, &QPushButton::clicked, this, &StatisticsWindow::saveChartAs);
    connect(ui->tabs, &QTabWidget::currentChanged, this, &StatisticsWindow::updateButtons);
    // Shortcuts of their own: retranslating the window keeps them.
    new QShortcut(QKeySequence::Save, this, this, &StatisticsWindow::saveChartAs);
    new QShortcut(QKeySequence::Close, this, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    // Every change of the history or of the search is drawn once, after
    // the events that make it up.
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(0);
    connect(&refreshTimer_, &QTimer::timeout, this, &StatisticsWindow::refresh);
    auto schedule = [this] { scheduleRefresh(); };
    connect(controller_, &HistoryController::refilled, this, schedule);
    CreatureListModel* model = controller_->model();
    connect(model, &QAbstractItemModel::rowsRemoved, this, schedule);
    connect(model, &QAbstractItemModel::modelReset, this, schedule);
    connect(filter_, &QAbstractItemModel::modelReset, this, schedule);
    connect(filter_, &QAbstractItemModel::layoutChanged, this, schedule);
    connect(filter_, &QAbstractItemModel::rowsInserted, this, schedule);
    connect(filter_, &QAbstractItemModel::rowsRemoved, this, schedule);
    refresh();
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::scheduleRefresh()
{
    refreshTimer_.start();
}

void StatisticsWindow::refresh()
{
    refreshTimer_.stop();
    const int all = controller_->model()->count();
    std::vector<int> found;
    const bool searching = !filter_->text().isEmpty();
    if (searching) {
        found.reserve(size_t(filter_->rowCount()));
        for (int i = 0; i < filter_->rowCount(); ++i)
            found.push_back(filter_->mapToSource(filter_->index(i, 0)).row());
    }
    statistics_ = controller_->statistics(searching ? &found : nullptr);
    ui->scopeLabel->setText(searching ? tr("The %1 creatures found by \"%2\", of %3 in the history.")
                                            .arg(number(qint64(found.size())), filter_->text(), number(all))
                                      : tr("All %Ln creatures of the history.", nullptr, all));
    showSummary();
    showPeriods();
    showSpans();
    showCounts();
    showGenerations();
    updateButtons();
}

void StatisticsWindow::showSummary()
{
    const WorldStatistics& s = statistics_;
    std::vector<QStringList> rows = {{tr("Creatures"), number(s.creatures)},
                                     {tr("Alive"), number(s.alive)},
                                     {tr("Dead"), number(s.dead)},
                                     {tr("Exported"), number(s.exported)}};
    if (s.otherStates > 0)
        rows.push_back({tr("Other states"), number(s.otherStates)});
    const QString none = QStringLiteral("\u2013");
    rows.push_back({tr("Mean life span of the dead"), s.meanLifeDays ? days(*s.meanLifeDays) : none});
    rows.push_back({tr("Median life span of the dead"), s.medianLifeDays ? days(*s.medianLifeDays) : none});
    if (s.impossibleSpans > 0)
        rows.push_back({tr("Dead before they were born (left out of the life spans)"), number(s.impossibleSpans)});
    if (s.earliestStamp)
        rows.push_back({tr("Earliest time"), formatTimeStamp(*s.earliestStamp, localeDateTimeNames())});
    if (s.newestStamp)
        rows.push_back({tr("Newest time in the history"), formatTimeStamp(*s.newestStamp, localeDateTimeNames())});
    rows.push_back({tr("Generations"), number(qint64(s.generationSizes.size()))});
    fill(ui->summaryTable, {tr("Figure"), tr("Value")}, std::move(rows));
}

void StatisticsWindow::showPeriods()
{
    const WorldStatistics& s = statistics_;
    const QString period = periodName(s.period);
    std::vector<QStringList> alive, births;
    auto* living = new QLineSeries;
    auto* born = new QBarSet(tr("Births"));
    auto* died = new QBarSet(tr("Deaths"));
    for (size_t i = 0; i < s.periods.size(); ++i) {
        const PeriodFigures& p = s.periods[i];
        const QString when = periodText(s.period, p.start);
        alive.push_back({when, number(p.aliveAtEnd)});
        births.push_back({when, number(p.births), number(p.deaths)});
        living->append(double(i), p.aliveAtEnd);
        *born << p.births;
        *died << p.deaths;
    }
    fill(ui->populationTable, {tr("Period (%1)").arg(period), tr("Alive at its end")}, std::move(alive));
    fill(ui->birthsTable, {tr("Period (%1)").arg(period), tr("Births"), tr("Deaths")}, std::move(births));

    QChart* population = newChart(ui->populationChart, tr("Creatures alive at the end of each %1").arg(period));
    population->addSeries(living);
    periodAxis(population, living, s);
    countAxis(population, living, tr("Creatures"));

    QBarSeries* bars = barChart(ui->birthsChart, tr("Births and deaths per %1").arg(period), {born, died}, 0.9);
    QChart* events = bars->chart();
    events->legend()->show();
    events->legend()->setAlignment(Qt::AlignTop);
    periodAxis(events, bars, s);
    countAxis(events, bars, tr("Creatures"));
}

void StatisticsWindow::showSpans()
{
    const WorldStatistics& s = statistics_;
    std::vector<QStringList> rows;
    QStringList labels;
    auto* set = new QBarSet(tr("Dead"));
    for (size_t i = 0; i < s.spanBins.size(); ++i) {
        const qint64 from = qint64(i) * s.spanBinDays, to = from + s.spanBinDays;
        const QString range = s.spanBinDays == 1 ? number(from) : tr("%1 to %2").arg(number(from), number(to));
        labels << number(from);
        rows.push_back({range, number(s.spanBins[i])});
        *set << s.spanBins[i];
    }
    fill(ui->spansTable, {tr("Days lived"), tr("Dead creatures")}, std::move(rows));
    QBarSeries* bars = barChart(ui->spansChart, tr("Life spans of the dead"), {set}, 1.0);
    sparseAxis(bars->chart(), bars, labels, 7, 0, tr("Days lived (from)"));
    countAxis(bars->chart(), bars, tr("Dead creatures"));
}

void StatisticsWindow::showCounts()
{
    struct Kind {
        QChartView* view;
        QTableView* table;
        QString title, column;
        const std::vector<CodeCount>& counts;
        QString (*text)(std::int32_t);
    };
    const Kind kinds[] = {{ui->speciesChart, ui->speciesTable, tr("Creatures by species"), tr("Species"), statistics_.species, speciesText},
                          {ui->genderChart, ui->genderTable, tr("Creatures by gender"), tr("Gender"), statistics_.genders, genderText}};
    for (const Kind& kind : kinds) {
        std::vector<QStringList> rows;
        QStringList labels;
        auto* set = new QBarSet(kind.column);
        for (const CodeCount& c : kind.counts)
            rows.push_back({kind.text(c.code), number(c.count)});
        // Codes no game writes can be many: the chart shows the commonest
        // and the rest as one bar; the table lists them all.
        std::vector<CodeCount> shown = kind.counts;
        if (shown.size() > kMaxCodeBars) {
            std::stable_sort(shown.begin(), shown.end(), [](const CodeCount& a, const CodeCount& b) { return a.count > b.count; });
            int rest = 0;
            for (size_t i = kMaxCodeBars - 1; i < shown.size(); ++i)
                rest += shown[i].count;
            shown.resize(kMaxCodeBars - 1);
            std::sort(shown.begin(), shown.end(), [](const CodeCount& a, const CodeCount& b) { return a.code < b.code; });
            for (const CodeCount& c : shown)
                labels << kind.text(c.code), *set << c.count;
            labels << tr("Other codes");
            *set << rest;
        } else {
            for (const CodeCount& c : shown)
                labels << kind.text(c.code), *set << c.count;
        }
        fill(kind.table, {kind.column, tr("Creatures")}, std::move(rows));
        QBarSeries* bars = barChart(kind.view, kind.title, {set}, 0.5);
        categoryAxis(bars->chart(), bars, labels, kind.column);
        countAxis(bars->chart(), bars, tr("Creatures"));
    }
}

void StatisticsWindow::showGenerations()
{
    const WorldStatistics& s = statistics_;
    const int generations = int(s.generationSizes.size());
    const int group = std::max(1, (generations + kMaxGenerationBars - 1) / kMaxGenerationBars);
    std::vector<QStringList> rows;
    QStringList labels;
    auto* set = new QBarSet(tr("Creatures"));
    for (int first = 1; first <= generations; first += group) {
        const int last = std::min(generations, first + group - 1);
        int count = 0;
        for (int g = first; g <= last; ++g)
            count += s.generationSizes[size_t(g - 1)];
        const QString name = first == last ? number(first) : tr("%1 to %2").arg(number(first), number(last));
        labels << number(first);
        rows.push_back({name, number(count)});
        *set << count;
    }
    fill(ui->generationsTable, {tr("Generation"), tr("Creatures")}, std::move(rows));
    QBarSeries* bars = barChart(ui->generationsChart, tr("Creatures per generation"), {set}, 0.9);
    sparseAxis(bars->chart(), bars, labels, 7, 0, group == 1 ? tr("Generation") : tr("Generation (from)"));
    countAxis(bars->chart(), bars, tr("Creatures"));

    // The longest line, from its first ancestor down.
    std::vector<QStringList> line;
    line.reserve(s.longestLine.size());
    CreatureListModel* model = controller_->model();
    for (size_t i = 0; i < s.longestLine.size(); ++i) {
        const CreatureListModel::RowTexts texts = model->rowTexts(s.longestLine[i]);
        line.push_back({number(qint64(i) + 1), texts[CreatureListModel::NameColumn], texts[CreatureListModel::MonikerColumn],
                        texts[CreatureListModel::LifeColumn]});
    }
    fill(ui->lineTable, {tr("Generation"), tr("Name"), tr("Moniker"), tr("Life")}, std::move(line));
}

QChartView* StatisticsWindow::currentChart() const
{
    return ui->tabs->currentWidget() ? ui->tabs->currentWidget()->findChild<QChartView*>() : nullptr;
}

void StatisticsWindow::updateButtons()
{
    ui->saveChartButton->setEnabled(currentChart() != nullptr);
}

void StatisticsWindow::saveChart(const QString& path) const
{
    QChartView* view = currentChart();
    if (!view)
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(view->size());
        svg.setViewBox(QRect(QPoint(0, 0), view->size()));
        svg.setTitle(view->chart()->title());
        QPainter painter(&svg);
        view->render(&painter);
    } else {
        view->grab().toImage().save(&buffer, "PNG");
    }
    buffer.close();
    replaceFile(encodePath(path), bytes);
}

void StatisticsWindow::saveChartAs()
{
    if (!currentChart())
        return;
    runCommand(this, [this] {
        SaveFileDialog dialog(this, tr("PNG Pictures (*.png);;SVG Pictures (*.svg)"), QStringLiteral("png"));
        dialog.setWindowTitle(tr("Save Chart As"));
        dialog.selectFile(ui->tabs->tabText(ui->tabs->currentIndex()).remove(QLatin1Char('&')) + QStringLiteral(".png"));
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(filter.contains(QStringLiteral("*.svg")) ? QStringLiteral("svg") : QStringLiteral("png"));
        });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        saveChart(dialog.selectedFiles().first());
    });
}
