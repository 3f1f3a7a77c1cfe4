#pragma once
// "Find Projects": search criteria, saved searches, and the search on the server. The results
// not yet stored locally are offered in frmTrack. The connection stays open for the next search.
#include "server/ProjectSearch.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brevant::server {

class ServerConnection;

class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(QWidget* parent = nullptr);
    ~frmFind() override;

    // The criteria as they stand in the boxes.
    SearchCriteria criteria() const;

    void Search(); // "&SEARCH"
    void ParseSearchResults();
    void LoadSavedSearches();
    void Combo1_Click();
    void SaveSearch();   // "SA&VE SEARCH"
    void DeleteSearch(); // "C&LEAR"
    void EnableSearchControls(bool enabled);

    // Leaving a box; false when the focus must stay (an invalid date or range).
    bool txtJobName_LostFocus();
    bool txtScope_LostFocus();
    bool txtBidDate_LostFocus(int index);
    bool txtCSVCSI_LostFocus();
    // Every box's rules at once, before a search or a save; false (after the message, with the
    // focus in the box) when a date is invalid or the range reversed.
    bool CheckFields();
    // The range and the list exclude each other.
    void txtCSI_Change();
    void txtCSVCSI_Change();

    bool Busy = false;
    QString WhereClause;
    ServerConnection* WireletFind;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void setBoxEnabled(QLineEdit* box, bool enabled);
    void requestEnded();
    void clearCriteria();

    QLineEdit* txtJobName;
    QLineEdit* txtScope;
    QLineEdit* txtBidDate[2];
    QLineEdit* txtCSI[2];
    QLineEdit* txtCSVCSI;
    QComboBox* Combo1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QLabel* lblStatus;
    bool changing_ = false;
};

} // namespace brevant::server
