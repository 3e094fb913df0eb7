// The layer over real windows: DDX_Radio's group walk, DDX_Control's
// attachment and when it ends, and CString.
#include <afxwin.h>

#include "resource.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr int kFirst = 10;
constexpr int kSecond = 11;
constexpr int kLabel = 12;
constexpr int kThird = 13;
constexpr int kNextGroup = 14;
constexpr int kOutside = 15;

// A popup with a radio group (10, 11, a label, 13) ended by a grouped
// button, and one more radio after it.
class RadioWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_parent.m_hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr,
                                            nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent.m_hWnd, nullptr);
        Add("BUTTON", kFirst, WS_GROUP | BS_AUTORADIOBUTTON);
        Add("BUTTON", kSecond, BS_AUTORADIOBUTTON);
        Add("STATIC", kLabel, 0);
        Add("BUTTON", kThird, BS_AUTORADIOBUTTON);
        Add("BUTTON", kNextGroup, WS_GROUP | BS_PUSHBUTTON);
        Add("BUTTON", kOutside, BS_AUTORADIOBUTTON);
    }

    void TearDown() override
    {
        ::DestroyWindow(m_parent.m_hWnd);
        m_parent.m_hWnd = nullptr;
    }

    void Add(const char* windowClass, int nID, DWORD style)
    {
        ::CreateWindowExA(0, windowClass, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                          m_parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                          nullptr, nullptr);
    }

    bool Checked(int nID) const
    {
        return ::SendMessageA(::GetDlgItem(m_parent.m_hWnd, nID), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    void Load(int value)
    {
        CDataExchange dx(&m_parent, FALSE);
        DDX_Radio(&dx, kFirst, value);
    }

    int Save()
    {
        int value = 1234;
        CDataExchange dx(&m_parent, TRUE);
        DDX_Radio(&dx, kFirst, value);
        return value;
    }

    CWnd m_parent;
};

TEST_F(RadioWindow, LoadChecksTheButtonAtTheIndexCountingRadiosOnly)
{
    ::SendMessageA(::GetDlgItem(m_parent.m_hWnd, kOutside), BM_SETCHECK, BST_CHECKED, 0);
    Load(2);
    EXPECT_FALSE(Checked(kFirst));
    EXPECT_FALSE(Checked(kSecond));
    EXPECT_TRUE(Checked(kThird));
    EXPECT_TRUE(Checked(kOutside)) << "the group ends at the next WS_GROUP control";
    Load(0);
    EXPECT_TRUE(Checked(kFirst));
    EXPECT_FALSE(Checked(kThird));
    Load(-1);
    EXPECT_FALSE(Checked(kFirst));
}

TEST_F(RadioWindow, SaveGivesTheCheckedIndexOrMinusOne)
{
    EXPECT_EQ(Save(), -1);
    ::SendMessageA(::GetDlgItem(m_parent.m_hWnd, kSecond), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Save(), 1);
    Load(2);
    EXPECT_EQ(Save(), 2);
}

// A control wrapper with a map of its own: its control's messages must come
// through it.
class CPaintCountingButton : public CButton {
public:
    int m_nPaints = 0;

protected:
    afx_msg void OnPaint()
    {
        ++m_nPaints;
        Default();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintCountingButton, CButton)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(RadioWindow, PlainWrapperIsAttachedOnceWithoutTakingTheControlsMessages)
{
    CButton button;
    CButton other;
    CDataExchange dx(&m_parent, FALSE);
    HWND hFirst = ::GetDlgItem(m_parent.m_hWnd, kFirst);
    const LONG_PTR procedure = ::GetWindowLongPtrA(hFirst, GWLP_WNDPROC);
    DDX_Control(&dx, kFirst, button);
    EXPECT_EQ(button.m_hWnd, hFirst);
    EXPECT_EQ(CWnd::FromHandlePermanent(hFirst), &button);
    EXPECT_EQ(::GetWindowLongPtrA(hFirst, GWLP_WNDPROC), procedure) << "not subclassed";
    DDX_Control(&dx, kFirst, button);
    EXPECT_EQ(CWnd::FromHandlePermanent(hFirst), &button);
    EXPECT_FALSE(other.Attach(hFirst)) << "one wrapper per window";
    EXPECT_FALSE(other.SubclassWindow(hFirst)) << "one wrapper per window";

    // Messages reach the control through the wrapper.
    button.SetCheck(BST_CHECKED);
    EXPECT_EQ(button.GetCheck(), BST_CHECKED);
    EXPECT_EQ(button.Detach(), hFirst);
    EXPECT_EQ(CWnd::FromHandlePermanent(hFirst), nullptr);
}

TEST_F(RadioWindow, WrapperWithItsOwnMapTakesTheControlsMessagesUntilItsWindowGoes)
{
    CPaintCountingButton button;
    CDataExchange dx(&m_parent, FALSE);
    HWND hSecond = ::GetDlgItem(m_parent.m_hWnd, kSecond);
    DDX_Control(&dx, kSecond, button);
    EXPECT_EQ(CWnd::FromHandlePermanent(hSecond), &button);
    ::SendMessageA(hSecond, WM_PAINT, 0, 0);
    EXPECT_EQ(button.m_nPaints, 1);
    ::DestroyWindow(hSecond);
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hSecond), nullptr);
}

// A dialog that attaches a plain wrapper to its text, as the application's
// dialogs do.
class CTextDialog : public CDialog {
public:
    CTextDialog() : CDialog(IDD_SYNC_WARNING) {}
    CStatic m_text;
    HWND m_hText = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_WARNING_TEXT, m_text);
        m_hText = m_text.m_hWnd;
    }
};

TEST(DialogControls, PlainWrappersLetGoWhenTheirDialogEnds)
{
    CTextDialog dialog;
    UiDriver::Run([&dialog] { return dialog.DoModal(); },
                  [](UiDriver& ui) {
                      HWND hDlg = ui.WaitForWindow("WARNING!");
                      ASSERT_NE(hDlg, nullptr);
                      UiDriver::Click(hDlg, IDCANCEL);
                      ui.WaitForClose(hDlg);
                  });
    ASSERT_NE(dialog.m_hText, nullptr);
    EXPECT_EQ(dialog.m_text.m_hWnd, nullptr) << "no handle left to a destroyed control";
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    // A second run attaches afresh.
    UiDriver::Run([&dialog] { return dialog.DoModal(); },
                  [&dialog](UiDriver& ui) {
                      HWND hDlg = ui.WaitForWindow("WARNING!");
                      ASSERT_NE(hDlg, nullptr);
                      EXPECT_EQ(dialog.m_text.m_hWnd, ::GetDlgItem(hDlg, IDC_WARNING_TEXT));
                      UiDriver::Click(hDlg, IDCANCEL);
                      ui.WaitForClose(hDlg);
                  });
}

TEST_F(RadioWindow, TemporaryWrappersAreReusedAndDeleted)
{
    CWnd* pFirst = m_parent.GetDlgItem(kSecond);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(pFirst->m_hWnd, ::GetDlgItem(m_parent.m_hWnd, kSecond));
    EXPECT_EQ(m_parent.GetDlgItem(kSecond), pFirst);
    EXPECT_EQ(m_parent.GetDlgItem(999), nullptr);
    CWnd::DeleteTempMap();
}

TEST(CStringTest, FormatGrowsAsNeeded)
{
    CString text;
    text.Format("%u of the %u services", 3u, 8u);
    EXPECT_STREQ(text, "3 of the 8 services");
    EXPECT_EQ(text.GetLength(), 19);
    const std::string longText(1000, 'x');
    text.Format("%s|%d", longText.c_str(), -7);
    EXPECT_EQ(std::string(text), longText + "|-7");
}

TEST(CStringTest, BufferAndCopies)
{
    CString text("abc");
    CString copy = text;
    char* buffer = text.GetBuffer(10);
    std::strcpy(buffer, "0123456789");
    text.ReleaseBuffer();
    EXPECT_STREQ(text, "0123456789");
    EXPECT_STREQ(copy, "abc") << "copies do not share their text";
    text.GetBuffer(4);
    text.ReleaseBuffer(2);
    EXPECT_STREQ(text, "01");
    text = static_cast<LPCSTR>(text);
    EXPECT_STREQ(text, "01");
    text = nullptr;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(CString() == "");
}

} // namespace
