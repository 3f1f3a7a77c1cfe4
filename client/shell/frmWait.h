#pragma once
// The small modeless window shown around long operations.
#include <QWidget>

namespace brevant::shell {

class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(QWidget* owner = nullptr);
};

} // namespace brevant::shell
