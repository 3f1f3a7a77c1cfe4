#pragma once
// The legend of the project list's row icons.
#include <QDialog>

namespace brevant::shell {

class frmIcons : public QDialog {
    Q_OBJECT
public:
    explicit frmIcons(QWidget* parent = nullptr);
};

} // namespace brevant::shell
