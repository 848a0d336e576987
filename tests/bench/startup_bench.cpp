// Whole-process start-up, for Wine: starts two GUI programs in turn, A B A B, and times each from
// process creation until its window is visible and its message loop waits for input; then closes
// the window and waits for the process to end with exit code 0. One untimed start of each comes
// first, so that neither pays for loading the system's libraries from disk.
//
// Usage: pebitness_startup_bench ROUNDS FLOOR_EXE PROGRAM_EXE
// Prints: startup ratio=R min=R max=R rounds=N floor_ms=T program_ms=T   (ratio: PROGRAM / FLOOR)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD SettleMilliseconds = 200;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !::IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds from CreateProcess to a visible window with an idle message loop; negative on failure.
double StartToVisible(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return -1;
    ::WaitForInputIdle(process.hProcess, 30000);
    Search search{process.dwProcessId, nullptr};
    for (int tries = 0; tries < 30000 && search.found == nullptr; ++tries) {
        ::EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) ::Sleep(1);
    }
    LARGE_INTEGER visible;
    ::QueryPerformanceCounter(&visible);
    if (search.found != nullptr) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, 30000);
    }
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // Wine and the X server go on tearing the process's windows down after it has ended; let that
    // settle so that it does not slow the next start.
    ::Sleep(SettleMilliseconds);
    if (search.found == nullptr || exitCode != 0) return -1;
    return Seconds(start, visible);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: pebitness_startup_bench ROUNDS FLOOR_EXE PROGRAM_EXE\n");
        return 2;
    }
    const int rounds = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
    const std::wstring floorExe = argv[2];
    const std::wstring programExe = argv[3];
    if (StartToVisible(floorExe) < 0 || StartToVisible(programExe) < 0) {
        std::fprintf(stderr, "pebitness_startup_bench: a program did not start and close cleanly\n");
        return 1;
    }
    std::vector<double> floorTimes, programTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        const double floorTime = StartToVisible(floorExe);
        const double programTime = StartToVisible(programExe);
        if (floorTime <= 0 || programTime < 0) {
            std::fprintf(stderr, "pebitness_startup_bench: round %d failed\n", round);
            return 1;
        }
        floorTimes.push_back(floorTime);
        programTimes.push_back(programTime);
        ratios.push_back(programTime / floorTime);
        std::fprintf(stderr, "round %d: floor %.1f ms, program %.1f ms\n", round,
                     floorTime * 1000, programTime * 1000);
    }
    const auto [least, most] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("startup ratio=%.3f min=%.3f max=%.3f rounds=%d floor_ms=%.1f program_ms=%.1f\n",
                Median(ratios), *least, *most, rounds, Median(floorTimes) * 1000,
                Median(programTimes) * 1000);
    return 0;
}
