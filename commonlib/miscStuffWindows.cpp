// miscStuff: operations on the application's windows and the folder picker.
#include "harlix/BrowseDirectorysOnly.h"
#include "harlix/ComError.h"
#include "harlix/miscStuff.h"

#include "WindowLookup.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace harlix {
namespace {

constexpr std::int32_t kInvalidWindowHandle = 1400;
constexpr auto E_FAIL = static_cast<std::int32_t>(0x80004005u);

detail::FoundWindow requireWindow(WindowHandle handle, const char* source) {
    auto found = detail::findWindow(handle);
    if (!found)
        throw ComError(kInvalidWindowHandle, source, "Invalid window handle.");
    return found;
}

void setStaysOnTop(WindowHandle handle, bool onTop, const char* source) {
    auto found = requireWindow(handle, source);
    // The flag goes to the native window as it is: QWidget::setWindowFlags would re-create it
    // on some platforms, and the caller's handle would then name no window.
    if (found.widget) {
        QWidget* w = found.widget;
        w->overrideWindowFlags(onTop ? w->windowFlags() | Qt::WindowStaysOnTopHint
                                     : w->windowFlags() & ~Qt::WindowStaysOnTopHint);
        if (found.window)
            found.window->setFlag(Qt::WindowStaysOnTopHint, onTop);
        if (!w->isVisible()) {
            bool noActivate = w->testAttribute(Qt::WA_ShowWithoutActivating);
            w->setAttribute(Qt::WA_ShowWithoutActivating, true);
            w->show();
            w->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
        }
    } else {
        found.window->setFlag(Qt::WindowStaysOnTopHint, onTop);
        if (!found.window->isVisible())
            found.window->showNormal();
    }
}

QPointer<QWidget>& lockedWidget() {
    static QPointer<QWidget> locked;
    return locked;
}

} // namespace

void miscStuff::FlashTitleBar(WindowHandle windowHandleToFlash, bool inverted) {
    auto found = requireWindow(windowHandleToFlash, "FlashTitleBar");
    // One flash asks for attention for a moment; the other state is the window's normal one.
    if (!inverted)
        return;
    if (found.window)
        found.window->alert(1000);
    else
        QApplication::alert(found.widget, 1000);
}

void miscStuff::StayOnTop(WindowHandle hWnd, const Rect&) {
    setStaysOnTop(hWnd, true, "StayOnTop");
}

void miscStuff::NotStayOnTop(WindowHandle hWnd, const Rect&) {
    setStaysOnTop(hWnd, false, "NotStayOnTop");
}

void miscStuff::Lockwindow(WindowHandle handle) {
    QPointer<QWidget>& locked = lockedWidget();
    if (handle == 0) {
        if (locked)
            locked->setUpdatesEnabled(true);
        locked = nullptr;
        return;
    }
    auto found = detail::findWindow(handle);
    if (!found.widget || (locked && locked != found.widget))
        throw ComError(E_FAIL, "Lockwindow",
                       "Could not lock window or another window already locked");
    found.widget->setUpdatesEnabled(false);
    locked = found.widget;
}

std::string miscStuff::FolderPicker(WindowHandle ownerHwnd, const std::string& Title,
                                    const std::string& StartDir) {
    return BrowseDirectorysOnly().BrowseForFolder(ownerHwnd, Title, StartDir);
}

} // namespace harlix
