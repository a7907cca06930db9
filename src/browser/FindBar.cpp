#include "browser/FindBar.h"

#include "browser/FindFilterModel.h"
#include "ui_FindBar.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QTimer>

FindBar::FindBar(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::FindBar>())
{
    ui->setupUi(this);
    // A list of 100,000 creatures is filtered once the typing pauses, not at
    // every key.
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(150);
    connect(ui->findEdit, &QLineEdit::textChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, [this] { emit textChanged(ui->findEdit->text()); });
    connect(ui->closeButton, &QToolButton::clicked, this, &FindBar::closeBar);
    ui->findEdit->installEventFilter(this);
    // Qt's own clear button in the box has no name for a screen reader.
    for (QToolButton* clear : ui->findEdit->findChildren<QToolButton*>())
        clear->setAccessibleName(tr("Clear the text"));
    hide();
}

FindBar::~FindBar() = default;

void FindBar::openBar()
{
    show();
    ui->findEdit->setFocus(Qt::ShortcutFocusReason);
    ui->findEdit->selectAll();
}

void FindBar::closeBar()
{
    settle_->stop();
    ui->findEdit->clear();
    settle_->stop();
    emit textChanged(QString());
    hide();
    emit closed();
}

void FindBar::letThrough(const QList<QKeySequence>& commandKeys)
{
    commandKeys_ = commandKeys;
}

QString FindBar::text() const
{
    return ui->findEdit->text();
}

void FindBar::setFilter(FindFilterModel* filter)
{
    filter_ = filter;
    connect(this, &FindBar::textChanged, filter, &FindFilterModel::setText);
    for (const QAbstractItemModel* model : {static_cast<QAbstractItemModel*>(filter), filter->sourceModel()}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &FindBar::showCount);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &FindBar::showCount);
        connect(model, &QAbstractItemModel::modelReset, this, &FindBar::showCount);
        connect(model, &QAbstractItemModel::layoutChanged, this, &FindBar::showCount);
    }
    connect(this, &FindBar::textChanged, this, &FindBar::showCount);
}

void FindBar::showCount()
{
    const bool finding = filter_ && !filter_->text().isEmpty();
    const QString count = finding ? tr("%1 of %2").arg(filter_->rowCount()).arg(filter_->sourceModel()->rowCount()) : QString();
    ui->findCountLabel->setText(count);
    // What a screen reader says of the box and of the count.
    const QString spoken = finding ? tr("%1 creatures found").arg(count) : QString();
    ui->findCountLabel->setAccessibleName(spoken);
    ui->findEdit->setAccessibleDescription(spoken);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->findEdit && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (commandKeys_.contains(QKeySequence(key->keyCombination())))
            return true;  // not taken by the box: the command's shortcut runs
    }
    if (watched == ui->findEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            closeBar();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            settle_->stop();
            emit textChanged(ui->findEdit->text());  // at once
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
