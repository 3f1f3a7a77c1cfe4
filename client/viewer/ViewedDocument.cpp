#include "ViewedDocument.h"

#include <QFileInfo>

namespace brevant::viewer {

ViewedDocument IdentifyDocument(const QString& path, int jobId) {
    ViewedDocument d;
    d.path = path;
    const QFileInfo file(path);
    // Names only: the folders need not exist for the file to be named by its place.
    const QString folderPath = file.absolutePath();
    const QString folder = QFileInfo(folderPath).fileName().toUpper(); // PLANS or SPECS
    const QString projectName = QFileInfo(QFileInfo(folderPath).absolutePath()).fileName();
    const bool inProjectFolder =
        folder == QLatin1String("PLANS") || folder == QLatin1String("SPECS");
    bool numbered = false;
    const int placeJob = inProjectFolder ? projectName.toInt(&numbered) : 0;
    const bool inCache = inProjectFolder && numbered && placeJob > 0;
    d.jobId = jobId > 0 ? jobId : inCache ? placeJob : 0;
    const QString name = file.fileName().toUpper();
    if (inCache || (jobId > 0 && inProjectFolder))
        d.document = folder + QLatin1Char('/') + name;
    else if (jobId > 0) // a project's document kept elsewhere: named as in the cache
        d.document = (name == QLatin1String("PLAN.SVD") ? QStringLiteral("PLANS/")
                                                        : QStringLiteral("SPECS/")) +
                     name;
    else
        d.document = name;
    return d;
}

} // namespace brevant::viewer
