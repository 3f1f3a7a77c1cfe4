#include "reports/frmSelectFiles.h"

#include "base/MainWindow.h"
#include "base/Settings.h"
#include "platform/ui/Ui.h"
#include "reports/MailDocuments.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevant::reports {

frmSelectFiles::frmSelectFiles(const QString& selection, const QString& projectFolder,
                               const QString& title, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectFiles"));
    setWindowTitle(tr("E-Mail"));
    setModal(true);
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    Text1 = edit("Text1");
    Text2 = edit("Text2");
    Text3 = edit("Text3");
    Text4 = new QPlainTextEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->installEventFilter(this);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("Command1", tr("&SEND MESSAGE"));
    Command2 = button("Command2", tr("&ADD FILE"));
    Command3 = button("Command3", tr("&CLEAR ALL"));
    Command4 = button("Command4", tr("&CLOSE"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    auto* grid = new QGridLayout;
    const std::pair<const char*, QWidget*> fields[] = {
        {QT_TRANSLATE_NOOP("brevant::reports::frmSelectFiles", "To:"), Text1},
        {QT_TRANSLATE_NOOP("brevant::reports::frmSelectFiles", "From:"), Text2},
        {QT_TRANSLATE_NOOP("brevant::reports::frmSelectFiles", "Subject:"), Text3},
        {QT_TRANSLATE_NOOP("brevant::reports::frmSelectFiles", "Message:"), Text4}};
    int r = 0;
    for (const auto& [caption, widget] : fields) {
        grid->addWidget(new QLabel(tr(caption), this), r, 0, Qt::AlignTop);
        grid->addWidget(widget, r++, 1);
    }
    grid->addWidget(new QLabel(tr("Files to Attach:"), this), r, 0, Qt::AlignTop);
    grid->addWidget(List1, r, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    resize(560, 520);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, &QDialog::close);

    // Form load: the subject is the project's title, the sender the default one.
    Text3->setText(title);
    Text2->setText(ReadSetting(QStringLiteral("SMTPFROM")));
    base::ShowWaitForm();
    List1->addItems(FilesForMailSelection(selection, projectFolder));
    base::CloseWaitForm();
}

QStringList frmSelectFiles::files() const {
    QStringList out;
    for (int i = 0; i < List1->count(); ++i)
        out << List1->item(i)->text();
    return out;
}

void frmSelectFiles::Command1_Click() {
    if (sending_)
        return;
    sending_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MailHooks hooks;
    hooks.showProgress = [this](int maximum) {
        ProgressBar1->setRange(0, maximum);
        ProgressBar1->setValue(0);
        ProgressBar1->show();
    };
    hooks.setProgress = [this](int value) { ProgressBar1->setValue(value); };
    hooks.hideProgress = [this] { ProgressBar1->hide(); };
    hooks.focusTo = [this] { Text1->setFocus(); };
    hooks.pump = [](int) {
        QApplication::processEvents();
        return true;
    };
    SendDocuments(
        mail_, {Text1->text(), Text2->text(), Text3->text(), Text4->toPlainText(), files()}, hooks);
    QApplication::restoreOverrideCursor();
    sending_ = false;
}

void frmSelectFiles::Command2_Click() {
    const QString path = ui::current().openFile(tr("Add File"), QDir::homePath(),
                                                tr("TIFF Images (*.tif *.tiff);;All Files (*)"));
    QStringList list = files();
    if (AddUnique(list, path))
        List1->addItem(path);
}

void frmSelectFiles::Command3_Click() {
    List1->clear();
}

bool frmSelectFiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        delete List1->currentItem();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSelectFiles::closeEvent(QCloseEvent* event) {
    // Closing while the message goes out stops the send first; the window closes after.
    if (sending_) {
        mail_.Interrupt();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmSelectFiles::reject() {
    if (sending_) {
        mail_.Interrupt();
        return;
    }
    QDialog::reject();
}

} // namespace brevant::reports
