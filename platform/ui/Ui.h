#pragma once
// The one door through which the client talks to the user with standard dialogs: message
// boxes, the input box, file and folder dialogs. The real implementation shows Qt dialogs;
// tests install a ScriptedUi that records every dialog and answers from a queue.
#include <QString>
#include <QStringList>
#include <optional>

namespace brevant::ui {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
// Action: the one extra button of messageWithAction.
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore, Action };

class Ui {
public:
    virtual ~Ui() = default;
    // A message box; returns the button pressed.
    virtual Answer message(const QString& text, Buttons buttons, Icon icon,
                           const QString& title) = 0;
    // A message box with one more button, captioned `action`, beside the usual ones: a way
    // to put right what the message reports. Answer::Action when that button was pressed.
    // Where no such button can be offered, the plain message box.
    virtual Answer messageWithAction(const QString& text, Buttons buttons, Icon icon,
                                     const QString& title, const QString& action) {
        (void)action;
        return message(text, buttons, icon, title);
    }
    // An input box; std::nullopt on Cancel.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // File dialogs; an empty result on Cancel. filter uses Qt's "Text (*.txt);;All (*)" form.
    virtual QString openFile(const QString& title, const QString& startDir,
                             const QString& filter) = 0;
    virtual QStringList openFiles(const QString& title, const QString& startDir,
                                  const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& startPath,
                             const QString& filter) = 0;
    virtual QString pickFolder(const QString& title, const QString& startDir) = 0;
};

// The process-wide instance; never null once the application (or a test) has installed one.
Ui& current();
// Installs ui (not owned) and returns the previous one.
Ui* install(Ui* ui);

// Convenience forms used throughout the client.
inline Answer message(const QString& text, Buttons b, Icon i, const QString& title) {
    return current().message(text, b, i, title);
}

} // namespace brevant::ui
