#include "ViewerCommandLine.h"

#include "base/ProgramCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace brevant::viewer {

QString ViewerVersionLine() {
    return QStringLiteral("Brevant Document Viewer %1.%2.%3")
        .arg(BREVANT_VERSION_MAJOR)
        .arg(BREVANT_VERSION_MINOR)
        .arg(BREVANT_VERSION_PATCH);
}

std::optional<int> HandleViewerCommandLine(const QStringList& arguments, QTextStream& out,
                                           QTextStream& err, ViewerOptions* options) {
    QCommandLineParser parser;
    base::setUpProgramParser(
        parser, QStringLiteral("Show a Brevant project document (a plan set, specification "
                               "section or addendum; \".SVD\" files are PDF documents)."));
    const QCommandLineOption job(
        QStringLiteral("job"),
        QStringLiteral("The project the document belongs to (its Job_ID), when it does not lie "
                       "in the project's document folder."),
        QStringLiteral("N"));
    parser.addOption(job);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The document to show."),
                                 QStringLiteral("[file]"));
    parser.addPositionalArgument(QStringLiteral("page"),
                                 QStringLiteral("The page to show first, counted from 1."),
                                 QStringLiteral("[page]"));

    const QString program =
        arguments.isEmpty() ? QStringLiteral("brevant-viewer") : arguments.first();
    if (!parser.parse(arguments))
        return base::refuseCommandLine(program, parser.errorText(), err);
    if (const std::optional<int> code = base::answerHelpOrVersion(parser, ViewerVersionLine(), out))
        return code;
    if (parser.positionalArguments().size() > 2)
        return base::refuseCommandLine(
            program,
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().at(2)),
            err);
    ViewerOptions parsed;
    if (parser.isSet(job)) {
        bool ok = false;
        parsed.jobId = parser.value(job).trimmed().toInt(&ok);
        if (!ok || parsed.jobId <= 0)
            return base::refuseCommandLine(
                program,
                QStringLiteral("--job needs a project number, not '%1'.").arg(parser.value(job)),
                err);
    }
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty())
        parsed.file = positional.at(0);
    if (positional.size() > 1)
        parsed.page = std::max(0, positional.at(1).trimmed().toInt());
    if (options)
        *options = parsed;
    return std::nullopt;
}

std::optional<int> HandleViewerCommandLine(int& argc, char** argv) {
    if (argc <= 1)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brevant-viewer"));
    QCoreApplication::setApplicationVersion(ViewerVersionLine());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return HandleViewerCommandLine(QCoreApplication::arguments(), out, err);
}

} // namespace brevant::viewer
