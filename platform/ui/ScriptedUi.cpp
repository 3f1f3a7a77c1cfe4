#include "platform/ui/ScriptedUi.h"

namespace brevant::ui {

namespace {
Answer firstButton(Buttons b) {
    switch (b) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    }
    return Answer::Ok;
}
} // namespace

void ScriptedUi::clear() {
    shown_.clear();
    messages_.clear();
    inputs_.clear();
    paths_.clear();
    pathLists_.clear();
}

Answer ScriptedUi::message(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    shown_.append({QStringLiteral("message"), title, text, icon, buttons, QString()});
    if (messages_.empty())
        return firstButton(buttons);
    Answer a = messages_.front();
    messages_.pop_front();
    return a;
}

Answer ScriptedUi::messageWithAction(const QString& text, Buttons buttons, Icon icon,
                                     const QString& title, const QString& action) {
    const Answer a = message(text, buttons, icon, title);
    shown_.back().action = action;
    return a;
}

std::optional<QString> ScriptedUi::input(const QString& prompt, const QString& title,
                                         const QString& defaultText) {
    shown_.append(
        {QStringLiteral("input"), title, prompt, Icon::None, Buttons::OkCancel, QString()});
    if (inputs_.empty())
        return defaultText;
    auto a = inputs_.front();
    inputs_.pop_front();
    return a;
}

QString ScriptedUi::nextPath() {
    if (paths_.empty())
        return {};
    QString p = paths_.front();
    paths_.pop_front();
    return p;
}

QString ScriptedUi::openFile(const QString& title, const QString& startDir, const QString&) {
    shown_.append(
        {QStringLiteral("openFile"), title, startDir, Icon::None, Buttons::OkCancel, QString()});
    return nextPath();
}

QStringList ScriptedUi::openFiles(const QString& title, const QString& startDir, const QString&) {
    shown_.append(
        {QStringLiteral("openFiles"), title, startDir, Icon::None, Buttons::OkCancel, QString()});
    if (pathLists_.empty())
        return {};
    QStringList p = pathLists_.front();
    pathLists_.pop_front();
    return p;
}

QString ScriptedUi::saveFile(const QString& title, const QString& startPath, const QString&) {
    shown_.append(
        {QStringLiteral("saveFile"), title, startPath, Icon::None, Buttons::OkCancel, QString()});
    return nextPath();
}

QString ScriptedUi::pickFolder(const QString& title, const QString& startDir) {
    shown_.append(
        {QStringLiteral("pickFolder"), title, startDir, Icon::None, Buttons::OkCancel, QString()});
    return nextPath();
}

} // namespace brevant::ui
