#include "browser/PlainText.h"

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton, const QString& details)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString plainToolTip(const QString& text)
{
    // Escaped inside a paragraph that is rich text by its own tag, so what
    // the text holds is shown, never read. Nothing stays nothing: no empty
    // tip, and a screen reader that falls back to the tip hears no markup.
    if (text.isEmpty())
        return {};
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QStringLiteral("\r\n"), QStringLiteral("<br>")).replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + escaped + QStringLiteral("</p>");
}
