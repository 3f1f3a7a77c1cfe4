#include "base/Settings.h"

#include <harlix/RegSettings.h>

namespace brevant {
namespace {

constexpr const char* kApp = "Velmora";
constexpr const char* kSection = "Brevant";

harlix::RegSettings& settings() {
    static harlix::RegSettings instance;
    return instance;
}

} // namespace

QString ReadSetting(const QString& key, const QString& defaultValue) {
    return QString::fromStdString(
        settings().GetSetting(kApp, kSection, key.toStdString(), defaultValue.toStdString()));
}

void WriteSetting(const QString& key, const QString& value) {
    settings().SaveSetting(kApp, kSection, key.toStdString(), value.toStdString(),
                           harlix::vsStringVal);
}

int ReminderDaysSetting() {
    bool ok = false;
    const int days =
        ReadSetting(QStringLiteral("MESSAGEDAYS"), QStringLiteral("2")).trimmed().toInt(&ok);
    return ok ? days : 2; // a damaged value must not stop the start-up
}

} // namespace brevant
