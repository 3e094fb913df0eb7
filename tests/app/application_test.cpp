// The program's own application object: F1 in the main dialog reaches its
// ID_HELP entry, which asks the help viewer for the program's help file.
#include "dialog_test_fixture.h"
#include "quorin_sync_options_app.h"

#include <cstring>
#include <string>

namespace {

// What WinHelp sends, in WM_COPYDATA, to the window of class "MS_WINHELP".
struct WinHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};

constexpr UINT kHelpFinder = 0x000B;

struct HelpRequestSeen {
    HWND hFrom = nullptr;
    UINT command = 0;
    std::string file;
    int count = 0;
} g_seen;

LRESULT CALLBACK HelpViewerProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->cbData >= sizeof(WinHelpRequest)) {
            WinHelpRequest request = {};
            std::memcpy(&request, data->lpData, sizeof request);
            g_seen.hFrom = reinterpret_cast<HWND>(wParam);
            g_seen.command = request.command;
            if (request.ofsFilename != 0 && request.ofsFilename < data->cbData) {
                g_seen.file = static_cast<const char*>(data->lpData) + request.ofsFilename;
            }
            ++g_seen.count;
        }
        return TRUE;
    }
    return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

// A stand-in help viewer on the dialog's thread, so that WinHelp finds it
// instead of starting one.
class FakeHelpViewer {
public:
    FakeHelpViewer()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HelpViewerProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MS_WINHELP";
        ::RegisterClassA(&windowClass);
        m_hWnd = ::CreateWindowA("MS_WINHELP", "help viewer", WS_OVERLAPPED, 0, 0, 10, 10,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~FakeHelpViewer()
    {
        ::DestroyWindow(m_hWnd);
        ::UnregisterClassA("MS_WINHELP", ::GetModuleHandleA(nullptr));
    }
    FakeHelpViewer(const FakeHelpViewer&) = delete;
    FakeHelpViewer& operator=(const FakeHelpViewer&) = delete;

    HWND m_hWnd;
};

TEST_F(MainDialogTest, F1ReachesTheApplicationsHelpCommand)
{
    ASSERT_EQ(AfxGetApp(), &theApp) << "the program's own application object";
    const FakeHelpViewer viewer;
    ASSERT_NE(viewer.m_hWnd, nullptr);
    g_seen = HelpRequestSeen();
    HWND hMain = nullptr;
    RunDialog([&hMain](UiDriver& ui, HWND hDlg) {
        hMain = hDlg;
        // What the system sends the focused window's dialog for F1.
        HELPINFO info = {};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = IDOK;
        info.hItemHandle = ::GetDlgItem(hDlg, IDOK);
        ::SendMessageA(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        ui.WaitUntil([] { return g_seen.count == 1; }, "the help request");
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_EQ(g_seen.hFrom, hMain);
    EXPECT_EQ(g_seen.command, kHelpFinder);
    EXPECT_TRUE(EndsWith(g_seen.file, "\\dialog_tests.HLP")) << g_seen.file;
    ExpectNothingWritten();
}

} // namespace
