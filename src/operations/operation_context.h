// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "interpret/interpreter.h"
#include "link/clock.h"
#include "link/mb_sio.h"
#include "link/trace.h"
#include "operations/data_table_filling.h"
#include "operations/indicators.h"
#include "operations/link_reporter.h"
#include "operations/options.h"
#include "operations/prompter.h"
#include "operations/read_context.h"
#include "operations/run_state.h"
#include "operations/wall_clock.h"
#include "tables/tables.h"

namespace quorven {

// What an operation family works on: the link and what reports around its
// exchanges, the interpretation and the data-table filling, the tables, the
// trace, the user, the options, the shared run state and read context, and
// the indicators. The station owns every part and hands the families this.
struct OperationContext {
    Clock& clock;
    TMB_Sio& link;
    LinkReporter& reporter;
    Interpreter& interpreter;
    DataTableFilling& filling;
    Tables& tables;
    Trace& trace;
    Prompter& prompter;
    Options& options;
    RunState& run;
    ReadContext& read;
    Indicators& indicators;
    const WallClock& wallClock;
};

} // namespace quorven
