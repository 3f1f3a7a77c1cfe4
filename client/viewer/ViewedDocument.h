#pragma once
// Which project, document and page the viewer shows: what anything kept per sheet (marks,
// measurements) is keyed by. Documents lie in the cache as <cache>/<Job_ID>/PLANS/PLAN.SVD and
// <cache>/<Job_ID>/SPECS/<section>.svd; the project comes from --job when given, else from that
// place. A file elsewhere with --job is named as in the cache (PLAN.SVD the plan set, any other
// a section); without --job it belongs to no project.
#include <QString>

namespace brevant::viewer {

struct ViewedDocument {
    int jobId = 0;    // 0: no project
    QString document; // within the project's folder, upper case: "PLANS/PLAN.SVD",
                      // "SPECS/03300.SVD"; the file's name when it belongs to no project
    int page = -1;    // 0-based page shown; -1 when nothing is shown
    QString path;     // the file opened

    bool isPlanSet() const { return document == QLatin1String("PLANS/PLAN.SVD"); }
    bool operator==(const ViewedDocument&) const = default;
};

// The identity of the file at path; jobId (from --job) wins over the file's place when above 0.
ViewedDocument IdentifyDocument(const QString& path, int jobId = 0);

} // namespace brevant::viewer
