// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

// The program in the user's language: its own translation and Qt's (the
// standard buttons' texts), for the first of the user's UI languages that is
// English, the language of the program's own texts, or has a translation of
// the program. With neither, the English texts show.
class Translations
{
public:
    // The translations lie built into the program (the Windows build) or in
    // a folder "translations" beside it (installed, and in the build tree);
    // Qt's in Qt's own folder, where the program has none built in.
    explicit Translations(const QString &programDirectory);
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // Loads the translation for the first language of `uiLanguages` (as
    // QLocale::uiLanguages() gives them, most preferred first) that has one
    // and installs it in the application, which must exist. Returns the
    // language's name ("pt_BR"), or an empty text when English shows.
    QString install(const QStringList &uiLanguages);

private:
    QStringList m_programFolders;
    QStringList m_qtFolders;
    QTranslator m_program;
    QTranslator m_qt;
};
