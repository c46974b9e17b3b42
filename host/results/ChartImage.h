#pragma once
// Charts of the results as PNG files: panels of Qt Charts stacked one above the other and rendered
// offscreen. Axes, legends and label placement are the chart library's; the helpers here only give
// every panel the same look. Main thread only, with a Qt application object (offscreen is enough).

#include <QChart>
#include <QColor>
#include <QString>
#include <QValueAxis>

#include <memory>
#include <string>
#include <vector>

class CChartImage
{
public:
    CChartImage(int nWidth, QString title);
    ~CChartImage();
    CChartImage(const CChartImage&) = delete;
    CChartImage& operator=(const CChartImage&) = delete;

    // A new panel below the others, nHeight pixels high; owned by the image.
    QChart* AddPanel(int nHeight, const QString& title);

    // A year axis at the bottom from nFirst to nLast, dPad years wider on either side (room for
    // bars), with a tick every nStep years from nFirst; and a value axis on the left from 0 to a
    // round value covering dLargest. Both are attached to the panel.
    static QValueAxis* AddYearAxis(QChart* pChart, int nFirst, int nLast, int nStep, double dPad = 0.0);
    static QValueAxis* AddValueAxis(QChart* pChart, double dLargest, const QString& title);

    // Renders every panel and writes the PNG file whole. False with one line in *pError.
    bool Save(const std::string& path, std::string* pError);

private:
    struct SScene;
    std::unique_ptr<SScene> m_pScene;
    std::vector<QChart*> m_panels;   // owned by the scene
    int m_nWidth;
    int m_nHeight = 0;
};

// A distinct colour for the n-th series of a set (scenarios of a comparison).
QColor ChartColour(int n);

// The panels are graphics widgets: without a QApplication they cannot be made. False with one line
// in *pError then.
bool CanDrawCharts(const std::string& path, std::string* pError);
