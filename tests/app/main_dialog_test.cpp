// The main options dialog, opened for real under Wine and driven as a user
// would: what it shows for a stored state, and what OK and Cancel write.
#include "dialog_test_fixture.h"

#include <climits>
#include <string>

namespace {

void ExpectInputs(HWND hDlg, bool enabled, int checkedId)
{
    for (int nID : {IDC_INPUT_FRAME, IDC_INPUT_LINE, IDC_INPUT_SCANSTART}) {
        EXPECT_EQ(UiDriver::Enabled(hDlg, nID), enabled) << "radio " << nID;
        EXPECT_EQ(UiDriver::Checked(hDlg, nID), nID == checkedId) << "radio " << nID;
    }
}

// What the dialog shows for each stored state, and what its OK or Cancel
// then writes (and records).
enum class Close { Ok, OkThroughWarning, EditThenCancel, Cancel };
struct StoredStateCase {
    const char* name;
    int seededRow; // the row seeded with mode and frames, or -1 for none
    std::uint32_t mode;
    std::int32_t frames;
    bool loadFails; // the first open of the load fails
    bool boxChecked;
    int checkedInput; // enabled exactly when the box is checked
    const char* field;
    Close close;
    // What OK saves to every service, and the record's first service string.
    std::uint32_t savedMode;
    std::int32_t savedFrames;
    const char* savedModeWord;
    const char* firstServiceRecord; // null when nothing is saved
};

const StoredStateCase kStoredStates[] = {
    {"NothingStoredOkWritesTheDefaultsWithoutWarning", -1, 0, 0, false, false, IDC_INPUT_FRAME, "",
     Close::Ok, 0, 1, "off", "Quorin: written; mode absent -> 0; frames absent -> 1"},
    {"ScanStartStoredIsShownAndCancelWritesNoEdit", 0, 4, 3, false, true, IDC_INPUT_SCANSTART, "3",
     Close::EditThenCancel, 0, 0, nullptr, nullptr},
    {"DisabledStoredInRowThreeIsShownAndOkWritesItBack", 2, 0, 10, false, false, IDC_INPUT_FRAME,
     "10", Close::Ok, 0, 10, "off", "Quorin: written; mode absent -> 0; frames absent -> 10"},
    {"UnknownMaskShowsFrameInputAndIsSavedAsOne", 0, 3, 2, false, true, IDC_INPUT_FRAME, "2",
     Close::OkThroughWarning, 1, 2, "frame", "Quorin: written; mode 3 -> 1; frames 2 -> 2"},
    {"LoadThatFailsShowsTheNothingFoundState", 0, 4, 3, true, false, IDC_INPUT_FRAME, "",
     Close::Cancel, 0, 0, nullptr, nullptr},
};

class StoredStateTest : public MainDialogTest,
                        public ::testing::WithParamInterface<StoredStateCase> {};

TEST_P(StoredStateTest, IsShownAndClosedAsAUserCloses)
{
    const StoredStateCase& c = GetParam();
    if (c.seededRow >= 0) {
        Seed(static_cast<std::size_t>(c.seededRow), c.mode, c.frames);
    }
    if (c.loadFails) {
        registry.InjectFault(RegOperation::OpenKey, 1, kErrorAccessDenied);
    }
    const INT_PTR result = RunDialog([&c](UiDriver& ui, HWND hDlg) {
        EXPECT_EQ(UiDriver::Checked(hDlg, IDC_ENABLE_SYNC), c.boxChecked);
        ExpectInputs(hDlg, c.boxChecked, c.checkedInput);
        EXPECT_EQ(UiDriver::ItemText(hDlg, IDC_FRAMES_NUMBER), c.field);
        EXPECT_EQ(ui.Focused(), ::GetDlgItem(hDlg, IDOK));
        switch (c.close) {
        case Close::Ok:
            UiDriver::Click(hDlg, IDOK); // and no warning comes between
            break;
        case Close::OkThroughWarning:
            ASSERT_TRUE(AgreeToWarning(ui, hDlg));
            break;
        case Close::EditThenCancel:
            UiDriver::Click(hDlg, IDC_INPUT_LINE);
            UiDriver::SetText(hDlg, IDC_FRAMES_NUMBER, "40");
            UiDriver::Click(hDlg, IDCANCEL);
            break;
        case Close::Cancel:
            UiDriver::Click(hDlg, IDCANCEL);
            break;
        }
        ui.WaitForClose(hDlg);
    });
    if (c.firstServiceRecord == nullptr) {
        EXPECT_EQ(result, IDCANCEL);
        ExpectNothingWritten();
        return;
    }
    EXPECT_EQ(result, IDOK);
    ExpectEveryRow(c.savedMode, c.savedFrames);
    // One record of the save, with what was saved; the dialog shows nothing of it.
    ASSERT_EQ(RecordedEvents(), std::vector<std::uint32_t>{kEventSaved});
    EXPECT_STREQ(trail.records[0].strings[kRecordModeWord].text, c.savedModeWord);
    EXPECT_STREQ(trail.records[0].strings[kRecordFrames].text, std::to_string(c.savedFrames).c_str());
    EXPECT_STREQ(trail.records[0].strings[kRecordFirstService].text, c.firstServiceRecord);
}

INSTANTIATE_TEST_SUITE_P(MainDialog, StoredStateTest, ::testing::ValuesIn(kStoredStates),
                         [](const ::testing::TestParamInfo<StoredStateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MainDialogTest, EnablingLineInputAsksAndEveryWayOfDecliningWritesNothing)
{
    const INT_PTR result = RunDialog([this](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
        ui.WaitUntil([hDlg] { return UiDriver::Enabled(hDlg, IDC_INPUT_LINE); }, "radios enabled");
        UiDriver::Click(hDlg, IDC_INPUT_LINE);
        ui.WaitUntil([hDlg] { return UiDriver::Checked(hDlg, IDC_INPUT_LINE); }, "line input");

        // Cancel, Esc, the close box, and Return once the focus is on Cancel.
        const std::function<void(HWND)> declines[] = {
            [](HWND hWarning) { UiDriver::Click(hWarning, IDCANCEL); },
            [&ui](HWND) { ui.PressKey(VK_ESCAPE); },
            [](HWND hWarning) { ::PostMessageA(hWarning, WM_SYSCOMMAND, SC_CLOSE, 0); },
            [&ui](HWND hWarning) {
                ui.PressKey(VK_TAB);
                ui.WaitUntil([&] { return ui.Focused() == ::GetDlgItem(hWarning, IDCANCEL); },
                             "focus on Cancel");
                ui.PressKey(VK_RETURN);
            },
        };
        for (const auto& decline : declines) {
            HWND hWarning = OpenWarning(ui, hDlg);
            ASSERT_NE(hWarning, nullptr);
            EXPECT_FALSE(::IsWindowEnabled(hDlg)) << "the owner is disabled while the warning runs";
            EXPECT_EQ(::GetWindow(hWarning, GW_OWNER), hDlg);
            decline(hWarning);
            ui.WaitForClose(hWarning);
            ui.WaitUntil([hDlg] { return ::IsWindowEnabled(hDlg) != FALSE; }, "owner enabled");
            EXPECT_TRUE(::IsWindowVisible(hDlg));
            EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
        }

        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(result, IDOK);
    ExpectEveryRow(2, 1);
}

TEST_F(MainDialogTest, EachRadioClickedIsTheInputSaved)
{
    struct Case {
        int radio;
        std::uint32_t mode;
    };
    for (const Case& c : {Case{IDC_INPUT_LINE, 2}, Case{IDC_INPUT_SCANSTART, 4},
                          Case{IDC_INPUT_FRAME, 1}}) {
        registry.ClearCalls();
        RunDialog([&c](UiDriver& ui, HWND hDlg) {
            UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
            ui.WaitUntil([hDlg] { return UiDriver::Enabled(hDlg, IDC_INPUT_LINE); }, "radios enabled");
            // Away from the radio under test first, so that its click is
            // what sets the input.
            const int other = c.radio == IDC_INPUT_LINE ? IDC_INPUT_SCANSTART : IDC_INPUT_LINE;
            UiDriver::Click(hDlg, other);
            ui.WaitUntil([&] { return UiDriver::Checked(hDlg, other); }, "the other radio");
            UiDriver::Click(hDlg, c.radio);
            ui.WaitUntil([&] { return UiDriver::Checked(hDlg, c.radio); }, "the radio");
            ASSERT_TRUE(AgreeToWarning(ui, hDlg));
            ui.WaitForClose(hDlg);
        });
        ExpectEveryRow(c.mode, 1);
        // The next round starts from what this one saved: clear it.
        for (const DriverService& service : DriverServiceList) {
            registry.DeleteKey(service.serviceKey);
        }
    }
}

TEST_F(MainDialogTest, SecondOkWhileTheWarningIsOpenDoesNothing)
{
    Seed(0, 2, 3);
    RunDialog([this](UiDriver& ui, HWND hDlg) {
        // Two presses queued back to back, as a double press of Return
        // would be, then a marker that shows both have been handled.
        HWND hField = ::GetDlgItem(hDlg, IDC_FRAMES_NUMBER);
        UiDriver::Click(hDlg, IDOK);
        UiDriver::Click(hDlg, IDOK);
        ::PostMessageA(hField, EM_LIMITTEXT, 77, 0);
        ui.WaitUntil([hField] { return ::SendMessageA(hField, EM_GETLIMITTEXT, 0, 0) == 77; },
                     "both presses handled");
        HWND hWarning = ui.WaitForWindow(kWarningCaption);
        ASSERT_NE(hWarning, nullptr);
        EXPECT_EQ(ui.CountWindows(kWarningCaption), 1) << "one warning, shown or not";
        UiDriver::Click(hWarning, IDOK);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 8u) << "one save";
    ExpectEveryRow(2, 3);
}

TEST_F(MainDialogTest, NoInputSelectedIsToldAndNothingIsSaved)
{
    RunDialog([this](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
        ui.WaitUntil([hDlg] { return UiDriver::Enabled(hDlg, IDC_INPUT_LINE); }, "radios enabled");
        // A selection taken while no radio is checked leaves no input.
        for (int nID : {IDC_INPUT_FRAME, IDC_INPUT_LINE, IDC_INPUT_SCANSTART}) {
            ::SendMessageA(::GetDlgItem(hDlg, nID), BM_SETCHECK, BST_UNCHECKED, 0);
        }
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_INPUT_LINE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_INPUT_LINE)));
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = ui.WaitForWindow(kMainCaption, hDlg);
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(ui.CountWindows(kWarningCaption), 0);
        EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u);
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        ui.WaitForClose(hBox);
        EXPECT_TRUE(::IsWindowVisible(hDlg));

        UiDriver::Click(hDlg, IDC_INPUT_SCANSTART);
        ui.WaitUntil([hDlg] { return UiDriver::Checked(hDlg, IDC_INPUT_SCANSTART); }, "ScanStart");
        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        ui.WaitForClose(hDlg);
    });
    ExpectEveryRow(4, 1);
}

TEST_F(MainDialogTest, ReturnRightAfterTheWarningOpensAgrees)
{
    Seed(0, 4, 5);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        HWND hWarning = OpenWarning(ui, hDlg);
        ASSERT_NE(hWarning, nullptr);
        EXPECT_EQ(ui.Focused(), ::GetDlgItem(hWarning, IDOK));
        ui.PressKey(VK_RETURN);
        ui.WaitForClose(hDlg);
    });
    ExpectEveryRow(4, 5);
}

TEST_F(MainDialogTest, ClearingTheBoxSavesDisabledWithTheTypedFramesAndNoWarning)
{
    Seed(0, 2, 8);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
        ui.WaitUntil([hDlg] { return !UiDriver::Enabled(hDlg, IDC_INPUT_FRAME); }, "radios disabled");
        EXPECT_TRUE(UiDriver::Checked(hDlg, IDC_INPUT_LINE)) << "disabling keeps the selection";
        UiDriver::Focus(hDlg, IDC_FRAMES_NUMBER);
        for (WORD key : {WORD{VK_BACK}, WORD{'2'}, WORD{'5'}}) {
            ui.PressKey(key);
        }
        ui.WaitUntil([hDlg] { return UiDriver::ItemText(hDlg, IDC_FRAMES_NUMBER) == "25"; },
                     "typed 25");
        ui.PressKey(VK_RETURN); // Return in the field presses OK
        ui.WaitForClose(hDlg);
    });
    ExpectEveryRow(0, 25);
}

TEST_F(MainDialogTest, TogglingTheBoxNeverChangesTheChosenInput)
{
    Seed(0, 2, 1);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        for (int i = 0; i < 2; ++i) {
            UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
            const bool expectEnabled = i == 1;
            ui.WaitUntil([&] { return UiDriver::Enabled(hDlg, IDC_INPUT_LINE) == expectEnabled; },
                         "radios follow the box");
            ExpectInputs(hDlg, expectEnabled, IDC_INPUT_LINE);
        }
        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        ui.WaitForClose(hDlg);
    });
    ExpectEveryRow(2, 1);
}

TEST_F(MainDialogTest, PastedFieldTextIsSavedByTheParseRules)
{
    struct Case {
        const char* text;
        std::int32_t saved;
        const char* shownAgain;
    };
    for (const Case& c : {Case{"-3", -3, "-3"}, Case{"abc", 1, "1"}, Case{"", 1, "1"},
                          Case{" 12x", 12, "12"}, Case{"99999999999", INT32_MAX, "2147483647"},
                          Case{"-99999999999", INT32_MIN, "-2147483648"}}) {
        registry.ClearCalls();
        RunDialog([&c](UiDriver& ui, HWND hDlg) {
            UiDriver::SetText(hDlg, IDC_FRAMES_NUMBER, c.text);
            UiDriver::Click(hDlg, IDOK);
            ui.WaitForClose(hDlg);
        });
        ExpectEveryRow(0, c.saved);
        // Shown again as the number that was saved.
        RunDialog([&c](UiDriver& ui, HWND hDlg) {
            EXPECT_EQ(UiDriver::ItemText(hDlg, IDC_FRAMES_NUMBER), c.shownAgain);
            UiDriver::Click(hDlg, IDCANCEL);
            ui.WaitForClose(hDlg);
        });
    }
}

TEST_F(MainDialogTest, TabVisitsOkCancelBoxAndFieldWhileTheInputsAreDisabled)
{
    RunDialog([](UiDriver& ui, HWND hDlg) {
        const int order[] = {IDCANCEL, IDC_ENABLE_SYNC, IDC_FRAMES_NUMBER, IDOK};
        for (int nID : order) {
            ui.PressKey(VK_TAB);
            ui.WaitUntil([&] { return ui.Focused() == ::GetDlgItem(hDlg, nID); }, "tab order");
        }
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

TEST_F(MainDialogTest, OpensCentredOnTheWorkArea)
{
    RunDialog([](UiDriver& ui, HWND hDlg) {
        RECT window = {};
        ::GetWindowRect(hDlg, &window);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoA(::MonitorFromWindow(hDlg, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& area = monitor.rcWork;
        EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

TEST_F(MainDialogTest, WarningOpensCentredOverTheMainDialog)
{
    Seed(0, 1, 1);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        HWND hWarning = OpenWarning(ui, hDlg);
        ASSERT_NE(hWarning, nullptr);
        RECT owner = {};
        RECT warning = {};
        ::GetWindowRect(hDlg, &owner);
        ::GetWindowRect(hWarning, &warning);
        EXPECT_NEAR((warning.left + warning.right) / 2, (owner.left + owner.right) / 2, 1);
        EXPECT_NEAR((warning.top + warning.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
        UiDriver::Click(hWarning, IDCANCEL);
        ui.WaitForClose(hWarning);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

TEST_F(MainDialogTest, CarriesTheApplicationIconBigAndSmall)
{
    RunDialog([](UiDriver& ui, HWND hDlg) {
        HICON hBig = reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0));
        HICON hSmall = reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0));
        EXPECT_NE(hBig, nullptr);
        EXPECT_EQ(hBig, hSmall);
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0)), hBig);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

} // namespace
