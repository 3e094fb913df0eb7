// Opens the main options dialog over an in-memory registry and drives it.
#pragma once

#include "driver_parameter_store.h"
#include "elevated_save.h"
#include "fake_save_lock.h"
#include "fake_save_trail.h"
#include "memory_registry.h"
#include "seed_service.h"
#include "text_match.h"
#include "quorin_sync_options_dlg.h"
#include "sync_settings.h"
#include "ui_driver.h"
#include "version.h"
#include "win32_status_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

constexpr const char* kMainCaption = QUORIN_CAPTION_TEXT;
constexpr const char* kWarningCaption = "WARNING!";

// The texts of a message box's static controls, joined.
inline std::string BoxText(HWND hBox)
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

// A message box of the dialog's thread, owned by the dialog.
inline HWND WaitForErrorBox(UiDriver& ui, HWND hDlg)
{
    return ui.WaitForWindow(kMainCaption, hDlg);
}

// Presses a message box's button and waits for the box to close.
inline void AnswerBox(UiDriver& ui, HWND hBox, int nID)
{
    ::PostMessageA(hBox, WM_COMMAND, static_cast<WPARAM>(nID), 0);
    ui.WaitForClose(hBox);
}

class MainDialogTest : public ::testing::Test {
protected:
    // The registry's statuses told as the real one tells them.
    MainDialogTest() { registry.TellStatusesBy(&Win32StatusText); }

    void Seed(std::size_t row, std::uint32_t mode, std::int32_t frames)
    {
        SeedService(registry, row, mode, frames);
    }

    // Every service's Parameters key readable but not writable.
    void RefuseEveryRow()
    {
        for (const DriverService& service : DriverServiceList) {
            registry.RestrictAccess(service.parametersKey, kKeyRead);
        }
    }

    // Opens the dialog, waits for it, runs `drive` on it; the dialog's result.
    INT_PTR RunDialog(const std::function<void(UiDriver&, HWND)>& drive)
    {
        CQuorinSyncOptionsDlg dlg(registry);
        dlg.SetElevatedSaver(elevatedSaver);
        dlg.SetSaveLock(saveLock);
        dlg.SetSaveTrail(&trail);
        AfxGetApp()->m_pMainWnd = &dlg;
        const INT_PTR result = UiDriver::Run([&dlg] { return dlg.DoModal(); },
                                             [&drive](UiDriver& ui) {
                                                 HWND hDlg = ui.WaitForWindow(kMainCaption);
                                                 if (hDlg != nullptr) {
                                                     drive(ui, hDlg);
                                                 }
                                             });
        AfxGetApp()->m_pMainWnd = nullptr;
        return result;
    }

    // Presses OK with the box checked and waits for the warning.
    static HWND OpenWarning(UiDriver& ui, HWND hDlg)
    {
        UiDriver::Click(hDlg, IDOK);
        return ui.WaitForWindow(kWarningCaption);
    }

    // Presses OK, and Agree in the warning that opens; false when none opened.
    static bool AgreeToWarning(UiDriver& ui, HWND hDlg)
    {
        HWND hWarning = OpenWarning(ui, hDlg);
        if (hWarning != nullptr) {
            UiDriver::Click(hWarning, IDOK);
        }
        return hWarning != nullptr;
    }

    void ExpectEveryRow(std::uint32_t mode, std::int32_t frames) const
    {
        for (const DriverService& service : DriverServiceList) {
            const RegValue* storedMode =
                registry.FindValue(service.parametersKey, kExternalSynchModeValueName);
            const RegValue* storedFrames =
                registry.FindValue(service.parametersKey, kSynchFramesNumberValueName);
            ASSERT_NE(storedMode, nullptr) << service.name;
            ASSERT_NE(storedFrames, nullptr) << service.name;
            EXPECT_EQ(storedMode->data, DwordBytes(mode)) << service.name;
            EXPECT_EQ(storedFrames->data, DwordBytes(static_cast<std::uint32_t>(frames))) << service.name;
        }
    }

    void ExpectNothingWritten() const
    {
        EXPECT_EQ(registry.CountCalls(RegOperation::SetValue), 0u);
        EXPECT_EQ(registry.CountCalls(RegOperation::CreateKey), 0u);
        EXPECT_TRUE(trail.records.empty()) << "no save, no record";
    }

    // The events recorded, in order.
    std::vector<std::uint32_t> RecordedEvents() const
    {
        std::vector<std::uint32_t> events;
        for (const SaveRecord& record : trail.records) {
            events.push_back(record.eventId);
        }
        return events;
    }

    void TearDown() override { EXPECT_EQ(registry.OpenKeyCount(), 0u); }

    MemoryRegistry registry;
    // What the dialog saves as administrator through; none by default.
    ElevatedSaver* elevatedSaver = nullptr;
    SaveLock* saveLock = nullptr;
    // Where the dialog's records go.
    FakeSaveTrail trail;
};
