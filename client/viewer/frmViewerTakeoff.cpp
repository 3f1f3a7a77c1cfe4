// The viewer window's takeoff: made for each document opened, over the project store the client
// uses, so the marks of a project's sheets are the project's.
#include "TakeoffSession.h"
#include "TakeoffTools.h"
#include "base/ChosenStore.h"
#include "documents/PlanSheets.h"
#include "frmViewer.h"
#include "platform/db/Connection.h"
#include "takeoff/TakeoffCsv.h"

#include <QStatusBar>
#include <exception>

namespace brevant::viewer {

void frmViewer::startTakeoff() {
    delete takeoff_;
    takeoff_ = nullptr;
    if (viewed_.path.isEmpty())
        return;
    std::unique_ptr<db::Connection> connection;
    std::vector<documents::PlanSheetEntry> sheets;
    QString problem;
    if (viewed_.jobId > 0) {
        try {
            connection = std::make_unique<db::Connection>();
            // The store the client works on: this computer's file or the firm's server.
            connection->open(base::ChosenStore());
            if (viewed_.isPlanSet())
                sheets = documents::PlanSheetsOfProject(*connection, viewed_.jobId);
        } catch (const std::exception& e) {
            connection.reset();
            problem = QString::fromLocal8Bit(e.what());
        }
    }
    auto session =
        std::make_unique<TakeoffSession>(std::move(connection), viewed_.jobId, viewed_.document);
    // A sheet of a plan set is the catalogue's sheet on that page, whose revision an update
    // raises; pages without one (the title page) and other documents are their own.
    if (!sheets.empty()) {
        const QString document = viewed_.document;
        session->setSheetOfPage([sheets, document](int page) {
            for (const documents::PlanSheetEntry& s : sheets)
                if (s.page == page + 1)
                    return takeoff::SheetKey{s.file, 0};
            return takeoff::SheetKey{document, page};
        });
    }
    if (!session->load(&problem) || !problem.isEmpty())
        statusBar()->showMessage(
            tr("The takeoff is not kept: the project store cannot be opened (%1).").arg(problem));
    takeoff_ = new TakeoffTools(*this, *view_, std::move(session));
    takeoff_->setSheetFile(viewed_.path);
    // The file names a plan set's sheets as the sheet list does: "PLAN001 FIRST FLOOR PLAN".
    if (!sheets.empty())
        takeoff_->setSheetNamer([sheets](const takeoff::SheetKey& key) {
            for (const documents::PlanSheetEntry& s : sheets)
                if (key.page == 0 && s.file.compare(key.document, Qt::CaseInsensitive) == 0)
                    return s.description.isEmpty() ? s.file
                                                   : s.file + QLatin1Char(' ') + s.description;
            return takeoff::defaultSheetName(key);
        });
}

} // namespace brevant::viewer
