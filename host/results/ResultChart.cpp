#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <map>

#include "AtomicFile.h"
#include "Results.h"

namespace
{
constexpr int kWidth = 1200;
constexpr int kHeight = 720;
constexpr int kLeft = 80, kRight = 30, kTop = 60, kBottom = 70;

constexpr int kMaxTicks = 8;

struct SPoint
{
    int nYear;
    double dBefore;
    double dAfter;
};

QString AxisLabel(double dValue) { return QString::number(dValue, dValue < 1e6 ? 'f' : 'g', dValue < 1e6 ? 0 : 3); }
}

SChartScale ChartScale(double dLargest)
{
    SChartScale scale;
    const double dCover = std::isfinite(dLargest) ? std::max(10.0, dLargest) : 10.0;
    const double dRough = dCover / kMaxTicks;
    const double dPower = std::pow(10.0, std::floor(std::log10(dRough)));
    scale.dStep = 10.0 * dPower;
    for (double dFactor : {1.0, 2.0, 5.0})
        if (dFactor * dPower >= dRough)
        {
            scale.dStep = dFactor * dPower;
            break;
        }
    scale.nTicks = std::max(1, std::min(kMaxTicks, static_cast<int>(std::ceil(dCover / scale.dStep))));
    scale.dTop = scale.nTicks * scale.dStep;
    return scale;
}

bool WriteResultChart(const std::string& path, const SRunResults& results, std::string* pError)
{
    if (results.standYears.empty())
    {
        if (pError)
            *pError = "no results to draw";
        return false;
    }
    // Per stand, its points in year order; the mean over stands per year.
    std::map<std::string, std::vector<SPoint>> stands;
    std::map<int, std::pair<double, double>> meanBefore, meanAfter;   // sum, count
    int nFirst = results.standYears.front().nYear, nLast = nFirst;
    double dMax = 10.0;
    for (const SStandYear& row : results.standYears)
    {
        // Values that are no numbers have no place on an axis (and would stretch it for ever).
        if (!std::isfinite(row.dBasalAreaBefore) || !std::isfinite(row.dBasalArea))
        {
            if (pError)
                *pError = "cannot draw the chart: the basal area of stand " + row.stand + " in " + std::to_string(row.nYear) +
                          " is not a finite number";
            return false;
        }
        stands[row.stand].push_back({row.nYear, row.dBasalAreaBefore, row.dBasalArea});
        meanBefore[row.nYear].first += row.dBasalAreaBefore;
        meanBefore[row.nYear].second += 1.0;
        meanAfter[row.nYear].first += row.dBasalArea;
        meanAfter[row.nYear].second += 1.0;
        nFirst = std::min(nFirst, row.nYear);
        nLast = std::max(nLast, row.nYear);
        dMax = std::max({dMax, row.dBasalAreaBefore, row.dBasalArea});
    }
    if (nLast == nFirst)
        ++nLast;
    const SChartScale scale = ChartScale(dMax);
    dMax = scale.dTop;
    const double dPlotW = kWidth - kLeft - kRight, dPlotH = kHeight - kTop - kBottom;
    auto x = [&](double dYear) { return kLeft + (dYear - nFirst) / (nLast - nFirst) * dPlotW; };
    auto y = [&](double dValue) { return kTop + dPlotH - dValue / dMax * dPlotH; };

    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);

    // Grid and axes.
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (int nTick = 0; nTick <= scale.nTicks; ++nTick)
        painter.drawLine(QPointF(kLeft, y(nTick * scale.dStep)), QPointF(kWidth - kRight, y(nTick * scale.dStep)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(kLeft, kTop), QPointF(kLeft, kTop + dPlotH));
    painter.drawLine(QPointF(kLeft, kTop + dPlotH), QPointF(kWidth - kRight, kTop + dPlotH));
    for (int nTick = 0; nTick <= scale.nTicks; ++nTick)
        painter.drawText(QRectF(0, y(nTick * scale.dStep) - 9, kLeft - 8, 18), Qt::AlignRight | Qt::AlignVCenter, AxisLabel(nTick * scale.dStep));
    for (const auto& [nYear, sum] : meanAfter)
    {
        painter.drawLine(QPointF(x(nYear), kTop + dPlotH), QPointF(x(nYear), kTop + dPlotH + 5));
        painter.drawText(QRectF(x(nYear) - 30, kTop + dPlotH + 8, 60, 18), Qt::AlignCenter, QString::number(nYear));
    }
    painter.drawText(QRectF(0, kHeight - 30, kWidth, 24), Qt::AlignCenter, "Year");
    painter.save();
    painter.translate(18, kTop + dPlotH / 2);
    painter.rotate(-90);
    painter.drawText(QRectF(-150, -10, 300, 20), Qt::AlignCenter, "Basal area (m\u00B2/ha)");
    painter.restore();
    QFont titleFont = font;
    titleFont.setPixelSize(18);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.drawText(QRectF(0, 10, kWidth, 26), Qt::AlignCenter,
                     QString::fromStdString(results.project + " \u2014 scenario " + results.scenario + ": basal area over time"));
    painter.setFont(font);

    // Stand lines: before and after the treatments of a year, so thinnings show as drops.
    auto drawLine = [&](const std::vector<SPoint>& points, const QPen& pen) {
        QPainterPath line;
        bool bFirst = true;
        for (const SPoint& point : points)
        {
            QPointF before(x(point.nYear), y(point.dBefore)), after(x(point.nYear), y(point.dAfter));
            if (bFirst)
                line.moveTo(before);
            else
                line.lineTo(before);
            line.lineTo(after);
            bFirst = false;
        }
        painter.strokePath(line, pen);
    };
    for (const auto& [stand, points] : stands)
        drawLine(points, QPen(QColor(150, 170, 200, 110), 1));
    std::vector<SPoint> mean;
    for (const auto& [nYear, sum] : meanAfter)
        mean.push_back({nYear, meanBefore[nYear].first / meanBefore[nYear].second, sum.first / sum.second});
    drawLine(mean, QPen(QColor(20, 60, 160), 3.5));

    // Treatments: a red marker on the stand's line at the basal area before the treatment.
    std::map<int, int> perYear;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 30, 30));
    for (const SAppliedTreatment& applied : results.treatments)
    {
        ++perYear[applied.nYear];
        double dBefore = 0.0;
        for (const SPoint& point : stands[applied.stand])
            if (point.nYear == applied.nYear)
                dBefore = point.dBefore;
        QPointF centre(x(applied.nYear), y(dBefore));
        QPolygonF marker({centre + QPointF(0, -6), centre + QPointF(5, 4), centre + QPointF(-5, 4)});
        painter.drawPolygon(marker);
    }
    painter.setPen(QPen(QColor(210, 30, 30)));
    for (const auto& [nYear, nCount] : perYear)
        painter.drawText(QRectF(x(nYear) - 30, kTop + dPlotH - 22, 60, 18), Qt::AlignCenter, QString::number(nCount));

    // Legend.
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(180, 180, 180)));
    painter.drawRect(QRectF(kWidth - kRight - 330, kTop + 8, 320, 86));
    painter.setPen(QPen(QColor(20, 60, 160), 3.5));
    painter.drawLine(QPointF(kWidth - kRight - 320, kTop + 26), QPointF(kWidth - kRight - 280, kTop + 26));
    painter.setPen(QPen(QColor(150, 170, 200), 1));
    painter.drawLine(QPointF(kWidth - kRight - 320, kTop + 50), QPointF(kWidth - kRight - 280, kTop + 50));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 30, 30));
    QPointF centre(kWidth - kRight - 300, kTop + 74);
    painter.drawPolygon(QPolygonF({centre + QPointF(0, -6), centre + QPointF(5, 4), centre + QPointF(-5, 4)}));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(kWidth - kRight - 270, kTop + 31), "mean over stands");
    painter.drawText(QPointF(kWidth - kRight - 270, kTop + 55), "single stands");
    painter.drawText(QPointF(kWidth - kRight - 270, kTop + 79), "treatment applied (count per year)");
    painter.end();

    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
    {
        if (pError)
            *pError = "cannot draw the chart " + path;
        return false;
    }
    return WoxReplaceFile(path, png.constData(), static_cast<size_t>(png.size()), pError);
}
