#include "amber/frm_mdcrd_strip.h"

#include "amber/mdcrd_strip.h"
#include "amber/prmtop.h"
#include "platform/qt/key_filter.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_layout.h"
#include "platform/qt/window_registry.h"
#include "platform/run_error.h"
#include "platform/val.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/navigation.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace qm {

frm_mdcrd_strip::frm_mdcrd_strip(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_mdcrd_strip");
    setWindowTitle("Amber MDCRD Atom Stripper");
    build_controls();
    lay_out();

    connect(cmd_Input_Files, &QPushButton::clicked, this, [this] { choose_input(); });
    connect(cmd_Output, &QPushButton::clicked, this, [this] { choose_output(); });
    connect(cmd_Topology, &QPushButton::clicked, this, [this] { choose_topology(); });
    connect(cmd_kept_atoms, &QPushButton::clicked, this, [this] {
        choose_file(cmd_kept_atoms, file_purpose::overwrite, kept_atoms_path_, lbl_kept_atoms_path);
    });
    connect(txt_mask, &QLineEdit::textChanged, this, [this] { update_execute(); });
    connect(cmdExecute, &QPushButton::clicked, this, [this] { execute(); });
    connect(cmd_return, &QPushButton::clicked, this, [this] { close(); });
}

void frm_mdcrd_strip::build_controls() {
    lbl_Title = named(new QLabel("This module will extract ranges of atoms from an mdcrd file and "
                                 "write a new mdcrd file.  Note - this file will be useless "
                                 "without a matching topology file.  An example of it's usage "
                                 "is for stripping water from an mdcrd file."),
                      "lbl_Title");
    lbl_Title->setWordWrap(true);
    lbl_Stage1 = named(new QLabel("Stage 1:"), "lbl_Stage1");
    cmd_Input_Files = named(new QPushButton("Select  &Input Trajectory File"), "cmd_Input_Files");
    Label1 = named(new QLabel("Stage 2:"), "Label1");
    cmd_Output = named(new QPushButton("Select &Output Trajectory File"), "cmd_Output");
    lbl_input_path = new path_label("lbl_input_path");
    lbl_output_path = new path_label("lbl_output_path");
    lblStage3 = named(new QLabel("Stage 3 - Enter Total Number of Atoms in Original MDCRD File:"),
                      "lblStage3");
    txt_orig_no_atoms = named(new QLineEdit("1"), "txt_orig_no_atoms");
    lblRange1 = named(new QLabel("Stage 4 - Atoms to Keep : (Inclusive)   "), "lblRange1");
    lblStartAtom = named(new QLabel("Start Atom:"), "lblStartAtom");
    txtStartAtom = named(new QLineEdit("1"), "txtStartAtom");
    lblEnd_Atom = named(new QLabel("End Atom:"), "lblEnd_Atom");
    txtEndAtom = named(new QLineEdit("1"), "txtEndAtom");
    chk_BoxInfo = named(new QCheckBox("Preserve Box Info?"), "chk_BoxInfo");
    chk_BoxInfo->setToolTip(
        "Warning - Preserving the box info can break certain programs such as VMD.");
    cmd_Topology = named(new QPushButton("Select &Topology File (prmtop)"), "cmd_Topology");
    lbl_topology_path = new path_label("lbl_topology_path");
    lbl_mask = named(new QLabel("Or Atoms to Keep by Amber Mask (e.g. !:WAT):"), "lbl_mask");
    txt_mask = named(new QLineEdit, "txt_mask");
    txt_mask->setToolTip("Residues :1-25,30 or :WAT,Na+,Cl-; atoms @CA,CB or @1-100; "
                         ":1-5@CA; !:WAT; A & B, A | B. Used instead of the range when filled.");
    lbl_output_format = named(new QLabel("Output Layout:"), "lbl_output_format");
    cbo_output_format = named(new QComboBox, "cbo_output_format");
    // In the order of trajectory_format.
    cbo_output_format->addItems({"By Output Name (.nc is NetCDF)", "Text MDCRD", "Amber NetCDF"});
    cmd_kept_atoms =
        named(new QPushButton("Select Kept Atom &Numbers File (optional)"), "cmd_kept_atoms");
    lbl_kept_atoms_path = new path_label("lbl_kept_atoms_path");
    cmdExecute = named(new QPushButton("&Execute"), "cmdExecute");
    cmd_return = named(new QPushButton("&Return to Stokes Shift Menu"), "cmd_return");
    Frame1 = named(new QGroupBox("Current Status"), "Frame1");
    lbl_bytes_processed = named(new QLabel("Bytes Processed = 0"), "lbl_bytes_processed");
    lbl_bytes_remaining = named(new QLabel("Bytes Remaining = 0"), "lbl_bytes_remaining");
    lblTimeRemaining = named(new QLabel("Estimated Time Remaining:"), "lblTimeRemaining");
    Label3 = named(new QLabel("File Progress"), "Label3");
    ProgressBar = progress_bar("ProgressBar", 100);
    Label7 = named(new QLabel("0%"), "Label7");
    Label8 = named(new QLabel("100%"), "Label8");
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Typed keys go through the key filter (which beeps); the validator keeps a pasted text to
    // digits as well.
    filter_typed_keys({txt_orig_no_atoms, txtStartAtom, txtEndAtom}, accepts_atom_number_key);
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* box : {txt_orig_no_atoms, txtStartAtom, txtEndAtom}) {
        box->setValidator(new QRegularExpressionValidator(digits, box));
        box->setMaximumWidth(120);
        connect(box, &QLineEdit::textChanged, this, [this] { update_execute(); });
    }
    set_enabled({cmd_Output, txt_orig_no_atoms, txtStartAtom, txtEndAtom, cmdExecute, cmd_Topology,
                 txt_mask, cbo_output_format, cmd_kept_atoms},
                false);
}

void frm_mdcrd_strip::lay_out() {
    auto* stages = new QGridLayout;
    stages->addWidget(lbl_Stage1, 0, 0);
    stages->addWidget(cmd_Input_Files, 0, 1);
    stages->addWidget(lbl_input_path, 0, 2, 1, 2);
    stages->addWidget(Label1, 1, 0);
    stages->addWidget(cmd_Output, 1, 1);
    stages->addWidget(lbl_output_path, 1, 2, 1, 2);
    stages->addWidget(lblStage3, 2, 0, 1, 3);
    // Aligned, so their narrow boxes never narrow the columns of the paths shown above.
    stages->addWidget(txt_orig_no_atoms, 2, 3, Qt::AlignLeft);
    stages->addWidget(lblRange1, 3, 0, 1, 4);
    stages->addWidget(lblStartAtom, 4, 0);
    stages->addWidget(txtStartAtom, 4, 1, Qt::AlignLeft);
    stages->addWidget(lblEnd_Atom, 4, 2);
    stages->addWidget(txtEndAtom, 4, 3, Qt::AlignLeft);
    stages->addWidget(cmd_Topology, 5, 0, 1, 2);
    stages->addWidget(lbl_topology_path, 5, 2, 1, 2);
    stages->addWidget(lbl_mask, 6, 0, 1, 2);
    stages->addWidget(txt_mask, 6, 2, 1, 2);
    stages->addWidget(chk_BoxInfo, 7, 0, 1, 4);
    stages->addWidget(lbl_output_format, 8, 0);
    stages->addWidget(cbo_output_format, 8, 1, 1, 3, Qt::AlignLeft);
    stages->addWidget(cmd_kept_atoms, 9, 0, 1, 2);
    stages->addWidget(lbl_kept_atoms_path, 9, 2, 1, 2);

    auto* status = new QGridLayout(Frame1);
    status->addWidget(lbl_bytes_processed, 0, 0, 1, 3);
    status->addWidget(lbl_bytes_remaining, 1, 0, 1, 3);
    status->addWidget(lblTimeRemaining, 2, 0, 1, 3);
    status->addWidget(Label3, 3, 0, 1, 3);
    status->addWidget(ProgressBar, 4, 0, 1, 3);
    status->addWidget(Label7, 5, 0);
    status->addWidget(Label8, 5, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdExecute);
    buttons->addWidget(cmd_return);

    auto* page = new QVBoxLayout(scrolling_page(this));
    page->addWidget(lbl_Title);
    page->addLayout(stages);
    page->addWidget(Frame1);
    page->addLayout(buttons);
    resize(520, 0);
}

void frm_mdcrd_strip::choose_input() {
    // A cancelled dialog changes nothing.
    if (!choose_file(cmd_Input_Files, file_purpose::read, input_path_, lbl_input_path))
        return;
    cmd_Output->setEnabled(true);
    // A NetCDF trajectory knows its atom count: the box shows it.
    if (const std::uint64_t atoms = netcdf_atom_count(input_path_); atoms > 0)
        txt_orig_no_atoms->setText(QString::number(atoms));
}

// The topology's atom count goes into the count box; a file that is no topology leaves the box
// as it is, and Execute reports what is wrong with it.
void frm_mdcrd_strip::choose_topology() {
    if (!choose_file(cmd_Topology, file_purpose::read, topology_path_, lbl_topology_path))
        return;
    try {
        txt_orig_no_atoms->setText(QString::number(read_prmtop(topology_path_).atoms()));
    } catch (const run_error&) {
    }
    update_execute();
}

void frm_mdcrd_strip::choose_output() {
    if (!choose_file(cmd_Output, file_purpose::overwrite, output_path_, lbl_output_path))
        return;
    set_enabled({txt_orig_no_atoms, txtStartAtom, txtEndAtom, chk_BoxInfo, cmd_Topology, txt_mask,
                 cbo_output_format, cmd_kept_atoms},
                true);
    update_execute();
}

// The same rule after the output is chosen and after every change of a box, so a range that
// does not fit (start after end, end beyond the atom count) never enables Execute. A mask takes
// the range's place and needs the topology.
void frm_mdcrd_strip::update_execute() {
    const std::string total = txt_orig_no_atoms->text().toStdString();
    const bool usable = txt_mask->text().trimmed().isEmpty()
                            ? atom_range_usable(total, txtStartAtom->text().toStdString(),
                                                txtEndAtom->text().toStdString())
                            : mask_selection_usable(total, !topology_path_.empty());
    cmdExecute->setEnabled(!output_path_.empty() && txt_orig_no_atoms->isEnabled() &&
                           !job_running_ && usable);
}

void frm_mdcrd_strip::execute() {
    mdcrd_strip_settings settings{input_path_,
                                  output_path_,
                                  whole_number_from_text(txt_orig_no_atoms->text().toStdString()),
                                  whole_number_from_text(txtStartAtom->text().toStdString()),
                                  whole_number_from_text(txtEndAtom->text().toStdString()),
                                  chk_BoxInfo->isChecked()};
    settings.mask = txt_mask->text().trimmed().toStdString();
    if (!settings.mask.empty())
        settings.topology = topology_path_;
    settings.output_format = static_cast<trajectory_format>(cbo_output_format->currentIndex());
    settings.kept_atom_numbers = kept_atoms_path_;
    widget_job_ui ui(
        {this, nullptr, lbl_bytes_processed, lbl_bytes_remaining, ProgressBar, {this}});
    job_running_ = true;
    cmdExecute->setEnabled(false);
    const mdcrd_strip_outcome outcome = strip_mdcrd_atoms(settings, ui);
    job_running_ = false;
    if (outcome == mdcrd_strip_outcome::completed) {
        // The user starts again from Select Input Trajectory File.
        set_enabled({cmd_Output, txt_orig_no_atoms, txtEndAtom, txtStartAtom, cmdExecute,
                     chk_BoxInfo, cmd_Topology, txt_mask, cbo_output_format, cmd_kept_atoms},
                    false);
        return;
    }
    update_execute();
}

void frm_mdcrd_strip::closeEvent(QCloseEvent* event) {
    close_tool_window(event, job_running_,
                      [this] { window_registry::instance().load<frm_Amber_Tools>(this); });
}

} // namespace qm
