#pragma once
// Finding one of the application's windows by its native handle. Private to the library.
#include "harlix/WindowHandle.h"

class QWidget;
class QWindow;

namespace harlix::detail {

struct FoundWindow {
    QWindow* window = nullptr;
    QWidget* widget = nullptr; // the top-level widget the window belongs to, when there is one
    explicit operator bool() const { return window || widget; }
};

// The application's window (or widget) whose winId() is `handle`; empty when there is none or
// no GUI application runs. Never creates native windows.
FoundWindow findWindow(WindowHandle handle);

} // namespace harlix::detail
