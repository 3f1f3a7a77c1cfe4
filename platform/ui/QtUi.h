#pragma once
// The real dialogs: Qt message boxes, input box and file/folder dialogs, each parented to the
// active window so that they are modal over it. Installed by the program's entry point.
#include "platform/ui/Ui.h"

namespace brevant::ui {

class QtUi : public Ui {
public:
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
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
};

// Installs a QtUi for the lifetime of the guard (the program's main()).
class ScopedQtUi : public QtUi {
public:
    ScopedQtUi() : previous_(install(this)) {}
    ~ScopedQtUi() override { install(previous_); }
    ScopedQtUi(const ScopedQtUi&) = delete;
    ScopedQtUi& operator=(const ScopedQtUi&) = delete;

private:
    Ui* previous_;
};

} // namespace brevant::ui
