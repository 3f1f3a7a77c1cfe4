#pragma once
// A native window handle as the library's callers hold it: the value of QWidget::winId() /
// QWindow::winId() of one of the application's windows, or 0 for none.
#include <cstdint>

namespace harlix {

using WindowHandle = std::uintptr_t;

} // namespace harlix
