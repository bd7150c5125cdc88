// The native substitute host: the module linked in, reached directly.
#include "hostsim/direct/direct_binding.h"
#include "hostsim/command_line/run_main.h"

namespace hostsim {

static RunResult RunNative(const Scenario& scenario, void (*onRecord)(const TraceRecord&))
{
    AttachDirectHost();
    return RunHost(scenario, DirectBinding(), onRecord);
}

}  // namespace hostsim

using namespace hostsim;

int main(int argc, char** argv)
{
    return RunHostsimMain(argc, argv, RunNative);
}
