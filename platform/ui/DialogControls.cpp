#include "DialogControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <iterator>

#include "Resources.h"
#include "SpinButtonCtrl.h"
#include "Wnd.h"

namespace
{

QWidget* MakeButton(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QPushButton(WoxQtText(ctl.pszText), build.pParent);
    p->setAutoDefault(true);
    p->setDefault(ctl.nKind == WOX_CTL_DEFPUSHBUTTON);
    return p;
}

QWidget* MakeText(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QLabel(WoxQtText(ctl.pszText), build.pParent);
    Qt::Alignment align = ctl.nKind == WOX_CTL_CTEXT ? Qt::AlignHCenter : ctl.nKind == WOX_CTL_RTEXT ? Qt::AlignRight : Qt::AlignLeft;
    p->setAlignment(align | Qt::AlignTop);
    p->setWordWrap(true);
    return p;
}

QWidget* MakeEdit(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    if (ctl.nStyle & WOX_ES_MULTILINE)
    {
        auto* p = new QPlainTextEdit(WoxQtText(ctl.pszText), build.pParent);
        p->setReadOnly(ctl.nStyle & WOX_ES_READONLY);
        return p;
    }
    auto* p = new QLineEdit(WoxQtText(ctl.pszText), build.pParent);
    p->setReadOnly(ctl.nStyle & WOX_ES_READONLY);
    if (ctl.nStyle & WOX_ES_NUMBER)
        p->setValidator(new QIntValidator(0, 2147483647, p));
    return p;
}

QWidget* MakeListView(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QTableWidget(build.pParent);
    p->setShowGrid(ctl.nStyle & WOX_LVS_EX_GRIDLINES);
    p->verticalHeader()->hide();
    p->verticalHeader()->setDefaultSectionSize(p->fontMetrics().height() + 4);
    p->verticalHeader()->setMinimumSectionSize(p->fontMetrics().height() + 2);
    p->horizontalHeader()->setHighlightSections(false);
    p->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    p->horizontalHeader()->setStretchLastSection(false);
    p->horizontalHeader()->setVisible(!(ctl.nStyle & WOX_LVS_NOCOLUMNHEADER));
    p->setSelectionBehavior(QAbstractItemView::SelectRows);
    p->setSelectionMode(ctl.nStyle & WOX_LVS_SINGLESEL ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    p->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p->setWordWrap(false);
    p->setProperty("woxStyle", static_cast<uint>(ctl.nStyle));
    return p;
}

QWidget* MakeTreeView(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QTreeWidget(build.pParent);
    p->setHeaderHidden(true);
    p->setColumnCount(1);
    p->setRootIsDecorated(ctl.nStyle & WOX_TVS_LINESATROOT);
    p->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return p;
}

QWidget* MakeComboBox(const SWoxControlTemplate&, SWoxControlBuild& build)
{
    auto* p = new QComboBox(build.pParent);
    p->setInsertPolicy(QComboBox::NoInsert);
    return p;
}

QWidget* MakeListBox(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QListWidget(build.pParent);
    p->setSelectionMode(ctl.nStyle & WOX_LBS_MULTIPLESEL ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    p->setSortingEnabled(ctl.nStyle & WOX_LBS_SORT);
    return p;
}

QWidget* MakeGroupBox(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    return new QGroupBox(WoxQtText(ctl.pszText), build.pParent);
}

QWidget* MakeCheckBox(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    return new QCheckBox(WoxQtText(ctl.pszText), build.pParent);
}

QWidget* MakeRadio(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QRadioButton(WoxQtText(ctl.pszText), build.pParent);
    p->setAutoExclusive(false);
    if (!build.pRadioGroup || (ctl.nStyle & WOX_WS_GROUP))
    {
        build.pRadioGroup = new QButtonGroup(build.pParent);
        build.pRadioGroup->setExclusive(true);
    }
    build.pRadioGroup->addButton(p);
    return p;
}

// The text holds the icon's resource id in decimal.
QWidget* MakeIcon(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    auto* p = new QLabel(build.pParent);
    p->setPixmap(WoxLoadIconPixmap(WoxQtText(ctl.pszText).toInt(), 32));
    return p;
}

QWidget* MakeUpDown(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    return WoxMakeUpDownWidget(build.pParent, ctl.nStyle);
}

typedef QWidget* (*PFN_MakeControl)(const SWoxControlTemplate& ctl, SWoxControlBuild& build);

struct SMaker
{
    ENWoxControlKind nKind;
    PFN_MakeControl pfnMake;
};

const SMaker kMakers[] = {
    {WOX_CTL_PUSHBUTTON, MakeButton},     {WOX_CTL_DEFPUSHBUTTON, MakeButton}, {WOX_CTL_LTEXT, MakeText},
    {WOX_CTL_CTEXT, MakeText},            {WOX_CTL_RTEXT, MakeText},           {WOX_CTL_EDIT, MakeEdit},
    {WOX_CTL_LISTVIEW, MakeListView},     {WOX_CTL_TREEVIEW, MakeTreeView},    {WOX_CTL_COMBOBOX, MakeComboBox},
    {WOX_CTL_COMBOBOXEX, MakeComboBox},   {WOX_CTL_LISTBOX, MakeListBox},      {WOX_CTL_GROUPBOX, MakeGroupBox},
    {WOX_CTL_CHECKBOX, MakeCheckBox},     {WOX_CTL_RADIO, MakeRadio},          {WOX_CTL_ICON, MakeIcon},
    {WOX_CTL_UPDOWN, MakeUpDown},
};

} // namespace

QWidget* WoxMakeDialogControl(const SWoxControlTemplate& ctl, SWoxControlBuild& build)
{
    if (ctl.nKind != WOX_CTL_RADIO)
        build.pRadioGroup = nullptr;
    for (const SMaker& maker : kMakers)
    {
        if (maker.nKind == ctl.nKind)
            return maker.pfnMake(ctl, build);
    }
    return nullptr;
}
