#include "shell/frmWait.h"

#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace brevant::shell {

frmWait::frmWait(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(tr("Please Wait ..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* label = new QLabel(tr("Processing Request - Please Wait ..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        // Once: the work may take a moment to reach a point where it can stop.
        cmdCancel->setEnabled(false);
        if (auto cancel = std::exchange(onCancel_, nullptr))
            cancel();
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(label);
    layout->addWidget(ProgressBar1);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    setFixedWidth(std::max(sizeHint().width(), 320));
}

void frmWait::setCancel(std::function<void()> onCancel) {
    onCancel_ = std::move(onCancel);
    cmdCancel->setVisible(bool(onCancel_));
    cmdCancel->setEnabled(bool(onCancel_));
    ProgressBar1->setVisible(bool(onCancel_) || ProgressBar1->isVisible());
    adjustSize();
}

void frmWait::setProgress(std::int64_t done, std::int64_t total) {
    if (total <= 0) {
        ProgressBar1->setRange(0, 0);
    } else {
        // Large counts (bytes) are shown in kilobytes so they fit the bar's int.
        const std::int64_t scale = total > (std::int64_t(1) << 30) ? 1024 : 1;
        ProgressBar1->setRange(0, int(total / scale));
        ProgressBar1->setValue(int(std::clamp<std::int64_t>(done, 0, total) / scale));
    }
    if (!ProgressBar1->isVisible()) {
        ProgressBar1->show();
        adjustSize();
    }
}

void frmWait::centreOnOwner() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner)
        return;
    const QRect area = owner->frameGeometry();
    QRect own = frameGeometry();
    own.moveCenter(area.center());
    move(own.topLeft());
}

void frmWait::showEvent(QShowEvent* event) {
    centreOnOwner();
    QWidget::showEvent(event);
}

void frmWait::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        ProgressBar1->hide();
        cmdCancel->hide();
    }
    QWidget::hideEvent(event);
}

} // namespace brevant::shell
