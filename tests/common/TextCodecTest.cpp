#include "common/TextCodec.h"
