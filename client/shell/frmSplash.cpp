#include "shell/frmSplash.h"

#include "base/ProgramFolders.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace brevant::shell {

frmSplash::frmSplash(QWidget* parent)
    // Not kept on top: a message of the main window's load must be able to show above it.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setLineWidth(2);
    Frame1->installEventFilter(this);

    auto* picture = new QLabel(Frame1);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setPixmap(QPixmap(base::DataFile(QStringLiteral("brevant.png"))));
    picture->setAlignment(Qt::AlignCenter);

    const QString numbers = QStringLiteral("%1.%2.%3")
                                .arg(BREVANT_VERSION_MAJOR)
                                .arg(BREVANT_VERSION_MINOR)
                                .arg(BREVANT_VERSION_PATCH);
    Label1 = new QLabel(tr("Brevant Desktop Edition v%1").arg(numbers), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    Label1->setFont(big);
    Label1->setAlignment(Qt::AlignCenter);

    lblVersion = new QLabel(base::VersionText(), Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(Frame1);
    inner->setContentsMargins(30, 24, 30, 24);
    inner->addWidget(picture);
    inner->addWidget(Label1);
    inner->addWidget(lblVersion);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Frame1);
    resize(460, 260);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    close();
    event->accept();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace brevant::shell
