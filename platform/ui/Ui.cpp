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

QString peerText(const QString& text, int maxChars) {
    if (text.size() <= maxChars)
        return text;
    qsizetype cut = maxChars;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return text.left(cut) + QChar(0x2026);
}

} // namespace brevant::ui
