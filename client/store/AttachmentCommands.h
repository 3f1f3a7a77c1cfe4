#pragma once
// The commands of the attachment list's pop-up menu and of files dropped on it, with their
// questions and messages (through platform/ui). The main window supplies what they need.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

// The dialog result that means the user cancelled a text-entry dialog.
inline const QString kDialogCancelled = QStringLiteral("~~CANCEL~~");

struct AttachmentContext {
    db::Connection* connection = nullptr;
    QString cacheLocation;
    std::optional<int> jobId; // the project of the selected row of the project list
    // Shows the description dialog modally and returns its result (kDialogCancelled).
    std::function<QString()> askDescription;
    // Refills the attachment list for the project.
    std::function<void(int jobId)> reload;
    // The hourglass while files are copied (true) and after (false); optional.
    std::function<void(bool)> hourglass;
};

// "Attach Document": pick a file, confirm, describe, copy and list it.
void AttachDocument(const AttachmentContext& context);
// Files dropped on the list, attached one after the other like "Attach Document" without the
// file dialog.
void AttachDroppedFiles(const AttachmentContext& context, const QStringList& paths);
// "Remove Selected Document": fileName is the selected row's, empty when none is selected.
void RemoveSelectedDocument(const AttachmentContext& context, const QString& fileName);
// "Open Document": opens the copy with the program registered for its type: the one in the
// folder stored with the row (storedFolder) while it is there, else the one under the current
// cache location, so attachments made before the cache moved still open. A row whose bytes a
// firm store keeps (content, their hash) opens this PC's cached copy, fetched when missing or
// not matching; a copy the store refuses is not opened and the reason is shown.
void OpenDocument(const AttachmentContext& context, const QString& fileName,
                  const QString& storedFolder = QString(), const QString& content = QString());

} // namespace brevant::store
