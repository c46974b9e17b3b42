#include "AboutDlg.h"

#include "ResourceIds.h"
#include "ScenarioResources.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT, pParent)
{
    WoxUseScenarioResources();
}
