#include "shell/frmNotesConflict.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace brevant::shell {

namespace {

QPlainTextEdit* readOnlyText(const QString& text, const char* name, QWidget* parent) {
    auto* edit = new QPlainTextEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    return edit;
}

} // namespace

frmNotesConflict::frmNotesConflict(const QString& mine, const QString& theirs, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmNotesConflict"));
    setWindowTitle(tr("Notes Changed by Another Estimator"));
    auto* grid = new QGridLayout(this);
    auto* intro = new QLabel(tr("While you were typing, another estimator changed this "
                                "project's notes. Choose what to keep; a version you do not "
                                "keep is saved in the project's change history."),
                             this);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Their notes:"), this), 1, 0);
    grid->addWidget(new QLabel(tr("Your notes:"), this), 1, 1);
    grid->addWidget(readOnlyText(theirs, "txtTheirs", this), 2, 0);
    grid->addWidget(readOnlyText(mine, "txtMine", this), 2, 1);
    auto* buttons = new QDialogButtonBox(this);
    auto add = [&](const QString& caption, const char* name, store::NotesChoice choice) {
        QPushButton* b = buttons->addButton(caption, QDialogButtonBox::AcceptRole);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            accept();
        });
        return b;
    };
    add(tr("Keep &Theirs"), "cmdTheirs", store::NotesChoice::Theirs);
    add(tr("Keep &Mine"), "cmdMine", store::NotesChoice::Mine);
    add(tr("Keep &Both"), "cmdBoth", store::NotesChoice::Both)->setDefault(true);
    grid->addWidget(buttons, 3, 0, 1, 2);
    resize(640, 360);
}

} // namespace brevant::shell
