// Message maps: lookup along the chain of base-class maps, the first match
// winning, notification codes told apart, and the dialog's fallbacks to its
// virtual OnOK and OnCancel.
#include <afxwin.h>

#include <gtest/gtest.h>

namespace {

constexpr UINT kBaseOnly = 100;
constexpr UINT kShared = 200;
constexpr UINT kClicked = 300;

class CBaseTarget : public CCmdTarget {
public:
    int m_nBase = 0;
    int m_nShared = 0;

protected:
    void OnBaseOnly() { ++m_nBase; }
    void OnShared() { ++m_nShared; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(kBaseOnly, &CBaseTarget::OnBaseOnly)
    ON_COMMAND(kShared, &CBaseTarget::OnShared)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    int m_nDerivedShared = 0;
    int m_nClicked = 0;

protected:
    void OnDerivedShared() { ++m_nDerivedShared; }
    void OnClicked() { ++m_nClicked; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(kShared, &CDerivedTarget::OnDerivedShared)
    ON_BN_CLICKED(kClicked, &CDerivedTarget::OnClicked)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedMapIsSearchedFirstThenItsBases)
{
    CDerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(kShared, 0));
    EXPECT_EQ(target.m_nDerivedShared, 1);
    EXPECT_EQ(target.m_nShared, 0) << "the base entry is hidden by the derived one";
    EXPECT_TRUE(target.OnCmdMsg(kBaseOnly, 0));
    EXPECT_EQ(target.m_nBase, 1) << "chained to the base map";
    EXPECT_FALSE(target.OnCmdMsg(999, 0));
}

TEST(MessageMap, BaseObjectSeesOnlyItsOwnMap)
{
    CBaseTarget target;
    EXPECT_TRUE(target.OnCmdMsg(kShared, 0));
    EXPECT_EQ(target.m_nShared, 1);
    EXPECT_FALSE(target.OnCmdMsg(kClicked, BN_CLICKED));
}

TEST(MessageMap, NotificationCodesAreTellApart)
{
    CDerivedTarget target;
    EXPECT_FALSE(target.OnCmdMsg(kClicked, BN_DOUBLECLICKED));
    EXPECT_EQ(target.m_nClicked, 0);
    EXPECT_TRUE(target.OnCmdMsg(kClicked, BN_CLICKED));
    EXPECT_EQ(target.m_nClicked, 1);
}

class CRecordingDialog : public CDialog {
public:
    CRecordingDialog() : CDialog(1) {}
    int m_nOK = 0;
    int m_nCancel = 0;

protected:
    void OnOK() override { ++m_nOK; }
    void OnCancel() override { ++m_nCancel; }
};

class COkHandlingDialog : public CRecordingDialog {
public:
    int m_nOkClicked = 0;

protected:
    void OnOkClicked() { ++m_nOkClicked; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COkHandlingDialog, CRecordingDialog)
    ON_BN_CLICKED(IDOK, &COkHandlingDialog::OnOkClicked)
END_MESSAGE_MAP()

TEST(MessageMap, DialogCommandsFallBackToTheVirtualOkAndCancel)
{
    CRecordingDialog dialog;
    EXPECT_TRUE(dialog.OnCmdMsg(IDOK, BN_CLICKED));
    EXPECT_TRUE(dialog.OnCmdMsg(IDCANCEL, BN_CLICKED));
    EXPECT_EQ(dialog.m_nOK, 1);
    EXPECT_EQ(dialog.m_nCancel, 1);
}

TEST(MessageMap, AMappedOkHandlerTakesOkButCancelStillFallsBack)
{
    COkHandlingDialog dialog;
    EXPECT_TRUE(dialog.OnCmdMsg(IDOK, BN_CLICKED));
    EXPECT_EQ(dialog.m_nOkClicked, 1);
    EXPECT_EQ(dialog.m_nOK, 0);
    EXPECT_TRUE(dialog.OnCmdMsg(IDCANCEL, BN_CLICKED));
    EXPECT_EQ(dialog.m_nCancel, 1);
}

TEST(RuntimeClass, NamesAndAncestry)
{
    EXPECT_STREQ(RUNTIME_CLASS(CDialog)->m_lpszClassName, "CDialog");
    EXPECT_TRUE(RUNTIME_CLASS(CDialog)->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(RUNTIME_CLASS(CWnd)->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_TRUE(RUNTIME_CLASS(CWinApp)->IsDerivedFrom(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(RUNTIME_CLASS(CWnd)->IsDerivedFrom(RUNTIME_CLASS(CDialog)));
}

} // namespace
