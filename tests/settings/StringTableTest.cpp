#include "settings/StringTable.h"
