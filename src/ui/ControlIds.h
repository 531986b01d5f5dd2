// The ids of the controls of every dialog, named by kind and purpose.
#pragma once

namespace tc {

// Size mismatch dialog.
constexpr int IDC_SIZE_MISMATCH_TEXT = 1022;
constexpr int IDB_TEMPORARY_JAD = 1013;

}  // namespace tc
