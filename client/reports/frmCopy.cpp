#include "reports/frmCopy.h"

#include "base/modResources.h"
#include "platform/ui/Ui.h"
#include "reports/ProjectCopy.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevant::reports {

frmCopy::frmCopy(qint64 jobId, QWidget* parent) : QDialog(parent), jobId_(jobId) {
    setObjectName(QStringLiteral("frmCopy"));
    setWindowTitle(tr("Copy Project"));
    setModal(true);
    auto* frame = new QGroupBox(tr("Copy Project Location"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* label = new QLabel(tr("Location:"), frame);
    Text1 = new QLineEdit(frame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command3 = new QPushButton(tr("..."), frame);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(Text1, 1);
    row->addWidget(Command3);
    auto* note = new QLabel(tr("Note: This process will only copy the selected "
                               "project."),
                            this);
    // Wraps rather than clips where a language's note is wider than the window.
    note->setWordWrap(true);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Command1 = new QPushButton(tr("CO&PY"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(tr("&CLOSE"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label2, 1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(note);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmCopy::Command3_Click() {
    const QString folder = ui::current().pickFolder(tr("Choose Copy Location"), QDir::homePath());
    if (!folder.isEmpty())
        Text1->setText(folder);
}

void frmCopy::Command1_Click() {
    if (copying_ || !modResources::DbConnection)
        return;
    CopyHooks hooks;
    hooks.status = [this](const QString& text) { Label2->setText(text); };
    hooks.setCopying = [this](bool on) {
        copying_ = on;
        Command1->setEnabled(!on);
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    hooks.yield = [] { QApplication::processEvents(); };
    const CopyOutcome outcome = CopyProject(
        *modResources::DbConnection, modResources::CacheLocation, jobId_, Text1->text(), hooks);
    Text1->setText(outcome.location);
}

bool frmCopy::refuseClose() {
    if (!copying_)
        return false;
    ui::message(tr("Cannot close while copying project ..."), ui::Buttons::Ok,
                ui::Icon::Exclamation, tr("System Message"));
    return true;
}

void frmCopy::closeEvent(QCloseEvent* event) {
    if (refuseClose())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmCopy::reject() {
    if (!refuseClose())
        QDialog::reject();
}

} // namespace brevant::reports
