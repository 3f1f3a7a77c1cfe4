#include "shell/frmWait.h"

#include <QLabel>
#include <QVBoxLayout>

namespace brevant::shell {

frmWait::frmWait(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(tr("Please Wait ..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* label = new QLabel(tr("Processing Request - Please Wait ..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label);
    setFixedSize(sizeHint().expandedTo(QSize(320, 80)));
}

} // namespace brevant::shell
