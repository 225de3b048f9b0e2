// "Gaussian Output Convertor": the Output Conversion/Extraction window.
#pragma once

#include <QWidget>

namespace qm {

class frm_convertor : public QWidget {
    Q_OBJECT
public:
    explicit frm_convertor(QWidget* parent = nullptr);
};

} // namespace qm
