// The program in the user's language: its own translations (built into the
// program) and Qt's (the Yes and No of a message box, say), for as long as
// this object lives. English, the program's own language, needs only its
// plural forms.
#pragma once

#include <QLocale>
#include <QTranslator>

class Translations {
public:
    // Installs the translations for the locale, where there are any.
    explicit Translations(const QLocale& locale = QLocale::system());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether the program's own texts are translated.
    bool translated() const { return ownInstalled_; }

private:
    QTranslator own_;
    QTranslator english_;
    QTranslator qt_;
    bool ownInstalled_ = false;
    bool qtInstalled_ = false;
};
