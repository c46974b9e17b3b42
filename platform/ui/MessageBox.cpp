#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <mutex>

#include "Automation.h"

namespace
{
std::mutex g_titleLock;
std::string g_appTitle = "Wox Suite";
}

void WoxSetAppTitle(const char* pszTitle)
{
    std::lock_guard<std::mutex> guard(g_titleLock);
    g_appTitle = pszTitle ? pszTitle : "";
}

std::string WoxAppTitle()
{
    std::lock_guard<std::mutex> guard(g_titleLock);
    return g_appTitle;
}

int WoxMessageBox(const char* pszText, UINT nType)
{
    const std::string title = WoxAppTitle();
    int nAnswer = 0;
    if (WoxAutomateMessageBox(pszText, title.c_str(), nType, &nAnswer))
        return nAnswer;

    QMessageBox box(QApplication::activeModalWidget());
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromUtf8(pszText ? pszText : ""));
    box.setWindowModality(Qt::ApplicationModal);
    switch (nType & MB_ICONMASK)
    {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (nType & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
        return IDOK;
    }
}
