// Every test starts from the module as it is at load, attached to the
// substitute host, whatever the test before it left: so the suite runs in one
// process, in any order.
#include <gtest/gtest.h>

#include "hostsim/direct/direct_binding.h"
#include "scripts/boot.h"

using namespace hostsim;

namespace {

struct ModuleAtLoad : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        ResetModule();
        AttachDirectHost();
    }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ModuleAtLoad);
    return true;
}();

}  // namespace
