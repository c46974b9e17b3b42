#include "AboutDlg.h"

#include "ResourceIds.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT, pParent) {}
