// The feed-point tools: for a concrete wire fed at a concrete point, the
// currents and impedances on every band, the currents at one frequency, the
// impedance of a current sum, and a scan of the feed position. One window
// type serves all four; its caption tells the mode.
//
// Everything here works on plain records: the window's field texts, the
// main-form values the tools read, and the language and decimal separator
// of the moment. Questions go through an Asker; the callers apply the
// returned texts and main-form changes.
//
// The parts, each in its own header: the window's modes and captions, the
// checks of one feed point, the report the all-bands check hands over, and
// the scan of the feed position.
#pragma once

#include "session/feedpoint_checks.h"
#include "session/feedpoint_report.h"
#include "session/feedpoint_scan.h"
#include "session/feedpoint_window.h"
