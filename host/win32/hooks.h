// The hooks the patched host sites reach. Each is a few instructions of its
// own, under the host's calling contract at its site; none is called from C++.
#pragma once

// Reached by the host's shutdown CALL.
void ShutdownHook();
// Reached by the host's script re-initialisation CALL.
void ReinitHook();
// Reached by the jump at the host text lookup's entry.
void TextLookupHook();
// Where TextLookupHook sends the host's own keys while no other mod shares
// the lookup: the lookup's replaced entry, then the rest of it.
void TextLookupEntryReplay();
