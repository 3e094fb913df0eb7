// Start-up time of the tool beside the minimal dialog program: from process
// creation until the dialog is visible with its content in place (for the
// tool: the loaded frames number shown in its field), then closed with
// Cancel. The two programs alternate, run after run, so drift touches both.
// It writes nothing itself: the tool must find "Synch frames number" 7 in
// the first driver service, seeded by whoever made the (throwaway) Wine
// prefix it runs in.
//
// usage: startup_bench TOOL.exe BASELINE.exe "BASELINE CAPTION" RUNS
#include <windows.h>

#include "announce_start.h"
#include "clock.h"
#include "version.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kFramesControl = 1002;
constexpr const char* kSeededFrames = "7";
constexpr DWORD kDeadlineMs = 20000;

bool Ready(const char* caption, bool needsFrames, HWND* phDlg)
{
    // Only the window lookup is polled; the text is read once the dialog is
    // visible (it is set before), so the poll does not keep interrupting
    // the program it measures with messages.
    HWND hDlg = ::FindWindowA("#32770", caption);
    if (hDlg == nullptr || !::IsWindowVisible(hDlg)) {
        return false;
    }
    if (needsFrames) {
        char text[16] = {};
        ::SendMessageA(::GetDlgItem(hDlg, kFramesControl), WM_GETTEXT, sizeof text,
                       reinterpret_cast<LPARAM>(text));
        if (std::strcmp(text, kSeededFrames) != 0) {
            return false;
        }
    }
    *phDlg = hDlg;
    return true;
}

// One start: milliseconds until ready, or a negative number on failure.
double StartOnce(const char* exe, const char* caption, bool needsFrames)
{
    char commandLine[MAX_PATH + 2];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = NowMs();
    if (!::CreateProcessA(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return -1;
    }
    HWND hDlg = nullptr;
    double elapsed = -1;
    while (NowMs() - start < kDeadlineMs) {
        if (Ready(caption, needsFrames, &hDlg)) {
            elapsed = NowMs() - start;
            break;
        }
        ::Sleep(1);
    }
    if (hDlg != nullptr) {
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    }
    if (::WaitForSingleObject(process.hProcess, kDeadlineMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        elapsed = -1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return elapsed;
}

void Report(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    std::printf("%s median=%.1f p25=%.1f p75=%.1f min=%.1f max=%.1f runs=%zu\n", name,
                times[n / 2], times[n / 4], times[(3 * n) / 4], times.front(), times.back(), n);
}

} // namespace

int main(int argc, char** argv)
{
    AnnounceStart(argv[0]);
    if (argc != 5) {
        std::fputs("usage: startup_bench TOOL.exe BASELINE.exe \"BASELINE CAPTION\" RUNS\n", stderr);
        return 2;
    }
    const char* baselineCaption = argv[3];
    const int runs = std::atoi(argv[4]);
    if (runs < 1) {
        return 1;
    }
    // One unmeasured start of each warms the caches.
    StartOnce(argv[1], QUORIN_CAPTION_TEXT, true);
    StartOnce(argv[2], baselineCaption, false);
    std::vector<double> tool;
    std::vector<double> minimal;
    for (int i = 0; i < runs; ++i) {
        // The two take turns going first.
        double t = 0;
        double m = 0;
        if (i % 2 == 0) {
            t = StartOnce(argv[1], QUORIN_CAPTION_TEXT, true);
            m = StartOnce(argv[2], baselineCaption, false);
        } else {
            m = StartOnce(argv[2], baselineCaption, false);
            t = StartOnce(argv[1], QUORIN_CAPTION_TEXT, true);
        }
        if (t < 0 || m < 0) {
            std::fputs("a start failed\n", stderr);
            return 1;
        }
        tool.push_back(t);
        minimal.push_back(m);
    }
    // Each run's two starts are neighbours in time, so the ratio within a
    // pair is spared the machine's slower drifts; the median of the paired
    // ratios is the figure reported.
    std::vector<double> ratios;
    for (size_t i = 0; i < tool.size(); ++i) {
        ratios.push_back(tool[i] / minimal[i]);
    }
    Report("tool", tool);
    Report("baseline", minimal);
    std::sort(ratios.begin(), ratios.end());
    std::printf("ratio %.3f\n", ratios[ratios.size() / 2]);
    return 0;
}
