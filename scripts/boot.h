// The boot script: run to its end on the host's thread by the first tick after
// each start of the host's scripts. It never waits.
#pragma once

void BootScript();
