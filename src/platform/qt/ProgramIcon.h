#pragma once

#include <QIcon>

namespace orv {

// The program's icon, drawn at run time so that the repository holds no image file: a blue
// page with a bold capital U umlaut (the program turns names into German) over the three
// stripes black, red and gold.
QIcon program_icon();

} // namespace orv
