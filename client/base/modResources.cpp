#include "base/modResources.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace brevant::modResources {

std::unique_ptr<db::Connection> DbConnection;
std::unique_ptr<db::Recordset> DbRecordset;
QString CacheLocation;
QString DataLocation;
bool ProxyOn = false;
bool ShowReminder = false;
QDate LastUpdate;
bool FirstDown = false;
HttpProxySetting HttpProxy;
QString UserName;
QString Password;
bool LogonCancelled = false;
bool DocumentsSelected = false;

void CloseDatabase() {
    try {
        if (DbRecordset)
            DbRecordset->close();
    } catch (...) {
    }
    DbRecordset.reset();
    try {
        if (DbConnection)
            DbConnection->close();
    } catch (...) {
    }
    DbConnection.reset();
}

void Reset() {
    CloseDatabase();
    CacheLocation.clear();
    DataLocation.clear();
    ProxyOn = false;
    ShowReminder = false;
    LastUpdate = QDate();
    FirstDown = false;
    HttpProxy = HttpProxySetting();
    UserName.clear();
    Password.clear();
    LogonCancelled = false;
    DocumentsSelected = false;
}

} // namespace brevant::modResources
