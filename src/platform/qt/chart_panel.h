// Charts of a job's results, drawn from its chart data, one under the other, to be explored
// (zoom, pan, a crosshair whose point is read out under the charts, a chosen x range) and
// saved: the points as CSV, the picture as PNG, SVG or PDF (by the name's ending), as shown
// or at a chosen width and resolution, with the run's description in the file.
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

#include <string>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace qm {

// The chart of one chart data: a line series per line (marks dashed), titled axes that span
// the data, a legend when there is more than one line.
QChart* make_chart(const chart_data& data);

class chart_panel : public QWidget {
    Q_OBJECT
public:
    explicit chart_panel(const char* name);

    void show_charts(const std::vector<chart_data>& charts);
    // What the run read and how it was set, saved with the pictures of charts whose job does
    // not describe its run itself.
    void set_run_description(const std::string& text) { run_description_ = text; }
    // Another button on the Save button's row, after it.
    void add_button(QPushButton* button);
    const std::vector<QChartView*>& views() const { return views_; }

    // Every chart shows x from `low` to `high`, its y axis fitted to the points there;
    // false, and nothing changes, unless low < high.
    bool show_x_range(double low, double high);
    // Every chart shows all of its data again.
    void reset_view();

    QLabel* lbl_chart_position; // the point under the cursor
    QLineEdit* txt_x_from;
    QLineEdit* txt_x_to;
    QPushButton* cmd_show_range;
    QPushButton* cmd_reset_view;
    QPushButton* cmd_save_data;
    QComboBox* cmb_chart_size;
    QPushButton* cmd_save_chart;

private:
    void save_data();
    void save_chart();
    void show_range_typed();
    void show_range_in_boxes(double low, double high);
    std::string description() const;

    QWidget* pictures_;
    QVBoxLayout* column_;
    QHBoxLayout* buttons_;
    std::vector<QChartView*> views_;
    std::vector<chart_data> charts_;
    std::string run_description_;
};

enum class picture_format { png, svg, pdf };

// How a picture is saved: as shown (width 0), or `width` pixels wide at `dpi` dots per inch,
// the height in the proportion shown; its title and the description of the run go into the
// file (PNG text chunks, the SVG title and description, the PDF title and subject).
struct picture_options {
    int width = 0;
    int dpi = 0;
    std::string title;
    std::string description;
};

// The format a file name asks for: ".svg" SVG, ".pdf" PDF, anything else PNG.
picture_format picture_format_of(const std::string& path);

// The bytes of the picture of `widget` in that format.
QByteArray picture_bytes(QWidget* widget, picture_format format,
                         const picture_options& options = {});

// Asks for a file name and saves the picture of `widget` there in the format its name asks
// for. A file that cannot be written is a message, never a half picture.
void save_picture(QWidget* widget, const picture_options& options = {});

// Replaces the chart a view shows (a view lets go of its old chart without deleting it); the
// new chart can be explored as a whole.
void replace_chart(QChartView* view, const chart_data& data);

} // namespace qm
