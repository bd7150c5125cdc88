// The main of the test programs under Wine: the framework's own, but for how
// the process ends (exit_alone.h).
#include <gtest/gtest.h>

#include "hostsim/win32/exit_alone.h"

using namespace hostsim;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ExitAlone(RUN_ALL_TESTS());
}
