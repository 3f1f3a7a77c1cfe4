#pragma once
// The selection string of a documents request:
//   selection = jobId "@" entry { ":" entry } | jobId | "NONE"
//   entry     = "PLN~" file | "SPC~" section | "ADD~" addendum
#include <QString>
#include <QStringList>
#include <optional>

namespace brevant::service {

// Each list names a document once, in the order first asked for.
struct DocumentSelection {
    int jobId = 0;
    QStringList plans;    // plan page file names
    QStringList sections; // section keys (also TOC entries)
    QStringList addenda;  // addendum keys
};

// nullopt for text that does not follow the grammar ("NONE" included: the caller refuses it
// before parsing).
std::optional<DocumentSelection> parseDocumentSelection(const QString& text);

} // namespace brevant::service
