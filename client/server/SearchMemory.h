#pragma once
// The Find Projects window's last entries, kept as settings so that the next opening (in this
// run or the next) starts from them.
#include "server/ProjectSearch.h"

namespace brevant::server {

// The entries the window was last closed with; all empty at a first start.
SearchCriteria ReadLastSearch();
// Stores the entries. A value that cannot be written is skipped: closing must not fail on it.
void SaveLastSearch(const SearchCriteria& criteria);

} // namespace brevant::server
