#include "platform/ui/Ui.h"

#include "platform/ui/ScriptedUi.h"

namespace brevant::ui {

namespace {
Ui* g_ui = nullptr;
} // namespace

Ui& current() {
    // Until the application installs its dialogs, nothing is shown to anyone: a headless
    // scripted instance answers with each dialog's first button and keeps a record.
    static ScriptedUi fallback;
    return g_ui ? *g_ui : fallback;
}

Ui* install(Ui* ui) {
    Ui* previous = g_ui;
    g_ui = ui;
    return previous;
}

} // namespace brevant::ui
