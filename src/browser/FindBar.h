// The find bar over the list: what the user types filters the rows; Escape
// (or Close) hides it and shows every row again.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TFindBar;
}
class QTimer;

class TFindBar : public QWidget {
    Q_OBJECT
public:
    explicit TFindBar(QWidget* parent = nullptr);
    ~TFindBar() override;

    // Shows the bar with its text selected, ready for typing.
    void Open();
    // Hides the bar; the text is cleared, so every row shows again.
    void Close();
    QString Text() const;
    // Says how many of how many creatures the filter shows.
    void SetCount(int shown, int total);

signals:
    // The text to filter by, a moment after the user stopped typing.
    void TextChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TFindBar> ui;
    QTimer* settle_ = nullptr;
};
