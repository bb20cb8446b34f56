#include "common/ProfileFile.h"
