#pragma once
// The client's settings: string values of application "Velmora", section "Brevant" in the
// Harlix settings store.
#include <QString>

namespace brevant {

// The stored value, or defaultValue when it is missing or empty.
QString ReadSetting(const QString& key, const QString& defaultValue = QString());

// Stores the value as a string. Throws harlix::ComError when the settings file cannot be
// written.
void WriteSetting(const QString& key, const QString& value);

// MESSAGEDAYS as a number of days (2 when it is not a whole number).
int ReminderDaysSetting();

} // namespace brevant
