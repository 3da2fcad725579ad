#include "svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kWidth = 640, kHeight = 240, kLeft = 56, kRight = 12, kTop = 28, kBottom = 44;
constexpr const char* kColours[] = {"#1f5fa8", "#d9822b", "#3a9a4a", "#b8403a", "#7d5ba6", "#8c6d3a",
                                    "#c25d9a", "#5f7f8f"};

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

// Grid lines at a round step (1, 2 or 5 times a power of ten), at most five of them.
struct Axis {
    double step, top;
};
Axis AxisFor(double max) {
    if (max <= 0) return {1, 1};
    const double power = std::pow(10.0, std::floor(std::log10(max / 5)));
    double step = 10 * power;
    for (double m : {1.0, 2.0, 5.0})
        if (m * power * 5 >= max) {
            step = m * power;
            break;
        }
    return {step, std::ceil(max / step - 1e-9) * step};
}

std::string Frame(const Chart& chart, const Axis& axis) {
    const double top = axis.top;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 " + Number(kWidth) +
                      " " + Number(kHeight) + "\" role=\"img\"><title>" + HtmlText(chart.title) + "</title>";
    const double plotH = kHeight - kTop - kBottom;
    const int lines = static_cast<int>(std::lround(top / axis.step));
    for (int i = 0; i <= lines; ++i) {
        const double v = axis.step * i;
        const double y = kTop + plotH * (1 - v / top);
        svg += "<line x1=\"" + Number(kLeft) + "\" y1=\"" + Number(y) + "\" x2=\"" + Number(kWidth - kRight) +
               "\" y2=\"" + Number(y) + "\" stroke=\"#ccc\" stroke-width=\"0.5\"/>";
        char label[32];
        std::snprintf(label, sizeof label, "%.10g", v);
        svg += "<text x=\"" + Number(kLeft - 4) + "\" y=\"" + Number(y + 3) + "\" text-anchor=\"end\">" + label +
               "</text>";
    }
    svg += "<text x=\"4\" y=\"14\">" + HtmlText(chart.unit) + "</text>";
    // The legend along the top.
    double x = kLeft;
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        svg += "<rect x=\"" + Number(x) + "\" y=\"6\" width=\"10\" height=\"10\" fill=\"" + kColours[s % 8] +
               "\"/><text x=\"" + Number(x + 13) + "\" y=\"15\">" + HtmlText(chart.series[s].name) + "</text>";
        x += 20 + 7.0 * static_cast<double>(chart.series[s].name.size());
    }
    // Category labels: as many as fit.
    const std::size_t n = chart.categories.size();
    const double slot = (kWidth - kLeft - kRight) / static_cast<double>(std::max<std::size_t>(n, 1));
    const std::size_t every = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(36 / slot)));
    for (std::size_t i = 0; i < n; i += every)
        svg += "<text x=\"" + Number(kLeft + slot * (static_cast<double>(i) + 0.5)) + "\" y=\"" +
               Number(kHeight - kBottom + 14) + "\" text-anchor=\"middle\">" + HtmlText(chart.categories[i]) +
               "</text>";
    return svg;
}

double Value(const ChartSeries& s, std::size_t i) { return i < s.values.size() ? s.values[i] : 0.0; }

}  // namespace

std::string StackedBars(const Chart& chart) {
    const std::size_t n = chart.categories.size();
    double max = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0;
        for (const auto& s : chart.series) sum += Value(s, i);
        max = std::max(max, sum);
    }
    const Axis axis = AxisFor(max);
    const double top = axis.top;
    std::string svg = Frame(chart, axis);
    const double plotH = kHeight - kTop - kBottom;
    const double slot = (kWidth - kLeft - kRight) / static_cast<double>(std::max<std::size_t>(n, 1));
    for (std::size_t i = 0; i < n; ++i) {
        double base = 0;
        for (std::size_t s = 0; s < chart.series.size(); ++s) {
            const double v = Value(chart.series[s], i);
            if (v <= 0) continue;
            const double y0 = kTop + plotH * (1 - base / top), y1 = kTop + plotH * (1 - (base + v) / top);
            svg += "<rect x=\"" + Number(kLeft + slot * static_cast<double>(i) + slot * 0.1) + "\" y=\"" + Number(y1) +
                   "\" width=\"" + Number(slot * 0.8) + "\" height=\"" + Number(y0 - y1) + "\" fill=\"" +
                   kColours[s % 8] + "\"/>";
            base += v;
        }
    }
    return svg + "</svg>";
}

std::string Lines(const Chart& chart) {
    const std::size_t n = chart.categories.size();
    double max = 0;
    for (const auto& s : chart.series)
        for (double v : s.values) max = std::max(max, v);
    const Axis axis = AxisFor(max);
    const double top = axis.top;
    std::string svg = Frame(chart, axis);
    const double plotH = kHeight - kTop - kBottom;
    const double slot = (kWidth - kLeft - kRight) / static_cast<double>(std::max<std::size_t>(n, 1));
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        std::string points;
        for (std::size_t i = 0; i < n; ++i)
            points += Number(kLeft + slot * (static_cast<double>(i) + 0.5)) + "," +
                      Number(kTop + plotH * (1 - Value(chart.series[s], i) / top)) + " ";
        svg += "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" + std::string(kColours[s % 8]) +
               "\" points=\"" + points + "\"/>";
    }
    return svg + "</svg>";
}
