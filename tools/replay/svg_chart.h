// Inline SVG charts for the analysis page: plain markup, no script, drawn to
// print as well as to show. Portable.
#pragma once

#include <string>
#include <vector>

#include "base/html_text.h"  // HtmlText, for the texts around the charts

struct ChartSeries {
    std::string name;
    std::vector<double> values;  // one per category
};

struct Chart {
    std::string title;
    std::vector<std::string> categories;  // along the x axis
    std::vector<ChartSeries> series;
    std::string unit;  // of the y axis
};

// Bars per category, the series stacked on one another.
std::string StackedBars(const Chart& chart);
// One line per series.
std::string Lines(const Chart& chart);
