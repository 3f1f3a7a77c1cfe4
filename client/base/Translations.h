#pragma once
// The program's texts in the user's language: Brevant's own translation and Qt's (standard
// buttons, file dialogs), chosen by the locale.
#include <QLocale>
#include <QString>

namespace brevant::base {

// Installs on the running application the translations for `locale`: "brevant_<language>.qm"
// from the embedded ":/i18n", else from the data folder's "translations", and Qt's "qtbase"
// from Qt's translations folder. A language without a file keeps the English texts. Returns
// the number of translators installed; call once, after the application object exists.
int InstallTranslations(const QLocale& locale = QLocale());

} // namespace brevant::base
