// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/port_factory.h"
#include "link/port_map.h"

#include <functional>
#include <set>

namespace quorven {

// The ports of the program: each name resolved through the port map to a
// system device, a gateway over TCP or, for names mapped to "sim", the
// simulated bus that the application hands in. The ports it hands out must
// not outlive it.
class SystemPortFactory final : public PortFactory {
public:
    // simulated may be null: a name mapped to the simulated bus then cannot be opened.
    SystemPortFactory(Clock& clock, PortMap map, PortFactory* simulated = nullptr);

    std::unique_ptr<SerialPort> createPort(const QString& name) override;

    const PortMap& map() const { return map_; }

    // Lines for the user from the ports: a speed the gateway does not take,
    // once per port name. (A port's faults go to the link that uses it.)
    std::function<void(const QString&)> onNotice;

private:
    void notice(const QString& line) const;

    Clock& clock_;
    PortMap map_;
    PortFactory* simulated_;
    std::set<int> speedNoted_;
};

} // namespace quorven
