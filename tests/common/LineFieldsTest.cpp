#include "common/LineFields.h"
