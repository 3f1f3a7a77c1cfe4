// brevant-viewer [--job N] FILE [PAGE]: shows a Brevant document (".SVD", a PDF). With
// BREVANT_SCREENSHOT set it saves a picture of its window there and quits (demo without a display).
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
    // Parsed again without Qt's own options, which QApplication has taken out.
    brevant::viewer::ViewerOptions options;
    QString ignored;
    QTextStream quiet(&ignored);
    brevant::viewer::HandleViewerCommandLine(QApplication::arguments(), quiet, quiet, &options);
    brevant::viewer::frmViewer window;
    window.show();
    if (!options.file.isEmpty() && !window.openDocument(options.file, options.jobId)) {
        std::fprintf(stderr, "brevant-viewer: %s\n", window.errorText().toLocal8Bit().constData());
        brevant::ui::message(window.errorText(), brevant::ui::Buttons::Ok,
                             brevant::ui::Icon::Critical,
                             QCoreApplication::translate("brevant::viewer::main", "System Error"));
        return 1;
    }
    // A page number may follow the file (1-based).
    if (options.page > 1)
        window.showPage(options.page - 1);
    const QString screenshot = qEnvironmentVariable("BREVANT_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, &window, [&window, screenshot] {
            const bool ok = window.grab().save(screenshot);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
