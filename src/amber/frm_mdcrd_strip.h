// "Amber MDCRD Atom Stripper": choose the input trajectory, then the output, enter the atom
// count and the range to keep, and Execute writes the stripped trajectory. Opened from the
// Amber tools sub-menu, which it shows again when it is unloaded. Beside the range, a topology
// and an Amber mask may choose the atoms; a NetCDF input fills in its own atom count, and the
// output's layout follows its name or the layout chosen.
#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class path_label;

class frm_mdcrd_strip : public QWidget {
    Q_OBJECT
public:
    explicit frm_mdcrd_strip(QWidget* parent = nullptr);

    QLabel* lbl_Title;
    QLabel* lbl_Stage1;
    QPushButton* cmd_Input_Files;
    QLabel* Label1;
    QPushButton* cmd_Output;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QLabel* lblStage3;
    QLineEdit* txt_orig_no_atoms;
    QLabel* lblRange1;
    QLabel* lblStartAtom;
    QLineEdit* txtStartAtom;
    QLabel* lblEnd_Atom;
    QLineEdit* txtEndAtom;
    QCheckBox* chk_BoxInfo;
    QPushButton* cmd_Topology;
    path_label* lbl_topology_path;
    QLabel* lbl_mask;
    QLineEdit* txt_mask;
    QLabel* lbl_output_format;
    QComboBox* cbo_output_format;
    QPushButton* cmd_kept_atoms;
    path_label* lbl_kept_atoms_path;
    QPushButton* cmdExecute;
    QPushButton* cmd_return;
    QGroupBox* Frame1;
    QLabel* lbl_bytes_processed;
    QLabel* lbl_bytes_remaining;
    QLabel* lblTimeRemaining;
    QLabel* Label3;
    QProgressBar* ProgressBar;
    QLabel* Label7;
    QLabel* Label8;

    const std::string& input_path() const { return input_path_; }
    const std::string& output_path() const { return output_path_; }
    const std::string& topology_path() const { return topology_path_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void lay_out();
    void choose_input();
    void choose_output();
    void choose_topology();
    void update_execute();
    void execute();

    std::string input_path_;
    std::string output_path_;
    std::string topology_path_;
    std::string kept_atoms_path_;
    bool job_running_ = false;
};

} // namespace qm
