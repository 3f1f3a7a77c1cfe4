#include "store/frmAttach.h"

#include "platform/ui/Ui.h"
#include "store/AttachmentCommands.h"

#include <QCloseEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::store {

frmAttach::frmAttach(QString& result, QWidget* parent)
    : frmAttach(result,
                {tr("File Attachment Dialog"), tr("Enter a description for this attachment:"),
                 tr("Cancel this attachment?")},
                parent) {
    setObjectName(QStringLiteral("frmAttach"));
}

frmAttach::frmAttach(QString& result, const Texts& texts, QWidget* parent)
    : QDialog(parent), result_(result), cancelQuestion_(texts.cancelQuestion) {
    setWindowTitle(texts.caption);
    setModal(true);
    Label1 = new QLabel(texts.label, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("CANCEL"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    result_.clear();
}

QString frmAttach::Ask() {
    exec();
    return result_;
}

bool frmAttach::acceptText(const QString&) {
    return true;
}

void frmAttach::OKButton_Click() {
    if (!acceptText(Text1->text()))
        return;
    result_ = Text1->text();
    closing_ = true;
    accept();
}

bool frmAttach::askCancel() {
    return ui::message(cancelQuestion_, ui::Buttons::YesNo, ui::Icon::Question,
                       tr("System Prompt")) == ui::Answer::Yes;
}

void frmAttach::CancelButton_Click() {
    if (!askCancel())
        return;
    result_ = kDialogCancelled;
    closing_ = true;
    QDialog::reject();
}

void frmAttach::reject() {
    CancelButton_Click();
}

void frmAttach::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The window's close button: with nothing typed, ask; a "No" closes with an empty
    // result, which the caller takes as an empty text. Typed text is not kept.
    if (Text1->text().isEmpty() && result_.isEmpty() && askCancel())
        result_ = kDialogCancelled;
    else
        result_.clear();
    closing_ = true;
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void frmAttach::FillAttachmentList(QTreeWidget* listView, const std::vector<AttachmentRow>& rows) {
    listView->clear();
    const QFileIconProvider icons;
    for (const AttachmentRow& row : rows) {
        auto* item = new QTreeWidgetItem(listView, {row.fileName, row.description, row.added});
        const QString iconName = AttachmentIconName(row.type);
        item->setData(0, Qt::UserRole, iconName);
        item->setData(0, AttachmentFolderRole, row.path);
        // Ticked rows are mailed with the project's documents; the row keeps its file's path.
        item->setData(0, kAttachmentPathRole, row.path + row.fileName);
        item->setData(0, kAttachmentContentRole, row.content);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setIcon(0, iconName == u"FILE" ? listView->style()->standardIcon(QStyle::SP_FileIcon)
                                             : icons.icon(QFileInfo(row.path + row.fileName)));
    }
}

} // namespace brevant::store
