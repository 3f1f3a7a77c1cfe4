#pragma once
// A Ui for tests and headless runs: records every dialog and answers from queues that the test
// fills before the action ("next answer"). An unscripted message box gets its first button.
#include "platform/ui/Ui.h"

#include <QList>
#include <deque>

namespace brevant::ui {

struct Shown {
    QString kind; // "message", "input", "openFile", "openFiles", "saveFile", "pickFolder"
    QString title;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QString action; // the extra button of messageWithAction
};

class ScriptedUi : public Ui {
public:
    // Queue the next answers.
    void answerMessage(Answer a) { messages_.push_back(a); }
    void answerInput(std::optional<QString> a) { inputs_.push_back(std::move(a)); }
    void answerPath(const QString& path) { paths_.push_back(path); }
    void answerPaths(const QStringList& paths) { pathLists_.push_back(paths); }

    const QList<Shown>& shown() const { return shown_; }
    const Shown& last() const { return shown_.back(); }
    void clear();

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    // Recorded as a "message" with its action; answered from the same queue (Answer::Action
    // presses the extra button).
    Answer messageWithAction(const QString& text, Buttons buttons, Icon icon, const QString& title,
                             const QString& action) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& startDir, const QString& filter) override;
    QStringList openFiles(const QString& title, const QString& startDir,
                          const QString& filter) override;
    QString saveFile(const QString& title, const QString& startPath,
                     const QString& filter) override;
    QString pickFolder(const QString& title, const QString& startDir) override;

private:
    QString nextPath();
    QList<Shown> shown_;
    std::deque<Answer> messages_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<QString> paths_;
    std::deque<QStringList> pathLists_;
};

// Installs a ScriptedUi for the lifetime of the guard (tests).
class ScopedScriptedUi : public ScriptedUi {
public:
    ScopedScriptedUi() : previous_(install(this)) {}
    ~ScopedScriptedUi() override { install(previous_); }
    ScopedScriptedUi(const ScopedScriptedUi&) = delete;
    ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;

private:
    Ui* previous_;
};

} // namespace brevant::ui
