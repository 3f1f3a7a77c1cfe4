// The Preferences dialog: boxes filled from and saved through shell/Preferences.
#include "shell/frmPrefs.h"

#include "base/ChosenStore.h"
#include "platform/db/StoreCheck.h"
#include "platform/ui/Ui.h"
#include "shell/StoreChoice.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brevant::shell {

namespace {

QLineEdit* box(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QLineEdit* readOnlyBox(QWidget* parent, const char* name) {
    auto* e = box(parent, name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

} // namespace

frmPrefs::frmPrefs(PrefsHost host, QWidget* parent) : QDialog(parent), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(tr("Preferences"));
    setModal(true);
    buildControls();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    const PreferenceValues v = loadPreferences(host_.programFolder, host_.proxyOn);
    openingDataLocation_ = v.dataLocation;
    fill(v);
    const Statistics stats = readStatistics(host_.connection, host_.dataLocation);
    Text2->setText(stats.tracked);
    Text3->setText(stats.fresh);
    Text4->setText(stats.viewed);
    Text5->setText(stats.total);
    Text6->setText(stats.databaseSize);
    QCoreApplication::processEvents();
    QApplication::restoreOverrideCursor();
}

void frmPrefs::focusServerSettings() {
    // Before the dialog is shown this names the box that gets the focus when it is.
    txtServerAddr->setFocus(Qt::OtherFocusReason);
    txtServerAddr->selectAll();
}

void frmPrefs::buildControls() {
    auto* root = new QVBoxLayout(this);

    auto* locations = new QGridLayout;
    Text1 = box(this, "Text1");
    Command2 = new QPushButton(tr("..."), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Text14 = box(this, "Text14");
    Command3 = new QPushButton(tr("..."), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    for (auto* b : {Command2, Command3}) {
        b->setAutoDefault(false);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(tr("...")) + 24);
    }
    locations->addWidget(label(tr("Cache Location"), this), 0, 0);
    locations->addWidget(Text1, 0, 1);
    locations->addWidget(Command2, 0, 2);
    locations->addWidget(label(tr("Database Location"), this), 1, 0);
    locations->addWidget(Text14, 1, 1);
    locations->addWidget(Command3, 1, 2);
    root->addLayout(locations);

    FrameStore = new QGroupBox(tr("Project store"), this);
    FrameStore->setObjectName(QStringLiteral("FrameStore"));
    auto* storeGrid = new QGridLayout(FrameStore);
    optStoreLocal = new QRadioButton(tr("This computer"), FrameStore);
    optStoreLocal->setObjectName(QStringLiteral("optStoreLocal"));
    optStoreFirm = new QRadioButton(tr("Firm server"), FrameStore);
    optStoreFirm->setObjectName(QStringLiteral("optStoreFirm"));
    txtStoreHost = box(FrameStore, "txtStoreHost");
    txtStorePort = box(FrameStore, "txtStorePort");
    txtStorePort->setPlaceholderText(QStringLiteral("5432"));
    txtStoreDatabase = box(FrameStore, "txtStoreDatabase");
    txtStoreUser = box(FrameStore, "txtStoreUser");
    txtStoreService = box(FrameStore, "txtStoreService");
    cboStoreSsl = new QComboBox(FrameStore);
    cboStoreSsl->setObjectName(QStringLiteral("cboStoreSsl"));
    cboStoreSsl->addItem(tr("As the server offers"), QString());
    cboStoreSsl->addItem(tr("Encrypted"), QStringLiteral("require"));
    cboStoreSsl->addItem(tr("Encrypted, server certificate checked"),
                         QStringLiteral("verify-full"));
    cmdStoreTest = new QPushButton(tr("Test connection"), FrameStore);
    cmdStoreTest->setObjectName(QStringLiteral("cmdStoreTest"));
    cmdStoreTest->setAutoDefault(false);
    lblStoreTest = new QLabel(FrameStore);
    lblStoreTest->setObjectName(QStringLiteral("lblStoreTest"));
    lblStoreTest->setWordWrap(true);
    lblStoreTest->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choice = new QHBoxLayout;
    choice->addWidget(label(tr("Project store:"), FrameStore));
    choice->addWidget(optStoreLocal);
    choice->addWidget(optStoreFirm);
    choice->addStretch();
    storeGrid->addLayout(choice, 0, 0, 1, 4);
    storeGrid->addWidget(label(tr("Host:"), FrameStore), 1, 0);
    storeGrid->addWidget(txtStoreHost, 1, 1);
    storeGrid->addWidget(label(tr("Port:"), FrameStore), 1, 2);
    storeGrid->addWidget(txtStorePort, 1, 3);
    storeGrid->addWidget(label(tr("Database:"), FrameStore), 2, 0);
    storeGrid->addWidget(txtStoreDatabase, 2, 1);
    storeGrid->addWidget(label(tr("User:"), FrameStore), 2, 2);
    storeGrid->addWidget(txtStoreUser, 2, 3);
    storeGrid->addWidget(label(tr("or Service:"), FrameStore), 3, 0);
    storeGrid->addWidget(txtStoreService, 3, 1);
    storeGrid->addWidget(label(tr("Encryption:"), FrameStore), 3, 2);
    storeGrid->addWidget(cboStoreSsl, 3, 3);
    storeGrid->addWidget(cmdStoreTest, 4, 0);
    storeGrid->addWidget(lblStoreTest, 4, 1, 1, 3);
    root->addWidget(FrameStore);

    Check2 = new QCheckBox(tr("Connect using a Proxy Server"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    root->addWidget(Check2);

    Frame3 = new QGroupBox(tr("Proxy Settings"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* proxy = new QGridLayout(Frame3);
    Text7 = box(Frame3, "Text7");
    Text8 = box(Frame3, "Text8");
    Text16 = box(Frame3, "Text16");
    Text15 = box(Frame3, "Text15");
    Text18 = box(Frame3, "Text18");
    Text17 = box(Frame3, "Text17");
    proxy->addWidget(label(tr("HTTP Proxy Server"), Frame3), 0, 0);
    proxy->addWidget(Text7, 0, 1);
    proxy->addWidget(label(tr("Port:"), Frame3), 0, 2);
    proxy->addWidget(Text8, 0, 3);
    proxy->addWidget(label(tr("SOCKS 5 Proxy Server"), Frame3), 1, 0);
    proxy->addWidget(Text16, 1, 1);
    proxy->addWidget(label(tr("Port:"), Frame3), 1, 2);
    proxy->addWidget(Text15, 1, 3);
    proxy->addWidget(label(tr("SOCKS 5 User Name:"), Frame3), 2, 0);
    proxy->addWidget(Text18, 2, 1);
    proxy->addWidget(label(tr("SOCKS 5 Password:"), Frame3), 3, 0);
    proxy->addWidget(Text17, 3, 1);
    root->addWidget(Frame3);

    auto* mail = new QGroupBox(tr("E-Mail Options"), this);
    mail->setObjectName(QStringLiteral("Frame4"));
    auto* mailGrid = new QGridLayout(mail);
    Text13 = box(mail, "Text13");
    Text12 = box(mail, "Text12");
    Text11 = box(mail, "Text11");
    Text11->setEchoMode(QLineEdit::Password);
    Text9 = box(mail, "Text9");
    Text10 = box(mail, "Text10");
    mailGrid->addWidget(label(tr("SMTP Server:"), mail), 0, 0);
    mailGrid->addWidget(Text13, 0, 1);
    mailGrid->addWidget(label(tr("Port:"), mail), 0, 2);
    mailGrid->addWidget(Text10, 0, 3);
    mailGrid->addWidget(label(tr("SMTP Account Name:"), mail), 1, 0);
    mailGrid->addWidget(Text12, 1, 1);
    mailGrid->addWidget(label(tr("SMTP Account Password:"), mail), 2, 0);
    mailGrid->addWidget(Text11, 2, 1);
    mailGrid->addWidget(label(tr("Default 'From' Address:"), mail), 3, 0);
    mailGrid->addWidget(Text9, 3, 1);
    cboSecurity = new QComboBox(mail);
    cboSecurity->setObjectName(QStringLiteral("cboSecurity"));
    cboSecurity->addItems({tr("None"), tr("STARTTLS (required)"), tr("STARTTLS when offered"),
                           tr("SSL/TLS (port 465)")});
    mailGrid->addWidget(label(tr("Connection Security:"), mail), 4, 0);
    mailGrid->addWidget(cboSecurity, 4, 1);
    root->addWidget(mail);

    auto* server = new QGroupBox(tr("Service Connection"), this);
    server->setObjectName(QStringLiteral("FrameServer"));
    auto* serverGrid = new QGridLayout(server);
    txtServerAddr = box(server, "txtServerAddr");
    txtServerPort = box(server, "txtServerPort");
    serverGrid->addWidget(label(tr("Server Address:"), server), 0, 0);
    serverGrid->addWidget(txtServerAddr, 0, 1);
    serverGrid->addWidget(label(tr("Port:"), server), 0, 2);
    serverGrid->addWidget(txtServerPort, 0, 3);
    txtServerTimeout = box(server, "txtServerTimeout");
    serverGrid->addWidget(label(tr("Time-out (seconds):"), server), 0, 4);
    serverGrid->addWidget(txtServerTimeout, 0, 5);
    txtSupportEmail = box(server, "txtSupportEmail");
    serverGrid->addWidget(label(tr("Support E-Mail:"), server), 1, 0);
    serverGrid->addWidget(txtSupportEmail, 1, 1, 1, 3);
    root->addWidget(server);

    auto* reminder = new QHBoxLayout;
    Check1 = new QCheckBox(tr("Display last update date on start-up."), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Text19 = box(this, "Text19");
    Text19->setMaximumWidth(Text19->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    Text19->installEventFilter(this);
    reminder->addWidget(Check1);
    reminder->addWidget(Text19);
    reminder->addWidget(label(tr("day interval."), this));
    reminder->addStretch();
    root->addLayout(reminder);

    auto* stats = new QGroupBox(tr("Program Statistics"), this);
    stats->setObjectName(QStringLiteral("Frame2"));
    auto* statsGrid = new QGridLayout(stats);
    Text2 = readOnlyBox(stats, "Text2");
    Text3 = readOnlyBox(stats, "Text3");
    Text4 = readOnlyBox(stats, "Text4");
    Text5 = readOnlyBox(stats, "Text5");
    Text6 = readOnlyBox(stats, "Text6");
    const std::pair<const char*, QLineEdit*> rows[] = {
        {QT_TRANSLATE_NOOP("brevant::shell::frmPrefs", "Projects Tracked:"), Text2},
        {QT_TRANSLATE_NOOP("brevant::shell::frmPrefs", "New Projects:"), Text3},
        {QT_TRANSLATE_NOOP("brevant::shell::frmPrefs", "Viewed Projects:"), Text4},
        {QT_TRANSLATE_NOOP("brevant::shell::frmPrefs", "Total Projects:"), Text5},
        {QT_TRANSLATE_NOOP("brevant::shell::frmPrefs", "Database Size:"), Text6},
    };
    int r = 0;
    for (const auto& [text, edit] : rows) {
        statsGrid->addWidget(label(tr(text), stats), r, 0);
        statsGrid->addWidget(edit, r, 1);
        ++r;
    }
    root->addWidget(stats);

    Command1 = new QPushButton(tr("&SAVE / EXIT"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    root->addWidget(Command1, 0, Qt::AlignRight);

    connect(Check2, &QCheckBox::clicked, this, [this](bool on) { proxyClicked(on); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { pickFolder(Text1, tr("Choose Cache Location")); });
    connect(Command3, &QPushButton::clicked, this,
            [this] { pickFolder(Text14, tr("Choose Database Location")); });
    connect(Command1, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdStoreTest, &QPushButton::clicked, this, [this] { testStore(); });
    const auto edited = [this] {
        storeEdited_ = true;
        lblStoreTest->clear();
        showStoreEnabled();
    };
    connect(optStoreFirm, &QRadioButton::toggled, this, edited);
    for (QLineEdit* e : {txtStorePort, txtStoreDatabase, txtStoreUser, txtStoreService})
        connect(e, &QLineEdit::textEdited, this, edited);
    connect(cboStoreSsl, &QComboBox::activated, this, edited);
    connect(txtStoreHost, &QLineEdit::textEdited, this, [this, edited](const QString& host) {
        edited();
        // A server away from this machine is reached encrypted and checked, unless the user
        // chose otherwise.
        const QString mode = suggestedSslMode(host, cboStoreSsl->currentData().toString());
        const int i = cboStoreSsl->findData(mode);
        if (i >= 0)
            cboStoreSsl->setCurrentIndex(i);
    });
    connect(Text12, &QLineEdit::textChanged, this, [this](const QString& user) {
        cboSecurity->setCurrentIndex(
            securityForLoginEntered(user, cboSecurity->currentIndex(), plainLoginChosen_));
    });
    connect(cboSecurity, &QComboBox::activated, this,
            [this](int chosen) { warnOfPlainLogin(Text12->text(), chosen, plainLoginChosen_); });
}

void frmPrefs::fill(const PreferenceValues& v) {
    plainLoginChosen_ = v.smtpPlainLoginChosen;
    Text1->setText(v.cacheLocation);
    Text14->setText(v.dataLocation);
    Check2->setChecked(v.proxy);
    showProxyEnabled(v.proxy);
    Text7->setText(v.proxyUrl);
    Text8->setText(v.proxyPort);
    Text16->setText(v.socksServer);
    Text15->setText(v.socksPort);
    Text18->setText(v.socksUser);
    Text17->setText(v.socksPassword);
    Text13->setText(v.smtpServer);
    Text12->setText(v.smtpUser);
    Text11->setText(v.smtpPassword);
    Text9->setText(v.smtpFrom);
    Text10->setText(v.smtpPort);
    cboSecurity->setCurrentIndex(v.smtpSecurity);
    Check1->setChecked(v.showReminder);
    Text19->setText(v.reminderDays);
    txtServerAddr->setText(v.serverAddress);
    txtServerPort->setText(v.serverPort);
    txtServerTimeout->setText(v.serverTimeout);
    txtSupportEmail->setText(v.supportEmail);
    fillStore(v);
}

void frmPrefs::fillStore(const PreferenceValues& v) {
    openingStore_ = v.firmStore ? v.store : QString();
    const FirmServer server = firmServerFields(db::StoreLocator::parse(v.store));
    txtStoreHost->setText(server.host);
    txtStorePort->setText(server.port);
    txtStoreDatabase->setText(server.database);
    txtStoreUser->setText(server.user);
    txtStoreService->setText(server.service);
    int ssl = cboStoreSsl->findData(server.sslMode);
    if (ssl < 0) {
        // A mode the list does not offer (set by hand) is kept under its own name.
        cboStoreSsl->addItem(server.sslMode, server.sslMode);
        ssl = cboStoreSsl->count() - 1;
    }
    cboStoreSsl->setCurrentIndex(ssl);
    (v.firmStore ? optStoreFirm : optStoreLocal)->setChecked(true);
    storeEdited_ = false;
    showStoreEnabled();
}

void frmPrefs::showStoreEnabled() {
    const bool firm = optStoreFirm->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{txtStoreHost, txtStorePort, txtStoreDatabase,
                                                      txtStoreUser, txtStoreService, cboStoreSsl})
        w->setEnabled(firm);
}

QString frmPrefs::storeLocator() const {
    if (!storeEdited_)
        return openingStore_;
    FirmServer server;
    server.host = txtStoreHost->text();
    server.port = txtStorePort->text();
    server.database = txtStoreDatabase->text();
    server.user = txtStoreUser->text();
    server.service = txtStoreService->text();
    server.sslMode = cboStoreSsl->currentData().toString();
    return firmServerLocator(server);
}

void frmPrefs::testStore() {
    const bool firm = optStoreFirm->isChecked();
    const QString locator = storeLocator();
    if (firm && locator.trimmed().isEmpty()) {
        lblStoreTest->setText(tr("Enter the firm server's host name or its service name."));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const db::StoreCheck check = db::checkStore(
        firm ? db::StoreLocator::parse(locator)
             : db::StoreLocator::parse(Text14->text() + QStringLiteral("/Desktop.mdb")));
    QApplication::restoreOverrideCursor();
    lblStoreTest->setText(storeCheckText(check));
}

PreferenceValues frmPrefs::values() const {
    PreferenceValues v;
    v.cacheLocation = Text1->text();
    v.dataLocation = Text14->text();
    v.proxy = Check2->isChecked();
    v.proxyUrl = Text7->text();
    v.proxyPort = Text8->text();
    v.socksServer = Text16->text();
    v.socksPort = Text15->text();
    v.socksUser = Text18->text();
    v.socksPassword = Text17->text();
    v.smtpServer = Text13->text();
    v.smtpUser = Text12->text();
    v.smtpPassword = Text11->text();
    v.smtpFrom = Text9->text();
    v.smtpPort = Text10->text();
    v.smtpSecurity = cboSecurity->currentIndex();
    v.smtpPlainLoginChosen = plainLoginChosen_;
    v.showReminder = Check1->isChecked();
    v.reminderDays = Text19->text();
    v.serverAddress = txtServerAddr->text();
    v.serverPort = txtServerPort->text();
    v.serverTimeout = txtServerTimeout->text();
    v.supportEmail = txtSupportEmail->text();
    v.firmStore = optStoreFirm->isChecked();
    v.store = v.firmStore ? storeLocator() : QString();
    return v;
}

void frmPrefs::showProxyEnabled(bool on) {
    Frame3->setEnabled(on);
    // Enabled boxes take the window background, disabled ones the button face.
    const QPalette base = QApplication::palette();
    const QColor colour = on ? base.color(QPalette::Active, QPalette::Base)
                             : base.color(QPalette::Active, QPalette::Button);
    for (auto* e : {Text7, Text8, Text16, Text15, Text18, Text17}) {
        QPalette p = e->palette();
        p.setColor(QPalette::Base, colour);
        e->setPalette(p);
    }
}

void frmPrefs::proxyClicked(bool on) {
    showProxyEnabled(on);
    if (host_.setProxyOn) {
        host_.setProxyOn(on);
    }
}

void frmPrefs::pickFolder(QLineEdit* box, const QString& title) {
    const QString folder = ui::current().pickFolder(title, host_.programFolder);
    if (!folder.isEmpty()) {
        box->setText(folder);
    }
}

bool frmPrefs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text19 && event->type() == QEvent::FocusOut && !checkingInterval_) {
        // Only a move to another control of this dialog counts, not a window switch.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            checkingInterval_ = true;
            intervalJustRejected_ = !checkInterval(Text19->text());
            if (intervalJustRejected_) {
                Text19->selectAll();
                QTimer::singleShot(0, Text19, [this] {
                    Text19->setFocus(Qt::OtherFocusReason);
                    Text19->selectAll();
                });
            }
            checkingInterval_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrefs::save() {
    const PreferenceValues v = values();
    if (intervalJustRejected_ && !isValidInterval(v.reminderDays)) {
        // The click that left the box has been answered by its message already.
        intervalJustRejected_ = false;
        Text19->setFocus(Qt::OtherFocusReason);
        Text19->selectAll();
        return;
    }
    checkingInterval_ = true; // the save checks the interval itself
    const SaveOutcome outcome = savePreferences(v, openingDataLocation_);
    checkingInterval_ = false;
    if (!outcome.saved) {
        QLineEdit* focus = outcome.refusal == SaveRefusal::NoSocksServer ? Text16
                           : outcome.refusal == SaveRefusal::NoFirmServer ||
                                   outcome.refusal == SaveRefusal::StoreNotSavable
                               ? txtStoreHost
                               : Text19;
        focus->setFocus(Qt::OtherFocusReason);
        focus->selectAll();
        return;
    }
    if (host_.setLocations) {
        host_.setLocations(v.cacheLocation, v.dataLocation);
    }
    if (host_.applyHttpProxy) {
        host_.applyHttpProxy(outcome.httpProxy.server, outcome.httpProxy.port);
    }
    databaseFolderChanged_ = outcome.databaseFolderChanged;
    storeChanged_ = outcome.storeChanged;
    saved_ = true;
    accept();
}

} // namespace brevant::shell
