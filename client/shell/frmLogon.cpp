#include "shell/frmLogon.h"

#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/ui/Ui.h"
#include "server/Request.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace brevant::shell {

int WidthForTitle(const QWidget& window) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(window.windowTitle());
    const QStyle* style = window.style();
    const int bar = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    // The window menu's icon on the left, minimise, maximise and close on the right, each
    // about as wide as the bar is high, and a margin of half a bar around the text.
    return text + 5 * bar + 2 * frame;
}

frmLogon::frmLogon(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogon"));
    setWindowTitle(tr("Brevant Desktop - Connect"));
    setModal(true);

    txtUserName = new QLineEdit(modResources::UserName, this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new QLineEdit(modResources::Password, this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtUserName->installEventFilter(this);
    txtPassword->installEventFilter(this);
    lblPlatform = new QLabel(base::VersionText(), this);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));

    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* form = new QFormLayout;
    form->addRow(tr("&User Name:"), txtUserName);
    form->addRow(tr("&Password:"), txtPassword);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblPlatform);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    // The boxes alone make a window too narrow for "Brevant Desktop - Connect".
    setMinimumWidth(std::max(layout->minimumSize().width(), WidthForTitle(*this)));
    resize(std::max(sizeHint().width(), minimumWidth()), sizeHint().height());

    // The dialog may open while a request shows the hourglass; the user needs the arrow here.
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (cursor && cursor->shape() == Qt::WaitCursor) {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        restoreHourglass_ = true;
    }
}

frmLogon::~frmLogon() {
    // Back to the hourglass the caller showed.
    if (restoreHourglass_)
        QGuiApplication::restoreOverrideCursor();
}

bool frmLogon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogon::cmdOK_Click() {
    const QString user = txtUserName->text();
    const QString password = txtPassword->text();
    // The request separates its fields with "|": one inside a credential would shift them.
    if (!server::IsValidCredential(user) || !server::IsValidCredential(password)) {
        ui::message(tr("The user name and password cannot contain the character "
                       "\"|\" -- Please check them and try again ..."),
                    ui::Buttons::Ok, ui::Icon::Exclamation, tr("System Message"));
        (server::IsValidCredential(user) ? txtPassword : txtUserName)->setFocus();
        return;
    }
    if (!user.isEmpty() && !password.isEmpty()) {
        modResources::UserName = user;
        modResources::Password = password;
        modResources::LogonCancelled = false;
    } else {
        // An incomplete logon abandons the request and keeps the previous credentials.
        modResources::LogonCancelled = true;
    }
    answered_ = true;
    accept();
}

void frmLogon::cmdCancel_Click() {
    modResources::LogonCancelled = true;
    answered_ = true;
    reject();
}

void frmLogon::done(int result) {
    // Closing the window any other way (Escape, the title bar) is a cancel.
    if (!answered_)
        modResources::LogonCancelled = true;
    QDialog::done(result);
}

} // namespace brevant::shell
