#include "server/SearchMemory.h"

#include "base/Settings.h"

#include <utility>

namespace brevant::server {

namespace {

// Every entry of the window with its key.
template <typename Criteria, typename F> void eachEntry(Criteria& c, F&& f) {
    f(QStringLiteral("FINDNAME"), c.jobName);
    f(QStringLiteral("FINDSCOPE"), c.scope);
    f(QStringLiteral("FINDDATE1"), c.bidStart);
    f(QStringLiteral("FINDDATE2"), c.bidEnd);
    f(QStringLiteral("FINDCSI1"), c.csiFrom);
    f(QStringLiteral("FINDCSI2"), c.csiTo);
    f(QStringLiteral("FINDCSILIST"), c.csiList);
}

} // namespace

SearchCriteria ReadLastSearch() {
    SearchCriteria c;
    eachEntry(c, [](const QString& key, QString& value) { value = ReadSetting(key); });
    return c;
}

void SaveLastSearch(const SearchCriteria& criteria) {
    eachEntry(criteria, [](const QString& key, const QString& value) {
        try {
            WriteSetting(key, value);
        } catch (...) {
        }
    });
}

} // namespace brevant::server
