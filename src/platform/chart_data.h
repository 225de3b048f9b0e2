// A chart as a job describes its results: titles with units and lines of points. The windows
// draw it; the jobs fill it only when a window asks, so the command line pays nothing for it.
#pragma once

#include <string>
#include <vector>

namespace qm {

struct chart_point {
    double x = 0;
    double y = 0;
};

struct chart_line {
    std::string name; // shown in the legend
    std::vector<chart_point> points;
    // A mark drawn dashed over the data (a peak position, the span between two peaks).
    bool mark = false;
};

// A label of a second x axis, at a value of the first one (a wavelength over an energy).
struct axis_label {
    double at = 0;
    std::string text;
};

struct chart_data {
    std::string title;
    std::string x_title; // with its unit, "Time (fs)"
    std::string y_title;
    std::vector<chart_line> lines;
    // A second x axis along the top, when it has labels.
    std::string top_title{};
    std::vector<axis_label> top_labels{};
    // What the run read and how it was set, kept with a saved picture; empty when the job
    // does not say (the window then describes its own settings).
    std::string run_description{};
};

// One thing a run read or was set to, as the user gave it: {"Input", "run/gap.dat"}.
struct run_field {
    std::string name;
    std::string value;
};

// A run's description for its charts: "name: value" fields joined by "; ", one line.
std::string run_description(const std::vector<run_field>& fields);

// The chart's points as CSV: a header "series,<x>,<y>" (the axis titles as column names, so
// "Time (fs)" is "time_fs"), then one row per point, line after line, in full precision
// (shortest round-trip), LF line ends. A line's name with a comma or a quote is quoted.
std::string chart_csv(const chart_data& chart);

// An axis title as a CSV column name: lower case letters and digits, every other run of
// characters one "_" ("Energy (eV)" is "energy_ev"), the Greek letters of titles spelled out
// ("C(τ)" is "c_tau"); `fallback` when nothing is left.
std::string column_name(const std::string& title, const std::string& fallback);

} // namespace qm
