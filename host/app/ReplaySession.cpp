#include "ReplaySession.h"

#include <QElapsedTimer>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <cstdio>
#include <set>

#include "Dialog.h"
#include "Menu.h"
#include "Wnd.h"

namespace
{

struct SKindName
{
    const char* pszKey;
    EReplayStep nKind;
    std::set<QString> optional;   // keys a step of this kind may carry besides its own
};

const std::vector<SKindName>& Kinds()
{
    static const std::vector<SKindName> kinds{
        {"dialog", EReplayStep::Dialog, {"caption"}},
        {"messageBox", EReplayStep::MessageBox, {"caption", "press"}},
        {"menu", EReplayStep::Menu, {}},
        {"select", EReplayStep::Select, {"view"}},
        {"rightClick", EReplayStep::RightClick, {"view", "command"}},
        {"set", EReplayStep::Set, {"text"}},
        {"check", EReplayStep::Check, {"checked"}},
        {"choose", EReplayStep::Choose, {"rows"}},
        {"spin", EReplayStep::Spin, {"arrow", "times"}},
        {"press", EReplayStep::Press, {}},
        {"expect", EReplayStep::Expect, {"text", "rows", "caption"}},
    };
    return kinds;
}

const char* KindName(EReplayStep nKind)
{
    for (const SKindName& kind : Kinds())
    {
        if (kind.nKind == nKind)
            return kind.pszKey;
    }
    return "?";
}

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

// What a step expects, for the failure line.
std::string Describe(const SReplayStep& step)
{
    switch (step.nKind)
    {
    case EReplayStep::Dialog: return "dialog " + std::to_string(step.nId);
    case EReplayStep::MessageBox: return "message box " + Quote(step.text);
    case EReplayStep::Menu: return "menu command " + std::to_string(step.nId);
    case EReplayStep::Select: return "a selection in a view";
    case EReplayStep::RightClick: return "a right click in a view";
    default: return std::string(KindName(step.nKind)) + " on control " + std::to_string(step.nId);
    }
}

std::string DescribeWindow(CWoxDialogDriver& driver)
{
    return "dialog " + std::to_string(driver.TemplateId()) + " " + Quote(driver.Caption());
}

// The button the box's type offers for an answer, 0 when it offers none such.
int OfferedAnswer(UINT nType, int nAnswer)
{
    switch (nType & MB_TYPEMASK)
    {
    case MB_OKCANCEL: return nAnswer == IDOK || nAnswer == IDCANCEL ? nAnswer : 0;
    case MB_YESNO: return nAnswer == IDYES || nAnswer == IDNO ? nAnswer : 0;
    default: return nAnswer == IDOK ? nAnswer : 0;
    }
}

int Refusal(UINT nType)
{
    switch (nType & MB_TYPEMASK)
    {
    case MB_OKCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
    }
}

// Reads the fields of one step object; false with the reason.
class CStepReader
{
public:
    CStepReader(const QJsonObject& object, SReplayStep& step) : m_object(object), m_step(step) {}

    bool Read(std::string& why)
    {
        const SKindName* pKind = nullptr;
        for (const SKindName& kind : Kinds())
        {
            // "press" is also the answer field of a message box step.
            const bool bAnswerField = kind.nKind == EReplayStep::Press && m_object.contains(QLatin1String("messageBox"));
            if (m_object.contains(QLatin1String(kind.pszKey)) && !bAnswerField)
            {
                if (pKind)
                    return Why(why, std::string("has two kinds, ") + pKind->pszKey + " and " + kind.pszKey);
                pKind = &kind;
            }
        }
        if (!pKind)
        {
            const QString first = m_object.isEmpty() ? QString() : m_object.keys().front();
            return Why(why, first.isEmpty() ? "is empty" : "unknown step kind " + Quote(first.toStdString()));
        }
        for (const QString& key : m_object.keys())
        {
            if (key != QLatin1String(pKind->pszKey) && !pKind->optional.count(key))
                return Why(why, std::string(pKind->pszKey) + ": unknown field " + Quote(key.toStdString()));
        }
        m_step.nKind = pKind->nKind;
        m_kind = pKind->pszKey;
        return ReadKind(why);
    }

private:
    bool Why(std::string& why, const std::string& what)
    {
        why = what;
        return false;
    }
    bool Missing(std::string& why, const char* pszField) { return Why(why, m_kind + ": missing field " + Quote(pszField)); }

    bool Int(const QJsonValue& value, int nMin, int nMax, int& n)
    {
        if (!value.isDouble())
            return false;
        const double d = value.toDouble();
        if (d != static_cast<double>(static_cast<long long>(d)) || d < nMin || d > nMax)
            return false;
        n = static_cast<int>(d);
        return true;
    }
    bool Text(const QJsonValue& value, std::string& text)
    {
        if (!value.isString() || value.toString().size() > CReplaySession::kMaxText)
            return false;
        text = value.toString().toStdString();
        return true;
    }
    bool Id(const char* pszField, int nMin, std::string& why, int& nId)
    {
        if (!m_object.contains(QLatin1String(pszField)))
            return Missing(why, pszField);
        if (!Int(m_object.value(QLatin1String(pszField)), nMin, 65535, nId))
            return Why(why, m_kind + ": " + pszField + " must be an id from " + std::to_string(nMin) + " to 65535");
        return true;
    }
    bool OptionalText(const char* pszField, std::string& why, std::string& text, bool& bGiven)
    {
        bGiven = m_object.contains(QLatin1String(pszField));
        if (bGiven && !Text(m_object.value(QLatin1String(pszField)), text))
            return Why(why, m_kind + ": " + pszField + " must be a text of at most " + std::to_string(CReplaySession::kMaxText) + " characters");
        return true;
    }
    bool Key(const QJsonValue& value, std::string& why)
    {
        const QJsonObject key = value.toObject();
        SReplayKey parsed;
        bool bAny = false;
        for (const QString& field : key.keys())
        {
            if (field == QLatin1String("stand") && Text(key.value(field), parsed.stand) && !parsed.stand.empty())
                bAny = true;
            else if (field == QLatin1String("year") && Int(key.value(field), 1, 99999, parsed.nYear))
                bAny = true;
            else
                return Why(why, m_kind + ": a key has a bad field " + Quote(field.toStdString()));
        }
        if (!value.isObject() || !bAny)
            return Why(why, m_kind + ": a key needs a \"stand\" or a \"year\"");
        m_step.keys.push_back(std::move(parsed));
        return true;
    }
    bool View(std::string& why)
    {
        return !m_object.contains(QLatin1String("view")) || Id("view", 1, why, m_step.nView);
    }

    bool ReadKind(std::string& why)
    {
        const QJsonValue own = m_object.value(QLatin1String(m_kind.c_str()));
        switch (m_step.nKind)
        {
        case EReplayStep::Dialog:
            return Id("dialog", 1, why, m_step.nId) && OptionalText("caption", why, m_step.caption, m_step.bCaption);
        case EReplayStep::MessageBox:
        {
            if (!Text(own, m_step.text))
                return Why(why, "messageBox: must be the box's text");
            if (!OptionalText("caption", why, m_step.caption, m_step.bCaption))
                return false;
            static const std::pair<const char*, int> answers[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
            const QString press = m_object.value(QLatin1String("press")).toString();
            for (const auto& [pszName, nAnswer] : answers)
            {
                if (press == QLatin1String(pszName))
                    m_step.nAnswer = nAnswer;
            }
            if (!m_step.nAnswer)
                return m_object.contains(QLatin1String("press")) ? Why(why, "messageBox: press must be ok, cancel, yes or no") : Missing(why, "press");
            return true;
        }
        case EReplayStep::Menu:
        case EReplayStep::Press:
            return Id(m_kind.c_str(), 1, why, m_step.nId);
        case EReplayStep::Select:
        {
            if (!own.isArray() || own.toArray().isEmpty() || own.toArray().size() > 1000)
                return Why(why, "select: must be a list of 1 to 1000 keys");
            for (const QJsonValue& key : own.toArray())
            {
                if (!Key(key, why))
                    return false;
            }
            return View(why);
        }
        case EReplayStep::RightClick:
        {
            const QJsonObject at = own.toObject();
            if (at.contains(QLatin1String("x")) || at.contains(QLatin1String("y")))
            {
                m_step.bAt = at.size() == 2 && Int(at.value(QLatin1String("x")), 0, 100000, m_step.nX) &&
                             Int(at.value(QLatin1String("y")), 0, 100000, m_step.nY);
                if (!m_step.bAt)
                    return Why(why, "rightClick: a position needs whole \"x\" and \"y\" and nothing else");
            }
            else if (!Key(own, why))
                return false;
            return View(why) && (!m_object.contains(QLatin1String("command")) || Id("command", 1, why, m_step.nCommand));
        }
        case EReplayStep::Set:
        {
            bool bGiven = false;
            if (!Id("set", 1, why, m_step.nId) || !OptionalText("text", why, m_step.text, bGiven))
                return false;
            return bGiven || Missing(why, "text");
        }
        case EReplayStep::Check:
            if (!Id("check", 1, why, m_step.nId))
                return false;
            if (!m_object.value(QLatin1String("checked")).isBool())
                return m_object.contains(QLatin1String("checked")) ? Why(why, "check: checked must be true or false") : Missing(why, "checked");
            m_step.bChecked = m_object.value(QLatin1String("checked")).toBool();
            return true;
        case EReplayStep::Choose:
        {
            if (!Id("choose", 1, why, m_step.nId))
                return false;
            const QJsonValue rows = m_object.value(QLatin1String("rows"));
            if (!m_object.contains(QLatin1String("rows")))
                return Missing(why, "rows");
            if (!rows.isArray() || rows.toArray().isEmpty() || rows.toArray().size() > 1000)
                return Why(why, "choose: rows must be a list of 1 to 1000 texts");
            for (const QJsonValue& row : rows.toArray())
            {
                std::string text;
                if (!Text(row, text))
                    return Why(why, "choose: rows must be texts");
                m_step.rows.push_back(std::move(text));
            }
            return true;
        }
        case EReplayStep::Spin:
        {
            if (!Id("spin", 1, why, m_step.nId))
                return false;
            const QString arrow = m_object.value(QLatin1String("arrow")).toString();
            if (arrow != QLatin1String("up") && arrow != QLatin1String("down"))
                return m_object.contains(QLatin1String("arrow")) ? Why(why, "spin: arrow must be up or down") : Missing(why, "arrow");
            m_step.nDirection = arrow == QLatin1String("up") ? 1 : -1;
            if (m_object.contains(QLatin1String("times")) && !Int(m_object.value(QLatin1String("times")), 1, 1000, m_step.nTimes))
                return Why(why, "spin: times must be from 1 to 1000");
            return true;
        }
        case EReplayStep::Expect:
        {
            if (!Id("expect", 0, why, m_step.nId) || !OptionalText("text", why, m_step.text, m_step.bText) ||
                !OptionalText("caption", why, m_step.caption, m_step.bCaption))
                return false;
            if (m_object.contains(QLatin1String("rows")) && !Int(m_object.value(QLatin1String("rows")), 0, 1000000, m_step.nRows))
                return Why(why, "expect: rows must be a count");
            if (!m_step.bText && !m_step.bCaption && m_step.nRows < 0)
                return Why(why, "expect: needs \"text\", \"rows\" or \"caption\"");
            if (m_step.nId == 0 && (m_step.bText || m_step.nRows >= 0))
                return Why(why, "expect: the window itself (0) has only a caption");
            return true;
        }
        }
        return Why(why, "unknown step kind");
    }

    const QJsonObject& m_object;
    SReplayStep& m_step;
    std::string m_kind;
};

}

bool CReplaySession::Load(const std::string& path, std::string& error)
{
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    QFile file(name);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
    {
        error = path + ": cannot read the session file";
        return false;
    }
    // Read one byte past the bound, so a file that grows while read is still refused.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
    {
        error = path + ": the session is larger than " + std::to_string(kMaxFileBytes) + " bytes";
        return false;
    }
    if (!Parse(bytes, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool CReplaySession::Parse(const QByteArray& json, std::string& error)
{
    m_steps.clear();
    if (json.size() > kMaxFileBytes)
    {
        error = "the session is larger than " + std::to_string(kMaxFileBytes) + " bytes";
        return false;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
    {
        error = "not JSON at byte " + std::to_string(parseError.offset) + ": " + parseError.errorString().toStdString();
        return false;
    }
    const QJsonValue steps = document.object().value(QLatin1String("steps"));
    if (!document.isObject() || !steps.isArray())
    {
        error = "a session is an object with a \"steps\" list";
        return false;
    }
    if (static_cast<size_t>(steps.toArray().size()) > kMaxSteps)
    {
        error = "more than " + std::to_string(kMaxSteps) + " steps";
        return false;
    }
    std::vector<SReplayStep> parsed;
    for (const QJsonValue& value : steps.toArray())
    {
        SReplayStep step;
        std::string why = "must be an object";
        if (!value.isObject() || !CStepReader(value.toObject(), step).Read(why))
        {
            error = "step " + std::to_string(parsed.size() + 1) + ": " + why;
            return false;
        }
        parsed.push_back(std::move(step));
    }
    m_steps = std::move(parsed);
    return true;
}

int CReplaySession::Run(const std::function<void()>& openTopWindow)
{
    m_nNext = 0;
    m_bFailed = false;
    m_error.clear();
    m_windows.clear();
    if (!m_screens.empty())
        QDir().mkpath(QString::fromStdString(m_screens));
    IWoxAutomation* pPrevious = WoxSetAutomation(this);
    openTopWindow();
    WoxSetAutomation(pPrevious);
    if (!m_bFailed && m_nNext < m_steps.size())
        Fail(m_nNext, "expected " + Describe(m_steps[m_nNext]) + ", found no window up");
    return m_bFailed ? 1 : 0;
}

void CReplaySession::Fail(size_t nStep, const std::string& what)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    if (nStep >= m_steps.size())
        m_error = "after the last step: " + what;
    else
        m_error = "step " + std::to_string(nStep + 1) + " (" + KindName(m_steps[nStep].nKind) + "): " + what;
}

void CReplaySession::Screen(size_t nStep)
{
    if (m_screens.empty() || m_windows.empty())
        return;
    char szName[32];
    std::snprintf(szName, sizeof szName, "/step-%03zu.png", nStep + 1);
    m_windows.back()->SaveScreen(m_screens + szName);
}

void CReplaySession::OnDialog(CWoxDialogDriver& driver)
{
    if (m_bFailed)
        return;   // the hook cancels the dialog
    if (m_nNext >= m_steps.size() || m_steps[m_nNext].nKind != EReplayStep::Dialog)
    {
        Fail(m_nNext, (m_nNext < m_steps.size() ? "expected " + Describe(m_steps[m_nNext]) + ", found " : std::string()) + DescribeWindow(driver) +
                          (m_nNext < m_steps.size() ? "" : " came up"));
        return;
    }
    const size_t nOwn = m_nNext++;
    const SReplayStep& own = m_steps[nOwn];
    if (own.nId != driver.TemplateId() || (own.bCaption && own.caption != driver.Caption()))
    {
        Fail(nOwn, "expected " + Describe(own) + (own.bCaption ? " " + Quote(own.caption) : std::string()) + ", found " + DescribeWindow(driver));
        return;
    }
    m_windows.push_back(&driver);
    Screen(nOwn);
    while (!m_bFailed && !driver.Dialog().IsEnded())
    {
        if (m_nNext >= m_steps.size())
        {
            Fail(m_nNext, "the session ended with " + DescribeWindow(driver) + " still up");
            break;
        }
        const size_t nStep = m_nNext;
        const SReplayStep& step = m_steps[nStep];
        if (step.nKind == EReplayStep::Dialog || step.nKind == EReplayStep::MessageBox)
        {
            Fail(nStep, "expected " + Describe(step) + ", found " + DescribeWindow(driver) + " up and nothing opening it");
            break;
        }
        ++m_nNext;
        std::string why;
        if (!Carry(step, driver, why))
        {
            Fail(nStep, why + " in " + DescribeWindow(driver));
            break;
        }
        driver.ProcessEvents();
        if (!driver.Dialog().IsEnded())
            Screen(nStep);
    }
    m_windows.pop_back();
}

int CReplaySession::OnMessageBox(const char* pszText, const char* pszCaption, UINT nType)
{
    if (m_bFailed)
        return Refusal(nType);
    const std::string text = pszText;
    if (m_nNext >= m_steps.size() || m_steps[m_nNext].nKind != EReplayStep::MessageBox)
    {
        Fail(m_nNext, (m_nNext < m_steps.size() ? "expected " + Describe(m_steps[m_nNext]) + ", found " : std::string()) + "message box " +
                          Quote(text) + (m_nNext < m_steps.size() ? "" : " came up"));
        return Refusal(nType);
    }
    const size_t nStep = m_nNext++;
    const SReplayStep& step = m_steps[nStep];
    if (step.text != text)
        Fail(nStep, "expected message box " + Quote(step.text) + ", found " + Quote(text));
    else if (step.bCaption && step.caption != pszCaption)
        Fail(nStep, "expected the caption " + Quote(step.caption) + ", found " + Quote(pszCaption));
    else if (!OfferedAnswer(nType, step.nAnswer))
        Fail(nStep, "the message box " + Quote(text) + " offers no such button");
    if (m_bFailed)
        return Refusal(nType);
    Screen(nStep);
    return step.nAnswer;
}

int CReplaySession::OnPopupMenu(CMenu& menu)
{
    if (m_bFailed || !m_nPopupStep || m_bPopupSeen)
        return 0;   // a menu nobody asked for is dismissed
    m_bPopupSeen = true;
    const size_t nStep = m_nPopupStep - 1;
    const int nCommand = m_steps[nStep].nCommand;
    if (!m_screens.empty() && menu.GetQMenu())
    {
        char szName[40];
        std::snprintf(szName, sizeof szName, "/step-%03zu-menu.png", nStep + 1);
        menu.GetQMenu()->grab().save(QString::fromStdString(m_screens + szName), "PNG");
    }
    const UINT nState = menu.GetMenuState(nCommand);
    if (nState == static_cast<UINT>(-1))
        Fail(nStep, "the context menu has no command " + std::to_string(nCommand));
    else if (nState & MF_GRAYED)
        Fail(nStep, "command " + std::to_string(nCommand) + " is greyed in the context menu");
    return m_bFailed ? 0 : nCommand;
}

bool CReplaySession::Carry(const SReplayStep& step, CWoxDialogDriver& driver, std::string& why)
{
    const std::string control = "control " + std::to_string(step.nId);
    auto need = [&](bool bDone, const std::string& what) {
        if (!bDone)
            why = what;
        return bDone;
    };
    if (step.nKind != EReplayStep::Menu && step.nKind != EReplayStep::Select && step.nKind != EReplayStep::RightClick && step.nId != 0 &&
        !driver.HasControl(step.nId))
        return need(false, "no " + control);
    switch (step.nKind)
    {
    case EReplayStep::Menu:
    {
        const int nState = driver.MenuCommandState(step.nId);
        if (nState < 0)
            return need(false, "no menu command " + std::to_string(step.nId));
        if (nState & static_cast<int>(MF_GRAYED))
            return need(false, "menu command " + std::to_string(step.nId) + " is greyed");
        if (!need(driver.ChooseMenuCommand(step.nId), "menu command " + std::to_string(step.nId) + " could not be chosen"))
            return false;
        // A window may carry out a chosen command once its menu has closed: let it run now, so
        // the next step sees its effect.
        driver.ProcessEvents();
        driver.ProcessEvents();
        return true;
    }
    case EReplayStep::Set:
        return need(driver.IsEnabled(step.nId), control + " is greyed") && need(driver.SetText(step.nId, step.text.c_str()), control + " takes no text");
    case EReplayStep::Check:
        return need(driver.SetCheck(step.nId, step.bChecked), control + " is not an enabled check box or radio button");
    case EReplayStep::Press:
        return need(driver.PressButton(step.nId), control + " is not an enabled button");
    case EReplayStep::Spin:
        for (int i = 0; i < step.nTimes; ++i)
        {
            if (!driver.ClickSpin(step.nId, step.nDirection))
                return need(false, control + " is not an enabled up-down control");
        }
        return true;
    case EReplayStep::Choose:
    {
        std::vector<int> rows;
        for (const std::string& text : step.rows)
        {
            int nFound = -1;
            // Lists may be filled by a background task: wait for the row to appear.
            driver.WaitUntil(
                [&] {
                    for (int r = 0; r < driver.GetRowCount(step.nId) && nFound < 0; ++r)
                    {
                        if (driver.GetRowText(step.nId, r) == text)
                            nFound = r;
                    }
                    return nFound >= 0;
                },
                10000);
            if (nFound < 0)
                return need(false, control + " has no row " + Quote(text) + " among its " + std::to_string(driver.GetRowCount(step.nId)) + " rows");
            rows.push_back(nFound);
        }
        if (driver.ChooseRow(step.nId, rows.front()))
            return need(rows.size() == 1, control + " is a drop-down: choose one row");
        return need(driver.SelectRows(step.nId, rows), control + " has no rows to select");
    }
    case EReplayStep::Expect:
    {
        if (step.bCaption && !driver.WaitUntil([&] { return driver.Caption() == step.caption; }))
            return need(false, "expected the caption " + Quote(step.caption) + ", found " + Quote(driver.Caption()));
        if (step.bText && !driver.WaitUntil([&] { return driver.GetText(step.nId) == step.text; }))
            return need(false, control + ": expected " + Quote(step.text) + ", found " + Quote(driver.GetText(step.nId)));
        if (step.nRows >= 0 && !driver.WaitUntil([&] { return driver.GetRowCount(step.nId) == step.nRows; }))
            return need(false, control + ": expected " + std::to_string(step.nRows) + " rows, found " + std::to_string(driver.GetRowCount(step.nId)));
        return true;
    }
    case EReplayStep::Select:
    case EReplayStep::RightClick:
        return CarryViewClick(step, driver, why);
    case EReplayStep::Dialog:
    case EReplayStep::MessageBox:
        break;
    }
    return need(false, "nothing to carry out");
}

namespace
{

// Waits until no posted request has been waiting for a quiet spell (up to 10 s in all).
void WaitForSettledViews(CWoxDialogDriver& driver)
{
    constexpr int kQuietMs = 400;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < 10000)
    {
        driver.WaitUntil([] { return WoxPendingPostedMessages() == 0; }, 10000);
        QElapsedTimer quiet;
        quiet.start();
        bool bQuiet = true;
        while (quiet.elapsed() < kQuietMs && bQuiet)
        {
            driver.ProcessEvents();
            bQuiet = WoxPendingPostedMessages() == 0;
        }
        if (bQuiet)
            return;
    }
}

} // namespace

bool CReplaySession::CarryViewClick(const SReplayStep& step, CWoxDialogDriver& driver, std::string& why)
{
    // A click lands on a settled view, as a user's does: a switch or fill still running would
    // change the view shown or move the caret onto the items it inserts after the click.
    WaitForSettledViews(driver);
    int nView = step.nView;
    if (nView == 0)
    {
        const std::vector<int> views = driver.VisibleViews();
        if (views.size() != 1)
        {
            why = views.empty() ? "no view is shown" : "several views are shown: name one with \"view\"";
            return false;
        }
        nView = views.front();
    }
    else if (!driver.IsVisible(nView))
    {
        why = "view " + std::to_string(nView) + " is not shown";
        return false;
    }
    const bool bRight = step.nKind == EReplayStep::RightClick;
    const size_t nStep = static_cast<size_t>(&step - m_steps.data());
    m_nPopupStep = bRight && step.nCommand ? nStep + 1 : 0;
    m_bPopupSeen = false;
    if (step.bAt)
        driver.ClickViewAt(nView, step.nX, step.nY, true);
    for (size_t i = 0; i < step.keys.size() && !m_bFailed; ++i)
    {
        // A key names its item by stand and year in either order (the view's mode decides which
        // is the first level); views are filled in slices, so the item may still be coming.
        const SReplayKey& key = step.keys[i];
        const std::string year = key.nYear ? std::to_string(key.nYear) : std::string();
        const std::string first = key.stand.empty() ? year : key.stand;
        const std::string second = key.stand.empty() ? std::string() : year;
        bool bSwapped = false;
        const bool bFound = driver.WaitUntil(
            [&] {
                bSwapped = !second.empty() && !driver.HasViewItem(nView, first, second) && driver.HasViewItem(nView, second, first);
                return driver.HasViewItem(nView, first, second) || bSwapped;
            },
            10000);
        if (!bFound || !driver.ClickViewItem(nView, bSwapped ? second : first, bSwapped ? first : second, i > 0, bRight))
        {
            why = "view " + std::to_string(nView) + " shows no item for stand " + Quote(key.stand) + " year " + (year.empty() ? "-" : year);
            m_nPopupStep = 0;
            return false;
        }
    }
    const bool bMenuMissing = m_nPopupStep && !m_bPopupSeen && !m_bFailed;
    m_nPopupStep = 0;
    if (bMenuMissing)
    {
        why = "no context menu came up for command " + std::to_string(step.nCommand);
        return false;
    }
    return true;
}
