#include "ViewedDocument.h"

#include <QDir>
#include <QFileInfo>

namespace brevant::viewer {

ViewedDocument IdentifyDocument(const QString& path, int jobId) {
    ViewedDocument d;
    d.path = path;
    const QFileInfo file(path);
    const QString folder = file.absoluteDir().dirName().toUpper(); // PLANS or SPECS
    QDir project = file.absoluteDir();
    const bool inProjectFolder =
        (folder == QLatin1String("PLANS") || folder == QLatin1String("SPECS")) && project.cdUp();
    bool numbered = false;
    const int placeJob = inProjectFolder ? project.dirName().toInt(&numbered) : 0;
    const bool inCache = inProjectFolder && numbered && placeJob > 0;
    d.jobId = jobId > 0 ? jobId : inCache ? placeJob : 0;
    d.document = inCache || (jobId > 0 && inProjectFolder)
                     ? folder + QLatin1Char('/') + file.fileName().toUpper()
                     : file.fileName().toUpper();
    return d;
}

} // namespace brevant::viewer
