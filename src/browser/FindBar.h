// The find bar over the list: what the user types filters the rows; Escape
// (or Close) hides it and shows every row again.
#pragma once

#include <QWidget>
#include <QKeySequence>
#include <QList>
#include <memory>

namespace Ui {
class FindBar;
}
class FindFilterModel;
class QTimer;

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);
    ~FindBar() override;

    // Shows the bar with its text selected, ready for typing.
    void openBar();
    // Hides the bar; the text is cleared, so every row shows again.
    void closeBar();
    QString text() const;
    // The filter the bar drives. The count ("16 of 40") follows it and the
    // list it filters through every change, a refill or a deletion included.
    void setFilter(FindFilterModel* filter);
    // Keys that belong to the window's commands, not to the find box, even
    // where the box has a meaning of its own for them (Ctrl+E, Ctrl+V).
    void letThrough(const QList<QKeySequence>& commandKeys);

signals:
    // The text to filter by, a moment after the user stopped typing.
    void textChanged(const QString& text);
    // The bar was closed (every row shows again).
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCount();

    std::unique_ptr<Ui::FindBar> ui;
    QTimer* settle_ = nullptr;
    FindFilterModel* filter_ = nullptr;
    QList<QKeySequence> commandKeys_;
};
