#pragma once
// Which project store this process works on. The STORE setting holds the chosen store's locator
// text (a PostgreSQL connection string, URI or service name, or a file path); missing or empty
// means "this computer": Desktop.mdb in the data folder (DATALOC). A window-less command given
// --store LOCATOR overrides the setting for the whole process without writing it.
#include "platform/db/StoreLocator.h"

#include <QString>

namespace brevant::base {

// The settings key that holds the chosen store's locator.
inline constexpr const char* kStoreSetting = "STORE";

// The store to open: the override when one is set, else STORE, else this computer's file
// (ThisComputerStore()).
db::StoreLocator ChosenStore();

// True when ChosenStore() is this computer's Desktop.mdb (no override and STORE empty).
bool ChosenStoreIsThisComputer();

// This computer's store: Desktop.mdb in the data folder, which is DataLocation once the
// settings were loaded, else DATALOC, else DefaultDataLocation().
db::StoreLocator ThisComputerStore();

// The default data folder: the program folder + "/Work".
QString DefaultDataLocation();

// Makes every later ChosenStore() return locator, for this process only (--store LOCATOR).
void OverrideStore(const db::StoreLocator& locator);
// Back to the settings (tests; a process that is done with its --store).
void ClearStoreOverride();
bool HasStoreOverride();

} // namespace brevant::base
