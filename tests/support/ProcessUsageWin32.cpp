#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ProcessUsage.h"

namespace testsupport {
namespace {

// The system's table of every open handle, in its form with full-width process ids.
// GetProcessHandleCount would be simpler, but Wine answers it with 0 whatever is open.
constexpr auto kExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

struct HandleEntry {
  PVOID object;
  ULONG_PTR processId;
  ULONG_PTR handle;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG attributes;
  ULONG reserved;
};

struct HandleTable {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntry entries[1];
};

std::size_t Handles(DWORD pid) {
  std::vector<char> buffer(1 << 16);
  NTSTATUS status;
  ULONG needed = 0;
  while ((status = ::NtQuerySystemInformation(kExtendedHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) {
    throw std::runtime_error("the handle table cannot be read: status " + std::to_string(status));
  }
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  std::size_t count = 0;
  for (ULONG_PTR i = 0; i < table->count; ++i) {
    if (table->entries[i].processId == pid) ++count;
  }
  return count;
}

std::size_t Threads(DWORD pid) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("no thread snapshot: error " + std::to_string(::GetLastError()));
  }
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  std::size_t count = 0;
  for (BOOL more = ::Thread32First(snapshot, &entry); more;
       more = ::Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == pid) ++count;
  }
  ::CloseHandle(snapshot);
  return count;
}

long ResidentKib(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!::GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<long>(counters.WorkingSetSize / 1024);
}

}  // namespace

// Handles stand for descriptors, the working set for the resident size.
ProcessUsage UsageOf(pid_t pid) {
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) {
    throw std::runtime_error("process " + std::to_string(pid) + " cannot be opened: error " +
                             std::to_string(::GetLastError()));
  }
  ProcessUsage usage{Handles(static_cast<DWORD>(pid)), Threads(static_cast<DWORD>(pid)),
                     ResidentKib(process)};
  ::CloseHandle(process);
  return usage;
}

ProcessUsage OwnUsage() {
  const DWORD pid = ::GetCurrentProcessId();
  return {Handles(pid), Threads(pid), ResidentKib(::GetCurrentProcess())};
}

}  // namespace testsupport
