// The warning dialog on its own: text, icon, colours, focus and results.
#include "sync_options_warning_message.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kWarningCaption = "WARNING!";
const char kWarningText[] =
    "\"External input Synchronization\"\n mode  has been chosen!\nIn this mode system will wait "
    "trigger signal with correct length, period and amplitude, described in \"Quorin IO Module "
    "User Guide\".";

INT_PTR RunWarning(const std::function<void(UiDriver&, HWND)>& drive)
{
    CSyncOptionsWarningMessage warning;
    return UiDriver::Run([&warning] { return warning.DoModal(); },
                         [&drive](UiDriver& ui) {
                             HWND hWarning = ui.WaitForWindow(kWarningCaption);
                             if (hWarning != nullptr) {
                                 drive(ui, hWarning);
                             }
                         });
}

// The text colour the dialog sets for a control, given a sentinel first.
COLORREF TextColourFor(HWND hWarning, UINT message, int nID)
{
    HDC hdc = ::CreateCompatibleDC(nullptr);
    const COLORREF kSentinel = RGB(1, 2, 3);
    ::SetTextColor(hdc, kSentinel);
    ::SendMessageA(hWarning, message, reinterpret_cast<WPARAM>(hdc),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hWarning, nID)));
    const COLORREF colour = ::GetTextColor(hdc);
    ::DeleteDC(hdc);
    return colour;
}

TEST(WarningDialog, ShowsTheWarningTextAndTheSystemExclamationIcon)
{
    const INT_PTR result = RunWarning([](UiDriver& ui, HWND hWarning) {
        EXPECT_EQ(UiDriver::ItemText(hWarning, IDC_WARNING_TEXT), kWarningText);
        HICON hIcon = reinterpret_cast<HICON>(
            ::SendMessageA(::GetDlgItem(hWarning, IDC_WARNING_ICON), STM_GETICON, 0, 0));
        EXPECT_EQ(hIcon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
        UiDriver::Click(hWarning, IDOK);
        ui.WaitForClose(hWarning);
    });
    EXPECT_EQ(result, IDOK);
}

TEST(WarningDialog, TextIsDarkRedAndOtherControlsKeepTheirColours)
{
    RunWarning([](UiDriver& ui, HWND hWarning) {
        EXPECT_EQ(TextColourFor(hWarning, WM_CTLCOLORSTATIC, IDC_WARNING_TEXT), RGB(192, 0, 0));
        const COLORREF defaultText = ::GetSysColor(COLOR_WINDOWTEXT);
        EXPECT_EQ(TextColourFor(hWarning, WM_CTLCOLORSTATIC, IDC_WARNING_ICON), defaultText);
        EXPECT_EQ(TextColourFor(hWarning, WM_CTLCOLORBTN, IDOK), defaultText);
        EXPECT_EQ(TextColourFor(hWarning, WM_CTLCOLORBTN, IDCANCEL), defaultText);
        // The background brush stays the default one.
        HDC hdc = ::CreateCompatibleDC(nullptr);
        const LRESULT brush = ::SendMessageA(hWarning, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(hWarning, IDC_WARNING_TEXT)));
        ::DeleteDC(hdc);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), ::GetSysColorBrush(COLOR_3DFACE));
        UiDriver::Click(hWarning, IDCANCEL);
        ui.WaitForClose(hWarning);
    });
}

TEST(WarningDialog, AgreeHoldsTheFocusAndTheDefaultWhenItOpens)
{
    RunWarning([](UiDriver& ui, HWND hWarning) {
        EXPECT_EQ(ui.Focused(), ::GetDlgItem(hWarning, IDOK));
        // The focused push button is drawn and acts as the default, so
        // Return accepts; Cancel, the template's default, gives it up.
        const auto dialogCode = [hWarning](int nID) {
            return ::SendMessageA(::GetDlgItem(hWarning, nID), WM_GETDLGCODE, 0, 0);
        };
        EXPECT_NE(dialogCode(IDOK) & DLGC_DEFPUSHBUTTON, 0);
        EXPECT_NE(dialogCode(IDCANCEL) & DLGC_UNDEFPUSHBUTTON, 0);
        UiDriver::Click(hWarning, IDCANCEL);
        ui.WaitForClose(hWarning);
    });
}

TEST(WarningDialog, EscAndTheCloseBoxDecline)
{
    EXPECT_EQ(RunWarning([](UiDriver& ui, HWND hWarning) {
                  ui.PressKey(VK_ESCAPE);
                  ui.WaitForClose(hWarning);
              }),
              IDCANCEL);
    EXPECT_EQ(RunWarning([](UiDriver& ui, HWND hWarning) {
                  ::PostMessageA(hWarning, WM_SYSCOMMAND, SC_CLOSE, 0);
                  ui.WaitForClose(hWarning);
              }),
              IDCANCEL);
}

TEST(WarningDialog, CarriesItsOwnRunTimeClass)
{
    CSyncOptionsWarningMessage warning;
    EXPECT_STREQ(warning.GetRuntimeClass()->m_lpszClassName, "CSyncOptionsWarningMessage");
    EXPECT_TRUE(warning.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_TRUE(warning.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(warning.IsKindOf(RUNTIME_CLASS(CWinApp)));
}

} // namespace
