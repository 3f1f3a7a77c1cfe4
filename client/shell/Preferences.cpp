// The settings the Preferences dialog reads and writes, and the checks made before saving.
#include "shell/Preferences.h"

#include "base/ChosenStore.h"
#include "base/Settings.h"
#include "base/SmtpSecurity.h"
#include "platform/db/StoreLocator.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <exception>
#include <harlix/ComError.h>

namespace brevant::shell {

namespace {

const QString kProgram = QStringLiteral("<program>");
const QString kProgramWork = QStringLiteral("<program>/Work");

} // namespace

const std::vector<SettingInfo>& settingsTable() {
    static const std::vector<SettingInfo> table = {
        {"CACHELOC", kProgram, "Root folder of the document cache"},
        {"DATALOC", kProgramWork, "Folder of Desktop.mdb"},
        {"FIRSTDOWN", "0", "Read at start-up; nothing depends on it"},
        {"PROXY", "0", "1: documents and server connections go through the proxy settings"},
        {"PROXYURL", "", "HTTP proxy server for document downloads"},
        {"PROXYPORT", "80", "HTTP proxy port"},
        {"PROXYSOCKS", "", "SOCKS 5 server for the connections to the service"},
        {"PROXYSOCKSPORT", "1080", "SOCKS 5 port"},
        {"PROXYSOCKSUSER", "", "SOCKS 5 user name"},
        {"PROXYSOCKSPASS", "", "SOCKS 5 password"},
        {"SMTPSvr", "", "SMTP server for e-mailing documents"},
        {"SMTPUser", "", "SMTP account name"},
        {"SMTPPass", "", "SMTP account password"},
        {"SMTPFrom", "", "Default sender address"},
        {"SMTPPort", "25", "SMTP port"},
        {"SMTPSecurity", "0",
         "SMTP connection: 0 plain, 1 STARTTLS required, 2 STARTTLS when offered, 3 TLS; "
         "with an account name, 0 counts only when SMTPPlainLogin is 1"},
        {"SMTPPlainLogin", "0", "1: the user chose to send the SMTP login unencrypted"},
        {"SMTPTimeout", "60", "Seconds an SMTP operation may take before the send is given up"},
        {"MESSAGE", "1", "1: show the update reminder at start-up"},
        {"MESSAGEDAYS", "2", "Days after the last update at which the reminder is shown"},
        {"LASTUPDATE", "01/01/1970", "Day of the last project update, mm/dd/yyyy"},
        {"ATTACHLIST", "3", "View mode of the attachment list"},
        {"SERVERADDR", "127.0.0.1", "Address of the service's server"},
        {"SERVERPORT", "555", "Port of the service's server"},
        {"SERVERTIMEOUT", "120", "Seconds without an answer before a server request is given up"},
        {"SUPPORTEMAIL", "support@velmora.com",
         "Support address named when documents are no longer available"},
        {"STORE", "",
         "Locator of the project store (a PostgreSQL connection); empty: Desktop.mdb in DATALOC"},
    };
    return table;
}

QString settingDefault(const QString& key, const QString& programFolder) {
    for (const auto& s : settingsTable()) {
        if (s.key.compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (s.defaultValue == kProgram) {
            return programFolder;
        }
        if (s.defaultValue == kProgramWork) {
            return programFolder + QStringLiteral("/Work");
        }
        return s.defaultValue;
    }
    return {};
}

PreferenceValues loadPreferences(const QString& programFolder, bool proxyOn) {
    auto read = [&](const char* key) {
        const QString k = QString::fromLatin1(key);
        return ReadSetting(k, settingDefault(k, programFolder));
    };
    PreferenceValues v;
    v.cacheLocation = read("CACHELOC");
    v.dataLocation = read("DATALOC");
    v.proxy = proxyOn;
    v.proxyUrl = read("PROXYURL");
    v.proxyPort = read("PROXYPORT");
    v.socksServer = read("PROXYSOCKS");
    v.socksPort = read("PROXYSOCKSPORT");
    v.socksUser = read("PROXYSOCKSUSER");
    v.socksPassword = read("PROXYSOCKSPASS");
    v.smtpServer = read("SMTPSVR");
    v.smtpUser = read("SMTPUser");
    v.smtpPassword = read("SMTPPass");
    v.smtpFrom = read("SMTPFrom");
    v.smtpPort = read("SMTPPort");
    v.smtpPlainLoginChosen = read("SMTPPlainLogin").trimmed() == QLatin1String("1");
    v.smtpSecurity = SmtpSecurityFor(read("SMTPSecurity"), v.smtpUser, v.smtpPlainLoginChosen);
    v.showReminder = read("MESSAGE").trimmed().toInt() != 0;
    v.reminderDays = read("MESSAGEDAYS");
    v.serverAddress = read("SERVERADDR");
    v.serverPort = read("SERVERPORT");
    v.serverTimeout = read("SERVERTIMEOUT");
    v.supportEmail = read("SUPPORTEMAIL");
    v.store = read(base::kStoreSetting).trimmed();
    v.firmStore = !v.store.isEmpty();
    return v;
}

bool isValidInterval(const QString& text) {
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    return ok && days >= 0;
}

bool checkInterval(const QString& text) {
    if (isValidInterval(text)) {
        return true;
    }
    ui::message(QCoreApplication::translate("brevant::shell::Preferences",
                                            "Interval Days must be numeric ..."),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::Preferences", "System Message"));
    return false;
}

SaveRefusal checkBeforeSave(const PreferenceValues& values) {
    if (values.proxy && values.socksServer.isEmpty()) {
        ui::message(
            QCoreApplication::translate("brevant::shell::Preferences",
                                        "To use a proxy you must specify a SOCKS 5 server ..."),
            ui::Buttons::Ok, ui::Icon::Exclamation,
            QCoreApplication::translate("brevant::shell::Preferences", "System Message"));
        return SaveRefusal::NoSocksServer;
    }
    // The reminder reads the interval as a number at every start; a stored text would break it.
    if (!checkInterval(values.reminderDays)) {
        return SaveRefusal::BadInterval;
    }
    if (values.firmStore && values.store.trimmed().isEmpty()) {
        ui::message(QCoreApplication::translate("brevant::shell::Preferences",
                                                "Enter the firm server's host name or its "
                                                "service name, or choose this computer."),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::shell::Preferences", "System Message"));
        return SaveRefusal::NoFirmServer;
    }
    if (values.firmStore) {
        const QString why = db::StoreLocator::parse(values.store.trimmed()).whyNotSavable();
        if (!why.isEmpty()) {
            ui::message(
                QCoreApplication::translate(
                    "brevant::shell::Preferences",
                    "The project store's connection holds a password, which the "
                    "settings must not keep. Put the password in ~/.pgpass and leave "
                    "it out of the connection.\n\n%1")
                    .arg(why),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::Preferences", "System Message"));
            return SaveRefusal::StoreNotSavable;
        }
    }
    return SaveRefusal::None;
}

HttpProxy httpProxyFor(const PreferenceValues& values) {
    HttpProxy p;
    if (!values.proxy) {
        return p;
    }
    p.server = values.proxyUrl;
    bool ok = false;
    const int port = values.proxyPort.trimmed().toInt(&ok);
    p.port = ok && port > 0 && port <= 65535 ? port : 80;
    return p;
}

bool databaseFolderChanged(const QString& openingDataLocation, const QString& newDataLocation) {
    auto norm = [](const QString& p) { return p.isEmpty() ? p : QDir::cleanPath(p); };
    return norm(openingDataLocation).compare(norm(newDataLocation), Qt::CaseInsensitive) != 0;
}

bool plainLoginChosen(const PreferenceValues& values) {
    return values.smtpSecurity == 0 && !values.smtpUser.trimmed().isEmpty() &&
           values.smtpPlainLoginChosen;
}

int securityForLoginEntered(const QString& user, int security, bool plainChosen) {
    return security == 0 && !user.trimmed().isEmpty() && !plainChosen ? 1 : security;
}

bool warnOfPlainLogin(const QString& user, int chosenSecurity, bool& plainChosen) {
    if (chosenSecurity != 0 || user.trimmed().isEmpty() || plainChosen)
        return false;
    plainChosen = true;
    ui::message(QCoreApplication::translate(
                    "brevant::shell::Preferences",
                    "With Connection Security \"None\" your SMTP account name and "
                    "password are sent to the mail server unencrypted, where anyone "
                    "on the network can read them. Choose STARTTLS unless your mail "
                    "server cannot use it ..."),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::Preferences", "System Message"));
    return true;
}

SaveOutcome savePreferences(const PreferenceValues& values, const QString& openingDataLocation) {
    SaveOutcome out;
    out.refusal = checkBeforeSave(values);
    if (out.refusal != SaveRefusal::None) {
        return out;
    }
    const QString store = values.firmStore ? values.store.trimmed() : QString();
    const QString storeBefore = ReadSetting(QString::fromLatin1(base::kStoreSetting)).trimmed();
    const std::pair<const char*, QString> writes[] = {
        {"CACHELOC", values.cacheLocation},
        {"DATALOC", values.dataLocation},
        {"PROXY", values.proxy ? QStringLiteral("1") : QStringLiteral("0")},
        {"PROXYURL", values.proxyUrl},
        {"PROXYPORT", values.proxyPort},
        {"PROXYSOCKS", values.socksServer},
        {"PROXYSOCKSPORT", values.socksPort},
        {"PROXYSOCKSUSER", values.socksUser},
        {"PROXYSOCKSPASS", values.socksPassword},
        {"SMTPSvr", values.smtpServer},
        {"SMTPUser", values.smtpUser},
        {"SMTPPass", values.smtpPassword},
        {"SMTPFrom", values.smtpFrom},
        {"SMTPPort", values.smtpPort},
        {"SMTPSecurity", QString::number(values.smtpSecurity)},
        {"SMTPPlainLogin", plainLoginChosen(values) ? QStringLiteral("1") : QStringLiteral("0")},
        {"MESSAGE", values.showReminder ? QStringLiteral("1") : QStringLiteral("0")},
        {"MESSAGEDAYS", values.reminderDays},
        {"SERVERADDR", values.serverAddress},
        {"SERVERPORT", values.serverPort},
        {"SERVERTIMEOUT", values.serverTimeout},
        {"SUPPORTEMAIL", values.supportEmail},
        {base::kStoreSetting, store},
    };
    QString failure;
    for (const auto& [key, value] : writes) {
        // Every key is attempted even after a failure, so one bad write loses no other value.
        try {
            WriteSetting(QString::fromLatin1(key), value);
        } catch (const harlix::ComError& e) {
            if (failure.isEmpty()) {
                failure = QString::fromStdString(e.description());
            }
        } catch (const std::exception& e) {
            if (failure.isEmpty()) {
                failure = QString::fromLocal8Bit(e.what());
            }
        }
    }
    if (!failure.isEmpty()) {
        ui::message(QCoreApplication::translate("brevant::shell::Preferences",
                                                "The settings could not be saved: %1 ...")
                        .arg(failure),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::shell::Preferences", "System Error"));
    }
    out.saved = true;
    out.httpProxy = httpProxyFor(values);
    out.databaseFolderChanged = databaseFolderChanged(openingDataLocation, values.dataLocation);
    out.storeChanged = store != storeBefore;
    return out;
}

} // namespace brevant::shell
