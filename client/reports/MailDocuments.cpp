#include "reports/MailDocuments.h"

#include "base/Settings.h"
#include "base/SmtpSecurity.h"
#include "platform/db/DataPath.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <mailvane/mailvane.h>

namespace brevant::reports {

namespace {

void addTicked(QString& selection, const QList<DocumentRow>& rows, const char* kind,
               bool cachedOnly) {
    for (const DocumentRow& row : rows) {
        if (row.checked && (!cachedOnly || row.smallIcon == 2))
            selection += QLatin1String(kind) + row.tag + QLatin1Char('|');
    }
}

bool isFile(const QString& path) {
    return QFileInfo(path).isFile();
}

// Moves the bar with the control's byte count; a count beyond the maximum (the encoded
// message is larger than its files) holds the bar full.
class ProgressSink : public mailvane::IMailvaneEvents {
public:
    ProgressSink(const MailHooks& hooks, int maximum) : hooks_(hooks), maximum_(maximum) {}
    void Transfer(std::int32_t& bytes) override {
        if (hooks_.setProgress)
            hooks_.setProgress(std::clamp<std::int64_t>(bytes, 0, maximum_));
    }

private:
    const MailHooks& hooks_;
    int maximum_;
};

std::string bytes(const QString& s) {
    return s.toStdString();
}

// The account, connection security and time-out of Preferences. The control takes the login
// only through the "*U"/"*P" forms of WinsockPath; empty values clear a login given before.
// Without a time-out a server that accepts the connection and never answers would hold the
// window until the user closes it.
void applySmtpAccount(mailvane::Mailvane& control) {
    control.put_WinsockPath(
        bytes(QStringLiteral("*USER: ") + ReadSetting(QStringLiteral("SMTPUSER"))));
    control.put_WinsockPath(
        bytes(QStringLiteral("*PASSWORD: ") + ReadSetting(QStringLiteral("SMTPPASS"))));
    control.put_Security(SmtpSecuritySetting());
    control.put_Timeout(static_cast<std::int16_t>(SmtpTimeoutSetting()));
}

} // namespace

QString BuildMailSelection(const QList<DocumentRow>& plans, const QList<DocumentRow>& specs,
                           const QList<DocumentRow>& addenda,
                           const QList<DocumentRow>& attachments) {
    QString selection;
    addTicked(selection, plans, "PLN", true);
    addTicked(selection, specs, "SPC", true);
    addTicked(selection, addenda, "ADD", true);
    addTicked(selection, attachments, "ATT", false);
    return selection;
}

QString NoFilesSelectedText() {
    return QCoreApplication::translate(
        "brevant::reports::MailDocuments",
        "No files were selected for processing - Please select DOWNLOADED file(s) and try "
        "again ...");
}

bool AddUnique(QStringList& list, const QString& path) {
    if (path.isEmpty() || list.contains(path, Qt::CaseSensitive))
        return false;
    list.append(path);
    return true;
}

QStringList FilesForMailSelection(const QString& selection, const QString& projectFolder) {
    QStringList files;
    const QString plans = db::resolveCaseInsensitive(projectFolder + QStringLiteral("/PLANS"));
    const QString specs = db::resolveCaseInsensitive(projectFolder + QStringLiteral("/SPECS"));
    for (const QString& entry : selection.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QString kind = entry.left(3).toUpper();
        const QString tag = entry.mid(3);
        if (kind == QLatin1String("PLN")) {
            const QString set = db::resolveCaseInsensitive(plans + QStringLiteral("/PLAN.SVD"));
            if (isFile(set))
                AddUnique(files, set);
            const QString page = db::resolveCaseInsensitive(plans + QLatin1Char('/') + tag);
            if (!tag.isEmpty() && isFile(page))
                AddUnique(files, page);
        } else if (kind == QLatin1String("SPC") || kind == QLatin1String("ADD")) {
            if (tag.isEmpty())
                continue;
            const QDir dir(specs);
            const QStringList names =
                dir.entryList({tag + QStringLiteral("*.svd"), tag + QStringLiteral("*.tif")},
                              QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QString& name : names)
                AddUnique(files, dir.filePath(name));
        } else if (kind == QLatin1String("ATT")) {
            if (isFile(tag))
                AddUnique(files, tag);
        }
    }
    return files;
}

MailResult SendDocuments(mailvane::Mailvane& control, const MailFields& fields,
                         const MailHooks& hooks) {
    auto hide = [&] {
        if (hooks.hideProgress)
            hooks.hideProgress();
    };
    if (fields.to.trimmed().isEmpty() || fields.from.trimmed().isEmpty()) {
        ui::message(
            QCoreApplication::translate("brevant::reports::MailDocuments",
                                        "You must specify a supply information for all required "
                                        "fields - 'TO' and 'FROM' are required fields ..."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::reports::MailDocuments", "System Message"));
        if (hooks.focusTo)
            hooks.focusTo();
        return MailResult::MissingFields;
    }
    if (hooks.showProgress)
        hooks.showProgress(0);
    const QString server = ReadSetting(QStringLiteral("SMTPSVR")).trimmed();
    // Any port of 1-65535; a signed 16-bit reading would lose every port above 32767.
    bool portOk = false;
    const int port =
        ReadSetting(QStringLiteral("SMTPPORT"), QStringLiteral("25")).toUShort(&portOk);
    if (server.isEmpty()) {
        hide();
        ui::message(
            QCoreApplication::translate("brevant::reports::MailDocuments",
                                        "CRITCAL ERROR - No SMTP server is set in Preferences "
                                        "(Options, Program Preferences, SMTP server) ..."),
            ui::Buttons::OkCancel, ui::Icon::Critical,
            QCoreApplication::translate("brevant::reports::MailDocuments", "System Error"));
        return MailResult::NoServer;
    }

    MailResult result = MailResult::Failed;
    try {
        control.SetHostPump(hooks.pump);
        control.put_WinsockLoaded(true);
        control.put_MailServer(bytes(server));
        control.put_MailPort(portOk && port > 0 ? port : 25);
        applySmtpAccount(control);
        control.put_SendTo(bytes(fields.to));
        control.put_From(bytes(fields.from));
        control.put_Subject(bytes(fields.subject));
        QString text = fields.message;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        control.put_MessageText(bytes(text));
        const auto count = static_cast<std::int16_t>(fields.files.size());
        control.put_AttachmentCount(count);
        if (hooks.showProgress)
            hooks.showProgress(count);
        qint64 total = 0;
        for (std::int16_t i = 1; i <= count; ++i) {
            const QString& file = fields.files[i - 1];
            control.put_Attachments(i, QFile::encodeName(file).toStdString());
            total += QFileInfo(file).size();
            if (hooks.setProgress)
                hooks.setProgress(i);
            if (hooks.pump)
                hooks.pump(0);
        }
        const int maximum = int(std::min<qint64>(total + 72, std::numeric_limits<int>::max()));
        if (hooks.showProgress)
            hooks.showProgress(maximum);
        ProgressSink sink(hooks, maximum);
        control.Advise(&sink);
        try {
            control.put_Action(mailvane::mailvaneSend);
        } catch (...) {
            control.Unadvise(&sink);
            throw;
        }
        control.Unadvise(&sink);
        if (control.get_Action() == mailvane::mailvaneIdle) {
            result = MailResult::Sent;
            ui::message(
                QCoreApplication::translate("brevant::reports::MailDocuments",
                                            "Email sent to server ..."),
                ui::Buttons::Ok, ui::Icon::Information,
                QCoreApplication::translate("brevant::reports::MailDocuments", "System Message"));
        } else {
            result = MailResult::Problem;
            ui::message(
                QCoreApplication::translate("brevant::reports::MailDocuments",
                                            "Problem sending Email to server ..."),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::reports::MailDocuments", "System Message"));
        }
        control.put_Action(mailvane::mailvaneIdle);
    } catch (const mailvane::ComError& e) {
        // The number as a form shows a control's error: the code below the facility.
        ui::message(QCoreApplication::translate("brevant::reports::MailDocuments",
                                                "Error processing request - %1 %2")
                        .arg(e.number() & 0xFFFF)
                        .arg(QString::fromStdString(e.description())),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::reports::MailDocuments", "System Error"));
        try {
            control.put_Action(mailvane::mailvaneIdle);
        } catch (const mailvane::ComError&) {
        }
        result = MailResult::Failed;
    }
    hide();
    if (hooks.pump)
        hooks.pump(0);
    return result;
}

} // namespace brevant::reports
