#include "ComboBoxEx.h"

#include <QComboBox>

QComboBox* CComboBoxEx::Combo() const
{
    return qobject_cast<QComboBox*>(GetWidget());
}

const CRuntimeClass* CComboBoxEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CComboBoxEx"};
    return &cls;
}

int CComboBoxEx::InsertItem(const COMBOBOXEXITEM* pItem)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || !pItem || pItem->iItem < 0 || pItem->iItem > pCombo->count())
        return -1;
    int nIndex = static_cast<int>(pItem->iItem);
    pCombo->insertItem(nIndex, (pItem->mask & CBEIF_TEXT) ? WoxQtText(pItem->pszText) : QString());
    if (pItem->mask & CBEIF_LPARAM)
        pCombo->setItemData(nIndex, QVariant::fromValue<qlonglong>(pItem->lParam));
    return nIndex;
}

int CComboBoxEx::DeleteItem(int nIndex)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || nIndex < 0 || nIndex >= pCombo->count())
        return CB_ERR;
    pCombo->removeItem(nIndex);
    return pCombo->count();
}

BOOL CComboBoxEx::SetItem(const COMBOBOXEXITEM* pItem)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || !pItem || pItem->iItem < 0 || pItem->iItem >= pCombo->count())
        return 0;
    int nIndex = static_cast<int>(pItem->iItem);
    if (pItem->mask & CBEIF_TEXT)
        pCombo->setItemText(nIndex, WoxQtText(pItem->pszText));
    if (pItem->mask & CBEIF_LPARAM)
        pCombo->setItemData(nIndex, QVariant::fromValue<qlonglong>(pItem->lParam));
    return 1;
}

int CComboBoxEx::GetCount() const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->count() : 0;
}

int CComboBoxEx::SetCurSel(int nIndex)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || nIndex < -1 || nIndex >= pCombo->count())
        return CB_ERR;
    pCombo->setCurrentIndex(nIndex);
    return nIndex;
}

int CComboBoxEx::GetCurSel() const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->currentIndex() : CB_ERR;
}

std::string CComboBoxEx::GetItemText(int nIndex) const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->itemText(nIndex).toStdString() : std::string();
}

LPARAM CComboBoxEx::GetItemData(int nIndex) const
{
    QComboBox* pCombo = Combo();
    return pCombo ? static_cast<LPARAM>(pCombo->itemData(nIndex).toLongLong()) : 0;
}

void CComboBoxEx::ResetContent()
{
    if (QComboBox* pCombo = Combo())
        pCombo->clear();
}
