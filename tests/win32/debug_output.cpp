// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the string's length and
// address; a vectored handler sees it before the handler that swallows it
// when no debugger is attached.
#include "tests/win32/debug_output.h"

#include <windows.h>

static std::string keptOutput;

static LONG CALLBACK KeepDebugString(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        keptOutput += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

void KeepDebugOutput()
{
    AddVectoredExceptionHandler(1, KeepDebugString);
}

std::string DebugOutput()
{
    return keptOutput;
}
