// The main of the test programs under Wine: the framework's own, but for how
// the process ends (exit_at_once.h).
#include <gtest/gtest.h>

#include "hostsim/win32/exit_at_once.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ExitAtOnce(RUN_ALL_TESTS());
}
