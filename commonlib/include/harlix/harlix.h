#pragma once
// Umbrella header of the Harlix common functions library.
#include "harlix/BrowseDirectorysOnly.h"
#include "harlix/CWinInetConnection.h"
#include "harlix/ComError.h"
#include "harlix/RegSettings.h"
#include "harlix/WindowHandle.h"
#include "harlix/computerInfo.h"
#include "harlix/miscStuff.h"
#include "harlix/modResources.h"
