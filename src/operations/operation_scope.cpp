// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/operation_scope.h"

#include "link/mb_sio.h"

#include <type_traits>

namespace quorven {

const QString OperationScope::kRefusedNote =
    QStringLiteral("Another operation is running; wait for it to end or press Stop.");

OperationScope::OperationScope(RunState& run, Indicators& indicators, Entry entry)
    : run_(run), indicators_(indicators) {
    if (run_.busy) {
        if (entry != Entry::Tick) {
            indicators_.ShowNote(kRefusedNote);
        }
        return;
    }
    owns_ = true;
    run_.busy = true;
    if (entry == Entry::Command) {
        run_.stop = false;
    }
    showsBusy_ = entry != Entry::TableEdit;
    if (showsBusy_) {
        indicators_.ShowBusy(true);
    }
}

OperationScope::~OperationScope() {
    if (!owns_) {
        return;
    }
    run_.busy = false;
    if (abandoned_) {
        indicators_.ShowBusy(false);
    } else if (showsBusy_) {
        indicators_.ShowBusy((run_.polling || run_.logging) && !run_.stop);
    }
}

// Leaving an operation never throws, on any way out.
static_assert(std::is_nothrow_destructible_v<OperationScope>);

void OperationScope::Abandon(TMB_Sio* link) {
    abandoned_ = true;
    if (link != nullptr && link->IsPortOpen() && !run_.modemConnected) {
        link->ClosePort();
    }
}

} // namespace quorven
