#include "common/Numbers.h"
