#include "hostsim/win32/process_threads.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace hostsim {

std::vector<DWORD> ThreadsOfThisProcess()
{
    std::vector<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.push_back(entry.th32ThreadID);
    }
    CloseHandle(snapshot);
    return threads;
}

std::string ThreadStartsOfThisProcess()
{
    typedef LONG(WINAPI * QueryThread)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    const ULONG kThreadQuerySetWin32StartAddress = 9;
    QueryThread query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    std::string starts;
    for (DWORD id : ThreadsOfThisProcess()) {
        if (id == GetCurrentThreadId())
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
        uintptr_t start = 0;
        if (thread && query)
            query(thread, kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr);
        if (thread)
            CloseHandle(thread);
        HMODULE module = nullptr;
        char name[MAX_PATH] = "?";
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCSTR>(start), &module)) {
            GetModuleFileNameA(module, name, sizeof name);
            start -= reinterpret_cast<uintptr_t>(module);
        }
        const char* file = strrchr(name, '\\') ? strrchr(name, '\\') + 1 : name;
        char line[MAX_PATH + 32];
        snprintf(line, sizeof line, "%s%s+%X", starts.empty() ? "" : ", ", file, static_cast<unsigned>(start));
        starts += line;
    }
    return starts;
}

int HandlesOfThisProcess()
{
    struct HandleEntry {
        ULONG ownerProcessId;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct HandleList {
        ULONG count;
        HandleEntry entries[1];
    };
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
    const ULONG kSystemHandleInformation = 16;
    static std::vector<char> buffer(1 << 22);
    QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    ULONG length = 0;
    if (!query || query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0)
        return -1;
    const HandleList* list = reinterpret_cast<const HandleList*>(buffer.data());
    int count = 0;
    for (ULONG n = 0; n < list->count; ++n)
        count += list->entries[n].ownerProcessId == GetCurrentProcessId();
    return count;
}

}  // namespace hostsim
