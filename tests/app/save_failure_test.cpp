// A save that cannot write every driver service changes nothing when a key
// refuses, says which services refused and why, keeps the dialog open, and
// goes through on OK once the keys are writable; a failure while writing
// values names which services hold the new settings and which the old.
#include "dialog_test_fixture.h"

#include <string>

namespace {


TEST_F(MainDialogTest, SaveWithoutRightsToAnyServiceNamesEveryOneAndStaysOpen)
{
    RefuseEveryRow();
    const INT_PTR result = RunDialog([](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(::GetWindow(hBox, GW_OWNER), hDlg);
        const std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "Nothing was saved and nothing was changed: 8 of the 8 driver "
                                   "services refused the change"))
            << text;
        for (const DriverService& service : DriverServiceList) {
            const char* name = service.name;
            EXPECT_TRUE(Contains(text, std::string(name) +
                                           ": access denied; changing it needs administrator rights."))
                << name << " in " << text;
        }
        EXPECT_TRUE(Contains(text, "Start Quorin Sync Options as administrator and press OK again."))
            << text;
        AnswerBox(ui, hBox, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hDlg)) << "the dialog stays open after a failed save";

        // OK can be tried again; Cancel closes.
        UiDriver::Click(hDlg, IDOK);
        hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        AnswerBox(ui, hBox, IDOK);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 16u) << "two attempts of eight rows";
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
}

TEST_F(MainDialogTest, PartialRefusalAfterAgreeChangesNothingNamesTheThreeAndRetrySucceeds)
{
    // Rows 2, 5 and 7 are installed and read-only; row 4 holds line input.
    Seed(3, 2, 6);
    for (std::size_t row : {1u, 4u, 6u}) {
        Seed(row, 2, 6);
        registry.RestrictAccess(DriverServiceList[row].parametersKey, kKeyRead);
    }
    const std::vector<std::string> before = registry.Dump();
    const INT_PTR result = RunDialog([this, &before](UiDriver& ui, HWND hDlg) {
        EXPECT_TRUE(UiDriver::Checked(hDlg, IDC_INPUT_LINE));
        UiDriver::Click(hDlg, IDC_INPUT_SCANSTART);
        ui.WaitUntil([hDlg] { return UiDriver::Checked(hDlg, IDC_INPUT_SCANSTART); }, "ScanStart");
        UiDriver::SetText(hDlg, IDC_FRAMES_NUMBER, "9");
        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        const std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "Nothing was saved and nothing was changed: 3 of the 8 driver "
                                   "services refused the change"))
            << text;
        for (const char* refuser : {"QuorinDx: access denied", "QuorinPx7: access denied",
                                    "QuorinSv: access denied"}) {
            EXPECT_TRUE(Contains(text, refuser)) << refuser << " in " << text;
        }
        for (const char* other : {"Quorin:", "QuorinRv:", "QuorinM:", "QuorinS:", "QuorinNq:"}) {
            EXPECT_FALSE(Contains(text, other)) << other << " in " << text;
        }
        EXPECT_EQ(registry.Dump(), before) << "a refused save changed the registry";
        AnswerBox(ui, hBox, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hDlg));

        // An administrator fixes the keys; OK again asks again and saves.
        for (std::size_t row : {1u, 4u, 6u}) {
            registry.RestrictAccess(DriverServiceList[row].parametersKey, MemoryRegistry::kAllowEverything);
        }
        ASSERT_TRUE(AgreeToWarning(ui, hDlg));
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(result, IDOK);
    ExpectEveryRow(4, 9);
}

TEST_F(MainDialogTest, RefusalForAnotherReasonIsToldInTheSystemsWords)
{
    registry.InjectFault(RegOperation::CreateKey, 3, kErrorFileCorrupt);
    char systemText[512] = {};
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(kErrorFileCorrupt), 0, systemText, sizeof systemText, nullptr);
    std::string expected(systemText);
    while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r' ||
                                 expected.back() == '.' || expected.back() == ' ')) {
        expected.pop_back();
    }
    ASSERT_FALSE(expected.empty()) << "the system has no text for 1392";
    RunDialog([&expected](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        const std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "QuorinRv: " + expected + ", error 1392.")) << text;
        EXPECT_FALSE(Contains(text, "administrator")) << text;
        EXPECT_TRUE(Contains(text, "Press OK to try again.")) << text;
        AnswerBox(ui, hBox, IDOK);
        UiDriver::Click(hDlg, IDCANCEL);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
    for (const DriverService& service : DriverServiceList) {
        EXPECT_FALSE(registry.KeyExists(service.serviceKey)) << service.name;
    }
}

TEST_F(MainDialogTest, AnotherSaveInProgressChangesNothingAndTheNextOkSaves)
{
    FakeSaveLock lock(registry);
    lock.heldElsewhere = true;
    saveLock = &lock;
    const INT_PTR result = RunDialog([this, &lock](UiDriver& ui, HWND hDlg) {
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        const std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "Nothing was saved and nothing was changed: another save of "
                                   "these settings is in progress"))
            << text;
        EXPECT_TRUE(Contains(text, "Press OK to try again.")) << text;
        EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u);
        AnswerBox(ui, hBox, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        lock.heldElsewhere = false;
        UiDriver::Click(hDlg, IDOK);
        ui.WaitForClose(hDlg);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(lock.acquired, 1);
    EXPECT_EQ(lock.released, 1);
    ExpectEveryRow(0, 1);
}

TEST_F(MainDialogTest, FailureWhileWritingNamesWhoHoldsTheNewAndWhoTheOldSettings)
{
    for (std::size_t row = 0; row < kDriverServiceCount; ++row) {
        Seed(row, 0, 5);
    }
    // The fifth value write is QuorinRv's mode.
    registry.InjectFault(RegOperation::SetValue, 5, kErrorFileCorrupt);
    RunDialog([this](UiDriver& ui, HWND hDlg) {
        UiDriver::SetText(hDlg, IDC_FRAMES_NUMBER, "8");
        UiDriver::Click(hDlg, IDOK);
        HWND hBox = WaitForErrorBox(ui, hDlg);
        ASSERT_NE(hBox, nullptr);
        const std::string text = BoxText(hBox);
        EXPECT_TRUE(Contains(text, "The settings were only partly saved: 1 of the 8 driver "
                                   "services could not be written."))
            << text;
        EXPECT_TRUE(Contains(text, "Holding the new settings: Quorin, QuorinDx, QuorinM, "
                                   "QuorinPx7, QuorinS, QuorinSv, QuorinNq.\n"))
            << text;
        EXPECT_TRUE(Contains(text, "Still holding their old settings: QuorinRv (")) << text;
        AnswerBox(ui, hBox, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hDlg));

        // The retry writes QuorinRv too.
        registry.ClearFault();
        UiDriver::Click(hDlg, IDOK);
        ui.WaitForClose(hDlg);
    });
    ExpectEveryRow(0, 8);
}

} // namespace
