#pragma once
// The simulated forest: every stand's current trees in the current year. Treatments replace a
// stand's trees for the current year; growth moves all stands to a later year. Called on the
// simulation's thread only.

#include <string>
#include <unordered_map>
#include <vector>

#include "ProjectDatabase.h"

struct SAppliedTreatment
{
    int nYear = 0;
    std::string stand;
    std::string treatment;     // the record's treatment name
    std::string component;     // the treatment component's display name
    double dRemovedStems = 0.0;   // per ha
    double dRemovedVolume = 0.0;  // m3/ha
};

class CForest
{
public:
    // Stands measured before the project's first year are grown to it (see GrownToFirstYear).
    explicit CForest(SProject project);

    const SProject& Project() const { return m_project; }
    int Year() const { return m_nYear; }
    size_t StandCount() const { return m_project.stands.size(); }
    const SProjectStand& Stand(size_t nIndex) const { return m_project.stands[nIndex]; }
    // The stand's index, -1 when unknown (identifiers compared over 30 characters).
    int FindStand(const char* pszStand) const;

    // Replaces a stand's trees (records without stems are dropped) and notes the share of basal
    // area removed, which the next growth reads (ingrowth after heavy thinning).
    void SetTrees(size_t nIndex, std::vector<SInventory> trees);

    // Grows every stand by nYears and advances the year.
    void Grow(int nYears);

    // How many stands were grown from an earlier inventory year to the first year.
    size_t GrownToFirstYear() const { return m_nGrownToFirstYear; }
    // Counts the SetTrees calls of a stand: a stand whose count is unchanged kept its trees.
    uint32_t TreeChanges(size_t nIndex) const { return m_treeChanges[nIndex]; }

    // Removals booked by treatments, per stand, since the last TakeRemovals of that stand.
    void BookRemoval(size_t nIndex, double dStems, double dVolume);
    void TakeRemovals(size_t nIndex, double& dStems, double& dVolume);

    std::vector<SAppliedTreatment>& Applied() { return m_applied; }

private:
    SProject m_project;
    int m_nYear;
    std::unordered_map<std::string, size_t> m_index;
    std::vector<double> m_removedShare;                       // basal area share removed since the last growth
    std::vector<std::pair<double, double>> m_removals;        // since the last TakeRemovals
    std::vector<std::pair<double, double>> m_pendingMessage;  // since the last applied-treatment message
    std::vector<SAppliedTreatment> m_applied;
    std::vector<uint32_t> m_treeChanges;
    size_t m_nGrownToFirstYear = 0;
    friend class CProjectPortData;
};
