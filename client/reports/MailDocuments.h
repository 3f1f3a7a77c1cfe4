#pragma once
// E-mailing documents of the selected project that are in the document cache: the selection
// string the menu command builds from the ticked rows, the files it names, and the send
// through the mail control with its progress. The e-mail window only holds the controls.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace mailvane {
class Mailvane;
}

namespace brevant::reports {

// One row of a document or attachment list as the command reads it.
struct DocumentRow {
    QString tag;
    bool checked = false;
    int smallIcon = 1; // 1 not in the cache, 2 in the cache
};

// "PLN", "SPC" and "ADD" + tag + "|" for each ticked row of the plan, specification and
// addendum lists that is in the cache, then "ATT" + tag + "|" for each ticked attachment.
QString BuildMailSelection(const QList<DocumentRow>& plans, const QList<DocumentRow>& specs,
                           const QList<DocumentRow>& addenda,
                           const QList<DocumentRow>& attachments);

// The message shown when nothing qualifies.
QString NoFilesSelectedText();

// Appends path unless an entry equal to it (case-sensitive) is listed; true when added.
bool AddUnique(QStringList& list, const QString& path);

// The files a selection string names under the project's cache folder: for a plan the plan
// set document PLANS/PLAN.SVD and the page file, for a section or addendum every SPECS file
// matching tag*.svd or tag*.tif, for an attachment its own path; only files that exist, each
// once. Folder and file names are matched without regard to case.
QStringList FilesForMailSelection(const QString& selection, const QString& projectFolder);

// The e-mail window's fields.
struct MailFields {
    QString to;
    QString from;
    QString subject;
    QString message;
    QStringList files;
};

// What the window lends the send: its progress bar, the focus, and the event loop.
struct MailHooks {
    std::function<void(int maximum)> showProgress; // shown at 0 with this maximum
    std::function<void(int value)> setProgress;
    std::function<void()> hideProgress;
    std::function<void()> focusTo;
    std::function<bool(int waitMs)> pump; // false once the window is gone
};

enum class MailResult { MissingFields, NoServer, Sent, Problem, Failed };

// The send command: checks the fields and the SMTP settings (SMTPSVR, SMTPPORT), sets the
// control's properties and attachments, sends with the progress bar following the control's
// Transfer events, and tells the user the outcome.
MailResult SendDocuments(mailvane::Mailvane& control, const MailFields& fields,
                         const MailHooks& hooks);

} // namespace brevant::reports
