// Icons drawn at run time, so that they are sharp at every size.

#include "ScenarioResources.h"

#include <QPainter>
#include <QPainterPath>

#include "ResourceIds.h"

namespace
{

// A conifer: three stacked green tiers over a brown trunk.
QPixmap DrawTree(int nSize)
{
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(nSize / 32.0, nSize / 32.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(110, 72, 38));
    painter.drawRect(QRectF(14, 24, 4, 7));

    const QColor green(34, 120, 48);
    const QColor edge(20, 80, 30);
    const double tiers[3][3] = {{2, 16, 26}, {5, 9, 19}, {8, 1, 12}};   // half-width inset, top, base
    for (const auto& tier : tiers)
    {
        QPainterPath path;
        path.moveTo(16, tier[1]);
        path.lineTo(32 - tier[0], tier[2]);
        path.lineTo(tier[0], tier[2]);
        path.closeSubpath();
        painter.setPen(QPen(edge, 1.0));
        painter.setBrush(green);
        painter.drawPath(path);
    }
    return pixmap;
}

} // namespace

QPixmap WoxDrawScenarioIcon(int nId, int nSize)
{
    if (nSize <= 0)
        return QPixmap();
    switch (nId)
    {
    case IDI_SCENARIO_EDITOR: return DrawTree(nSize);
    default: return QPixmap();
    }
}
