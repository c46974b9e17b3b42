#include "TreatmentParameterCodec.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "Treatments.h"

namespace
{
struct SField
{
    const char* pszName;
    size_t nOffset;
    size_t nWidth;      // bytes: 8 for a double, the field's width for a text
    bool bText;
};

struct SLayout
{
    const GUID* pGuid;
    std::vector<SField> fields;
    size_t nSize;        // a block with every field
    size_t nMinimum;     // the shortest block the component accepts (its leading fields)
};

const std::vector<SLayout>& Layouts()
{
    static const std::vector<SLayout> layouts = {
        {&g_guidThinBelow, {{"residualBasalArea_m2ha", 0, 8, false}}, sizeof(SThinBelowParameters), sizeof(SThinBelowParameters)},
        {&g_guidThinAbove, {{"removedShare", 0, 8, false}}, sizeof(SThinAboveParameters), sizeof(SThinAboveParameters)},
        {&g_guidClearcut, {{"minDbh_cm", 0, 8, false}}, sizeof(SClearcutParameters), sizeof(SClearcutParameters)},
        {&g_guidPlanting,
         {{"species", offsetof(SPlantingParameters, szSpecies), sizeof(SPlantingParameters::szSpecies), true},
          {"stemsPerHa", offsetof(SPlantingParameters, dStemsPerHa), 8, false},
          {"dbh_cm", offsetof(SPlantingParameters, dDbh), 8, false},
          {"height_m", offsetof(SPlantingParameters, dHeight), 8, false},
          {"seedlingAge_years", offsetof(SPlantingParameters, dSeedlingAge), 8, false},
          {"survival", offsetof(SPlantingParameters, dSurvival), 8, false}},
         sizeof(SPlantingParameters),
         kPlantingParametersFirstSize},
    };
    return layouts;
}

const SLayout* FindLayout(const GUID& component)
{
    for (const SLayout& layout : Layouts())
        if (*layout.pGuid == component)
            return &layout;
    return nullptr;
}

// A number parameter given as a text: only the spellings of non-finite numbers.
bool TextNumber(const std::string& text, double& dValue)
{
    if (text == "nan")
        dValue = std::numeric_limits<double>::quiet_NaN();
    else if (text == "inf")
        dValue = std::numeric_limits<double>::infinity();
    else if (text == "-inf")
        dValue = -std::numeric_limits<double>::infinity();
    else
        return false;
    return true;
}
}

bool CTreatmentParameterCodec::Decode(const GUID& component, const CByteVector& block, std::vector<SParameterValue>& values) const
{
    const SLayout* pLayout = FindLayout(component);
    if (!pLayout || block.size() < pLayout->nMinimum)
        return false;
    values.clear();
    for (const SField& field : pLayout->fields)
    {
        if (field.nOffset + field.nWidth > block.size())
            break;
        SParameterValue value;
        value.name = field.pszName;
        value.bText = field.bText;
        if (field.bText)
        {
            const char* pText = reinterpret_cast<const char*>(block.data() + field.nOffset);
            value.text.assign(pText, strnlen(pText, field.nWidth));
        }
        else
            std::memcpy(&value.dValue, block.data() + field.nOffset, sizeof(double));
        values.push_back(std::move(value));
    }
    return true;
}

bool CTreatmentParameterCodec::Encode(const GUID& component, const std::vector<SParameterValue>& values, CByteVector& block,
                                      std::string& error) const
{
    const SLayout* pLayout = FindLayout(component);
    if (!pLayout)
    {
        error = "the component has no named parameters; give the block as hex in data";
        return false;
    }
    const bool bNew = block.empty();
    std::vector<bool> given(pLayout->fields.size(), false);
    for (const SParameterValue& value : values)
    {
        size_t i = 0;
        while (i < pLayout->fields.size() && value.name != pLayout->fields[i].pszName)
            ++i;
        if (i == pLayout->fields.size())
        {
            error = value.name + ": not a parameter of this component (";
            for (size_t k = 0; k < pLayout->fields.size(); ++k)
                error += std::string(k ? ", " : "") + pLayout->fields[k].pszName;
            error += ")";
            return false;
        }
        const SField& field = pLayout->fields[i];
        given[i] = true;
        if (block.size() < field.nOffset + field.nWidth)
            block.resize(field.nOffset + field.nWidth < pLayout->nMinimum ? pLayout->nMinimum : pLayout->nSize, 0);
        uint8_t* pField = block.data() + field.nOffset;
        if (field.bText)
        {
            if (!value.bText || value.text.size() > field.nWidth)
            {
                error = value.name + ": expected a text of at most " + std::to_string(field.nWidth) + " characters";
                return false;
            }
            // A text that is already there keeps the bytes behind its end.
            if (value.text != std::string(reinterpret_cast<const char*>(pField), strnlen(reinterpret_cast<const char*>(pField), field.nWidth)))
            {
                std::memset(pField, 0, field.nWidth);
                std::memcpy(pField, value.text.data(), value.text.size());
            }
            continue;
        }
        double dValue = value.dValue;
        if (value.bText && !TextNumber(value.text, dValue))
        {
            error = value.name + ": expected a number";
            return false;
        }
        std::memcpy(pField, &dValue, sizeof dValue);
    }
    if (block.size() < pLayout->nMinimum)
        block.resize(pLayout->nMinimum, 0);
    // A new block needs every field it holds: the leading ones, and the later ones once one of them is given.
    if (bNew)
        for (size_t i = 0; i < given.size(); ++i)
            if (!given[i] && pLayout->fields[i].nOffset + pLayout->fields[i].nWidth <= block.size())
            {
                error = std::string(pLayout->fields[i].pszName) + ": missing";
                return false;
            }
    return true;
}
