#include "ChartImage.h"

#include <QApplication>
#include <QBuffer>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegend>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "AtomicFile.h"
#include "Results.h"

namespace
{
constexpr int kTitleHeight = 44;
}

struct CChartImage::SScene
{
    QGraphicsScene scene;
};

CChartImage::CChartImage(int nWidth, QString title) : m_pScene(std::make_unique<SScene>()), m_nWidth(nWidth)
{
    auto* pTitle = m_pScene->scene.addSimpleText(title);
    QFont font = pTitle->font();
    font.setPixelSize(20);
    font.setBold(true);
    pTitle->setFont(font);
    pTitle->setPos(std::max(0.0, (nWidth - pTitle->boundingRect().width()) / 2.0), 10);
    m_nHeight = kTitleHeight;
}

// The scene owns the panels and deletes them with itself.
CChartImage::~CChartImage() = default;

QChart* CChartImage::AddPanel(int nHeight, const QString& title)
{
    auto* pChart = new QChart();
    pChart->setAnimationOptions(QChart::NoAnimation);
    pChart->setTitle(title);
    QFont titleFont = pChart->titleFont();
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    pChart->setTitleFont(titleFont);
    pChart->legend()->setAlignment(Qt::AlignBottom);
    QFont legendFont = pChart->legend()->font();
    legendFont.setPixelSize(13);
    pChart->legend()->setFont(legendFont);
    pChart->setBackgroundRoundness(0);
    pChart->setDropShadowEnabled(false);
    m_pScene->scene.addItem(pChart);
    m_panels.push_back(pChart);
    pChart->setGeometry(QRectF(0, m_nHeight, m_nWidth, nHeight));
    m_nHeight += nHeight;
    return pChart;
}

QValueAxis* CChartImage::AddYearAxis(QChart* pChart, int nFirst, int nLast, int nStep, double dPad)
{
    auto* pAxis = new QValueAxis();
    pAxis->setRange(nFirst - dPad, std::max(nLast, nFirst + 1) + dPad);
    pAxis->setTickType(QValueAxis::TicksDynamic);
    pAxis->setTickAnchor(nFirst);
    pAxis->setTickInterval(std::max(1, nStep));
    pAxis->setLabelFormat("%d");
    pAxis->setTitleText("Year");
    pAxis->setMinorGridLineVisible(false);
    pChart->addAxis(pAxis, Qt::AlignBottom);
    return pAxis;
}

QValueAxis* CChartImage::AddValueAxis(QChart* pChart, double dLargest, const QString& title)
{
    const SChartScale scale = ChartScale(dLargest);
    auto* pAxis = new QValueAxis();
    pAxis->setRange(0.0, scale.dTop);
    pAxis->setTickCount(scale.nTicks + 1);
    pAxis->setLabelFormat(scale.dTop < 1e6 ? "%.0f" : "%.2g");
    pAxis->setTitleText(title);
    pChart->addAxis(pAxis, Qt::AlignLeft);
    return pAxis;
}

bool CChartImage::Save(const std::string& path, std::string* pError)
{
    // Layouts of the panels settle in posted events. Then the panels with the wider plots get
    // wider margins, so that a year stands at the same place in every panel.
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    double dLeft = 0.0, dRight = m_nWidth;
    for (QChart* pChart : m_panels)
    {
        dLeft = std::max(dLeft, pChart->plotArea().left());
        dRight = std::min(dRight, pChart->plotArea().right());
    }
    for (QChart* pChart : m_panels)
    {
        QMargins margins = pChart->margins();
        margins.setLeft(margins.left() + static_cast<int>(std::lround(dLeft - pChart->plotArea().left())));
        margins.setRight(margins.right() + static_cast<int>(std::lround(pChart->plotArea().right() - dRight)));
        pChart->setMargins(margins);
    }
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    QImage image(m_nWidth, m_nHeight, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        m_pScene->scene.render(&painter, QRectF(0, 0, m_nWidth, m_nHeight), QRectF(0, 0, m_nWidth, m_nHeight));
    }
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

QColor ChartColour(int n)
{
    static const QColor colours[] = {QColor(31, 90, 170), QColor(214, 96, 20), QColor(40, 140, 60), QColor(150, 50, 160),
                                     QColor(190, 30, 45),  QColor(20, 150, 160), QColor(120, 90, 40), QColor(90, 90, 90)};
    return colours[static_cast<size_t>(n) % (sizeof colours / sizeof colours[0])];
}

bool CanDrawCharts(const std::string& path, std::string* pError)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    if (pError)
        *pError = "cannot draw the chart " + path + ": no application object for widgets";
    return false;
}
