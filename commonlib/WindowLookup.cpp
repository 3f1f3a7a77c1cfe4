#include "WindowLookup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace harlix::detail {

FoundWindow findWindow(WindowHandle handle) {
    FoundWindow found;
    if (handle == 0 || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return found;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        for (QWidget* w : QApplication::allWidgets()) {
            // internalWinId() is 0 for widgets without a native window and creates none.
            if (w->internalWinId() == static_cast<WId>(handle)) {
                found.widget = w->window();
                found.window = found.widget->windowHandle();
                return found;
            }
        }
    }
    for (QWindow* win : QGuiApplication::allWindows()) {
        if (win->handle() && win->winId() == static_cast<WId>(handle)) {
            found.window = win;
            return found;
        }
    }
    return found;
}

} // namespace harlix::detail
