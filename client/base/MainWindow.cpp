#include "base/MainWindow.h"

namespace brevant::base {

namespace {
MainWindow* g_main = nullptr;
} // namespace

MainWindow* mainWindow() {
    return g_main;
}

void registerMainWindow(MainWindow* window) {
    g_main = window;
}

void unregisterMainWindow(MainWindow* window) {
    if (g_main == window)
        g_main = nullptr;
}

void SetStatusText(const QString& text) {
    if (g_main)
        g_main->setStatusText(text);
}

void ShowWaitForm() {
    if (g_main)
        g_main->showWaitForm();
}

void CloseWaitForm() {
    if (g_main)
        g_main->closeWaitForm();
}

} // namespace brevant::base
