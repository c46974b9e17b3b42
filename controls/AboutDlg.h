#pragma once
// The editor's About box: icon, product, version, release and credit lines, OK.

#include "Dialog.h"

class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
};
