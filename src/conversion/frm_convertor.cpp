#include "conversion/frm_convertor.h"

namespace qm {

frm_convertor::frm_convertor(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_convertor");
    setWindowTitle("Gaussian Output Convertor");
}

} // namespace qm
