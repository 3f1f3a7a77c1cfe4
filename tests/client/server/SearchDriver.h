#pragma once
// Drives frmFind and the frmTrack it opens, headless: criteria typed into the named boxes, the
// search button, and a hand-off that runs test code while the modal import dialog is up.
#include "ExchangeTestEnv.h"
#include "base/MainWindow.h"
#include "server/ServerConnection.h"
#include "server/frmFind.h"
#include "server/frmTrack.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace brevant::server::test {

inline void type(QWidget& form, const QString& box, const QString& text) {
    QLineEdit* e = form.findChild<QLineEdit*>(box);
    ASSERT_NE(e, nullptr) << box.toStdString();
    e->setText(text);
}

inline QTreeWidget* listOf(frmTrack& t) {
    return t.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
}

inline QList<int> offeredIds(frmTrack& t) {
    QList<int> ids;
    QTreeWidget* list = listOf(t);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    return ids;
}

// Runs action once the import dialog is shown (inside its modal loop), then closes it. Gives up
// after 30 s (a search that shows no dialog).
inline QPointer<QTimer>& pendingTrackAction() {
    static QPointer<QTimer> timer;
    return timer;
}

inline void whenTrackShown(std::function<void(frmTrack&)> action) {
    delete pendingTrackAction().data();
    auto* timer = new QTimer;
    pendingTrackAction() = timer;
    const QDeadlineTimer deadline(30000);
    QObject::connect(timer, &QTimer::timeout, [timer, action, deadline] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<frmTrack*>(w); t && t->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(*t);
                if (!t->Busy)
                    t->close();
                return;
            }
        }
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// Presses "&SEARCH" and waits until the search (and any import dialog) has finished.
inline bool runSearch(frmFind& find) {
    find.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    const bool done = waitUntil([&] { return !find.Busy; }, 60000);
    // A search that showed no import dialog leaves no action behind for a later one.
    delete pendingTrackAction().data();
    return done;
}

// Records what the import asks of the main window.
class RecordingMainWindow : public base::MainWindow {
public:
    RecordingMainWindow() { base::registerMainWindow(this); }
    ~RecordingMainWindow() override { base::unregisterMainWindow(this); }
    void setStatusText(const QString& text) override { statusTexts << text; }
    void showWaitForm() override {}
    void closeWaitForm() override {}
    void enableCommands(bool) override {}
    bool updateBusy() const override { return false; }
    void setUpdateBusy(bool) override {}
    bool documentsBusy() const override { return false; }
    void setDocumentsBusy(bool) override {}
    QString currentFilter() const override { return QStringLiteral("ALL"); }
    void loadProjects(const QString& filter, bool) override { reloads << filter; }
    std::vector<int> checkedJobIds() const override { return {}; }
    std::optional<int> selectedJobId() const override { return std::nullopt; }
    void setProjectRowIcon(int, int) override {}
    void showChangedBidDate(int, const QString&) override {}
    int findProjectRow(const QString&) const override { return 0; }
    void refreshSelectedProject() override {}
    QStringList statusTexts, reloads;
};

} // namespace brevant::server::test
