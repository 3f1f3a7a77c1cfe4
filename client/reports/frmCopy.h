#pragma once
// "Copy Project": copies the selected project's cached documents and its full report to a
// folder the user names. The window refuses to close while it copies.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brevant::reports {

class frmCopy : public QDialog {
    Q_OBJECT
public:
    // jobId: the selected project's Job_ID.
    explicit frmCopy(qint64 jobId, QWidget* parent = nullptr);

    void Command1_Click(); // CO&PY
    void Command3_Click(); // "..."
    bool copying() const { return copying_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool refuseClose();

    QLineEdit* Text1;
    QLabel* Label2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    qint64 jobId_;
    bool copying_ = false;
};

} // namespace brevant::reports
