// CComboBoxEx2: posted inserts, selection and deletes.

#include <gtest/gtest.h>

#include <QComboBox>

#include "ComboBoxEx2.h"
#include "UiTestSupport.h"

namespace
{

class ComboBoxEx2Test : public ::testing::Test
{
protected:
    void SetUp() override { m_combo.Attach(new QComboBox(&m_window)); }

    std::vector<std::string> Items()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < m_combo.GetCount(); ++i)
            texts.push_back(m_combo.GetItemText(i));
        return texts;
    }

    QWidget m_window;
    CComboBoxEx2 m_combo;
};

TEST_F(ComboBoxEx2Test, PostedRequestsRunInOrder)
{
    const HWOXWND hCombo = m_combo.GetSafeHwnd();
    WoxPostComboItem(hCombo, WM_CBEX_INSERTITEMEX, WoxNewComboItem(-1, "Basal area", 7));
    WoxPostComboItem(hCombo, WM_CBEX_INSERTITEMEX, WoxNewComboItem(-1, "Top height", 8));
    WoxPostComboItem(hCombo, WM_CBEX_INSERTITEMEX, WoxNewComboItem(0, "Stems", 9));
    WoxPostIndex(hCombo, WM_CBEX_SETCURSELEX, WoxNewIndex(-1));
    PumpQueued();
    EXPECT_EQ(Items(), (std::vector<std::string>{"Stems", "Basal area", "Top height"}));
    EXPECT_EQ(m_combo.GetCurSel(), 2) << "-1 selects the last item";
    EXPECT_EQ(m_combo.GetItemData(1), 7);

    WoxPostComboItem(hCombo, WM_CBEX_SETITEMEX, WoxNewComboItem(1, "Basal area per ha", 70));
    WoxPostComboItem(hCombo, WM_CBEX_SETITEMEX, WoxNewComboItem(-1, "Top height (m)", 80));
    WoxPostIndex(hCombo, WM_CBEX_DELETEITEMEX, WoxNewIndex(0));
    PumpQueued();
    EXPECT_EQ(Items(), (std::vector<std::string>{"Basal area per ha", "Top height (m)"})) << "-1 sets the last item";
    EXPECT_EQ(m_combo.GetItemData(1), 80);
}

} // namespace
