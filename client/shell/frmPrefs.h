#pragma once
// The Preferences dialog: shows and saves the settings of shell/Preferences.h. Every control
// carries its historical name as objectName. The dialog has no cancel button: closing it any
// other way than with "&SAVE / EXIT" stores nothing, except that the proxy box takes effect in
// the running program as soon as it is clicked.
#include "shell/Preferences.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brevant::db {
class Connection;
}

namespace brevant::shell {

// What the dialog needs from the running program (the main window fills it from its state).
struct PrefsHost {
    QString programFolder;                // start folder of the pickers, default locations
    bool proxyOn = false;                 // ProxyOn when the dialog opens
    QString dataLocation;                 // DataLocation: the database whose size is shown
    db::Connection* connection = nullptr; // DbConnection, for the counts (may be null)
    std::function<void(bool)> setProxyOn; // the proxy box was clicked: ProxyOn at once
    // After a save: CacheLocation and DataLocation take the saved values.
    std::function<void(const QString& cacheLocation, const QString& dataLocation)> setLocations;
    // After a save: the HTTP proxy of the document downloads (empty server and 80 when off).
    std::function<void(const QString& server, int port)> applyHttpProxy;
};

class frmPrefs : public QDialog {
    Q_OBJECT
public:
    explicit frmPrefs(PrefsHost host, QWidget* parent = nullptr);

    // After exec(): true when "&SAVE / EXIT" saved a database folder other than the one shown
    // at opening (not merely spelled in another case): the caller reruns the main window's load.
    bool databaseFolderChanged() const { return databaseFolderChanged_; }
    // True when the dialog was closed with "&SAVE / EXIT" and the values were written.
    bool saved() const { return saved_; }
    // After exec(): true when "&SAVE / EXIT" saved another project store (STORE).
    bool storeChanged() const { return storeChanged_; }

    // The values as the boxes hold them now.
    PreferenceValues values() const;
    // Opens on the service's address, its text selected: the server could not be reached or
    // has not been set yet.
    void focusServerSettings();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fill(const PreferenceValues& v);
    void showProxyEnabled(bool on);
    void proxyClicked(bool on);
    void pickFolder(QLineEdit* box, const QString& title);
    void save();
    void fillStore(const PreferenceValues& v);
    void showStoreEnabled();
    // The locator the store boxes name (the saved text as it was while they are untouched).
    QString storeLocator() const;
    // "Test connection": checks the store the boxes name and says what it found.
    void testStore();

    PrefsHost host_;
    QString openingDataLocation_;
    bool databaseFolderChanged_ = false;
    bool saved_ = false;
    bool storeChanged_ = false;
    QString openingStore_;
    bool storeEdited_ = false; // a store box was changed since the dialog opened
    bool checkingInterval_ = false;
    // Leaving the interval box for "&SAVE / EXIT" already showed the message once.
    bool intervalJustRejected_ = false;
    // "None" with a login was chosen after the warning (now or in an earlier session).
    bool plainLoginChosen_ = false;

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text14 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QCheckBox* Check2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text16 = nullptr;
    QLineEdit* Text15 = nullptr;
    QLineEdit* Text18 = nullptr;
    QLineEdit* Text17 = nullptr;
    QLineEdit* Text13 = nullptr;
    QLineEdit* Text12 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QComboBox* cboSecurity = nullptr; // SMTP connection security, in the order of its values
    QLineEdit* txtServerAddr = nullptr;
    QLineEdit* txtServerPort = nullptr;
    QLineEdit* txtServerTimeout = nullptr;
    QLineEdit* txtSupportEmail = nullptr;
    QCheckBox* Check1 = nullptr;
    QLineEdit* Text19 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QPushButton* Command1 = nullptr;

    // Project store: this computer's Desktop.mdb or a firm server.
    QGroupBox* FrameStore = nullptr;
    QRadioButton* optStoreLocal = nullptr;
    QRadioButton* optStoreFirm = nullptr;
    QLineEdit* txtStoreHost = nullptr;
    QLineEdit* txtStorePort = nullptr;
    QLineEdit* txtStoreDatabase = nullptr;
    QLineEdit* txtStoreUser = nullptr;
    QLineEdit* txtStoreService = nullptr;
    QComboBox* cboStoreSsl = nullptr; // libpq's sslmode as item data; "" is libpq's default
    QPushButton* cmdStoreTest = nullptr;
    QLabel* lblStoreTest = nullptr;
};

} // namespace brevant::shell
