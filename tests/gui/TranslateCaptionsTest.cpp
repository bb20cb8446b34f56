#include "gui/TranslateCaptions.h"
