#pragma once
// "E-Mail": the files of the selection to attach, the addresses, subject and message, and the
// mail control that sends them. Files can be added ("&ADD FILE"), removed (Delete) and
// cleared ("&CLEAR ALL").
#include <QDialog>
#include <mailvane/mailvane.h>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace brevant::reports {

class frmSelectFiles : public QDialog {
    Q_OBJECT
public:
    // selection: the selection string of the menu command; projectFolder: the project's
    // cache folder; title: the project's title (the subject).
    frmSelectFiles(const QString& selection, const QString& projectFolder, const QString& title,
                   QWidget* parent = nullptr);

    void Command1_Click(); // &SEND MESSAGE
    void Command2_Click(); // &ADD FILE
    void Command3_Click(); // &CLEAR ALL
    QStringList files() const;
    mailvane::Mailvane& Mailvane1() { return mail_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QPlainTextEdit* Text4;
    QListWidget* List1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QProgressBar* ProgressBar1;
    mailvane::Mailvane mail_;
    bool sending_ = false;
};

} // namespace brevant::reports
