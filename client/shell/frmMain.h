#pragma once
// The main window: the project list on the left, the selected project's details and
// documents on the right, the menus, the toolbar and the status bar. It holds the controls and
// forwards every event; what a command does lives in the functions it calls.
#include "base/MainWindow.h"
#include "documents/DocumentDownload.h"
#include "documents/DocumentLists.h"
#include "platform/db/StoreLocator.h"
#include "platform/ui/QtUiImageList.h"
#include "store/ProjectList.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace brevant::db {
class StoreWatcher;
}

namespace brevant::server {
class ServerConnection;
}

namespace brevant::store {
struct AttachmentContext;
struct AssignmentContext;
} // namespace brevant::store

namespace brevant::shell {

class frmWait;
struct WindowMemory;

class frmMain : public QMainWindow, public base::MainWindow, public documents::DocumentWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Start-up and shutdown --------------------------------------------------------------
    // The main window's load: initialisation, menu bitmaps, columns, the first fill of the
    // list and the update reminder. Run again when the database folder changes.
    void Form_Load();
    // True when the window may close (asks while a request runs).
    bool Form_QueryUnload();
    // Saves the list layout, closes and compacts the database. Runs once.
    void Form_Unload();

    // ---- MainWindow ------------------------------------------------------------------------
    void setStatusText(const QString& text) override;
    void showWaitForm() override;
    void closeWaitForm() override;
    void enableCommands(bool enabled) override;
    bool updateBusy() const override { return UpdateBusy; }
    void setUpdateBusy(bool busy) override { UpdateBusy = busy; }
    bool documentsBusy() const override { return DocumentsBusy; }
    void setDocumentsBusy(bool busy) override { DocumentsBusy = busy; }
    QString currentFilter() const override;
    void loadProjects(const QString& filter, bool quiet) override { LoadProjects(filter, quiet); }
    std::vector<int> checkedJobIds() const override;
    std::optional<int> selectedJobId() const override;
    void setProjectRowIcon(int jobId, int icon) override;
    void showChangedBidDate(int jobId, const QString& dateText) override;
    int findProjectRow(const QString& jobId) const override;
    void refreshSelectedProject() override;
    void setWaitCancel(std::function<void()> onCancel) override;
    void setWaitProgress(std::int64_t done, std::int64_t total) override;
    void showChangedRows(const std::vector<int>& jobIds) override;

    // ---- Main window commands --------------------------------------------------------------
    void EnableCommands(bool enabled) { enableCommands(enabled); }
    void BuildMenuBitmaps();
    void SetToolbarImages();
    void CopySelectedText();
    // The Preferences dialog; a changed database folder reloads the window. atServerSettings:
    // opened on the service's address (from a connection error or the first-run hint).
    void ShowPreferences(bool atServerSettings = false);
    // True when the last load ended because the chosen project store could not be opened and
    // the user chose to quit: the window is not to be shown.
    bool startupAbandoned() const { return startupAbandoned_; }
    // F5: the list read again under its filter and search, the current project kept current.
    void RefreshProjects();
    // Follows the open store's changes made elsewhere (frmMainLive.cpp): on a shared store the
    // list is read again when another workstation changed projects.
    void watchStore();
    bool followingStore() const;
    // A filter button of the toolbar: the filter shown with the commands held off meanwhile.
    void toolbarFilter(const QString& filter);

    // ---- Project list ----------------------------------------------------------------------
    void SetUpColumns();
    void LoadProjects(const QString& filter, bool quiet);
    void SelectProject(int jobId);
    // Checks the rows of these projects and makes the first of them listed the current row.
    void ShowProjects(const QList<int>& jobIds);
    // What selecting a project loads besides DbRecordset: reports, notes, attachments and
    // the document lists.
    void LoadProjectDetail(int jobId);
    void ClearProjectDetail();
    void CheckAll();
    void UncheckAll();
    void MarkTagged();
    void MarkOpened();
    void DeleteSelectedProjects();
    void ShowChangedBidDate(int jobId, const QString& dateText) {
        showChangedBidDate(jobId, dateText);
    }
    // A filter command of the "Project Display" submenu or the toolbar.
    void ShowFilter(const QString& filter);
    void ListView1_ColumnClick(int column);
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void Text2_Change();
    // The row of the project list with this tag, or null.
    QTreeWidgetItem* FindProjectRow(int jobId) const;
    const store::SortState& sortState() const { return sort_; }

    // The attachment list's view mode: 0 icons, 3 report.
    int attachmentViewMode() const;
    void setAttachmentViewMode(int mode);

    // Ticks or clears every row of a list view.
    static void SetAllChecked(QTreeWidget* listView, bool checked);
    // True when at least one row of the list view is checked.
    static bool AnyChecked(const QTreeWidget* listView);

    // ---- Attachments, assignments, job listing report (frmMainAttach.cpp) -------------------
    void LoadAttachments(int jobId);
    void mnuAttachAdd_Click();
    void mnuAttachDel_Click();
    void mnuAttachOpen_Click();
    void mnuListAssign_Click();
    void mnuListAssign2_Click();
    void mnuListJobList_Click();

    // ---- Local search and exports (frmMainSearch.cpp) --------------------------------------
    // The search box's text, trimmed; empty when the View filter decides the list.
    QString searchText() const;
    void txtSearch_Change();
    void mnuFileExportCalendar_Click();
    void mnuFileExportList_Click();

    // ---- Moving the projects into the firm store (frmMainMigrate.cpp) -----------------------
    void mnuFileMigrateStore_Click();
    void startMigration(const db::StoreLocator& source, const db::StoreLocator& target, bool merge);

    // ---- Printing, project copy, e-mail (frmMainOutput.cpp) ---------------------------------
    void mnuListPrintSummary_Click();
    void mnuFile_Copy_Click();
    void mnuFileEmail_Click();

    // ---- Server exchange (frmMainExchange.cpp) ----------------------------------------------
    // The three connections of the main window, each with its own reply state: project
    // updates, the access check and documents.
    server::ServerConnection* Wirelet1 = nullptr;
    server::ServerConnection* Wirelet2 = nullptr;
    server::ServerConnection* Wirelet3 = nullptr;
    // "Find Projects (Online)": the search dialog, modal.
    void mnuFile_Find_Click();
    // BREVANT_SCREENSHOT_IMPORT=path (the demo without a display): searches the bid dates from
    // today on with the credentials of BREVANT_DEMO_LOGON ("user:password"), imports the first
    // three projects offered, saves a picture of the import dialog and closes the window.
    void scheduleImportScreenshot();

    // ---- Project documents (frmMainDocuments.cpp) -------------------------------------------
    // Fills one document list ("PLANS", "SPECS" or "ADD") for the current project.
    void LoadDocumentList(const QString& kind);
    // "Download Selected ..." of a list (0 plans, 1 specifications, 2 addenda).
    void mnuDownloadSelected_Click(int list);
    // The toolbar's download of the ticked rows of all three lists.
    void DownloadAllDocuments();
    // A double-click on a row of a document list.
    void DocumentList_DblClick(int list);
    void mnuPlansView_Click();
    void mnuFileClear_Click();
    documents::DocumentExchange* documentExchange() const { return documentExchange_; }

    // DocumentWindow
    documents::DocumentViews& documentViews() override;
    int documentRequestCode() const override { return DocumentRequestCode; }
    void setDocumentRequestCode(int code) override { DocumentRequestCode = code; }
    int documentTab() const override;
    void setDocumentTab(int tab) override;
    void showDocumentProgress(bool shown) override;
    void setDocumentProgress(std::int64_t received, std::int64_t total) override;

    // "Check for Updates on Selected Project(s)" and its toolbar button (frmMainUpdate.cpp).
    void mnuList_Update_Click();

    // Main-window state read by the other parts of the program.
    bool UpdateBusy = false;
    bool DocumentsBusy = false;
    int DocumentRequestCode = 0; // the documents request of the server exchange
    QString DialogResult;        // the answer of the attachment / assignment dialogs

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void setUpExchange();
    void setUpDocuments();
    void tearDownExchange();
    void buildToolbar();
    void buildKeys();
    void buildCentre();
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption);
    void detailTabChanged(int index);
    void printButton(const QString& kind);
    void popup(QMenu* menu);
    // The project the panes were last loaded with (DbRecordset's row); selectedJobId() is the
    // current project only while it is also the list's current row.
    std::optional<int> shownJobId() const;
    store::AttachmentContext attachmentContext();
    store::AssignmentContext assignmentContext();
    bool ListView5_DragDrop(QEvent* event); // drag entering, moving over or dropped on the list
    QTreeWidget* newListView(const char* name, bool checkBoxes);
    void addProjectRow(const store::ProjectRow& row);
    void setRowIcon(QTreeWidgetItem* item, int icon);
    void showHeaderSortIcons();
    void markChecked(bool tagged);
    int firstColumnDecoration(const QTreeWidget* view) const;
    // The caption of a list column as the column table names it, whatever the header shows.
    static QString columnCaption(const QTreeWidget* view, int column);
    QWidget* buildSearchPane();
    void clearSearch();
    // The first step above an empty project list (frmMainFirstRun.cpp).
    QWidget* buildFirstStep();
    void updateFirstStep();
    void cmdFirstStep_Click();
    // What the window remembers between runs (frmMainMemory.cpp).
    void restoreWindowMemory(const WindowMemory& memory);
    void selectRememberedProject(std::optional<int> jobId);
    void saveWindowMemory();

    // Controls, each named as the program refers to it.
    QMenu* mnuFile;
    QMenu* mnuList;
    QMenu* mnuList_Project;
    QMenu* mnuOptions;
    QAction* mnuAbout;
    QMenu* mnuCPY;
    QMenu* mnuPlans;
    QMenu* mnuSpecs;
    QMenu* mnuAdd;
    QMenu* mnuAttach;
    QAction* mnuListAllRec;
    QAction* mnuListNewRec;
    QAction* mnuListTrackRec;
    QAction* mnuListVeiwedRec;
    QToolBar* Toolbar1;
    QVector<QAction*> buttons_; // index 1..13 as on the toolbar; [0] unused
    QLabel* statusPanel1;
    QLineEdit* txtSearch = nullptr;
    QFrame* fraFirstStep = nullptr;
    QLabel* lblFirstStep = nullptr;
    QPushButton* cmdFirstStep = nullptr;
    QTreeWidget* ListView1;
    QTreeWidget* ListView2;
    QTreeWidget* ListView3;
    QTreeWidget* ListView4;
    QTreeWidget* ListView5;
    QTabWidget* SSTab1;
    QTabWidget* SSTab2;
    QTextEdit* Summary;
    QTextEdit* Bidders;
    QTextEdit* Contacts;
    QTextEdit* Updates;
    QTextEdit* Awards;
    QTextEdit* RichTextBox1;
    QPlainTextEdit* Text2;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QProgressBar* ProgressBar2;
    QProgressBar* ProgressBar3;
    QProgressBar* ProgressBar4;

    ui::ImageList ImageList1;
    ui::ImageList ImageList2;
    QPointer<frmWait> wait_;
    std::function<void()> waitCancel_; // the Cancel of the work the wait window stands for
    // The list's cues (frmMainListCues.cpp): its count, what an empty list says, the counts
    // under the document lists.
    void setUpListCues();
    void showListCount();
    void styleBidDate(QTreeWidgetItem* item) const;
    QLabel* lblCount = nullptr;
    QLabel* lblEmptyList = nullptr;
    QLabel* lblDocumentCount[3] = {};
    store::SortState sort_;
    int documentTab_ = 0;
    QStringList searchWords_; // what the search box found, marked in the report panes
    std::unique_ptr<documents::DocumentViews> documentViews_;
    documents::DocumentExchange* documentExchange_ = nullptr;
    bool filling_ = false;
    void followStore();
    db::StoreWatcher* liveWatcher_ = nullptr;
    QTimer liveRetry_; // a change announced while the window was busy
    // The notes as last loaded or written: a save over anything else is another estimator's
    // change (frmMainList.cpp, Text2_Change).
    QString notesBase_;
    bool unloaded_ = false;
    bool startupAbandoned_ = false;
    // Shows the Preferences dialog; true when what it saved needs the window's load again.
    bool runPreferences(bool atServerSettings);
    bool layoutRestored_ = false;
};

// The process entry: the single-instance guard, the splash, the main window's load, the
// splash hold and the main window shown. Returns the process's exit code.
int Main();

// Shows the window (restored if minimised), raises and activates it; true when it is shown.
bool BringToFront(QWidget* window);

} // namespace brevant::shell
