#pragma once
// The takeoff side panel beside the page: the sheet's scale (a stated one, calibrate, verify),
// the takeoff items with their totals on the sheet and in the project, the stale note with
// Accept, and the commands that freeze quantities and export the CSV. It shows what the session
// says and forwards choices; the window runs the dialogs behind the buttons.
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace brevant::viewer {

class TakeoffSession;

class TakeoffPanel : public QWidget {
    Q_OBJECT
public:
    // The quantities come right after the name, so a narrow panel still shows them.
    enum Column { ColItem, ColSheet, ColProject, ColUnit, ColWaste, ColKind, ColNote, Columns };

    explicit TakeoffPanel(TakeoffSession& session, QWidget* parent = nullptr);

    // Shows the session's state again (after every change).
    void refresh();
    // The live measurement or the last result, under the list.
    void showMeasurement(const QString& text);

Q_SIGNALS:
    void newItemRequested();
    void calibrateRequested();
    void verifyRequested();
    void freezeRequested();
    void exportRequested();
    void scaleRefused(const QString& why);

private:
    void scaleChosen(int index);

    TakeoffSession& session_;
    QComboBox* cboScale;
    QPushButton* cmdCalibrate;
    QPushButton* cmdVerify;
    QTreeWidget* lstItems;
    QPushButton* cmdNewItem;
    QPushButton* cmdRemoveItem;
    QLabel* lblStale;
    QPushButton* cmdAccept;
    QLabel* lblMeasure;
    QLabel* lblSnapshot;
    QPushButton* cmdFreeze;
    QPushButton* cmdExport;
    bool refreshing_ = false;
};

} // namespace brevant::viewer
