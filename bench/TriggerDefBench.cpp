// The trigger definition dialog's variable box filled by its load task from three function
// libraries of 50 variables each: the time from opening to the last row, against opening the
// dialog and inserting the same 150 names straight into its box in the same run; the longest
// slice the window thread spent on posted requests (the dialog takes input between slices).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ControlRecords.h"
#include "ResourceIds.h"
#include "ScenarioRecords.h"
#include "TriggerDefDlg.h"
#include "WoxHost.h"

namespace
{
constexpr int kVariables = 150;

// The host registry with the function directory pointed at the benchmark's variable libraries.
class CVariablesRegistry final : public IWoxRegistry
{
public:
    explicit CVariablesRegistry(IWoxRegistry* pRegistry) : m_pRegistry(pRegistry) {}
    int ReadString(const char* pszSection, const char* pszValue, char* pszBuffer, int nBuffer) override
    {
        if (std::strcmp(pszSection, "General") != 0 || std::strcmp(pszValue, "Function Directory") != 0)
            return m_pRegistry->ReadString(pszSection, pszValue, pszBuffer, nBuffer);
        std::snprintf(pszBuffer, static_cast<size_t>(nBuffer), "%s", WOX_BENCH_VARIABLES);
        return 1;
    }

private:
    IWoxRegistry* m_pRegistry;
};

struct SBenchSetup
{
    CWoxHost host;
    bool bReady = false;
    SBenchSetup()
    {
        std::string error;
        bReady = host.Load(WOX_BENCH_REGISTRY, &error);
        if (!bReady)
            std::fprintf(stderr, "trigger dialog bench: %s\n", error.c_str());
        host.ErrorReporter()->SetQuiet(true);
    }
};

SBenchSetup& Setup()
{
    static SBenchSetup setup;
    return setup;
}

int BoxRows(CTriggerDefDlg& dialog)
{
    CWnd* pBox = dialog.GetDlgItem(IDC_TRIGGER_VARIABLE);
    auto* pCombo = pBox ? qobject_cast<QComboBox*>(pBox->GetWidget()) : nullptr;
    return pCombo ? pCombo->count() : 0;
}

void BM_VariableList(benchmark::State& state)
{
    if (!Setup().bReady)
    {
        state.SkipWithError("no host");
        return;
    }
    CWoxHost& host = Setup().host;
    CVariablesRegistry registry(host.Registry());
    SScenarioTriggerSpec spec;
    std::memset(&spec, 0, sizeof spec);
    ResetTriggerSpec(spec);
    double dTask = 0.0, dStraight = 0.0, dLongest = 0.0;
    int nRuns = 0;
    for (auto _ : state)
    {
        WoxResetPostedSlices();
        QElapsedTimer timer;
        timer.start();
        {
            CTriggerDefDlg dialog(host.Heap());
            dialog.Initialize(host.LibMgr(), &registry, host.ThreadPool(), host.SpeciesMap(), host.ErrorReporter(), &spec);
            dialog.Create();
            while (BoxRows(dialog) < kVariables)
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            const double dRun = timer.nsecsElapsed() / 1e9;
            dTask += dRun;
            state.SetIterationTime(dRun);
        }
        dLongest = std::max(dLongest, WoxPostedSlices().dLongestMs);

        // The same dialog with the names put straight into its box on this thread.
        timer.restart();
        {
            CTriggerDefDlg dialog(host.Heap());
            dialog.Initialize(host.LibMgr(), &registry, host.ThreadPool(), host.SpeciesMap(), host.ErrorReporter(), &spec);
            dialog.Create();
            auto* pCombo = qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_TRIGGER_VARIABLE)->GetWidget());
            pCombo->clear();
            for (int i = 0; i < kVariables; ++i)
                pCombo->addItem(QStringLiteral("Variable %1").arg(i));
            pCombo->setCurrentIndex(0);
            QApplication::processEvents();
            dStraight += timer.nsecsElapsed() / 1e9;
        }
        ++nRuns;
    }
    state.counters["to_last_row_ms"] = 1e3 * dTask / nRuns;
    state.counters["straight_ms"] = 1e3 * dStraight / nRuns;
    state.counters["ratio"] = dStraight > 0 ? dTask / dStraight : 0.0;
    state.counters["longest_slice_ms"] = dLongest;
}

BENCHMARK(BM_VariableList)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
