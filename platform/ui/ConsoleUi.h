#pragma once
// The Ui of the program's command-line modes (no window, no display): every message goes to
// the given stream (standard error) as one line "title: text", its control characters and
// bidi controls escaped (escapeForTerminal), a question takes its first button, as a user
// pressing Enter would, and input and file dialogs are cancelled.
#include "platform/ui/Ui.h"

#include <QTextStream>

namespace brevant::ui {

class ConsoleUi : public Ui {
public:
    explicit ConsoleUi(QTextStream& out) : out_(out) {}
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& startDir, const QString& filter) override;
    QStringList openFiles(const QString& title, const QString& startDir,
                          const QString& filter) override;
    QString saveFile(const QString& title, const QString& startPath,
                     const QString& filter) override;
    QString pickFolder(const QString& title, const QString& startDir) override;

private:
    QTextStream& out_;
};

// Installs a ConsoleUi for the lifetime of the guard.
class ScopedConsoleUi : public ConsoleUi {
public:
    explicit ScopedConsoleUi(QTextStream& out) : ConsoleUi(out), previous_(install(this)) {}
    ~ScopedConsoleUi() override { install(previous_); }
    ScopedConsoleUi(const ScopedConsoleUi&) = delete;
    ScopedConsoleUi& operator=(const ScopedConsoleUi&) = delete;

private:
    Ui* previous_;
};

} // namespace brevant::ui
