#pragma once
// The small modeless window shown around long operations. It sits centred over the window that
// owns it; for work that can be stopped it shows the progress and a Cancel button.
#include <QWidget>
#include <cstdint>
#include <functional>

class QProgressBar;
class QPushButton;

namespace brevant::shell {

class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(QWidget* owner = nullptr);

    // onCancel empty: no Cancel button. The button runs it once and is then disabled.
    void setCancel(std::function<void()> onCancel);
    // done of total (total <= 0: unknown, the bar runs without an end).
    void setProgress(std::int64_t done, std::int64_t total);
    // Places the window centred over its owner's window.
    void centreOnOwner();

protected:
    void showEvent(QShowEvent* event) override;
    // Closed (not minimised), it keeps nothing of the work that ended: no bar, no Cancel.
    void hideEvent(QHideEvent* event) override;

private:
    QProgressBar* ProgressBar1;
    QPushButton* cmdCancel;
    std::function<void()> onCancel_;
};

} // namespace brevant::shell
