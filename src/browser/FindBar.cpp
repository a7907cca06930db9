#include "browser/FindBar.h"

#include "ui_FindBar.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QTimer>

TFindBar::TFindBar(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TFindBar>())
{
    ui->setupUi(this);
    // A list of 100,000 creatures is filtered once the typing pauses, not at
    // every key.
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(150);
    connect(ui->FindText, &QLineEdit::textChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, [this] { emit TextChanged(ui->FindText->text()); });
    connect(ui->FindClose, &QToolButton::clicked, this, &TFindBar::Close);
    ui->FindText->installEventFilter(this);
    // Qt's own clear button in the box has no name for a screen reader.
    for (QToolButton* clear : ui->FindText->findChildren<QToolButton*>())
        clear->setAccessibleName(tr("Clear the text"));
    hide();
}

TFindBar::~TFindBar() = default;

void TFindBar::Open()
{
    show();
    ui->FindText->setFocus(Qt::ShortcutFocusReason);
    ui->FindText->selectAll();
}

void TFindBar::Close()
{
    settle_->stop();
    ui->FindText->clear();
    settle_->stop();
    emit TextChanged(QString());
    hide();
}

QString TFindBar::Text() const
{
    return ui->FindText->text();
}

void TFindBar::SetCount(int shown, int total)
{
    ui->FindCount->setText(Text().isEmpty() ? QString() : tr("%1 of %2").arg(shown).arg(total));
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->FindText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            settle_->stop();
            emit TextChanged(ui->FindText->text());  // at once
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
