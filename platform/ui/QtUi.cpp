#include "platform/ui/QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace brevant::ui {

namespace {

QWidget* owner() {
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Buttons b) {
    switch (b) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

// What closing the box with Escape or the title bar's button counts as.
Answer escapeAnswer(Buttons b) {
    switch (b) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    }
    return Answer::Cancel;
}

Answer answerOf(int button, Buttons b) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    default:
        return escapeAnswer(b);
    }
}

} // namespace

Answer QtUi::message(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    return messageWithAction(text, buttons, icon, title, QString());
}

Answer QtUi::messageWithAction(const QString& text, Buttons buttons, Icon icon,
                               const QString& title, const QString& action) {
    // A message box must show the normal pointer even while the caller shows the hourglass.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons), owner());
    box.setTextFormat(Qt::PlainText);
    QPushButton* extra =
        action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::ActionRole);
    // Escape keeps meaning the box's own Ok, never the extra button.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok); extra && ok)
        box.setEscapeButton(ok);
    const int pressed = box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    if (extra && box.clickedButton() == extra)
        return Answer::Action;
    return answerOf(box.clickedButton() ? box.standardButton(box.clickedButton()) : pressed,
                    buttons);
}

std::optional<QString> QtUi::input(const QString& prompt, const QString& title,
                                   const QString& defaultText) {
    bool ok = false;
    QString text =
        QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUi::openFile(const QString& title, const QString& startDir, const QString& filter) {
    return QFileDialog::getOpenFileName(owner(), title, startDir, filter);
}

QStringList QtUi::openFiles(const QString& title, const QString& startDir, const QString& filter) {
    return QFileDialog::getOpenFileNames(owner(), title, startDir, filter);
}

QString QtUi::saveFile(const QString& title, const QString& startPath, const QString& filter) {
    return QFileDialog::getSaveFileName(owner(), title, startPath, filter);
}

QString QtUi::pickFolder(const QString& title, const QString& startDir) {
    return QFileDialog::getExistingDirectory(owner(), title, startDir, QFileDialog::ShowDirsOnly);
}

} // namespace brevant::ui
