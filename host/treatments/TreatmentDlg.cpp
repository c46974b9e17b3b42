#include "TreatmentDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>
#include <cstring>

#include "Edit.h"
#include "ForestLimits.h"
#include "MessageBox.h"
#include "SpeciesParameters.h"
#include "TreatmentResources.h"
#include "Treatments.h"
#include "WoxText.h"

namespace
{
constexpr int kNameLength = 256;   // the treatment name and description fields

int TemplateOf(ETreatmentForm form, bool bNormal)
{
    switch (form)
    {
    case ETreatmentForm::ResidualBasalArea:
        return bNormal ? IDD_THIN_BELOW_NORMAL : IDD_THIN_BELOW_TREATMENT;
    case ETreatmentForm::RemovedShare:
        return bNormal ? IDD_THIN_ABOVE_NORMAL : IDD_THIN_ABOVE_TREATMENT;
    case ETreatmentForm::Clearcut:
        return bNormal ? IDD_CLEARCUT_NORMAL : IDD_CLEARCUT_TREATMENT;
    case ETreatmentForm::Planting:
        return bNormal ? IDD_PLANTING_NORMAL : IDD_PLANTING_TREATMENT;
    }
    return 0;
}

std::string Number(double dValue) { return QString::number(dValue, 'g', 10).toStdString(); }

// A number typed by the user: a decimal comma is taken as a point; anything else than one finite
// number within the bounds is refused.
bool ReadNumber(const std::string& text, double dMin, double dMax, double& dValue)
{
    std::string s = QString::fromStdString(text).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toStdString();
    if (s.empty())
        return false;
    char* pEnd = nullptr;
    const double d = std::strtod(s.c_str(), &pEnd);
    if (*pEnd != 0 || !WithinLimits(d, dMin, dMax))
        return false;
    dValue = d;
    return true;
}

QLineEdit* LineEdit(CDialog& dialog, int nId)
{
    CWnd* pWnd = dialog.GetDlgItem(nId);
    return pWnd ? qobject_cast<QLineEdit*>(pWnd->GetWidget()) : nullptr;
}

QComboBox* Combo(CDialog& dialog, int nId)
{
    CWnd* pWnd = dialog.GetDlgItem(nId);
    return pWnd ? qobject_cast<QComboBox*>(pWnd->GetWidget()) : nullptr;
}

const char* ModeCaption(ETreatmentDlgMode mode)
{
    switch (mode)
    {
    case ETreatmentDlgMode::NewNormal:
        return "New Treatments";
    case ETreatmentDlgMode::TriggeredPart:
        return "Triggered Treatment";
    case ETreatmentDlgMode::Modify:
        return "Modify Treatment";
    }
    return "";
}
}

CTreatmentDlg::CTreatmentDlg(const CTreatmentComponent& component, ETreatmentDlgMode mode, ISpeciesMap* pSpeciesMap)
    : CDialog(TemplateOf(component.Form(), mode == ETreatmentDlgMode::NewNormal)),
      m_component(component),
      m_mode(mode),
      m_pSpeciesMap(pSpeciesMap),
      m_name(component.Name()),
      m_parameters(component.ParametersOf(nullptr, 0))
{
    WoxUseTreatmentResources();
}

CTreatmentDlg::~CTreatmentDlg() { DestroyWindow(); }

void CTreatmentDlg::SetTreatment(const std::string& name, const std::string& description, std::vector<unsigned char> parameters)
{
    m_name = name;
    m_description = description;
    if (parameters.size() == m_component.ParameterSize())
        m_parameters = std::move(parameters);
}

void CTreatmentDlg::SetChoices(std::vector<int32_t> years, std::vector<std::string> stands, const std::set<std::string>& checked)
{
    m_yearsOffered = std::move(years);
    m_standsOffered = std::move(stands);
    m_standsChecked = checked;
}

BOOL CTreatmentDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText((std::string(m_component.Name()) + " \xE2\x80\x93 " + ModeCaption(m_mode)).c_str());
    for (int nId : {IDC_TREATMENT_NAME, IDC_TREATMENT_DESCRIPTION})
        if (QLineEdit* pEdit = LineEdit(*this, nId))
        {
            pEdit->setMaxLength(kNameLength);
            pEdit->setText(QString::fromStdString(nId == IDC_TREATMENT_NAME ? m_name : m_description));
        }
    ShowParameters();

    if (m_mode == ETreatmentDlgMode::NewNormal)
    {
        SubclassDlgItem(IDC_TREATMENT_YEARS, &m_years);
        SubclassDlgItem(IDC_TREATMENT_STANDS, &m_stands);
        m_years.InsertColumn(0, "", LVCFMT_LEFT, DluToPixelX(64));
        m_stands.InsertColumn(0, "", LVCFMT_LEFT, DluToPixelX(160));
        for (int32_t nYear : m_yearsOffered)
        {
            const int nRow = m_years.InsertItem(m_years.GetItemCount(), std::to_string(nYear).c_str());
            m_years.SetCheck(nRow, 0);
        }
        for (const std::string& stand : m_standsOffered)
        {
            const int nRow = m_stands.InsertItem(m_stands.GetItemCount(), stand.c_str());
            m_stands.SetCheck(nRow, m_standsChecked.count(stand) ? 1 : 0);
        }
    }
    return 1;
}

void CTreatmentDlg::ShowParameters()
{
    switch (m_component.Form())
    {
    case ETreatmentForm::ResidualBasalArea:
    {
        SThinBelowParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        if (QLineEdit* pEdit = LineEdit(*this, IDC_TREATMENT_VALUE))
            pEdit->setText(QString::fromStdString(Number(p.dResidualBasalArea)));
        break;
    }
    case ETreatmentForm::RemovedShare:
    {
        SThinAboveParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        if (QLineEdit* pEdit = LineEdit(*this, IDC_TREATMENT_VALUE))
            pEdit->setText(QString::fromStdString(Number(p.dRemovedShare * 100.0)));
        break;
    }
    case ETreatmentForm::Clearcut:
        break;
    case ETreatmentForm::Planting:
    {
        SPlantingParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        char szCode[sizeof p.szSpecies + 1];
        WoxFieldToString(szCode, sizeof szCode, p.szSpecies, sizeof p.szSpecies);
        // The species the growth model grows, named by the species map; a code of the treatment
        // that is not among them keeps a row of its own so that it is not lost.
        m_speciesCodes.clear();
        QComboBox* pCombo = Combo(*this, IDC_TREATMENT_SPECIES);
        if (pCombo)
        {
            pCombo->clear();
            size_t nRows = 0;
            const SSpeciesGrowth* pTable = SpeciesGrowthTable(nRows);
            for (size_t i = 0; i < nRows; ++i)
            {
                SSpeciesRecord record = {};
                WoxCopyText(record.szCode, pTable[i].pszCode);
                if (m_pSpeciesMap && !m_pSpeciesMap->LookupSpecies("Plants", &record))
                    continue;
                char szName[sizeof record.szCommonName + 1];
                WoxFieldToString(szName, sizeof szName, record.szCommonName, sizeof record.szCommonName);
                m_speciesCodes.push_back(pTable[i].pszCode);
                pCombo->addItem(QString::fromUtf8(*szName ? (std::string(pTable[i].pszCode) + " \xE2\x80\x93 " + szName).c_str() : pTable[i].pszCode));
            }
            int nCurrent = -1;
            for (size_t i = 0; i < m_speciesCodes.size(); ++i)
                if (QString::fromStdString(m_speciesCodes[i]).compare(QString::fromUtf8(szCode), Qt::CaseInsensitive) == 0)
                    nCurrent = static_cast<int>(i);
            if (nCurrent < 0 && *szCode)
            {
                m_speciesCodes.push_back(szCode);
                pCombo->addItem(QString::fromUtf8(szCode));
                nCurrent = static_cast<int>(m_speciesCodes.size()) - 1;
            }
            pCombo->setCurrentIndex(nCurrent);
        }
        if (QLineEdit* pEdit = LineEdit(*this, IDC_TREATMENT_STEMS))
            pEdit->setText(QString::fromStdString(Number(p.dStemsPerHa)));
        if (QLineEdit* pEdit = LineEdit(*this, IDC_TREATMENT_HEIGHT))
            pEdit->setText(QString::fromStdString(Number(p.dHeight)));
        break;
    }
    }
}

void CTreatmentDlg::ReadParameters(std::vector<std::string>& errors)
{
    auto text = [&](int nId) { QLineEdit* p = LineEdit(*this, nId); return p ? p->text().toStdString() : std::string(); };
    switch (m_component.Form())
    {
    case ETreatmentForm::ResidualBasalArea:
    {
        SThinBelowParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        if (!ReadNumber(text(IDC_TREATMENT_VALUE), 0.0, kMaxBasalAreaM2Ha, p.dResidualBasalArea))
            errors.push_back("Enter the residual basal area as a number from 0 to " + Number(kMaxBasalAreaM2Ha) + " m\xC2\xB2/ha.");
        std::memcpy(m_parameters.data(), &p, sizeof p);
        break;
    }
    case ETreatmentForm::RemovedShare:
    {
        SThinAboveParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        double dPercent = 0.0;
        if (ReadNumber(text(IDC_TREATMENT_VALUE), 0.0, 100.0, dPercent))
            p.dRemovedShare = dPercent / 100.0;
        else
            errors.push_back("Enter the basal area removed as a percentage from 0 to 100.");
        std::memcpy(m_parameters.data(), &p, sizeof p);
        break;
    }
    case ETreatmentForm::Clearcut:
        break;
    case ETreatmentForm::Planting:
    {
        SPlantingParameters p;
        std::memcpy(&p, m_parameters.data(), sizeof p);
        QComboBox* pCombo = Combo(*this, IDC_TREATMENT_SPECIES);
        const int nSpecies = pCombo ? pCombo->currentIndex() : -1;
        if (nSpecies >= 0 && nSpecies < static_cast<int>(m_speciesCodes.size()))
            WoxCopyText(p.szSpecies, m_speciesCodes[nSpecies].c_str());
        else
            errors.push_back("Choose the species to plant.");
        if (!ReadNumber(text(IDC_TREATMENT_STEMS), 1.0, kMaxPlantedStemsPerHa, p.dStemsPerHa))
            errors.push_back("Enter the stems per hectare as a number from 1 to " + Number(kMaxPlantedStemsPerHa) + ".");
        if (!ReadNumber(text(IDC_TREATMENT_HEIGHT), 0.0, kMaxHeightM, p.dHeight))
            errors.push_back("Enter the height as a number from 0 to " + Number(kMaxHeightM) +
                             " m (0 takes the nursery height of the seedlings).");
        std::memcpy(m_parameters.data(), &p, sizeof p);
        break;
    }
    }
}

void CTreatmentDlg::OnOK()
{
    std::vector<std::string> errors;
    QLineEdit* pName = LineEdit(*this, IDC_TREATMENT_NAME);
    QLineEdit* pDescription = LineEdit(*this, IDC_TREATMENT_DESCRIPTION);
    const std::string name = pName ? pName->text().trimmed().toStdString() : std::string();
    if (name.empty())
        errors.push_back("Enter a name for the treatment.");
    ReadParameters(errors);

    std::vector<int32_t> years;
    std::vector<std::string> stands;
    if (m_mode == ETreatmentDlgMode::NewNormal)
    {
        for (int i = 0; i < m_years.GetItemCount() && i < static_cast<int>(m_yearsOffered.size()); ++i)
            if (m_years.GetCheck(i))
                years.push_back(m_yearsOffered[i]);
        for (int i = 0; i < m_stands.GetItemCount() && i < static_cast<int>(m_standsOffered.size()); ++i)
            if (m_stands.GetCheck(i))
                stands.push_back(m_standsOffered[i]);
        if (m_yearsOffered.empty())
            errors.push_back("The project has no period up to the scenario's end year.");
        else if (years.empty())
            errors.push_back("Choose at least one year.");
        if (stands.empty())
            errors.push_back("Choose at least one stand.");
    }
    if (!errors.empty())
    {
        std::string text;
        for (const std::string& error : errors)
            text += (text.empty() ? "" : "\n") + error;
        WoxMessageBox(text.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    m_name = name;
    m_description = pDescription ? pDescription->text().toStdString() : std::string();
    m_chosenYears = std::move(years);
    m_chosenStands = std::move(stands);
    EndDialog(IDOK);
}
