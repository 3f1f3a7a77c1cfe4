#include "store/frmAssign.h"

#include "platform/ui/Ui.h"

namespace brevant::store {

frmAssign::frmAssign(QString& result, QWidget* parent)
    : frmAttach(result,
                {QStringLiteral("Project Assignment Dialog"),
                 QStringLiteral("Who is this project assigned to:"),
                 QStringLiteral("Cancel this assignment?")},
                parent) {
    setObjectName(QStringLiteral("frmAssign"));
}

bool frmAssign::acceptText(const QString& text) {
    if (!text.isEmpty())
        return true;
    ui::message(QStringLiteral("You are trying to assign the project(s) to a null string -- "
                               "Please enter a value and try again ..."),
                ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("System Message"));
    return false;
}

} // namespace brevant::store
