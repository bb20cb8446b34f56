// Tests of this subsystem are added beside this file.
#include <gtest/gtest.h>
