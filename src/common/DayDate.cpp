#include "common/DayDate.h"
