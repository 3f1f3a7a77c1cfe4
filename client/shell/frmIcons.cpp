#include "shell/frmIcons.h"

#include "base/ProgramFolders.h"
#include "platform/ui/QtUiImageList.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace brevant::shell {

frmIcons::frmIcons(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIcons"));
    setWindowTitle(tr("Icon Summary"));
    setAttribute(Qt::WA_DeleteOnClose);

    const std::pair<int, const char*> rows[] = {
        {24, QT_TRANSLATE_NOOP("brevant::shell::frmIcons",
                               "(New Project) Projects displaying this symbol are new projects.")},
        {23, QT_TRANSLATE_NOOP(
                 "brevant::shell::frmIcons",
                 "(Tagged Project) Projects displaying this symbol are tagged projects.")},
        {25, QT_TRANSLATE_NOOP(
                 "brevant::shell::frmIcons",
                 "(Opened Project) Projects displaying this symbol have already been opened, but "
                 "are not tagged.")},
        {14, QT_TRANSLATE_NOOP(
                 "brevant::shell::frmIcons",
                 "(Update) Projects displaying this symbol have had an information update.")},
        {15,
         QT_TRANSLATE_NOOP(
             "brevant::shell::frmIcons",
             "(Update) Projects displaying this symbol have had an information update and  have "
             "either new bidders, addenda or memos")},
    };
    const ui::ImageList images(base::DataFile(QStringLiteral("Graphics/ImageList1")));
    auto* grid = new QGridLayout(this);
    int r = 0;
    for (const auto& [icon, text] : rows) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("Image%1").arg(r + 1));
        picture->setPixmap(images.pixmap(icon, 24));
        picture->setProperty("iconNumber", icon);
        auto* label = new QLabel(tr(text), this);
        label->setObjectName(QStringLiteral("Label%1").arg(r + 1));
        label->setWordWrap(true);
        grid->addWidget(picture, r, 0, Qt::AlignTop);
        grid->addWidget(label, r, 1);
        ++r;
    }
    auto* close = new QPushButton(tr("&CLOSE"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    grid->addWidget(close, r, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    resize(520, sizeHint().height());
}

} // namespace brevant::shell
