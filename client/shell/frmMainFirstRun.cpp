// The first step shown above the empty project list: where to set the service's address, or
// how to find the first projects. Which step is due is shell/FirstStep's.
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "shell/FirstStep.h"
#include "shell/frmMain.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace brevant::shell {

namespace {

FirstStep dueStep(const QTreeWidget* list) {
    if (list->topLevelItemCount() > 0 || !modResources::DbConnection ||
        !modResources::DbConnection->isOpen())
        return FirstStep::None;
    return CurrentFirstStep(*modResources::DbConnection);
}

} // namespace

QWidget* frmMain::buildFirstStep() {
    fraFirstStep = new QFrame(this);
    fraFirstStep->setObjectName(QStringLiteral("fraFirstStep"));
    fraFirstStep->setFrameShape(QFrame::StyledPanel);
    lblFirstStep = new QLabel(fraFirstStep);
    lblFirstStep->setObjectName(QStringLiteral("lblFirstStep"));
    lblFirstStep->setWordWrap(true);
    cmdFirstStep = new QPushButton(fraFirstStep);
    cmdFirstStep->setObjectName(QStringLiteral("cmdFirstStep"));
    connect(cmdFirstStep, &QPushButton::clicked, this, [this] { cmdFirstStep_Click(); });
    auto* layout = new QHBoxLayout(fraFirstStep);
    layout->addWidget(lblFirstStep, 1);
    layout->addWidget(cmdFirstStep, 0, Qt::AlignVCenter);
    fraFirstStep->hide();
    return fraFirstStep;
}

void frmMain::updateFirstStep() {
    const FirstStep step = dueStep(ListView1);
    lblFirstStep->setText(FirstStepText(step));
    cmdFirstStep->setText(FirstStepButton(step));
    fraFirstStep->setVisible(step != FirstStep::None);
}

void frmMain::cmdFirstStep_Click() {
    switch (dueStep(ListView1)) {
    case FirstStep::SetServer:
        ShowPreferences(true);
        break;
    case FirstStep::FindProjects:
        mnuFile_Find_Click();
        break;
    case FirstStep::None:
        break;
    }
    updateFirstStep();
}

} // namespace brevant::shell
