// SPDX-License-Identifier: GPL-3.0-or-later
#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace {

const QString builtInFolder = QStringLiteral(":/translations");

// Loads the file <name>_<language>.qm from the first folder that has it.
bool loadFromFirst(QTranslator &translator, const QLocale &language, const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (translator.load(language, name, QStringLiteral("_"), folder))
            return true;
    }
    return false;
}

} // namespace

Translations::Translations(const QString &programDirectory)
    : m_programFolders{builtInFolder, programDirectory + QStringLiteral("/translations")}
    , m_qtFolders{builtInFolder, QLibraryInfo::path(QLibraryInfo::TranslationsPath)}
{ }

QString Translations::install(const QStringList &uiLanguages)
{
    for (const QString &name : uiLanguages) {
        const QLocale language(name);
        // English wants the texts as written: a language the user prefers
        // less must not win over it.
        if (language.language() == QLocale::English)
            return QString();
        if (loadFromFirst(m_program, language, QStringLiteral("nexolan"), m_programFolders)) {
            QCoreApplication::installTranslator(&m_program);
            // Without Qt's own, its buttons stay English: a lesser harm
            // than no translation at all.
            if (loadFromFirst(m_qt, language, QStringLiteral("qtbase"), m_qtFolders))
                QCoreApplication::installTranslator(&m_qt);
            return m_program.language();
        }
    }
    return QString();
}
