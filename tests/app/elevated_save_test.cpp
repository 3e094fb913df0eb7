// Saving as administrator from the refusal box. The dialog, with a stand-in
// for the UAC prompt and the elevated quorin-sync (which runs quorin-sync's
// own command over the same registry with the refusal lifted): the offer
// comes only for a refusal for want of rights alone with the program there,
// No changes nothing, Yes saves exactly what the dialog shows without a
// second warning, and every other end keeps the dialog open and says why.
// And the real launcher: quorin-sync.exe started through ShellExecuteEx,
// its exit code read, a missing program told, and the owner kept painted
// but disabled while it waits.
#include "dialog_test_fixture.h"
#include "quorin_sync_cli.h"

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {


std::vector<std::string> Words(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// The UAC prompt and the elevated quorin-sync, in-process.
class FakeElevatedSaver final : public ElevatedSaver {
public:
    FakeElevatedSaver(MemoryRegistry& registry, SaveTrail& trail)
        : m_registry(registry), m_trail(trail)
    {
    }

    bool available = true;
    // How the run ends; Finished runs quorin-sync's command for real, with
    // the keys made writable when `rightsSuffice`.
    ElevatedSaveRun::Result result = ElevatedSaveRun::Result::Finished;
    DWORD error = ERROR_SUCCESS;
    bool rightsSuffice = true;
    // A failure of another kind met by the elevated run itself.
    RegStatus faultInRun = kErrorSuccess;
    // A program that says it saved without writing anything.
    bool liesAboutSuccess = false;
    // Another save holds the lock for the whole of the elevated run.
    bool busyInRun = false;
    std::vector<std::string> runs;
    HWND owner = nullptr;

    bool Available() const override { return available; }

    ElevatedSaveRun Run(HWND hOwner, LPCSTR pszParameters) override
    {
        const std::string parameters(pszParameters);
        owner = hOwner;
        runs.push_back(parameters);
        if (result != ElevatedSaveRun::Result::Finished) {
            return {result, error, 0};
        }
        if (liesAboutSuccess) {
            return {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, 0};
        }
        if (rightsSuffice) {
            for (const DriverService& service : DriverServiceList) {
                m_registry.RestrictAccess(service.parametersKey, MemoryRegistry::kAllowEverything);
            }
        }
        if (faultInRun != kErrorSuccess) {
            m_registry.InjectFault(RegOperation::CreateKey, 3, faultInRun);
        }
        CliOutput output;
        FakeSaveLock lock(m_registry);
        lock.heldElsewhere = busyInRun;
        // The elevated quorin-sync keeps its own record.
        const int exitCode =
            RunCli(Words(parameters), m_registry, output, &lock, &m_trail);
        m_registry.ClearFault();
        return {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, static_cast<DWORD>(exitCode)};
    }

private:
    MemoryRegistry& m_registry;
    SaveTrail& m_trail;
};

const char kOffer[] = "Save these settings as administrator now?";

class ElevatedSaveTest : public MainDialogTest {
protected:
    void SetUp() override { elevatedSaver = &saver; }

    FakeElevatedSaver saver{registry, trail};
};

TEST_F(ElevatedSaveTest, NoChangesNothingAndYesSavesWhatTheDialogShowsWithoutASecondWarning)
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        Seed(row, 2, 6);
    }
    RefuseEveryRow();
    const std::vector<std::string> before = registry.Dump();
    const INT_PTR result = RunDialog([this, &before](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDC_INPUT_SCANSTART);
        ui.WaitUntil([hDlg] { return UiDriver::Checked(hDlg, IDC_INPUT_SCANSTART); }, "ScanStart");
        UiDriver::SetText(hDlg, IDC_FRAMES_NUMBER, "-12 frames");

        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "Nothing was saved and nothing was changed: 8 of the 8")) << text;
        EXPECT_TRUE(Contains(text, "QuorinSv: access denied")) << text;
        EXPECT_TRUE(Contains(text, kOffer)) << text;
        EXPECT_NE(::GetDlgItem(hBox, IDYES), nullptr);
        EXPECT_NE(::GetDlgItem(hBox, IDNO), nullptr);
        AnswerBox(ui, hBox, IDNO);
        EXPECT_TRUE(saver.runs.empty()) << "No started the elevated save";
        EXPECT_EQ(RecordedEvents(), std::vector<std::uint32_t>{kEventNothingChanged});
        EXPECT_EQ(registry.Dump(), before);
        EXPECT_TRUE(::IsWindowVisible(hDlg));

        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(ui.CountWindows(kWarningCaption), 0);
        ::PostMessageA(hBox, WM_COMMAND, IDYES, 0);
        // Straight to the end: a second warning would keep the dialog open.
        ui.WaitForClose(hDlg);
        EXPECT_EQ(saver.owner, hDlg);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(saver.runs, std::vector<std::string>{"set --mode=scanstart --frames=-12"});
    ExpectEveryRow(4, -12);
    // The dialog's own refused save twice, then the elevated save's.
    EXPECT_EQ(RecordedEvents(),
              (std::vector<std::uint32_t>{kEventNothingChanged, kEventNothingChanged, kEventSaved}));
}

TEST_F(ElevatedSaveTest, AnElevatedSaveThatDoesNotSucceedKeepsTheDialogOpenAndSaysWhy)
{
    const struct {
        ElevatedSaveRun::Result result;
        DWORD error;
        bool rightsSuffice;
        RegStatus faultInRun;
        std::vector<std::string> parts;
        bool liesAboutSuccess;
        bool busyInRun;
        std::vector<std::uint32_t> events;
        const char* notRunDetail; // how the last record begins, for one that never ran
    } cases[] = {
        // Exit 0 without writing: the services are read again and tell.
        {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, true, kErrorSuccess,
         {"reported that the save as administrator succeeded, but these driver services do not "
          "hold the new settings: Quorin, QuorinDx, QuorinRv, QuorinM, QuorinPx7, QuorinS, "
          "QuorinSv, QuorinNq.", "quorin-sync show"},
         true, false, {kEventNothingChanged}, ""},
        // A save as administrator that never ran is on record as asked for.
        {ElevatedSaveRun::Result::Declined, ERROR_CANCELLED, true, kErrorSuccess,
         {"Nothing was saved and nothing was changed", "declined"},
         false, false, {kEventNothingChanged, kEventElevatedSaveNotRun},
         "the administrator prompt was declined"},
        {ElevatedSaveRun::Result::NotStarted, ERROR_FILE_NOT_FOUND, true, kErrorSuccess,
         {"Nothing was saved and nothing was changed",
          "quorin-sync.exe could not be started as administrator (", "error 2)"},
         false, false, {kEventNothingChanged, kEventElevatedSaveNotRun},
         "quorin-sync.exe could not be started: "},
        // Started, but its end not read: never an exit code that did not happen,
        // and not on record as never run (the program keeps its own record).
        {ElevatedSaveRun::Result::EndUnknown, ERROR_SUCCESS, true, kErrorSuccess,
         {"started as administrator, but how it ended could not be read", "quorin-sync show"},
         false, false, {kEventNothingChanged}, ""},
        // The keys refuse administrators too: quorin-sync exits 4.
        {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, false, kErrorSuccess,
         {"Nothing was saved and nothing was changed: even as administrator", "exit code 4"},
         false, false, {kEventNothingChanged, kEventNothingChanged}, ""},
        // Another save in progress: quorin-sync exits 5, and wrote nothing to record.
        {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, true, kErrorSuccess,
         {"Nothing was saved and nothing was changed: as administrator", "exit code 5"},
         false, true, {kEventNothingChanged}, ""},
        // Any other failure: quorin-sync exits 3.
        {ElevatedSaveRun::Result::Finished, ERROR_SUCCESS, true, kErrorFileCorrupt,
         {"The save failed even as administrator", "exit code 3", "quorin-sync show"},
         false, false, {kEventNothingChanged, kEventNothingChanged}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parts.back());
        // Each case leaves the registry as it found it.
        RefuseEveryRow();
        saver.runs.clear();
        saver.result = c.result;
        saver.error = c.error;
        saver.rightsSuffice = c.rightsSuffice;
        saver.faultInRun = c.faultInRun;
        saver.liesAboutSuccess = c.liesAboutSuccess;
        saver.busyInRun = c.busyInRun;
        trail.records.clear();
        const std::vector<std::string> before = registry.Dump();
        const INT_PTR result = RunDialog([&c, &before, this](UiDriver& ui, HWND hDlg) {
            UiDriver::Click(hDlg, IDOK); // synchronization off: no warning
            HWND hOffer = WaitForErrorBox(ui, hDlg);
            ASSERT_NE(hOffer, nullptr);
            AnswerBox(ui, hOffer, IDYES);
            HWND hBox = WaitForErrorBox(ui, hDlg);
            ASSERT_NE(hBox, nullptr);
            const std::string text = BoxText(hBox);
            for (const std::string& part : c.parts) {
                EXPECT_TRUE(Contains(text, part)) << part << " in " << text;
            }
            EXPECT_TRUE(Contains(text, "Press OK to try again.")) << text;
            EXPECT_EQ(registry.Dump(), before);
            AnswerBox(ui, hBox, IDOK);
            EXPECT_TRUE(::IsWindowVisible(hDlg));
            UiDriver::Click(hDlg, IDCANCEL);
            ui.WaitForClose(hDlg);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(saver.runs.size(), 1u);
        EXPECT_EQ(RecordedEvents(), c.events);
        if (*c.notRunDetail != '\0' && !trail.records.empty()) {
            const std::string detail = trail.records.back().strings[kRecordDetail].text;
            EXPECT_EQ(detail.rfind(c.notRunDetail, 0), 0u) << detail;
        }
    }
}

TEST_F(ElevatedSaveTest, NoOfferWithoutTheProgramOrWhenRightsAloneWouldNotDo)
{
    const struct {
        const char* what;
        bool available;
        RegStatus otherFault; // a second row refusing for another reason
        const char* ending;
    } cases[] = {
        {"no quorin-sync.exe", false, kErrorSuccess,
         "Start Quorin Sync Options as administrator and press OK again. Only the installed "
         "program, started from its own folder, offers to save as administrator."},
        {"one row denied, another refusing otherwise", true, kErrorFileCorrupt, "Press OK to try again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry.ClearFault();
        registry.RestrictAccess(DriverServiceList[2].parametersKey, kKeyRead);
        if (c.otherFault != kErrorSuccess) {
            registry.InjectFault(RegOperation::CreateKey, 6, c.otherFault);
        }
        saver.available = c.available;
        saver.runs.clear();
        RunDialog([&c](UiDriver& ui, HWND hDlg) {
            UiDriver::Click(hDlg, IDOK);
            HWND hBox = WaitForErrorBox(ui, hDlg);
            ASSERT_NE(hBox, nullptr);
            const std::string text = BoxText(hBox);
            EXPECT_FALSE(Contains(text, kOffer)) << text;
            EXPECT_TRUE(Contains(text, c.ending)) << text;
            EXPECT_EQ(::GetDlgItem(hBox, IDYES), nullptr);
            AnswerBox(ui, hBox, IDOK);
            UiDriver::Click(hDlg, IDCANCEL);
            ui.WaitForClose(hDlg);
        });
        EXPECT_TRUE(saver.runs.empty());
    }
}

const wchar_t kConsole[] = L"" QUORIN_CONSOLE_EXECUTABLE;
const wchar_t kMissing[] = L"" QUORIN_MISSING_EXECUTABLE;
const wchar_t kBuildFolder[] = L"" QUORIN_BUILD_DIRECTORY;

WidePath Path(const std::wstring& text)
{
    WidePath path{};
    text.copy(path.text, static_cast<std::size_t>(kWidePathLength) - 1);
    return path;
}

// Only the installation's own dialog starts the installation's own
// quorin-sync.exe; a copy anywhere else starts nothing.
TEST(InstalledConsoleProgram, OnlyAProgramInTheRecordedFolderGetsItsQuorinSync)
{
    const wchar_t kFolder[] = L"C:\\Program Files\\Quorin Sync Options\\";
    const wchar_t kInstalled[] = L"C:\\Program Files\\Quorin Sync Options\\quorin-sync.exe";
    const struct {
        const wchar_t* program;
        const wchar_t* location;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Program Files\\Quorin Sync Options\\Quorin Sync Options.exe", kFolder, kInstalled},
        {L"c:\\program files\\QUORIN SYNC OPTIONS\\Quorin Sync Options.exe", kFolder,
         kInstalled},
        {L"C:\\Program Files\\Quorin Sync Options\\Quorin Sync Options.exe",
         L"C:\\Program Files\\Quorin Sync Options", kInstalled},
        // Copies elsewhere: Downloads, a subfolder, a parent, a share.
        {L"C:\\Users\\tech\\Downloads\\Quorin Sync Options.exe", kFolder, L""},
        {L"C:\\Program Files\\Quorin Sync Options\\old\\Quorin Sync Options.exe", kFolder, L""},
        {L"C:\\Program Files\\Quorin Sync Options.exe", kFolder, L""},
        {L"\\\\server\\share\\Quorin Sync Options.exe", kFolder, L""},
        // A full-width letter is another folder, never its best fit.
        {L"C:\\Program Files\\\xFF31uorin Sync Options\\Quorin Sync Options.exe", kFolder, L""},
        {L"C:\\Program Files\\Quorin Sync Options\\Quorin Sync Options.exe",
         L"C:\\Program Files\\\xFF31uorin Sync Options\\", L""},
        // Nothing recorded, or nothing a folder can be told from.
        {L"C:\\Program Files\\Quorin Sync Options\\Quorin Sync Options.exe", L"", L""},
        {L"Quorin Sync Options.exe", L"", L""},
        {L"Quorin Sync Options\\Quorin Sync Options.exe", L"Quorin Sync Options", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(InstalledConsoleProgram(c.program, c.location).text), c.expected)
            << "program " << std::wstring(c.program).size() << " characters, location "
            << std::wstring(c.location).size();
    }
}

// The location as the package records it, read from the (redirected) HKLM.
TEST(InstalledConsoleProgram, TheRunningProgramIsInstalledOnlyWhereTheRecordSays)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallationKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const auto record = [hKey](const std::wstring& location) {
        ::RegSetValueExW(hKey, kInstallLocationValue, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(location.c_str()),
                         static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t)));
    };
    // A folder that is not the test program's own, then its own.
    record(std::wstring(kBuildFolder) + L"\\elsewhere\\");
    EXPECT_EQ(std::wstring(ShellElevatedSaver::OfThisInstallation().text), L"") << "another folder";
    wchar_t szProgram[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameW(nullptr, szProgram, MAX_PATH), 0u);
    std::wstring folder(szProgram);
    folder.resize(folder.find_last_of(L'\\') + 1);
    record(folder);
    EXPECT_EQ(std::wstring(ShellElevatedSaver::OfThisInstallation().text), folder + L"quorin-sync.exe");
    ::RegDeleteValueW(hKey, kInstallLocationValue);
    EXPECT_EQ(std::wstring(ShellElevatedSaver::OfThisInstallation().text), L"") << "nothing recorded";
    ::RegCloseKey(hKey);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kInstallationKey);
}

// The owner of a real elevated run: counts its paints.
std::atomic<int> g_paints{0};

LRESULT CALLBACK OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        ::BeginPaint(hWnd, &paint);
        ::EndPaint(hWnd, &paint);
        ++g_paints;
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST(ShellElevatedSaver, RunsTheProgramReadsItsExitCodeAndKeepsTheOwnerPaintedButDisabled)
{
    EXPECT_TRUE(ShellElevatedSaver(Path(kConsole)).Available());
    EXPECT_FALSE(ShellElevatedSaver(Path(kMissing)).Available());
    EXPECT_FALSE(ShellElevatedSaver(Path(kBuildFolder)).Available()) << "a folder";
    EXPECT_FALSE(ShellElevatedSaver(Path(L"")).Available());

    // quorin-sync itself (commands that write nothing: the test's registry
    // is redirected, a program it starts is not).
    ShellElevatedSaver console(Path(kConsole));
    ElevatedSaveRun run = console.Run(nullptr, "--version");
    EXPECT_EQ(run.result, ElevatedSaveRun::Result::Finished);
    EXPECT_EQ(run.exitCode, 0u) << "no console to write to is no failure";
    run = console.Run(nullptr, "set --mode=bogus --frames=1");
    EXPECT_EQ(run.result, ElevatedSaveRun::Result::Finished);
    EXPECT_EQ(run.exitCode, 2u);
    run = ShellElevatedSaver(Path(kMissing)).Run(nullptr, "set");
    EXPECT_EQ(run.result, ElevatedSaveRun::Result::NotStarted);
    EXPECT_EQ(run.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // While it waits, the owner is disabled but still painted.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuorinElevatedOwner";
    ::RegisterClassA(&windowClass);
    HWND hOwner = ::CreateWindowExA(0, windowClass.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(hOwner, nullptr);
    const std::string eventName = "QuorinElevatedRelease" + std::to_string(::GetCurrentProcessId());
    HANDLE hRelease = ::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(hRelease, nullptr);
    std::atomic<bool> paintedWhileWaiting{false};
    std::atomic<bool> disabledWhileWaiting{false};
    std::thread observer([&] {
        const DWORD deadline = ::GetTickCount() + 30000;
        while (::IsWindowEnabled(hOwner) && ::GetTickCount() < deadline) {
            ::Sleep(20);
        }
        disabledWhileWaiting = !::IsWindowEnabled(hOwner);
        const int paintsBefore = g_paints;
        ::InvalidateRect(hOwner, nullptr, TRUE);
        while (g_paints == paintsBefore && ::GetTickCount() < deadline) {
            ::Sleep(20);
        }
        paintedWhileWaiting = g_paints > paintsBefore;
        ::SetEvent(hRelease);
    });
    run = ShellElevatedSaver(Path(L"" QUORIN_WAIT_HELPER)).Run(hOwner, (eventName + " 7").c_str());
    observer.join();
    EXPECT_EQ(run.result, ElevatedSaveRun::Result::Finished);
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(disabledWhileWaiting);
    EXPECT_TRUE(paintedWhileWaiting);
    EXPECT_TRUE(::IsWindowEnabled(hOwner)) << "enabled again afterwards";
    ::CloseHandle(hRelease);
    ::DestroyWindow(hOwner);
}

} // namespace
