#pragma once
// The splash window shown while the main window loads.
#include <QWidget>

class QLabel;
class QFrame;

namespace brevant::shell {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Frame1;
    QLabel* lblVersion;
    QLabel* Label1;
};

} // namespace brevant::shell
