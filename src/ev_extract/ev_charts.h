// The time series of an extraction drawn: the energy of every root against time and, with TDM
// data, the length of the TDM of each root's chosen state (Gaussian prints the TDMs in atomic
// units). The job fills them root by root when a window asks for them.
#pragma once

#include "platform/chart_data.h"

namespace qm {

struct ev_charts {
    chart_data energy{"Excitation Energy of Each Root", "Time (fs)", "Energy (eV)", {}};
    chart_data tdm{"Transition Dipole Moment of Each Root", "Time (fs)", "|TDM| (au)", {}};
};

} // namespace qm
