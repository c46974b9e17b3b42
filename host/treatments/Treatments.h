#pragma once
// The four treatment components and their parameter blocks (little-endian doubles, as stored in
// a scenario's parameter data):
//   thinning from below  {6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}  SThinBelowParameters  (8 bytes)
//   thinning from above  {6A1D2F01-5C3B-4E7A-9B10-3C2F00000002}  SThinAboveParameters  (8 bytes)
//   clearcut             {6A1D2F01-5C3B-4E7A-9B10-3C2F00000003}  SClearcutParameters   (8 bytes)
//   planting             {6A1D2F01-5C3B-4E7A-9B10-3C2F00000004}  SPlantingParameters   (56 bytes; 40 accepted)

#include "TreatmentComponent.h"

// Removes the smallest trees first until the basal area is down to the residual (m2/ha).
struct SThinBelowParameters
{
    double dResidualBasalArea;
};
// Removes this share (0..1) of the basal area, largest trees first.
struct SThinAboveParameters
{
    double dRemovedShare;
};
// Removes every tree of at least this diameter (cm); 0 removes all.
struct SClearcutParameters
{
    double dMinDbh;
};
// Adds a cohort of seedlings: the planted stems times the survival. A height of 0 takes the
// nursery height of the seedling age; seedlings below breast height have no diameter. Blocks of
// the first 40 bytes (without seedling age and survival) plant with the defaults of those two.
struct SPlantingParameters
{
    char szSpecies[10];
    char cPad[6];
    double dStemsPerHa;     // planted
    double dDbh;            // cm
    double dHeight;         // m; 0 = from the seedling age
    double dSeedlingAge;    // years since germination at planting, 0..20
    double dSurvival;       // share of planted seedlings that establish, (0, 1]
};
static_assert(sizeof(SThinBelowParameters) == 8 && sizeof(SThinAboveParameters) == 8 && sizeof(SClearcutParameters) == 8);
static_assert(sizeof(SPlantingParameters) == 56 && offsetof(SPlantingParameters, dStemsPerHa) == 16 &&
              offsetof(SPlantingParameters, dSeedlingAge) == 40);
constexpr uint32_t kPlantingParametersFirstSize = 40;
constexpr double kMaxPlantedStemsPerHa = 20000.0;

extern const GUID g_guidThinBelow;
extern const GUID g_guidThinAbove;
extern const GUID g_guidClearcut;
extern const GUID g_guidPlanting;

class CThinBelow final : public CTreatmentComponent
{
public:
    using CTreatmentComponent::CTreatmentComponent;
    GUID GetGUID() override { return g_guidThinBelow; }
    const char* Name() const override { return "Thinning from below"; }
    ETreatmentForm Form() const override { return ETreatmentForm::ResidualBasalArea; }
    uint32_t ParameterSize() const override { return sizeof(SThinBelowParameters); }
    void DefaultParameters(void* pParameters) const override;
    bool CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const override;
    bool Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const override;
};

class CThinAbove final : public CTreatmentComponent
{
public:
    using CTreatmentComponent::CTreatmentComponent;
    GUID GetGUID() override { return g_guidThinAbove; }
    const char* Name() const override { return "Thinning from above"; }
    ETreatmentForm Form() const override { return ETreatmentForm::RemovedShare; }
    uint32_t ParameterSize() const override { return sizeof(SThinAboveParameters); }
    void DefaultParameters(void* pParameters) const override;
    bool CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const override;
    bool Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const override;
};

class CClearcut final : public CTreatmentComponent
{
public:
    using CTreatmentComponent::CTreatmentComponent;
    GUID GetGUID() override { return g_guidClearcut; }
    const char* Name() const override { return "Clearcut"; }
    ETreatmentForm Form() const override { return ETreatmentForm::Clearcut; }
    uint32_t ParameterSize() const override { return sizeof(SClearcutParameters); }
    void DefaultParameters(void* pParameters) const override;
    bool CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const override;
    bool Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const override;
};

class CPlanting final : public CTreatmentComponent
{
public:
    using CTreatmentComponent::CTreatmentComponent;
    GUID GetGUID() override { return g_guidPlanting; }
    const char* Name() const override { return "Planting"; }
    ETreatmentForm Form() const override { return ETreatmentForm::Planting; }
    uint32_t ParameterSize() const override { return sizeof(SPlantingParameters); }
    uint32_t MinimumParameterSize() const override { return kPlantingParametersFirstSize; }
    void DefaultParameters(void* pParameters) const override;
    bool CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const override;
    bool Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const override;
};

// Checks a record's parameter block (nBlockSize bytes at pBlock, may be none) as the host
// treatment component of guid would run it (see CheckParameters); true for other components.
bool CheckTreatmentBlock(const GUID& guid, const void* pBlock, uint32_t nBlockSize, ISpeciesMap* pSpeciesMap, std::string& why);
