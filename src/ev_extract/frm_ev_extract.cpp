#include "ev_extract/frm_ev_extract.h"

#include "ev_extract/ev_extract_job.h"
#include "platform/error_report.h"
#include "platform/number_form.h"
#include "platform/qt/key_filter.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/val.h"
#include "shell/frm_chart.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm {
namespace {

constexpr const char* memory_warning = "Warning - This method is VERY memory intensive - use "
                                       "only on machines with 128MB of ram per 2500 files.";
constexpr std::string_view scan_routine = "frm_ev_extract submodule: cmd_scan_file - click";

QLineEdit* box(const char* name, const char* text = "") {
    return named(new QLineEdit(QString::fromLatin1(text)), name);
}

std::string text_of(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

frm_ev_extract::frm_ev_extract(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_ev_extract");
    setWindowTitle("Ev Extraction");
    build_controls();
    lay_out();
    connect_events();
    txtCurrentStatus->setText("Waiting for Input Files");
}

void frm_ev_extract::build_controls() {
    cmd_Gaussian_files =
        named(new QPushButton("&Select Directory Containing Gaussian Output Files to Process"),
              "cmd_Gaussian_files");
    lbl_current_path = named(new QLabel("Current Filename Path:"), "lbl_current_path");
    txt_current_data_path = box("txt_current_data_path");
    lbl_file_prefix = named(new QLabel("Enter filename prefix:"), "lbl_file_prefix");
    txt_File_Prefix = box("txt_File_Prefix");
    lbl_filename_suffix = named(new QLabel("Enter filename suffix:"), "lbl_filename_suffix");
    txt_File_suffix = box("txt_File_suffix", ".gout");
    lbl_file_range = named(new QLabel("File Range to Process:"), "lbl_file_range");
    txt_file_start = box("txt_file_start", "1");
    lbl_file_to = named(new QLabel("to"), "lbl_file_to");
    txt_file_end = box("txt_file_end", "1");
    lbl_interval = named(new QLabel("Interval:"), "lbl_interval");
    txt_interval = box("txt_interval", "1");
    chk_zipped_files = named(new QCheckBox("Zipped Files?"), "chk_zipped_files");
    cmd_scan_file = named(new QPushButton("Scan &File Names"), "cmd_scan_file");

    lbl_output_file_name_prefix =
        named(new QLabel("Output Filename Prefix:"), "lbl_output_file_name_prefix");
    txt_output_prefix = box("txt_output_prefix", "freqgap");
    lbl_time_step = named(new QLabel("Time Step Per Output File (fs):"), "lbl_time_step");
    txt_time_step = box("txt_time_step", "2");
    lbl_points = named(new QLabel("Points to Output Per File:"), "lbl_points");
    txt_points = box("txt_points", "10");
    lbl_root = named(new QLabel("Root range to search:"), "lbl_root");
    txt_root_start = box("txt_root_start", "1");
    Label1 = named(new QLabel("to"), "Label1");
    txt_root_end = box("txt_root_end", "1");
    lbl_limits = named(new QLabel("Energy Limits (eV):"), "lbl_limits");
    txt_limit_low = box("txt_limit_low", "1");
    lbl_to_2 = named(new QLabel("to"), "lbl_to_2");
    txt_limit_high = box("txt_limit_high", "1");
    lblno_roots = named(new QLabel("No. Roots to extract in order:"), "lblno_roots");
    txtno_roots = box("txtno_roots", "1");

    frm_extract_mode = named(new QGroupBox, "frm_extract_mode");
    opt_extractonTDM = named(new QRadioButton("Extract on Max Osc Strength"), "opt_extractonTDM");
    opt_extractonLowEnergy =
        named(new QRadioButton("Extract on Lowest Energy"), "opt_extractonLowEnergy");
    opt_gaussian_ordered =
        named(new QRadioButton("Extract on Gaussian Ordering"), "opt_gaussian_ordered");
    opt_orbital_profile =
        named(new QRadioButton("Extract on Orbital Profile"), "opt_orbital_profile");
    opt_extractonTDM->setChecked(true);
    lbl_orb_state1 = named(new QLabel("State 1 major orbital profile:"), "lbl_orb_state1");
    txt_orb_state1_from = box("txt_orb_state1_from", "1");
    lbl_orb_state1_to = named(new QLabel("to"), "lbl_orb_state1_to");
    txt_orb_state1_to = box("txt_orb_state1_to", "1");
    lbl_orb_state2 = named(new QLabel("State 2 major orbital profile:"), "lbl_orb_state2");
    txt_orb_state2_from = box("txt_orb_state2_from", "1");
    lbl_orb_state2_to = named(new QLabel("to"), "lbl_orb_state2_to");
    txt_orb_state2_to = box("txt_orb_state2_to", "1");

    chk_tdm_data = named(new QCheckBox("Output TDM Data?"), "chk_tdm_data");
    chk_TDM_sep_files = named(new QCheckBox("Separate Files?"), "chk_TDM_sep_files");
    chk_scfenergies = named(new QCheckBox("Output SCF Energies?"), "chk_scfenergies");
    chk_SCF_cycles =
        named(new QCheckBox("Output Cycles Required for SCF Convergence?"), "chk_SCF_cycles");
    chk_orbitals = named(new QCheckBox("Write Orbital Data?"), "chk_orbitals");
    chk_status_file =
        named(new QCheckBox("Write Status File During Execution?"), "chk_status_file");
    chk_status_file->setChecked(true);
    chk_status_file->setToolTip(
        "Continually appends the process to \"exectution_status.dat\" while running.");
    chk_calc_tdm_angle =
        named(new QCheckBox("Calculate Angle Between TDMs?"), "chk_calc_tdm_angle");
    chk_rawTDMs = named(new QCheckBox("Output Raw TDMs and Angle to First TDM?"), "chk_rawTDMs");
    chk_calc_rel_tdm =
        named(new QCheckBox("Calculate Relative TDM Alignment?"), "chk_calc_rel_tdm");
    chk_tdm_align_only =
        named(new QCheckBox("Use Structure Independent Method."), "chk_tdm_align_only");
    for (QCheckBox* warned : {chk_rawTDMs, chk_calc_tdm_angle, chk_calc_rel_tdm})
        warned->setToolTip(memory_warning);

    cmd_execute = named(new QPushButton("E&xecute"), "cmd_execute");
    cmd_return = named(new QPushButton("&Return to Stokes Shift Menu"), "cmd_return");
    cmd_show_chart = named(new QPushButton("Show &Chart"), "cmd_show_chart");
    Frame1 = named(new QGroupBox("Current Status"), "Frame1");
    txtCurrentStatus = box("txtCurrentStatus");
    txtCurrentStatus->setReadOnly(true);
    lbl_files_processed = named(new QLabel("Files Processed = 0"), "lbl_files_processed");
    lbl_files_remaining = named(new QLabel("Files Remaining = 0"), "lbl_files_remaining");
    Label3 = named(new QLabel("File Progress"), "Label3");
    ProgressBar = progress_bar("ProgressBar", 1);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");
    lbl_digits = named(new QLabel("Digits:"), "lbl_digits");
    txt_digits = box("txt_digits", "0");
    txt_digits->setToolTip("File numbers zero-padded to this many digits (frame_0001.log: 4); 0 "
                           "for none. Picking a file fills it.");
    chk_root_end_all =
        named(new QCheckBox("Up to the last state in each file"), "chk_root_end_all");
    lbl_empty_slots = named(new QLabel("No state in the window:"), "lbl_empty_slots");
    cbo_empty_slots = named(new QComboBox, "cbo_empty_slots");
    cbo_empty_slots->addItems({"Write the upper limit", "Leave the slot out"});
    chk_skip_failed = named(new QCheckBox("Skip missing or failed files"), "chk_skip_failed");
    chk_last_section =
        named(new QCheckBox("Read the last excited-state section"), "chk_last_section");
    chk_results_table = named(new QCheckBox("Write results table"), "chk_results_table");
    cmd_results_table = named(new QPushButton("Results Table File..."), "cmd_results_table");
    txt_results_table = box("txt_results_table");
    chk_states_table = named(new QCheckBox("Write states table"), "chk_states_table");
    cmd_states_table = named(new QPushButton("States Table File..."), "cmd_states_table");
    txt_states_table = box("txt_states_table");
    txt_digits->setMaximumWidth(70);

    // Right-aligned texts in cells that may grow, so a longer count is never cut.
    lbl_files_remaining->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    filter_typed_keys({txt_file_start, txt_file_end, txt_interval, txt_limit_low, txt_limit_high,
                       txt_time_step, txtno_roots},
                      accepts_decimal_key);
    filter_typed_keys({txt_orb_state1_from, txt_orb_state1_to, txt_orb_state2_from,
                       txt_orb_state2_to, txt_points, txt_root_start, txt_root_end, txt_digits},
                      accepts_digit_key);

    enable_scanned_controls(false);
    set_enabled({lbl_orb_state1, txt_orb_state1_from, lbl_orb_state1_to, txt_orb_state1_to,
                 lbl_orb_state2, txt_orb_state2_from, lbl_orb_state2_to, txt_orb_state2_to,
                 chk_TDM_sep_files, chk_calc_tdm_angle, chk_tdm_align_only, cmd_execute,
                 cmd_show_chart},
                false);
}

void frm_ev_extract::lay_out() {
    auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* w : widgets)
            line->addWidget(w);
        line->addStretch();
        return line;
    };
    for (QLineEdit* number :
         {txt_file_start, txt_file_end, txt_interval, txt_time_step, txt_points, txt_root_start,
          txt_root_end, txt_limit_low, txt_limit_high, txtno_roots, txt_orb_state1_from,
          txt_orb_state1_to, txt_orb_state2_from, txt_orb_state2_to})
        number->setMaximumWidth(70);

    auto* files = new QGroupBox("Input Files");
    auto* f = new QGridLayout(files);
    f->addWidget(cmd_Gaussian_files, 0, 0, 1, 2);
    f->addWidget(lbl_current_path, 1, 0);
    f->addWidget(txt_current_data_path, 1, 1);
    f->addWidget(lbl_file_prefix, 2, 0);
    f->addWidget(txt_File_Prefix, 2, 1);
    f->addWidget(lbl_filename_suffix, 3, 0);
    f->addWidget(txt_File_suffix, 3, 1);
    f->addWidget(lbl_file_range, 4, 0);
    f->addLayout(row({txt_file_start, lbl_file_to, txt_file_end, lbl_interval, txt_interval}), 4,
                 1);
    f->addLayout(row({chk_zipped_files, lbl_digits, txt_digits, cmd_scan_file}), 5, 1);

    auto* settings = new QGroupBox("Extraction Settings");
    auto* s = new QGridLayout(settings);
    s->addWidget(lbl_output_file_name_prefix, 0, 0);
    s->addWidget(txt_output_prefix, 0, 1);
    s->addWidget(lbl_time_step, 1, 0);
    s->addWidget(txt_time_step, 1, 1, Qt::AlignLeft);
    s->addWidget(lbl_points, 2, 0);
    s->addWidget(txt_points, 2, 1, Qt::AlignLeft);
    s->addWidget(lbl_root, 3, 0);
    s->addLayout(row({txt_root_start, Label1, txt_root_end, chk_root_end_all}), 3, 1);
    s->addWidget(lbl_limits, 4, 0);
    s->addLayout(row({txt_limit_low, lbl_to_2, txt_limit_high}), 4, 1);
    s->addWidget(lblno_roots, 5, 0);
    s->addWidget(txtno_roots, 5, 1, Qt::AlignLeft);
    s->addWidget(lbl_empty_slots, 6, 0);
    s->addWidget(cbo_empty_slots, 6, 1, Qt::AlignLeft);

    // How each root's state is chosen, with the orbital profiles its last mode uses.
    auto* modes = new QVBoxLayout(frm_extract_mode);
    for (QWidget* w :
         {opt_extractonTDM, opt_extractonLowEnergy, opt_gaussian_ordered, opt_orbital_profile})
        modes->addWidget(w);
    auto* selection = new QGroupBox("Root Selection");
    auto* r = new QGridLayout(selection);
    r->addWidget(frm_extract_mode, 0, 0, 1, 2);
    r->addWidget(lbl_orb_state1, 1, 0);
    r->addLayout(row({txt_orb_state1_from, lbl_orb_state1_to, txt_orb_state1_to}), 1, 1);
    r->addWidget(lbl_orb_state2, 2, 0);
    r->addLayout(row({txt_orb_state2_from, lbl_orb_state2_to, txt_orb_state2_to}), 2, 1);

    auto* outputs = new QGroupBox("Outputs");
    auto* o = new QVBoxLayout(outputs);
    o->addLayout(row({chk_tdm_data, chk_TDM_sep_files}));
    for (QWidget* w : {chk_scfenergies, chk_SCF_cycles, chk_orbitals, chk_status_file,
                       chk_calc_tdm_angle, chk_rawTDMs, chk_calc_rel_tdm, chk_tdm_align_only})
        o->addWidget(w);
    o->addLayout(row({chk_skip_failed, chk_last_section}));
    for (auto [check, path, button] :
         {std::tuple{chk_results_table, txt_results_table, cmd_results_table},
          std::tuple{chk_states_table, txt_states_table, cmd_states_table}}) {
        auto* line = new QHBoxLayout;
        line->addWidget(check);
        line->addWidget(path, 1);
        line->addWidget(button);
        o->addLayout(line);
    }
    o->addStretch();

    auto* status = new QGridLayout(Frame1);
    status->addWidget(txtCurrentStatus, 0, 0, 1, 3);
    status->addWidget(lbl_files_processed, 1, 0);
    status->addWidget(lbl_files_remaining, 1, 2);
    status->addWidget(Label3, 2, 0, 1, 3);
    status->addWidget(ProgressBar, 3, 0, 1, 3);
    status->addWidget(Label7, 4, 0);
    status->addWidget(Label8, 4, 2);

    // Two columns: the series and its settings with the status beside the choices of roots
    // and outputs, so the window fits a laptop screen.
    auto* left = new QVBoxLayout;
    left->addWidget(files);
    left->addWidget(settings);
    left->addWidget(Frame1);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(selection);
    right->addWidget(outputs, 1);
    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(row({cmd_execute, cmd_show_chart, cmd_return}), 1, 0, 1, 2);
}

void frm_ev_extract::connect_events() {
    connect(cmd_Gaussian_files, &QPushButton::clicked, this, [this] { choose_file(); });
    connect(cmd_scan_file, &QPushButton::clicked, this, [this] { scan(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
    connect(cmd_show_chart, &QPushButton::clicked, this, [this] { show_charts(this, charts_); });
    connect(cmd_results_table, &QPushButton::clicked, this,
            [this] { choose_table(cmd_results_table, txt_results_table); });
    connect(cmd_states_table, &QPushButton::clicked, this,
            [this] { choose_table(cmd_states_table, txt_states_table); });
    connect(chk_tdm_data, &QCheckBox::clicked, this,
            [this] { chk_TDM_sep_files->setEnabled(tdm_separate_enabled(choices())); });
    connect(chk_calc_rel_tdm, &QCheckBox::clicked, this,
            [this] { chk_tdm_align_only->setEnabled(align_only_enabled(texts(), choices())); });
    connect(txtno_roots, &QLineEdit::textChanged, this, [this] { update_root_count_rules(); });
    for (QRadioButton* mode :
         {opt_extractonTDM, opt_extractonLowEnergy, opt_gaussian_ordered, opt_orbital_profile})
        connect(mode, &QRadioButton::clicked, this, [this] { update_orbital_controls(); });
    connect(txt_interval, &QLineEdit::textChanged, this, [this] {
        const bool allowed = rel_tdm_enabled(texts());
        chk_calc_rel_tdm->setEnabled(allowed);
        if (!allowed) {
            // Cleared without a click, so the method box that goes with it is cleared and
            // disabled here.
            chk_calc_rel_tdm->setChecked(false);
            chk_tdm_align_only->setChecked(false);
            chk_tdm_align_only->setEnabled(align_only_enabled(texts(), choices()));
        }
    });
    for (QLineEdit* b : {txt_output_prefix, txt_time_step, txt_points})
        connect(b, &QLineEdit::textChanged, this, [this] { update_execute_for_settings(); });
    for (QLineEdit* b : {txt_root_start, txt_root_end})
        connect(b, &QLineEdit::textChanged, this, [this] { update_execute_for_roots(); });
}

void frm_ev_extract::update_root_count_rules() {
    chk_tdm_align_only->setEnabled(align_only_enabled(texts(), choices()));
    update_orbital_controls();
    chk_calc_tdm_angle->setEnabled(tdm_angle_enabled(texts()));
}

void frm_ev_extract::update_orbital_controls() {
    set_enabled({txt_orb_state1_from, txt_orb_state2_from, txt_orb_state1_to, txt_orb_state2_to,
                 lbl_orb_state1, lbl_orb_state1_to, lbl_orb_state2, lbl_orb_state2_to},
                orbital_controls_enabled(texts(), choices()));
}

void frm_ev_extract::update_execute_for_settings() {
    cmd_execute->setEnabled(!txt_output_prefix->text().isEmpty() &&
                            !txt_time_step->text().isEmpty() && !txt_points->text().isEmpty());
}

void frm_ev_extract::update_execute_for_roots() {
    cmd_execute->setEnabled(!txt_root_end->text().isEmpty() && !txt_root_start->text().isEmpty() &&
                            !txt_output_prefix->text().isEmpty() &&
                            !txt_time_step->text().isEmpty());
}

void frm_ev_extract::enable_scanned_controls(bool enabled) {
    set_enabled({lbl_output_file_name_prefix, txt_output_prefix, lbl_time_step, txt_time_step,
                 lbl_points, txt_points, lbl_root, txt_root_end, txt_root_start, txt_limit_low,
                 txt_limit_high, txtno_roots, frm_extract_mode, lbl_limits, lblno_roots,
                 opt_extractonTDM, opt_extractonLowEnergy, opt_gaussian_ordered,
                 opt_orbital_profile, chk_root_end_all, lbl_empty_slots, cbo_empty_slots},
                enabled);
}

ev_texts frm_ev_extract::texts() const {
    ev_texts t;
    t.file_start = text_of(txt_file_start);
    t.file_end = text_of(txt_file_end);
    t.interval = text_of(txt_interval);
    t.suffix = text_of(txt_File_suffix);
    t.output_prefix = text_of(txt_output_prefix);
    t.time_step = text_of(txt_time_step);
    t.points = text_of(txt_points);
    t.root_start = text_of(txt_root_start);
    t.root_end = text_of(txt_root_end);
    t.limit_low = text_of(txt_limit_low);
    t.limit_high = text_of(txt_limit_high);
    t.no_roots = text_of(txtno_roots);
    t.orb1_from = text_of(txt_orb_state1_from);
    t.orb1_to = text_of(txt_orb_state1_to);
    t.orb2_from = text_of(txt_orb_state2_from);
    t.orb2_to = text_of(txt_orb_state2_to);
    if (chk_results_table->isChecked())
        t.results_table = text_of(txt_results_table);
    if (chk_states_table->isChecked())
        t.states_table = text_of(txt_states_table);
    return t;
}

ev_choices frm_ev_extract::choices() const {
    ev_choices c;
    c.mode = opt_extractonTDM->isChecked()         ? extract_mode::max_oscillator
             : opt_extractonLowEnergy->isChecked() ? extract_mode::lowest_energy
             : opt_gaussian_ordered->isChecked()   ? extract_mode::gaussian_order
             : opt_orbital_profile->isChecked()    ? extract_mode::orbital_profile
                                                   : extract_mode::none;
    c.zipped = chk_zipped_files->isChecked();
    c.tdm_data = chk_tdm_data->isChecked();
    c.tdm_separate = chk_TDM_sep_files->isChecked();
    c.scf_energies = chk_scfenergies->isChecked();
    c.scf_cycles = chk_SCF_cycles->isChecked();
    c.orbitals = chk_orbitals->isChecked();
    c.status_log = chk_status_file->isChecked();
    c.tdm_angle = chk_calc_tdm_angle->isChecked();
    c.raw_tdms = chk_rawTDMs->isChecked();
    c.rel_tdm = chk_calc_rel_tdm->isChecked();
    c.align_only = chk_tdm_align_only->isChecked();
    c.skip_failed = chk_skip_failed->isChecked();
    c.empty_slots = cbo_empty_slots->currentIndex() == 1 ? empty_slot_rule::leave_out
                                                         : empty_slot_rule::write_limit;
    c.root_end_all = chk_root_end_all->isChecked();
    c.last_section = chk_last_section->isChecked();
    return c;
}

void frm_ev_extract::choose_file() {
    file_dialog_options options = file_button_dialog(cmd_Gaussian_files, file_purpose::read);
    // The button names the folder; in it the dialog picks any one file of the series.
    options.title = "Select a Gaussian Output File of the Series";
    const file_choice choice = services().dialogs->open_file(this, options);
    if (!choice.ok)
        return;
    const picked_file picked = pick_series_file(choice.path, choice.title);
    if (!picked.numbered) {
        services().messages->show(this, message_icon::exclamation, unnumbered_file_title,
                                  unnumbered_file_text(choice.title));
        return;
    }
    data_path_ = picked.data_path;
    txt_digits->setText(QString::number(picked.digits));
    txt_current_data_path->setText(QString::fromStdString(data_path_));
    txt_File_suffix->setText(QString::fromStdString(picked.suffix));
    txt_File_Prefix->setText(QString::fromStdString(picked.prefix));
    if (picked.compressed)
        chk_zipped_files->setChecked(true);
}

void frm_ev_extract::scan() {
    widget_job_ui ui({this, txtCurrentStatus, nullptr, nullptr, ProgressBar, {this}});
    busy_pointer hourglass(ui);
    series_ = {};
    scan_result result;
    const bool scanned = run_trapped(ui, report_form::number_form, scan_routine, [&] {
        result = scan_file_series({text_of(txt_File_Prefix), text_of(txt_File_suffix),
                                   text_of(txt_file_start), text_of(txt_file_end),
                                   text_of(txt_interval), text_of(txt_digits)},
                                  data_path_);
    });
    if (!scanned) {
        cmd_execute->setEnabled(false);
        enable_scanned_controls(false);
        return;
    }
    if (!result.valid) {
        show_scan_refusal(result, ui);
        return;
    }
    series_ = result.series;
    const std::string count = count_text(series_.file_count);
    // The counts of a run before belong to another series.
    lbl_files_processed->setText("Files Processed = 0");
    lbl_files_remaining->setText(QString::fromStdString("Files Remaining = " + count));
    ui.status("Ready to Process " + count + " Files.");
    cmd_execute->setEnabled(true);
    ProgressBar->setRange(0, std::max(0, progress_bar_value(series_.file_count)));
    ProgressBar->setValue(0);
    enable_scanned_controls(true);
}

void frm_ev_extract::choose_table(QPushButton* button, QLineEdit* path) {
    const file_choice choice = ask_for_file(button, file_purpose::overwrite);
    if (choice.ok)
        path->setText(QString::fromStdString(choice.path));
}

// A table asked for must have its file.
bool frm_ev_extract::tables_named() {
    for (auto [check, path, table] :
         {std::tuple{chk_results_table, txt_results_table, "results table"},
          std::tuple{chk_states_table, txt_states_table, "states table"}})
        if (check->isChecked() && path->text().trimmed().isEmpty()) {
            services().messages->show(this, message_icon::exclamation, "No Table File",
                                      "Choose the file of the " + std::string(table) +
                                          " first.");
            return false;
        }
    return true;
}

void frm_ev_extract::execute() {
    if (!tables_named())
        return;
    const ev_choices c = choices();
    widget_job_ui ui(
        {this, txtCurrentStatus, lbl_files_processed, lbl_files_remaining, ProgressBar, {this}});
    job_running_ = true;
    ev_outcome outcome = ev_outcome::error_report;
    ev_charts charts;
    charts_.clear();
    cmd_show_chart->setEnabled(false);
    // A box the job reads as an integer may hold no number: the job's own report.
    run_trapped(ui, report_form::number_form, ev_job_routine, [&] {
        outcome = ev_extract_job(ev_settings_from(texts(), c), series_, ui, {}, &charts);
    });
    job_running_ = false;
    if (outcome == ev_outcome::error_report) {
        close();
        return;
    }
    if (outcome != ev_outcome::completed)
        return;
    charts_.push_back(std::move(charts.energy));
    if (!charts.tdm.lines.empty())
        charts_.push_back(std::move(charts.tdm));
    cmd_show_chart->setEnabled(true);
    show_charts(this, charts_);
}

void frm_ev_extract::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_stokes_shift_tools>(this); });
}

} // namespace qm
