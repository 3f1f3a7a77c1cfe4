// Brevant Desktop: starts the application with the real dialogs and hands over to Main().
#include "platform/ui/QtUi.h"
#include "shell/CheckUpdatesOption.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCoreApplication>

namespace {

// The options that work without a window; nothing when the window is to start.
std::optional<int> windowlessCommand(int& argc, char** argv) {
    bool wanted = false;
    for (int i = 1; i < argc; ++i)
        wanted = wanted || qstrcmp(argv[i], "--check-updates") == 0;
    if (!wanted)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brevant"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions(brevant::shell::CheckUpdatesOptions());
    QTextStream out(stdout), err(stderr), in(stdin);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    return brevant::shell::RunCheckUpdatesOption(parser, out, err, in);
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = windowlessCommand(argc, argv))
        return *code;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevant Desktop"));
    QApplication::setDesktopFileName(QStringLiteral("brevant"));
    brevant::ui::ScopedQtUi dialogs;
    return brevant::shell::Main();
}
