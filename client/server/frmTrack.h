#pragma once
// "Tracking Projects": the projects a search found that are not stored yet. The user ticks the
// ones to track; "&IMPORT" asks the server for their listing, downloads and unpacks it and
// imports it (client/server/ListingImport).
#include "server/ProjectSearch.h"

#include <QDialog>
#include <memory>

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
    // "&CANCEL" while importing: stops the import where it is. Waiting for the reply, the
    // request is dropped; downloading, the transfer stops and leaves no file; importing, the
    // projects already written stay and the others are not written at all.
    void CancelImport();
    static QString ImportCancelledText();

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
    QLabel* lblPurpose; // what the window is for, above the instruction
    ServerConnection* Wirelet1;
    QString argument_;
    std::shared_ptr<bool> cancelled_ = std::make_shared<bool>(false); // the running import's
};

} // namespace brevant::server
