#pragma once
// The about box.
#include <QDialog>

class QLabel;
class QPushButton;

namespace brevant::shell {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the system information program, or says that there is none.
    void cmdSysInfo_Click();

private:
    QLabel* lblTitle;
    QLabel* lblVersion;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

} // namespace brevant::shell
