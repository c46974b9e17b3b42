#pragma once
// The dialog of a treatment component: the treatment's name, description and parameters, and
// for new normal treatments the years (the project's periods up to the scenario's end year) and
// stands to apply it to. Works on copies: the caller reads the results after OK. User-interface
// thread.

#include <set>
#include <string>
#include <vector>

#include "Dialog.h"
#include "HostServices.h"
#include "ListCtrl.h"
#include "TreatmentComponent.h"

enum class ETreatmentDlgMode
{
    NewNormal,       // treatment, years and stands
    TriggeredPart,   // the treatment part of triggered treatments
    Modify,          // an existing treatment's data
};

class CTreatmentDlg : public CDialog
{
public:
    CTreatmentDlg(const CTreatmentComponent& component, ETreatmentDlgMode mode, ISpeciesMap* pSpeciesMap);
    ~CTreatmentDlg() override;

    // The treatment shown at the start; pParameters is the component's whole parameter block.
    void SetTreatment(const std::string& name, const std::string& description, std::vector<unsigned char> parameters);
    // The years and stands offered (new normal treatments); stands in checked start checked.
    void SetChoices(std::vector<int32_t> years, std::vector<std::string> stands, const std::set<std::string>& checked);

    BOOL OnInitDialog() override;
    // Checks every entry; shows what is wrong in one message and stays open, else ends with OK.
    void OnOK() override;

    const std::string& Name() const { return m_name; }
    const std::string& Description() const { return m_description; }
    const std::vector<unsigned char>& Parameters() const { return m_parameters; }
    const std::vector<int32_t>& ChosenYears() const { return m_chosenYears; }
    const std::vector<std::string>& ChosenStands() const { return m_chosenStands; }

    CListCtrl& Years() { return m_years; }
    CListCtrl& Stands() { return m_stands; }

private:
    void ShowParameters();
    // Reads the parameter rows into m_parameters; each wrong entry adds a line to errors.
    void ReadParameters(std::vector<std::string>& errors);

    const CTreatmentComponent& m_component;
    ETreatmentDlgMode m_mode;
    ISpeciesMap* m_pSpeciesMap;
    CListCtrl m_years;
    CListCtrl m_stands;
    std::string m_name;
    std::string m_description;
    std::vector<unsigned char> m_parameters;
    std::vector<int32_t> m_yearsOffered;
    std::vector<std::string> m_standsOffered;
    std::set<std::string> m_standsChecked;
    std::vector<std::string> m_speciesCodes;   // code of each species row
    std::vector<int32_t> m_chosenYears;
    std::vector<std::string> m_chosenStands;
};
