// The libraries of the user interface, which the build delay-loads: COM and the common controls start on first need.
#pragma once

namespace tc {

// CoInitialize, then InitCommonControlsEx for the bar classes: once, before the first window, shell call or COM
// object. Every one of those runs on the thread that runs the command line, so that is the thread it serves.
void StartComAndControls();

// CoUninitialize, when StartComAndControls initialised COM.
void EndComAndControls();

}  // namespace tc
