#include "harlix/BrowseDirectorysOnly.h"

#include "WindowLookup.h"
#include "harlix/ComError.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace harlix {

std::string BrowseDirectorysOnly::BrowseForFolder(WindowHandle ownerHwnd, const std::string& Title,
                                                  const std::string& StartDir) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw ComError(static_cast<std::int32_t>(0x80004005u), "FolderPicker",
                       "The folder dialog needs a running QApplication.");
    QString start = QString::fromStdString(StartDir);
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();

    auto owner = detail::findWindow(ownerHwnd);
    // The widget dialog, not the desktop's: it can carry the status line and runs headless.
    QFileDialog dialog(owner.widget, QString::fromStdString(Title), start);
    dialog.setObjectName("BrowseDirectorysOnly");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);

    auto* status = new QLabel(QDir::toNativeSeparators(QDir(start).absolutePath()), &dialog);
    status->setObjectName("statusText");
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
    auto show = [status](const QString& path) {
        if (!path.isEmpty())
            status->setText(QDir::toNativeSeparators(path));
    };
    QObject::connect(&dialog, &QFileDialog::currentChanged, status, show);
    QObject::connect(&dialog, &QFileDialog::directoryEntered, status, show);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? std::string() : chosen.first().toStdString();
}

} // namespace harlix
