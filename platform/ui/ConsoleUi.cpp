#include "platform/ui/ConsoleUi.h"

#include "platform/ui/TerminalText.h"

namespace brevant::ui {

Answer ConsoleUi::message(const QString& text, Buttons buttons, Icon, const QString& title) {
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out_ << escapeForTerminal(title) << ": " << escapeForTerminal(flat) << Qt::endl;
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Cancel; // retrying without a person would only repeat the failure
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::Ok:
    case Buttons::OkCancel:
        break;
    }
    return Answer::Ok;
}

std::optional<QString> ConsoleUi::input(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

QString ConsoleUi::openFile(const QString&, const QString&, const QString&) {
    return {};
}

QStringList ConsoleUi::openFiles(const QString&, const QString&, const QString&) {
    return {};
}

QString ConsoleUi::saveFile(const QString&, const QString&, const QString&) {
    return {};
}

QString ConsoleUi::pickFolder(const QString&, const QString&) {
    return {};
}

} // namespace brevant::ui
