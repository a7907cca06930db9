#include "browser/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale& locale)
{
    // Built in as resources (":/i18n/lifeledger_de.qm"): found wherever the
    // program runs from, the build tree included.
    if (own_.load(locale, QStringLiteral("lifeledger"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        ownInstalled_ = QCoreApplication::installTranslator(&own_);
    if (ownInstalled_ && qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtInstalled_ = QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations()
{
    if (qtInstalled_)
        QCoreApplication::removeTranslator(&qt_);
    if (ownInstalled_)
        QCoreApplication::removeTranslator(&own_);
}
