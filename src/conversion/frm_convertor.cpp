#include "conversion/frm_convertor.h"

#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "shell/frm_convertor_status.h"
#include "shell/navigation.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm {
namespace {

constexpr int start_delay_ms = 500;

QTimer* start_timer(QWidget* owner, const char* name) {
    auto* timer = named(new QTimer(owner), name);
    timer->setInterval(start_delay_ms);
    timer->setSingleShot(true);
    return timer;
}

} // namespace

frm_convertor::frm_convertor(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_convertor");
    setWindowTitle("Gaussian Output Convertor");
    build_controls();
    connect_events();
}

void frm_convertor::build_controls() {
    Label1 = named(new QLabel("Stage 1"), "Label1");
    cmd_input = named(new QPushButton("Select &Input File"), "cmd_input");
    Label2 = named(new QLabel("Stage 2"), "Label2");
    cmd_output = named(new QPushButton("Select &Output File"), "cmd_output");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    cmd_return = named(new QPushButton("Return to &Main Menu"), "cmd_return");
    cmd_reset = named(new QPushButton("&Reset Form"), "cmd_reset");
    Label3 = named(new QLabel("Stage 3"), "Label3");
    frame_stage_3 = named(new QGroupBox("Select Input File Type"), "frame_stage_3");
    opt_in_g98 = named(new QRadioButton("Gaussian 98 Output File"), "opt_in_g98");
    opt_in_g94 = named(new QRadioButton("Gaussian 94 Output File"), "opt_in_g94");
    opt_in_gaussian_cart =
        named(new QRadioButton("Gaussian Input (Cartesian Coordinates)"), "opt_in_gaussian_cart");
    opt_in_xyz = named(new QRadioButton("XYZ Format"), "opt_in_xyz");
    Label4 = named(new QLabel("Stage 4"), "Label4");
    frame_stage_4 = named(new QGroupBox("Select Output File Type"), "frame_stage_4");
    opt_out_xyz = named(new QRadioButton("XYZ Format"), "opt_out_xyz");
    opt_out_pdb = named(new QRadioButton("PDB Format"), "opt_out_pdb");
    opt_out_g94 = named(new QRadioButton("Gaussian 94 Output File"), "opt_out_g94");
    lbl_multiple_geom = named(new QLabel("Extract Multiple Geometries?"), "lbl_multiple_geom");
    chk_multiple_geom = named(new QCheckBox, "chk_multiple_geom");
    opt_out_freq = named(new QRadioButton("Table of IR and Raman Frequencies"), "opt_out_freq");
    opt_out_standard_xyz =
        named(new QRadioButton("XYZ (standard, with atom count)"), "opt_out_standard_xyz");
    opt_out_standard_pdb =
        named(new QRadioButton("PDB (standard columns)"), "opt_out_standard_pdb");
    cmd_execute = named(new QPushButton("&Execute"), "cmd_execute");
    xyz_in_call_module_timer = start_timer(this, "xyz_in_call_module_timer");
    gaussian_cart_in_call_module_timer = start_timer(this, "gaussian_cart_in_call_module_timer");
    g94_in_call_module_timer = start_timer(this, "g94_in_call_module_timer");
    g98_in_call_module_timer = start_timer(this, "g98_in_call_module_timer");

    auto* inputs = new QVBoxLayout(frame_stage_3);
    for (QRadioButton* option : {opt_in_g98, opt_in_g94, opt_in_gaussian_cart, opt_in_xyz})
        inputs->addWidget(option);

    auto* multiple_row = new QHBoxLayout;
    multiple_row->addWidget(lbl_multiple_geom);
    multiple_row->addWidget(chk_multiple_geom);
    multiple_row->addStretch();
    auto* outputs = new QVBoxLayout(frame_stage_4);
    outputs->addWidget(opt_out_xyz);
    outputs->addWidget(opt_out_pdb);
    outputs->addWidget(opt_out_g94);
    outputs->addLayout(multiple_row);
    outputs->addWidget(opt_out_freq);
    outputs->addWidget(opt_out_standard_xyz);
    outputs->addWidget(opt_out_standard_pdb);

    // Stages 3 and 4 side by side, each under its heading.
    auto* types = new QGridLayout;
    types->addWidget(Label3, 0, 0);
    types->addWidget(frame_stage_3, 1, 0);
    types->addWidget(Label4, 0, 1);
    types->addWidget(frame_stage_4, 1, 1);

    auto* grid = new QGridLayout(scrolling_page(this));
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cmd_input, 0, 1);
    grid->addWidget(cmd_return, 0, 2);
    grid->addWidget(lbl_input_path, 1, 1, 1, 2);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(cmd_output, 2, 1);
    grid->addWidget(cmd_reset, 2, 2);
    grid->addWidget(lbl_output_path, 3, 1, 1, 2);
    grid->addLayout(types, 4, 0, 1, 3);
    grid->addWidget(cmd_execute, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    // A fresh window: only Select Input File, Reset Form and Return can be used.
    set_enabled({cmd_output, frame_stage_3, frame_stage_4, opt_in_g98, opt_in_g94,
                 opt_in_gaussian_cart, opt_in_xyz, opt_out_xyz, opt_out_pdb, opt_out_g94,
                 lbl_multiple_geom, chk_multiple_geom, opt_out_freq, opt_out_standard_xyz,
                 opt_out_standard_pdb, cmd_execute},
                false);
}

void frm_convertor::connect_events() {
    connect(cmd_input, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_output, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_reset, &QPushButton::clicked, this, [this] { reset_form(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { return_to_menu(); });
    connect(cmd_execute, &QPushButton::clicked, this, [this] { execute(); });
    connect(opt_in_g98, &QRadioButton::clicked, this,
            [this] { input_type_clicked(input_type::g98); });
    connect(opt_in_g94, &QRadioButton::clicked, this,
            [this] { input_type_clicked(input_type::g94); });
    connect(opt_in_gaussian_cart, &QRadioButton::clicked, this,
            [this] { input_type_clicked(input_type::gaussian_input); });
    connect(opt_in_xyz, &QRadioButton::clicked, this,
            [this] { input_type_clicked(input_type::xyz); });
    for (QRadioButton* option :
         {opt_out_xyz, opt_out_pdb, opt_out_standard_xyz, opt_out_standard_pdb}) {
        connect(option, &QRadioButton::clicked, this, [this] {
            const auto input = selected_input_type();
            if (input && multiple_allowed(*input, output_type::none))
                set_enabled({chk_multiple_geom, lbl_multiple_geom}, true);
        });
    }
    for (QRadioButton* option : {opt_out_g94, opt_out_freq}) {
        connect(option, &QRadioButton::clicked, this, [this] {
            set_enabled({chk_multiple_geom, lbl_multiple_geom}, false);
            chk_multiple_geom->setChecked(false);
        });
    }
    for (QTimer* timer : {xyz_in_call_module_timer, gaussian_cart_in_call_module_timer,
                          g94_in_call_module_timer, g98_in_call_module_timer})
        connect(timer, &QTimer::timeout, this, [this] { start_route(); });
}

void frm_convertor::reset_step() {
    cancel_pending_route();
    set_enabled({frame_stage_3, frame_stage_4, opt_out_xyz, opt_out_pdb, opt_out_g94, opt_out_freq,
                 opt_out_standard_xyz, opt_out_standard_pdb, opt_in_g98, opt_in_g94,
                 opt_in_gaussian_cart, opt_in_xyz, chk_multiple_geom, lbl_multiple_geom},
                false);
    clear_options({opt_in_g98, opt_in_g94, opt_in_gaussian_cart, opt_in_xyz});
    clear_options({opt_out_xyz, opt_out_pdb, opt_out_g94, opt_out_freq, opt_out_standard_xyz,
                   opt_out_standard_pdb});
    chk_multiple_geom->setChecked(false);
}

void frm_convertor::choose_input() {
    reset_step();
    // A cancelled dialog counts as a failed one: there is no input to go on with.
    cmd_output->setEnabled(choose_file(cmd_input, file_purpose::read, input_path_, lbl_input_path));
}

void frm_convertor::choose_output() {
    const file_choice choice = ask_for_file(cmd_output, file_purpose::overwrite);
    if (choice.ok) {
        output_path_ = choice.path;
        output_title_ = choice.title;
        lbl_output_path->set_path(output_path_);
    }
    set_enabled({frame_stage_3, frame_stage_4, opt_in_g98, opt_in_g94, opt_in_gaussian_cart,
                 opt_in_xyz, cmd_execute},
                choice.ok);
}

void frm_convertor::input_type_clicked(input_type type) {
    opt_out_g94->setEnabled(output_allowed(type, output_type::g94));
    opt_out_pdb->setEnabled(output_allowed(type, output_type::pdb));
    opt_out_xyz->setEnabled(output_allowed(type, output_type::xyz));
    opt_out_freq->setEnabled(output_allowed(type, output_type::freq));
    opt_out_standard_xyz->setEnabled(output_allowed(type, output_type::standard_xyz));
    opt_out_standard_pdb->setEnabled(output_allowed(type, output_type::standard_pdb));
    set_enabled({chk_multiple_geom, lbl_multiple_geom}, multiple_allowed(type, output_type::none));
}

std::optional<input_type> frm_convertor::selected_input_type() const {
    if (opt_in_g98->isChecked())
        return input_type::g98;
    if (opt_in_g94->isChecked())
        return input_type::g94;
    if (opt_in_gaussian_cart->isChecked())
        return input_type::gaussian_input;
    if (opt_in_xyz->isChecked())
        return input_type::xyz;
    return std::nullopt;
}

output_type frm_convertor::selected_output_type() const {
    // A disabled option may still be selected (input types change only what is enabled);
    // each route looks at the selection alone.
    if (opt_out_xyz->isChecked())
        return output_type::xyz;
    if (opt_out_pdb->isChecked())
        return output_type::pdb;
    if (opt_out_g94->isChecked())
        return output_type::g94;
    if (opt_out_freq->isChecked())
        return output_type::freq;
    if (opt_out_standard_xyz->isChecked())
        return output_type::standard_xyz;
    if (opt_out_standard_pdb->isChecked())
        return output_type::standard_pdb;
    return output_type::none;
}

QTimer* frm_convertor::timer_for(input_type type) const {
    switch (type) {
    case input_type::g98:
        return g98_in_call_module_timer;
    case input_type::g94:
        return g94_in_call_module_timer;
    case input_type::gaussian_input:
        return gaussian_cart_in_call_module_timer;
    case input_type::xyz:
        return xyz_in_call_module_timer;
    }
    return xyz_in_call_module_timer;
}

void frm_convertor::execute() {
    if (const auto type = selected_input_type()) {
        pending_ = conversion_settings{
            input_path_, output_path_,           output_title_,
            *type,       selected_output_type(), chk_multiple_geom->isChecked()};
        window_registry::instance().load<frm_convertor_status>(this);
        timer_for(*type)->start();
    }
    set_enabled({frame_stage_3, frame_stage_4, opt_out_xyz, opt_out_pdb, opt_out_g94, opt_out_freq,
                 opt_out_standard_xyz, opt_out_standard_pdb, opt_in_g98, opt_in_g94,
                 opt_in_gaussian_cart, opt_in_xyz, cmd_execute, cmd_output, chk_multiple_geom,
                 lbl_multiple_geom},
                false);
}

void frm_convertor::start_route() {
    if (!pending_)
        return;
    const conversion_settings settings = *pending_;
    pending_.reset();
    auto* status = window_registry::instance().load<frm_convertor_status>(this);
    status->job_running = true;
    job_running_ = true;
    {
        widget_job_ui ui(
            {status, status->txt_status, nullptr, nullptr, status->bar_progress, {status, this}});
        run_conversion(settings, ui);
    }
    job_running_ = false;
    status->job_running = false;
    window_registry::instance().unload<frm_convertor_status>();
}

void frm_convertor::cancel_pending_route() {
    for (QTimer* timer : {xyz_in_call_module_timer, gaussian_cart_in_call_module_timer,
                          g94_in_call_module_timer, g98_in_call_module_timer})
        timer->stop();
    if (pending_) {
        pending_.reset();
        window_registry::instance().unload<frm_convertor_status>();
    }
}

void frm_convertor::reset_form() {
    reset_step();
    set_enabled({frame_stage_3, frame_stage_4, cmd_execute, cmd_output}, false);
}

void frm_convertor::return_to_menu() {
    cancel_pending_route();
    return_to_main_menu(this);
}

void frm_convertor::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_, [this] {
        cancel_pending_route();
        show_main_menu();
    });
}

} // namespace qm
