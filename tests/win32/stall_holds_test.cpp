// What a stall holds under Windows: while it lasts, every other thread's
// malloc (a stall "heap") or the host's own code (a stall "hostlock") waits
// for it, and gets through once it ends; a plain stall holds neither.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "hostsim/win32/stall_holds.h"

using namespace hostsim;

namespace {

const EngineThreadServices services = Win32ThreadServices();

struct StalledThread {
    StallHold holds;
    HANDLE entering = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // raised just before the stall
};

DWORD WINAPI StallTillReleased(void* parameter)
{
    StalledThread* stalled = static_cast<StalledThread*>(parameter);
    SetEvent(stalled->entering);
    services.stall(kStallForever, stalled->holds);
    return 0;
}

typedef void (*Probe)();

void Allocate()
{
    void* volatile block = malloc(24);
    free(block);
}

void TakeHostLock()
{
    EnterHostLock();
    LeaveHostLock();
}

// A probe started before the stall and parked until it is sent: a thread
// that starts meanwhile needs the process heap, which is not the one a stall
// holds, and could not tell them apart.
struct ParkedProbe {
    Probe probe;
    HANDLE go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);

    explicit ParkedProbe(Probe probe)
        : probe(probe)
    {
    }
    ~ParkedProbe()
    {
        SetEvent(go);
        WaitForSingleObject(thread, 1000);
        CloseHandle(thread);
        CloseHandle(go);
    }
    static DWORD WINAPI Run(void* parameter)
    {
        ParkedProbe* parked = static_cast<ParkedProbe*>(parameter);
        WaitForSingleObject(parked->go, INFINITE);
        parked->probe();
        return 0;
    }
};

const int kProbes = 20;

// Sends the probes one by one, 20 ms apart, until one of them waits 100 ms
// without getting through, and returns its thread; none, when nothing holds
// what it probes. The gaps give a stalled thread that a busy machine keeps
// from running between its start and its stall the time to take its hold.
// Neither the C heap nor the host lock is used meanwhile.
HANDLE ProbeThatWaits(std::unique_ptr<ParkedProbe> (&probes)[kProbes])
{
    for (std::unique_ptr<ParkedProbe>& parked : probes) {
        SetEvent(parked->go);
        if (WaitForSingleObject(parked->thread, 100) == WAIT_TIMEOUT)
            return parked->thread;
        Sleep(20);
    }
    return nullptr;
}

// A stall holding what it holds, for as long as the probe takes to wait (or
// not), then released: the probe's thread and the stalled one both end
// within 1000 ms.
void StallAndProbe(StallHold holds, Probe probe, bool probeWaits)
{
    std::unique_ptr<ParkedProbe> probes[kProbes];
    for (std::unique_ptr<ParkedProbe>& parked : probes)
        parked = std::make_unique<ParkedProbe>(probe);
    services.releaseStalls(false);
    StalledThread stalledThread;
    stalledThread.holds = holds;
    HANDLE stalled = CreateThread(nullptr, 0, StallTillReleased, &stalledThread, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(stalledThread.entering, 5000), WAIT_OBJECT_0) << "the stalled thread never started";
    HANDLE waiting = ProbeThatWaits(probes);
    services.releaseStalls(true);
    if (probeWaits) {
        ASSERT_NE(waiting, nullptr) << "no probe ever waited for the stall";
        EXPECT_EQ(WaitForSingleObject(waiting, 1000), WAIT_OBJECT_0) << "the probe still waits after the stall";
    } else {
        EXPECT_EQ(waiting, nullptr) << "a probe waited for a stall that holds nothing";
    }
    EXPECT_EQ(WaitForSingleObject(stalled, 1000), WAIT_OBJECT_0) << "the stall did not end when released";
    CloseHandle(stalled);
    CloseHandle(stalledThread.entering);
}

TEST(StallHolds, AHeapStallHoldsEveryOtherThreadsMallocTillItEnds)
{
    StallAndProbe(kHoldHeap, Allocate, true);
}

TEST(StallHolds, AHostLockStallHoldsTheHostsOwnCodeTillItEnds)
{
    StallAndProbe(kHoldHostLock, TakeHostLock, true);
}

TEST(StallHolds, APlainStallHoldsNeither)
{
    StallAndProbe(kHoldNothing, Allocate, false);
    StallAndProbe(kHoldNothing, TakeHostLock, false);
}

}  // namespace
