#pragma once
// The settings the Preferences dialog edits, without the dialog: the table of keys and their
// defaults, reading them for the dialog, the checks made before saving, writing every key, the
// database statistics, and whether the database folder changed. frmPrefs shows these values
// in its boxes and calls these functions; everything here runs headless.
#include <QString>
#include <optional>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::shell {

// One stored setting. A default of "<program>" stands for the program's folder and
// "<program>/Work" for its Work subfolder; an empty default is the empty text.
struct SettingInfo {
    QString key;          // the name the program writes
    QString defaultValue; // returned when the value is missing or empty
    QString meaning;
};

// Every setting the client stores, in the order of the settings table; the list-column widths
// (one key per column caption) are given by the project list's column table.
const std::vector<SettingInfo>& settingsTable();
// The default of a key for this program folder (no default: the empty text).
QString settingDefault(const QString& key, const QString& programFolder);

// What the dialog shows and saves. Texts are kept exactly as typed.
struct PreferenceValues {
    QString cacheLocation;    // CACHELOC  (Text1)
    QString dataLocation;     // DATALOC   (Text14)
    bool proxy = false;       // PROXY     (Check2)
    QString proxyUrl;         // PROXYURL  (Text7)
    QString proxyPort;        // PROXYPORT (Text8)
    QString socksServer;      // PROXYSOCKS (Text16)
    QString socksPort;        // PROXYSOCKSPORT (Text15)
    QString socksUser;        // PROXYSOCKSUSER (Text18)
    QString socksPassword;    // PROXYSOCKSPASS (Text17)
    QString smtpServer;       // SMTPSvr   (Text13)
    QString smtpUser;         // SMTPUser  (Text12)
    QString smtpPassword;     // SMTPPass  (Text11)
    QString smtpFrom;         // SMTPFrom  (Text9)
    QString smtpPort;         // SMTPPort  (Text10)
    int smtpSecurity = 0;     // SMTPSecurity (cboSecurity): the mail control's Security, 0-3
    bool showReminder = true; // MESSAGE (Check1)
    QString reminderDays;     // MESSAGEDAYS (Text19)
    QString serverAddress;    // SERVERADDR (txtServerAddr)
    QString serverPort;       // SERVERPORT (txtServerPort)
    QString serverTimeout;    // SERVERTIMEOUT (txtServerTimeout), seconds
    QString supportEmail;     // SUPPORTEMAIL (txtSupportEmail)

    // SMTPPlainLogin: "None" with an account name, chosen knowingly after the warning.
    bool smtpPlainLoginChosen = false;

    // STORE: the project store. firmStore false is "this computer" (STORE saved empty);
    // otherwise store is the locator to keep (StoreChoice.h builds it from the server's fields).
    bool firmStore = false;
    QString store;
};

// Reads every value the dialog shows. The proxy box follows the running program's ProxyOn,
// not the stored PROXY value.
PreferenceValues loadPreferences(const QString& programFolder, bool proxyOn);

// The login is never sent in clear by default: entering an account name while the security is
// "None" (and plain text was not chosen knowingly) makes it "STARTTLS, required" (1).
int securityForLoginEntered(const QString& user, int security, bool plainChosen);
// The user chose a security: "None" with an account name warns him, once (plainChosen is set,
// and saved as SMTPPlainLogin); true when the warning was shown.
bool warnOfPlainLogin(const QString& user, int chosenSecurity, bool& plainChosen);
// What SMTPPlainLogin is saved as.
bool plainLoginChosen(const PreferenceValues& values);

// The interval box holds a whole number of days (blanks around it allowed).
bool isValidInterval(const QString& text);
// Shows "Interval Days must be numeric ..." when the text is not valid; true when valid.
bool checkInterval(const QString& text);

// Why a save is refused.
enum class SaveRefusal {
    None,
    NoSocksServer,   // proxy on without a SOCKS 5 server: focus Text16
    BadInterval,     // non-numeric interval: focus Text19
    NoFirmServer,    // the firm server was chosen without a host or service name
    StoreNotSavable, // the store's locator holds a password, which the settings must not keep
};
// Checks the values, shows the refusal's message ("System Message", exclamation) and returns
// the refusal; None when the values may be saved.
SaveRefusal checkBeforeSave(const PreferenceValues& values);

// The HTTP proxy the main window's downloads use after a save: server and port when the proxy
// is on (a port that is not a whole number 1-65535 gives 80), else the empty server and 80.
struct HttpProxy {
    QString server;
    int port = 80;
};
HttpProxy httpProxyFor(const PreferenceValues& values);

struct SaveOutcome {
    bool saved = false; // false when refused (nothing was written)
    SaveRefusal refusal = SaveRefusal::None;
    bool databaseFolderChanged = false; // rerun the main window's load
    bool storeChanged = false;          // another project store: rerun the load too
    HttpProxy httpProxy;                // apply to the HTTP control at once
};

// "&SAVE / EXIT": checks, then writes every key of the dialog (empty values too; write
// failures are passed over). openingDataLocation is the database folder shown when the dialog
// opened.
SaveOutcome savePreferences(const PreferenceValues& values, const QString& openingDataLocation);

// True when the database folder is another one: differs from the one shown at opening other
// than in the case of its letters (or a trailing separator).
bool databaseFolderChanged(const QString& openingDataLocation, const QString& newDataLocation);

// "Program Statistics".
struct Statistics {
    QString tracked, fresh, viewed, total; // counts as text; empty when they cannot be read
    QString databaseSize;                  // size of the store, formatted
};
// The four counts (when a connection is given) and the formatted size of the store: of the
// database file in dataLocation, or what a PostgreSQL store's server reports for its database
// (empty when neither can be told).
Statistics readStatistics(db::Connection* connection, const QString& dataLocation);

} // namespace brevant::shell
