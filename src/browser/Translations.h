// The program in the user's language: its own translations (built into the
// program) and Qt's (the Yes and No of a message box, say), for as long as
// this object lives. English needs none: the program's texts are English.
#pragma once

#include <QLocale>
#include <QTranslator>

class TTranslations {
public:
    // Installs the translations for the locale, where there are any.
    explicit TTranslations(const QLocale& locale = QLocale::system());
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    // Whether the program's own texts are translated.
    bool Translated() const { return ownInstalled_; }

private:
    QTranslator own_;
    QTranslator qt_;
    bool ownInstalled_ = false;
    bool qtInstalled_ = false;
};
