#pragma once
// Helpers of the user-interface tests: letting posted messages run, recording automation.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <string>
#include <vector>

#include "Automation.h"
#include "Dialog.h"
#include "Wnd.h"

// Lets queued messages run until the condition holds (at most nMaxMs); answers the condition.
inline bool PumpUntil(const std::function<bool()>& condition, int nMaxMs = 10000)
{
    QDeadlineTimer deadline(nMaxMs);
    while (!condition())
    {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Lets every message posted so far run (they run in slices, so this may take several turns).
inline void PumpQueued()
{
    do
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    } while (WoxPendingPostedMessages() > 0);
    // What the last requests queued in turn (a tree's caret move) runs in one more turn: events
    // posted while Qt delivers posted events wait for its next delivery.
    QCoreApplication::sendPostedEvents();
}

// An automation handler for one test: runs a callback on each dialog and answers message boxes
// with a fixed button, recording their texts. Installed for its own lifetime.
class CScriptedAutomation final : public IWoxAutomation
{
public:
    explicit CScriptedAutomation(std::function<void(CWoxDialogDriver&)> onDialog, int nBoxAnswer = IDOK)
        : m_onDialog(std::move(onDialog)), m_nBoxAnswer(nBoxAnswer)
    {
        m_pPrevious = WoxSetAutomation(this);
    }
    ~CScriptedAutomation() { WoxSetAutomation(m_pPrevious); }

    void OnDialog(CWoxDialogDriver& driver) override
    {
        m_dialogs.push_back(driver.TemplateId());
        if (m_onDialog)
            m_onDialog(driver);
    }
    int OnMessageBox(const char* pszText, const char* pszCaption, UINT nType) override
    {
        m_boxes.push_back(pszText);
        m_captions.push_back(pszCaption);
        m_boxTypes.push_back(nType);
        return m_nBoxAnswer;
    }

    std::vector<int> m_dialogs;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_captions;
    std::vector<UINT> m_boxTypes;

private:
    std::function<void(CWoxDialogDriver&)> m_onDialog;
    int m_nBoxAnswer;
    IWoxAutomation* m_pPrevious = nullptr;
};
