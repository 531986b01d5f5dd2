// Every dialog of the program, one function each.
#pragma once

#include "catalogue/Context.h"

namespace tc {

// "Tessaly Corvalo Setup": manage the starters of both kinds; 1 when the user pressed OK.
int RunSetupDialog(Context& context, WindowId owner);

}  // namespace tc
