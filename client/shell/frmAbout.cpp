#include "shell/frmAbout.h"

#include "base/ProgramFolders.h"
#include "platform/ui/Ui.h"
#include "shell/SystemInformation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevant::shell {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Brevant Desktop Edition"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setPixmap(QPixmap(base::DataFile(QStringLiteral("brevant.png"))));

    lblTitle = new QLabel(tr("Brevant Desktop Edition for 32-bit Windows Systems"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblTitle->setFont(bold);
    lblVersion = new QLabel(base::VersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    top->addLayout(buttons);
    setLayout(top);
}

void frmAbout::cmdSysInfo_Click() {
    const QString program = SystemInformationProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {})) {
        ui::message(tr("System Information Is Unavailable At This Time"), ui::Buttons::Ok,
                    ui::Icon::Information, tr("System Message"));
    }
}

} // namespace brevant::shell
