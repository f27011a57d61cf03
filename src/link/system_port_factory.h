#pragma once

#include "link/port_factory.h"
#include "link/port_map.h"

namespace quorven {

// The ports of the program: each name resolved through the port map to a
// system device or, for names mapped to "sim", to the simulated bus that the
// application hands in.
class SystemPortFactory final : public PortFactory {
public:
    // simulated may be null: a name mapped to the simulated bus then cannot be opened.
    explicit SystemPortFactory(PortMap map, PortFactory* simulated = nullptr);

    std::unique_ptr<SerialPort> createPort(const QString& name) override;

    const PortMap& map() const { return map_; }

private:
    PortMap map_;
    PortFactory* simulated_;
};

} // namespace quorven
