#pragma once
// "Tracking Projects": the projects a search found that are not stored yet. The user ticks the
// ones to track; "&IMPORT" asks the server for their listing, downloads and unpacks it and
// imports it (client/server/ListingImport).
#include "server/ProjectSearch.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace brevant::server {

class ServerConnection;

class frmTrack : public QDialog {
    Q_OBJECT
public:
    explicit frmTrack(QWidget* parent = nullptr);
    ~frmTrack() override;

    // A row for a project found by the search (tag: its Job_ID).
    void addProject(const FoundProject& project);

    void ImportProjects(); // "&IMPORT"
    void FinishImport(const QString& path);
    void EnableImportControls(bool enabled);
    void ListView1_ColumnClick(int column);
    void selectAll(bool checked); // "&SELECT ALL" / "CLEAR &ALL"

    bool Busy = false;
    bool ListingTransfer = false; // the listing archive is being downloaded

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void listingReplied(const QByteArray& text);
    void requestEnded();

    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3_0;
    QPushButton* Command3_1;
    QProgressBar* ProgressBar1;
    QLabel* lblStatus;
    QLabel* Label1;
    ServerConnection* Wirelet1;
    QString argument_;
};

} // namespace brevant::server
