#include "store/AttachmentCommands.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "store/AttachmentCache.h"
#include "store/Attachments.h"
#include "store/LostUnit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <harlix/ComError.h>
#include <harlix/miscStuff.h>

namespace brevant::store {

namespace {

using ui::Answer;
using ui::Buttons;
using ui::Icon;

class HourglassScope {
public:
    explicit HourglassScope(const std::function<void(bool)>& h) : h_(h) {
        if (h_)
            h_(true);
    }
    ~HourglassScope() {
        if (h_)
            h_(false);
    }
    HourglassScope(const HourglassScope&) = delete;
    HourglassScope& operator=(const HourglassScope&) = delete;

private:
    const std::function<void(bool)>& h_;
};

// Steps from the confirmation on, for one file; notFound is the text of the "File not found"
// message, which reads differently for dropped files.
void attachOne(const AttachmentContext& c, const QString& path, const QString& notFound) {
    if (ui::message("Are you sure you want to attach " + path + "?", Buttons::YesNo, Icon::Question,
                    QCoreApplication::translate("brevant::store::AttachmentCommands",
                                                "System Prompt")) != Answer::Yes)
        return;
    const QString description = c.askDescription ? c.askDescription() : QString();
    if (description == kDialogCancelled)
        return;
    if (!c.connection || !c.jobId)
        return;
    AttachResult result;
    {
        HourglassScope busy(c.hourglass);
        result = AttachFile(*c.connection, c.cacheLocation, *c.jobId, path, description);
    }
    switch (result.outcome) {
    case AttachOutcome::NotFound:
        ui::message(
            notFound, Buttons::Ok, Icon::Information,
            QCoreApplication::translate("brevant::store::AttachmentCommands", "System Message"));
        return;
    case AttachOutcome::Failed:
        ui::message(
            "Error adding attachment: " + result.error, Buttons::Ok, Icon::Exclamation,
            QCoreApplication::translate("brevant::store::AttachmentCommands", "System Error"));
        break;
    case AttachOutcome::Added:
        break;
    }
    if (c.reload)
        c.reload(*c.jobId);
}

} // namespace

void AttachDocument(const AttachmentContext& c) {
    if (!c.jobId) {
        ui::message(
            "No project is currently selected -- You must selected a project before "
            "attaching a file ...",
            Buttons::Ok, Icon::Exclamation,
            QCoreApplication::translate("brevant::store::AttachmentCommands", "System Message"));
        return;
    }
    const QString path = ui::current().openFile(QString(), QString(), QString());
    if (path.isEmpty())
        return;
    attachOne(c, path,
              QCoreApplication::translate("brevant::store::AttachmentCommands",
                                          "File not found -- Not attachment added ..."));
}

void AttachDroppedFiles(const AttachmentContext& c, const QStringList& paths) {
    for (const QString& path : paths)
        attachOne(c, path,
                  QCoreApplication::translate("brevant::store::AttachmentCommands",
                                              "File not found -- No attachment added ..."));
}

void RemoveSelectedDocument(const AttachmentContext& c, const QString& fileName) {
    if (fileName.isEmpty() || !c.jobId || !c.connection)
        return;
    if (ui::message("Are you sure you want to delete " + fileName + "?", Buttons::YesNo,
                    Icon::Question,
                    QCoreApplication::translate("brevant::store::AttachmentCommands",
                                                "System Prompt")) != Answer::Yes)
        return;
    try {
        RemoveAttachment(*c.connection, c.cacheLocation, *c.jobId, fileName);
    } catch (const db::DbError& e) {
        ui::message(
            storeFailureText(*c.connection, e, {*c.jobId}), Buttons::Ok, Icon::Exclamation,
            QCoreApplication::translate("brevant::store::AttachmentCommands", "System Error"));
    }
    if (c.reload)
        c.reload(*c.jobId);
}

void OpenDocument(const AttachmentContext& c, const QString& fileName, const QString& storedFolder,
                  const QString& content) {
    if (fileName.isEmpty() || !c.jobId)
        return;
    QString file;
    if (!content.isEmpty() && c.connection && db::storesAttachmentContent(*c.connection)) {
        try {
            HourglassScope busy(c.hourglass);
            file = EnsureCachedAttachment(*c.connection, c.cacheLocation, content, fileName);
        } catch (const db::DbError& e) {
            ui::message(
                e.description(), Buttons::Ok, Icon::Exclamation,
                QCoreApplication::translate("brevant::store::AttachmentCommands", "System Error"));
            return;
        }
    } else {
        file = OpenedAttachmentFile(c.cacheLocation, *c.jobId, fileName, storedFolder);
    }
    try {
        // Opened, never run, even where the file system marks every file executable.
        harlix::miscStuff().OpenDocument(0, file.toStdString(),
                                         QFileInfo(file).absolutePath().toStdString());
    } catch (const harlix::ComError& e) {
        ui::message(
            QString::number(e.number()) + " " + QString::fromStdString(e.description()),
            Buttons::Ok, Icon::Exclamation,
            QCoreApplication::translate("brevant::store::AttachmentCommands", "System Error"));
    }
}

} // namespace brevant::store
