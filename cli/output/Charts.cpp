// The SVG charts: axes with ticks, bars, whiskers, dots and lines.
#include "cli/output/Charts.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>

#include "cli/output/Html.h"
#include "framework/Format.h"

namespace cli {

const char* const kSceneColours[bench::kSceneCount] = {"#3b6fb6", "#d9822b", "#3a9a5b",
                                                       "#c23b3b", "#7e57c2", "#8d6e63"};

const char* const kReportColours[kReportColourCount] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728",
                                                        "#9467bd", "#8c564b", "#e377c2", "#7f7f7f",
                                                        "#bcbd22", "#17becf", "#0b3d6b", "#a05a00"};

namespace {

constexpr double kWidth = 720.0;

std::string Base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        unsigned long group = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0u);
        }
        for (std::size_t i = 0; i < 4; ++i) {
            text += i <= count ? kDigits[(group >> (18 - 6 * i)) & 0x3Fu] : '=';
        }
    }
    return text;
}

// An SVG drawing as a page holds it: an object of its own, so that a browser
// that draws no SVG shows nothing of it (a text browser would show its texts
// as a line of stray words), and hidden from Internet Explorer 5 to 8 by a
// conditional comment.
std::string Embedded(const std::string& svg, double height) {
    return framework::Format(
        "<!--[if gte IE 9]><!--><object type=\"image/svg+xml\" width=\"%.0f\" height=\"%.0f\" "
        "data=\"data:image/svg+xml;base64,%s\"></object><!--<![endif]-->\n",
        kWidth, height, Base64(svg).c_str());
}
constexpr double kRight = 20.0;
constexpr double kTop = 16.0;

std::string Number(double value, int decimals) {
    return framework::Format("%.*f", decimals, value);
}

// A step of 1, 2 or 5 times a power of ten giving at most six ticks up to `span`.
double TickStep(double span) {
    const double power = std::pow(10.0, std::floor(std::log10(span > 0.0 ? span : 1.0)));
    for (const double factor : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0}) {
        if (span / (factor * power) <= 6.0) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

// An SVG chart with a value axis upwards (or, `horizontal`, to the right) from `low` to `high`.
class Chart {
public:
    // `left`: room for the labels left of the plot.
    Chart(double height, double bottom, double left, double low, double high, bool horizontal,
          const char* label)
        : height_(height), bottom_(bottom), left_(left), horizontal_(horizontal) {
        const double step = TickStep(high - low);
        low_ = std::floor(low / step) * step;
        high_ = std::ceil(high / step) * step;
        high_ = high_ > low_ ? high_ : low_ + step;
        text_ =
            framework::Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                              "viewBox=\"0 0 %.0f %.0f\" font-family=\"Verdana,Arial,Helvetica,sans-serif\" "
                              "font-size=\"11\" fill=\"#222\">\n<rect width=\"100%%\" height=\"100%%\" "
                              "fill=\"#fff\"/>\n",
                              kWidth, height, kWidth, height);
        for (double tick = low_; tick <= high_ + step / 2; tick += step) {
            const double at = Scale(tick);
            const int decimals = step < 1.0 ? 1 : 0;
            if (horizontal_) {
                Line(at, kTop, at, height_ - bottom_, tick == 0.0 ? "#222" : "#ddd");
                Text(at, height_ - bottom_ + 14, Number(tick, decimals), "middle");
            } else {
                Line(left_, at, kWidth - kRight, at, tick == 0.0 ? "#222" : "#ddd");
                Text(left_ - 6, at + 4, Number(tick, decimals), "end");
            }
        }
        if (horizontal_) {
            Text(left_ + PlotLength() / 2, height_ - bottom_ + 30, label, "middle");
        } else {
            text_ += framework::Format("<text x=\"14\" y=\"%.1f\" text-anchor=\"middle\" "
                                       "transform=\"rotate(-90 14 %.1f)\">%s</text>\n",
                                       kTop + PlotLength() / 2, kTop + PlotLength() / 2, label);
        }
    }

    double PlotLength() const { return horizontal_ ? kWidth - left_ - kRight : height_ - kTop - bottom_; }
    // Where `value` lies along the value axis.
    double Scale(double value) const {
        const double share = (value - low_) / (high_ - low_);
        return horizontal_ ? left_ + share * PlotLength() : kTop + (1.0 - share) * PlotLength();
    }
    void Line(double x1, double y1, double x2, double y2, const char* colour, double width = 1.0) {
        if (!Finite({x1, y1, x2, y2})) {
            return;
        }
        text_ += framework::Format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                                   "stroke-width=\"%.1f\"/>\n",
                                   x1, y1, x2, y2, colour, width);
    }
    void Rectangle(double x, double y, double width, double height, const char* colour) {
        if (!Finite({x, y, width, height})) {
            return;
        }
        text_ +=
            framework::Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"/>\n", x,
                              y, width, height, colour);
    }
    void Dot(double x, double y, const char* colour) {
        if (!Finite({x, y})) {
            return;
        }
        text_ += framework::Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"%s\"/>\n", x, y, colour);
    }
    void Text(double x, double y, const std::string& text, const char* anchor) {
        if (!Finite({x, y})) {
            return;
        }
        text_ += framework::Format("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"%s\">%s</text>\n", x, y, anchor,
                                   HtmlText(text).c_str());
    }
    void Polyline(const std::string& points, const char* colour) {
        text_ +=
            framework::Format("<polyline points=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                              points.c_str(), colour);
    }
    // A whisker from `from` to `to` along the value axis, at `across`.
    void Whisker(double across, double from, double to) {
        const double a = Scale(from), b = Scale(to);
        if (horizontal_) {
            Line(a, across, b, across, "#222", 1.5);
            Line(a, across - 5, a, across + 5, "#222", 1.5);
            Line(b, across - 5, b, across + 5, "#222", 1.5);
        } else {
            Line(across, a, across, b, "#222", 1.5);
            Line(across - 5, a, across + 5, a, "#222", 1.5);
            Line(across - 5, b, across + 5, b, "#222", 1.5);
        }
    }
    // The chart as the page holds it.
    std::string Finish() { return Embedded(text_ + "</svg>\n", height_); }

    const double height_, bottom_, left_;
    const bool horizontal_;

private:
    // No NaN or infinity reaches the page's geometry: what has one is left out.
    static bool Finite(std::initializer_list<double> values) {
        return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
    }

    double low_ = 0.0, high_ = 1.0;
    std::string text_;
};

// A scene's name in two lines under its bar: "Flyby 1" and "DM-Antalus".
std::pair<std::string, std::string> TwoLines(const char* name) {
    const std::string text = name;
    const std::size_t dash = text.find(" - ");
    return dash == std::string::npos ? std::make_pair(text, std::string())
                                     : std::make_pair(text.substr(0, dash), text.substr(dash + 3));
}

const char* DifferenceColour(const Difference& difference) {
    if (difference.low && *difference.low > 0.0) {
        return "#3a9a5b";
    }
    return difference.high && *difference.high < 0.0 ? "#c23b3b" : "#999999";
}

} // namespace

std::string SceneChart(const RunPlan& plan, const ConfigurationReport& report) {
    const std::vector<SceneSummary> summaries = SummarizeScenes(plan, report);
    double top = 1.0;
    for (const SceneSummary& summary : summaries) {
        for (const double value : ResultValues(report, summary.sceneIndex)) {
            top = std::max(top, value);
        }
        top = std::max(top, summary.fps.mean.value_or(0) + summary.fps.standardDeviation.value_or(0));
    }
    Chart chart(300, 48, 60, 0.0, top * 1.05, false, "frames per second");
    const double band = chart.PlotLength() > 0 && !summaries.empty()
                            ? (kWidth - chart.left_ - kRight) / static_cast<double>(summaries.size())
                            : 1.0;
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        const SceneSummary& summary = summaries[i];
        const double centre = chart.left_ + band * (static_cast<double>(i) + 0.5);
        const double half = std::min(band * 0.3, 40.0);
        const auto [first, second] = TwoLines(SceneOf(summary.sceneIndex).checkBoxText);
        chart.Text(centre, chart.height_ - chart.bottom_ + 16, first, "middle");
        chart.Text(centre, chart.height_ - chart.bottom_ + 30, second, "middle");
        if (!summary.fps.mean) {
            chart.Text(centre, chart.Scale(0) - 6, "no result", "middle");
            continue;
        }
        const double mean = *summary.fps.mean;
        chart.Rectangle(centre - half, chart.Scale(mean), 2 * half, chart.Scale(0) - chart.Scale(mean),
                        kSceneColours[summary.sceneIndex]);
        if (summary.fps.standardDeviation) {
            chart.Whisker(centre, mean - *summary.fps.standardDeviation,
                          mean + *summary.fps.standardDeviation);
        }
        const std::vector<double> values = ResultValues(report, summary.sceneIndex);
        for (std::size_t v = 0; v < values.size(); ++v) {
            const double offset =
                values.size() == 1
                    ? 0.0
                    : (static_cast<double>(v) / static_cast<double>(values.size() - 1) - 0.5) * half;
            chart.Dot(centre + half + 10 + offset / 2, chart.Scale(values[v]), "#222");
        }
    }
    return chart.Finish();
}

std::string ScalingChart(const std::vector<const ConfigurationReport*>& group) {
    double top = 1.0;
    for (const ConfigurationReport* report : group) {
        for (int scene = 0; scene < bench::kSceneCount; ++scene) {
            top = std::max(top, SpreadOf(ResultValues(*report, scene)).mean.value_or(0));
        }
    }
    Chart chart(320, 64, 60, 0.0, top * 1.05, false, "frames per second");
    const double step = (kWidth - chart.left_ - kRight) / static_cast<double>(group.size());
    for (std::size_t i = 0; i < group.size(); ++i) {
        chart.Text(chart.left_ + step * (static_cast<double>(i) + 0.5), chart.height_ - chart.bottom_ + 16,
                   group[i]->configuration.resolution, "middle");
    }
    int legend = 0;
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        std::string points;
        for (std::size_t i = 0; i < group.size(); ++i) {
            const Spread fps = SpreadOf(ResultValues(*group[i], scene));
            if (fps.mean) {
                const double x = chart.left_ + step * (static_cast<double>(i) + 0.5);
                points +=
                    framework::Format("%s%.1f,%.1f", points.empty() ? "" : " ", x, chart.Scale(*fps.mean));
                chart.Dot(x, chart.Scale(*fps.mean), kSceneColours[scene]);
            }
        }
        if (!points.empty()) {
            chart.Polyline(points, kSceneColours[scene]);
            const double x = chart.left_ + 110.0 * (legend % 6);
            chart.Rectangle(x, chart.height_ - 34, 10, 10, kSceneColours[scene]);
            chart.Text(x + 14, chart.height_ - 25, TwoLines(SceneOf(scene).checkBoxText).first, "start");
            ++legend;
        }
    }
    return chart.Finish();
}

std::string DifferenceChart(const ConfigurationComparison& configuration) {
    std::vector<std::pair<std::string, const Difference*>> rows;
    for (const SceneComparison& scene : configuration.scenes) {
        rows.emplace_back(SceneOf(scene.sceneIndex).checkBoxText, &scene.difference);
    }
    if (configuration.score) {
        rows.emplace_back("Score (Korvanes)", &*configuration.score);
    }
    double low = 0.0, high = 0.0;
    for (const auto& row : rows) {
        low = std::min({low, row.second->percent, row.second->low.value_or(0)});
        high = std::max({high, row.second->percent, row.second->high.value_or(0)});
    }
    const double margin = std::max(1.0, (high - low) * 0.05);
    const double rowHeight = 30.0;
    Chart chart(kTop + rowHeight * static_cast<double>(rows.size()) + 44, 44, 170, low - margin,
                high + margin, true, "difference in percent, new against base");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Difference& difference = *rows[i].second;
        const double middle = kTop + rowHeight * (static_cast<double>(i) + 0.5);
        const double from = std::min(chart.Scale(0), chart.Scale(difference.percent));
        chart.Rectangle(from, middle - 8, std::fabs(chart.Scale(difference.percent) - chart.Scale(0)), 16,
                        DifferenceColour(difference));
        if (difference.low) {
            chart.Whisker(middle, *difference.low, *difference.high);
        }
        // The value beyond the bar's end and its whisker.
        const bool negative = difference.percent < 0;
        const double end = negative
                               ? std::min(difference.percent, difference.low.value_or(difference.percent))
                               : std::max(difference.percent, difference.high.value_or(difference.percent));
        chart.Text(chart.Scale(end) + (negative ? -6 : 6), middle + 4,
                   framework::Format("%+.2f %%", difference.percent), negative ? "end" : "start");
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        chart.Text(chart.left_ - 8, kTop + rowHeight * (static_cast<double>(i) + 0.5) + 4, rows[i].first,
                   "end");
    }
    return chart.Finish();
}

namespace {

// A legend below a chart: a coloured box and a name each, two to a row, from `top`.
void Legend(Chart& chart, double top, const std::vector<std::pair<std::string, const char*>>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const double x = chart.left_ + 330.0 * static_cast<double>(i % 2);
        const std::size_t row = i / 2;
        const double y = top + 16.0 * static_cast<double>(row);
        chart.Rectangle(x, y, 10, 10, entries[i].second);
        chart.Text(x + 14, y + 9, entries[i].first, "start");
    }
}

double LegendHeight(std::size_t entries) {
    const std::size_t rows = (entries + 1) / 2;
    return 16.0 * static_cast<double>(rows) + 8.0;
}

// The value a scaling chart shows of a report's configuration.
std::optional<double> ShownValue(const ConfigurationValues& values, bool scores) {
    return scores ? SpreadOf(values.scores).mean : MeanFps(values);
}

} // namespace

std::string MergeSceneCharts(const Merge& merge, const MergedConfiguration& configuration) {
    const std::vector<int> scenes = ScenesOf(configuration);
    std::string html;
    for (std::size_t first = 0; first < configuration.reports.size(); first += kReportColourCount) {
        const std::size_t count = std::min(kReportColourCount, configuration.reports.size() - first);
        double top = 1.0;
        for (std::size_t r = first; r < first + count; ++r) {
            for (const auto& [scene, fps] : configuration.reports[r].values.sceneFps) {
                const Spread spread = SpreadOf(fps);
                top = std::max({top, *spread.mean + spread.standardDeviation.value_or(0.0),
                                *std::max_element(fps.begin(), fps.end())});
            }
        }
        const double legend = LegendHeight(count);
        Chart chart(300 + legend, 48 + legend, 60, 0.0, top * 1.05, false, "frames per second");
        const double band =
            (kWidth - chart.left_ - kRight) / static_cast<double>(std::max<std::size_t>(1, scenes.size()));
        const double bar = std::min(24.0, band * 0.8 / static_cast<double>(count));
        for (std::size_t g = 0; g < scenes.size(); ++g) {
            const double start =
                chart.left_ + band * static_cast<double>(g) + (band - bar * static_cast<double>(count)) / 2;
            const auto [line1, line2] = TwoLines(SceneOf(scenes[g]).checkBoxText);
            const double centre = chart.left_ + band * (static_cast<double>(g) + 0.5);
            chart.Text(centre, chart.height_ - chart.bottom_ + 16, line1, "middle");
            chart.Text(centre, chart.height_ - chart.bottom_ + 30, line2, "middle");
            for (std::size_t r = 0; r < count; ++r) {
                const ReportValuesOf& report = configuration.reports[first + r];
                const auto fps = report.values.sceneFps.find(scenes[g]);
                if (fps == report.values.sceneFps.end()) {
                    continue;
                }
                const Spread spread = SpreadOf(fps->second);
                const double x = start + bar * static_cast<double>(r);
                chart.Rectangle(x + 1, chart.Scale(*spread.mean), bar - 2,
                                chart.Scale(0) - chart.Scale(*spread.mean),
                                kReportColours[(first + r) % kReportColourCount]);
                if (spread.standardDeviation) {
                    chart.Whisker(x + bar / 2, *spread.mean - *spread.standardDeviation,
                                  *spread.mean + *spread.standardDeviation);
                }
                for (const double value : fps->second) {
                    chart.Dot(x + bar / 2, chart.Scale(value), "#222");
                }
            }
        }
        std::vector<std::pair<std::string, const char*>> entries;
        for (std::size_t r = 0; r < count; ++r) {
            entries.emplace_back(
                merge.reports[static_cast<std::size_t>(configuration.reports[first + r].report)].label,
                kReportColours[(first + r) % kReportColourCount]);
        }
        Legend(chart, chart.height_ - legend, entries);
        html += chart.Finish();
    }
    return html;
}

std::string MergeResolutionChart(const Merge& merge, const std::vector<const MergedConfiguration*>& group,
                                 bool scores) {
    double top = 1.0;
    for (const MergedConfiguration* configuration : group) {
        for (const ReportValuesOf& report : configuration->reports) {
            top = std::max(top, ShownValue(report.values, scores).value_or(0.0));
        }
    }
    const std::size_t reports = std::min(kReportColourCount, merge.reports.size());
    const double legend = LegendHeight(reports);
    Chart chart(300 + legend, 30 + legend, 60, 0.0, top * 1.05, false,
                scores ? "Korvanes" : "frames per second");
    const double step = (kWidth - chart.left_ - kRight) / static_cast<double>(group.size());
    for (std::size_t i = 0; i < group.size(); ++i) {
        chart.Text(chart.left_ + step * (static_cast<double>(i) + 0.5), chart.height_ - chart.bottom_ + 16,
                   group[i]->configuration.resolution, "middle");
    }
    std::vector<std::pair<std::string, const char*>> entries;
    for (std::size_t r = 0; r < reports; ++r) {
        std::string points;
        for (std::size_t i = 0; i < group.size(); ++i) {
            for (const ReportValuesOf& report : group[i]->reports) {
                const std::optional<double> value =
                    report.report == static_cast<int>(r) ? ShownValue(report.values, scores) : std::nullopt;
                if (value) {
                    const double x = chart.left_ + step * (static_cast<double>(i) + 0.5);
                    points +=
                        framework::Format("%s%.1f,%.1f", points.empty() ? "" : " ", x, chart.Scale(*value));
                    chart.Dot(x, chart.Scale(*value), kReportColours[r]);
                }
            }
        }
        if (!points.empty()) {
            chart.Polyline(points, kReportColours[r]);
        }
        entries.emplace_back(merge.reports[r].label, kReportColours[r]);
    }
    Legend(chart, chart.height_ - legend, entries);
    return chart.Finish();
}

std::string MergeClockChart(const Merge& merge, const std::vector<double>& clocks, bool scores) {
    double top = 1.0;
    for (const MergedConfiguration& configuration : merge.configurations) {
        for (const ReportValuesOf& report : configuration.reports) {
            top = std::max(top, ShownValue(report.values, scores).value_or(0.0));
        }
    }
    const double lowest = *std::min_element(clocks.begin(), clocks.end());
    const double highest = *std::max_element(clocks.begin(), clocks.end());
    const std::size_t lines = std::min(kReportColourCount, merge.configurations.size());
    const double legend = LegendHeight(lines);
    Chart chart(300 + legend, 30 + legend, 60, 0.0, top * 1.05, false,
                scores ? "Korvanes" : "frames per second");
    const double plot = kWidth - chart.left_ - kRight;
    const auto across = [&](double mhz) {
        return chart.left_ +
               plot * (highest > lowest ? 0.1 + 0.8 * (mhz - lowest) / (highest - lowest) : 0.5);
    };
    for (const double mhz : clocks) {
        chart.Text(across(mhz), chart.height_ - chart.bottom_ + 16, framework::Format("%.0f MHz", mhz),
                   "middle");
    }
    std::vector<std::pair<std::string, const char*>> entries;
    for (std::size_t c = 0; c < lines; ++c) {
        std::vector<std::pair<double, double>> points;
        for (const ReportValuesOf& report : merge.configurations[c].reports) {
            if (const std::optional<double> value = ShownValue(report.values, scores)) {
                points.emplace_back(clocks[static_cast<std::size_t>(report.report)], *value);
            }
        }
        std::sort(points.begin(), points.end());
        std::string line;
        for (const auto& [mhz, value] : points) {
            line +=
                framework::Format("%s%.1f,%.1f", line.empty() ? "" : " ", across(mhz), chart.Scale(value));
            chart.Dot(across(mhz), chart.Scale(value), kReportColours[c]);
        }
        chart.Polyline(line, kReportColours[c]);
        entries.emplace_back(ConfigurationText(merge.configurations[c].configuration), kReportColours[c]);
    }
    Legend(chart, chart.height_ - legend, entries);
    return chart.Finish();
}

} // namespace cli
