#include "store/frmAssign.h"

#include "platform/ui/Ui.h"

namespace brevant::store {

frmAssign::frmAssign(QString& result, QWidget* parent)
    : frmAttach(result,
                {tr("Project Assignment Dialog"), tr("Who is this project assigned to:"),
                 tr("Cancel this assignment?")},
                parent) {
    setObjectName(QStringLiteral("frmAssign"));
}

bool frmAssign::acceptText(const QString& text) {
    if (!text.isEmpty())
        return true;
    ui::message(tr("You are trying to assign the project(s) to a null string -- "
                   "Please enter a value and try again ..."),
                ui::Buttons::Ok, ui::Icon::Exclamation, tr("System Message"));
    return false;
}

} // namespace brevant::store
