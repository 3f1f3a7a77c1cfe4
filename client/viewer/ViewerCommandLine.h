#pragma once
// brevant-viewer's command line: [--job N] [FILE [PAGE]], --help and --version. It is read before
// the QApplication is made, so --help and --version work on a machine with no display.
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace brevant::viewer {

// "Brevant Document Viewer 1.0.0".
QString ViewerVersionLine();

// What the window is to show.
struct ViewerOptions {
    QString file;
    int page = 0;  // 1-based; 0: the first
    int jobId = 0; // --job: the project the file belongs to; 0: taken from the file's place
};

// Parses the arguments (the program's name first): --help and --version print to out and give
// 0; an unknown option, a --job that is not a project number or more than a file and a page
// prints why to err and gives 2. Nothing is returned when the window is to start, and options
// (when given) then holds what to show. Qt's window-system options are left to QApplication.
std::optional<int> HandleViewerCommandLine(const QStringList& arguments, QTextStream& out,
                                           QTextStream& err, ViewerOptions* options = nullptr);

// main()'s entry: with any argument, parses under a QCoreApplication that ends before the
// window's QApplication is made; stdout and stderr are the streams.
std::optional<int> HandleViewerCommandLine(int& argc, char** argv);

} // namespace brevant::viewer
