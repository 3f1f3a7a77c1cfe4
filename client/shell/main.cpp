// Brevant Desktop: starts the application with the real dialogs and hands over to Main().
#include "base/Translations.h"
#include "platform/ui/QtUi.h"
#include "shell/CommandLine.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    // --help, --version and the window-less options end here, before a display is needed.
    if (const std::optional<int> code = brevant::shell::HandleCommandLine(argc, argv))
        return *code;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevant Desktop"));
    QApplication::setDesktopFileName(QStringLiteral("brevant"));
    brevant::base::InstallTranslations();
    brevant::ui::ScopedQtUi dialogs;
    return brevant::shell::Main();
}
