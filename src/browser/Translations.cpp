#include "browser/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale& locale)
{
    // Built in as resources (":/i18n/lifeledger_de.qm"): found wherever the
    // program runs from, the build tree included.
    if (own_.load(locale, QStringLiteral("lifeledger"), QStringLiteral("_"), QStringLiteral(":/i18n"))
        && own_.language() != QLatin1String("en"))
        ownInstalled_ = QCoreApplication::installTranslator(&own_);
    // Any other language gets the program's own, English, with its plural
    // forms ("1 photo").
    if (!ownInstalled_ && english_.load(QStringLiteral(":/i18n/lifeledger_en.qm")))
        QCoreApplication::installTranslator(&english_);
    if (ownInstalled_ && qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtInstalled_ = QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations()
{
    if (!english_.isEmpty())
        QCoreApplication::removeTranslator(&english_);
    if (qtInstalled_)
        QCoreApplication::removeTranslator(&qt_);
    if (ownInstalled_)
        QCoreApplication::removeTranslator(&own_);
}
