// The main menu's pictures, drawn by the program itself: the start picture shown when the menu
// loads and the four pictures 101 to 104 that the picture timer cycles through.
#pragma once

#include <QPixmap>

namespace qm {

// 225 x 161 pixels: a benzene ring over the program's name.
QPixmap start_picture();

// 101 ball-and-stick molecule, 102 absorption and emission bands, 103 a trajectory in its
// periodic box (all 222 x 162), 104 two transition dipole vectors and their angle (222 x 160).
// A null pixmap for any other number.
QPixmap menu_picture(int number);

// The two small pictures beside the Time Conversion Tool's file buttons (56 x 56, on a clear
// ground).
enum class time_drawing { clock, hourglass };
QPixmap time_picture(time_drawing drawing);

} // namespace qm
