#include "base/Translations.h"

#include "base/ProgramFolders.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace brevant::base {

namespace {

// A translator owned by the application, so that it lives as long as the texts it serves.
bool install(const QLocale& locale, const QString& name, const QStringList& folders) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : folders) {
        // Only a file for one of the locale's languages counts, never the bare "name.qm".
        if (translator->load(locale, name, QStringLiteral("_"), folder) &&
            !translator->language().isEmpty()) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

} // namespace

int InstallTranslations(const QLocale& locale) {
    int installed = 0;
    if (install(locale, QStringLiteral("brevant"),
                {QStringLiteral(":/i18n"), DataFile(QStringLiteral("translations"))}))
        ++installed;
    if (install(locale, QStringLiteral("qtbase"),
                {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}))
        ++installed;
    return installed;
}

} // namespace brevant::base
