// A save that cannot write every driver service says so and keeps the
// dialog open; Cancel then still closes it with nothing more written.
#include "dialog_test_fixture.h"

#include <string>

namespace {

// The error box: a window of the dialog's thread, owned by the dialog.
HWND WaitForErrorBox(UiDriver& ui, HWND hDlg)
{
    return ui.WaitForWindow(kMainCaption, hDlg);
}

std::string MessageText(HWND hBox)
{
    std::string text;
    for (HWND hChild = ::GetWindow(hBox, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        char className[32] = {};
        ::GetClassNameA(hChild, className, sizeof className);
        if (std::string(className) == "Static") {
            text += UiDriver::Text(hChild);
        }
    }
    return text;
}

TEST_F(MainDialogTest, SaveWithoutRightsToAnyServiceReportsAllEightAndStaysOpen)
{
    for (const DriverService& service : DriverServiceList) {
        registry.RestrictAccess(service.parametersKey, kKeyRead);
    }
    const INT_PTR result = RunDialog([](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(::GetWindow(hBox, GW_OWNER), hDlg);
        const std::string text = MessageText(hBox);
        EXPECT_NE(text.find("8 of the 8 driver services could not be written"), std::string::npos)
            << text;
        EXPECT_NE(text.find("administrator rights"), std::string::npos) << text;
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        ui.WaitForClose(hBox);
        EXPECT_TRUE(::IsWindowVisible(hDlg)) << "the dialog stays open after a failed save";

        // OK can be tried again; Cancel closes.
        UiDriver::Click(hDlg, IDOK);
        hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        ui.WaitForClose(hBox);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 16u) << "two attempts of eight rows";
    for (const DriverService& service : DriverServiceList) {
        EXPECT_EQ(registry.FindValue(service.parametersKey, kExternalSynchModeValueName), nullptr);
    }
}

TEST_F(MainDialogTest, SaveThatMissesOneServiceSaysOneOfEight)
{
    Seed(4, 4, 6);
    registry.RestrictAccess(DriverServiceList[4].parametersKey, kKeyRead);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        // The read-only key is still read: the stored state shows.
        EXPECT_TRUE(UiDriver::Checked(hDlg, IDC_ENABLE_SYNC));
        EXPECT_TRUE(UiDriver::Checked(hDlg, IDC_INPUT_SCANSTART));
        UiDriver::Click(hDlg, IDC_ENABLE_SYNC);
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        EXPECT_NE(MessageText(hBox).find("1 of the 8 driver services"), std::string::npos);
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        ui.WaitForClose(hBox);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

TEST_F(MainDialogTest, LoadThatFailsShowsTheNothingFoundState)
{
    Seed(0, 4, 3);
    registry.InjectFault(RegOperation::OpenKey, 1, kErrorAccessDenied);
    RunDialog([](UiDriver& ui, HWND hDlg) {
        EXPECT_FALSE(UiDriver::Checked(hDlg, IDC_ENABLE_SYNC));
        EXPECT_TRUE(UiDriver::Checked(hDlg, IDC_INPUT_FRAME));
        EXPECT_FALSE(UiDriver::Enabled(hDlg, IDC_INPUT_FRAME));
        EXPECT_EQ(UiDriver::ItemText(hDlg, IDC_FRAMES_NUMBER), "");
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
}

} // namespace
