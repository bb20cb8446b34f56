#include "common/Wildcard.h"
