#pragma once
// What the rest of the client may ask of the main window without knowing its widgets: the
// status text, the wait window, the busy flags, enabling the commands during a request, and
// the project list's rows. frmMain registers itself here while it exists; every call is a
// no-op (or returns an empty answer) when no main window is registered, as in headless tests.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace brevant::base {

class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void setStatusText(const QString& text) = 0;
    virtual void showWaitForm() = 0;
    virtual void closeWaitForm() = 0;
    virtual void enableCommands(bool enabled) = 0;

    virtual bool updateBusy() const = 0;
    virtual void setUpdateBusy(bool busy) = 0;
    virtual bool documentsBusy() const = 0;
    virtual void setDocumentsBusy(bool busy) = 0;

    // The filter of the checked "Project Display" entry: "ALL", "NEW", "TRACK" or "VIEW".
    virtual QString currentFilter() const = 0;
    // Refills the project list (LoadProjects).
    virtual void loadProjects(const QString& filter, bool quiet) = 0;
    // The tags of the checked rows of the project list, in list order.
    virtual std::vector<int> checkedJobIds() const = 0;
    // The tag of the selected row of the project list.
    virtual std::optional<int> selectedJobId() const = 0;
    // Sets the small icon of the project list's row with this tag (the update markers 14/15).
    virtual void setProjectRowIcon(int jobId, int icon) = 0;
    // ShowChangedBidDate: the row's new date text, shown in bold.
    virtual void showChangedBidDate(int jobId, const QString& dateText) = 0;
    // FindProjectRow: the 1-based position of the project list's row whose tag equals the
    // identifier (compared as text without regard to case), or 0.
    virtual int findProjectRow(const QString& jobId) const = 0;
    // Reloads the selected project's row and redraws its views from the database.
    virtual void refreshSelectedProject() = 0;

    // The long work the wait window stands for: its Cancel button runs onCancel (empty: no
    // button). Kept until the wait window closes, so it may be set before the window shows.
    virtual void setWaitCancel(std::function<void()> onCancel) { (void)onCancel; }
    // Progress of that work (total <= 0: unknown, the bar runs without an end).
    virtual void setWaitProgress(std::int64_t done, std::int64_t total) {
        (void)done;
        (void)total;
    }
    // Brings the rows of these projects into view after a command changed them; the current
    // project moves to the first of them unless it is one of them already.
    virtual void showChangedRows(const std::vector<int>& jobIds) { (void)jobIds; }
};

// The registered main window, or null.
MainWindow* mainWindow();
void registerMainWindow(MainWindow* window);
void unregisterMainWindow(MainWindow* window);

// The first panel of the main window's status bar.
void SetStatusText(const QString& text);
// Shows the modeless wait window "Please Wait ...".
void ShowWaitForm();
// Closes the wait window if it is shown.
void CloseWaitForm();

} // namespace brevant::base
