// brevant-viewer FILE: shows a Brevant document (".SVD", a PDF). With BREVANT_SCREENSHOT set it
// saves a picture of its window there and quits (demo without a display).
#include "ViewerCommandLine.h"
#include "base/Translations.h"
#include "frmViewer.h"
#include "platform/ui/QtUi.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    // --help, --version and mistakes end here, before a display is needed.
    if (const std::optional<int> code = brevant::viewer::HandleViewerCommandLine(argc, argv))
        return *code;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brevant-viewer"));
    brevant::base::InstallTranslations();
    brevant::ui::QtUi qtUi;
    brevant::ui::install(&qtUi);
    const QStringList args = QApplication::arguments();
    brevant::viewer::frmViewer window;
    window.show();
    if (args.size() > 1 && !window.openDocument(args.at(1))) {
        std::fprintf(stderr, "brevant-viewer: %s\n", window.errorText().toLocal8Bit().constData());
        brevant::ui::message(window.errorText(), brevant::ui::Buttons::Ok,
                             brevant::ui::Icon::Critical,
                             QCoreApplication::translate("brevant::viewer::main", "System Error"));
        return 1;
    }
    // A page number may follow the file (1-based).
    if (args.size() > 2 && args.at(2).toInt() > 1)
        window.showPage(args.at(2).toInt() - 1);
    const QString screenshot = qEnvironmentVariable("BREVANT_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &window, [&window, screenshot] {
            const bool ok = window.grab().save(screenshot);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
