#pragma once
// The logon dialog: the service's user name and password, kept in memory only.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brevant::shell {

// The width a window needs for its whole title to show in the title bar the window manager
// draws: the title in that bar's font (bold, as most draw it) plus the bar's icon and buttons
// and the frame on either side.
int WidthForTitle(const QWidget& window);

class frmLogon : public QDialog {
    Q_OBJECT
public:
    explicit frmLogon(QWidget* parent = nullptr);
    ~frmLogon() override;

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QLabel* lblPlatform;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    bool restoreHourglass_ = false;
    bool answered_ = false;
};

} // namespace brevant::shell
