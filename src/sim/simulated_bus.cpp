// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/simulated_bus.h"

#include "sim/bus_file.h"
#include "sim/simulated_modem.h"
#include "sim/simulated_port.h"

#include <algorithm>
#include <cmath>

namespace quorven::sim {

namespace {

constexpr int kLineOwner = 0; // meters and the line itself

LineSettings MeterFormat(qint32 baud, Parity parity) {
    LineSettings format;
    format.baudRate = baud;
    format.dataBits = 8;
    format.parity = parity;
    format.stopBits = 1;
    return format;
}

Tick ReplyDelay(const SimulatedMeter& meter) {
    return std::llround(meter.replyDelayMs() * static_cast<double>(kTicksPerMs));
}

} // namespace

SimulatedBus::SimulatedBus(Clock& clock, BusDescription description)
    : clock_(clock), description_(std::move(description)), timer_(clock.createTimer()) {
    const Tick now = nowTick();
    for (const MeterDescription& meter : description_.meters) {
        meters_.emplace_back(meter);
        if (meters_.back().speaksMBus()) {
            join(meters_.size() - 1, Parity::Even, now);
        }
        if (meters_.back().speaksStx()) {
            join(meters_.size() - 1, Parity::Odd, now);
        }
    }
    timer_->setSingleShot(true);
    timer_->setCallback([this] { run(); });
    faultUsed_.assign(description_.faults.size(), false);
    for (std::size_t i = 0; i < description_.faults.size(); ++i) {
        const qint64 due = std::max<qint64>(0, description_.faults[i].atMs - clock_.now());
        faultTimers_.push_back(clock_.callAfter(due, [this, i] { startFault(i); }));
    }
}

void SimulatedBus::join(std::size_t meter, Parity parity, Tick now) {
    const qint32 baud = meters_[meter].baud();
    auto group = std::find_if(listeners_.begin(), listeners_.end(), [&](const Listeners& l) {
        return l.baud == baud && l.parity == parity;
    });
    if (group == listeners_.end()) {
        listeners_.push_back(Listeners{baud,
                                       parity,
                                       UartReceiver(MeterFormat(baud, parity), now),
                                       MasterFrameAssembler{},
                                       StxRequestAssembler{},
                                       {}});
        group = listeners_.end() - 1;
    }
    group->meters.push_back(meter);
}

SimulatedBus::~SimulatedBus() {
    for (SimulatedPort* port : ports_) {
        port->receiver_.reset();
        port->received_.clear();
        port->modem_.reset();
        port->bus_ = nullptr;
    }
}

std::unique_ptr<SimulatedBus> SimulatedBus::fromFile(Clock& clock, const QString& path,
                                                     QString* error) {
    auto description = LoadBusFile(path, error);
    if (!description) {
        return nullptr;
    }
    return std::make_unique<SimulatedBus>(clock, std::move(*description));
}

std::unique_ptr<SimulatedBus> SimulatedBus::demo(Clock& clock) {
    return std::make_unique<SimulatedBus>(clock, DemoBusDescription());
}

std::unique_ptr<SerialPort> SimulatedBus::createPort(const QString& name) {
    auto port = std::make_unique<SimulatedPort>(*this, name, nextPortId_++);
    if (hasModem(name)) {
        SimulatedPort* p = port.get();
        // The modem goes with its port; the port forgets the bus when the bus goes.
        const auto changed = [p] {
            if (p->bus_ != nullptr) {
                p->bus_->schedule();
            }
        };
        const auto trace = [p](const QString& line) {
            if (p->bus_ != nullptr && p->bus_->onModemTrace) {
                const auto handler = p->bus_->onModemTrace;
                handler(line);
            }
        };
        // The far modem's bytes on the bus are told apart from the port's own.
        p->modem_ =
            std::make_unique<SimulatedModem>(clock_, *description_.modem, -p->id_, changed, trace);
        p->modem_->setDteFormat(p->settings_);
    }
    return port;
}

bool SimulatedBus::hasModem(const QString& portName) const {
    return description_.modem &&
           (description_.modem->port.isEmpty() ||
            description_.modem->port.compare(portName, Qt::CaseInsensitive) == 0);
}

void SimulatedBus::attach(SimulatedPort* port) {
    ports_.push_back(port);
}

void SimulatedBus::detach(SimulatedPort* port) {
    cutTransmission(*port);
    std::erase(ports_, port);
}

SimulatedPort* SimulatedBus::portById(int id) const {
    const auto it = std::find_if(ports_.begin(), ports_.end(),
                                 [id](const SimulatedPort* port) { return port->id_ == id; });
    return it == ports_.end() ? nullptr : *it;
}

void SimulatedBus::transmit(SimulatedPort& port, const QByteArray& bytes) {
    const Tick start = std::max(nowTick(), port.transmitUntil_);
    Transmission sent(start, port.settings_, bytes, port.id_);
    const Tick end = sent.end();
    port.transmitUntil_ = end;
    if (port.modem_) {
        port.modem_->fromDte().add(std::move(sent));
    } else {
        sendToMeters(std::move(sent));
        if (!description_.noise.isEmpty()) {
            toMaster_.add(Transmission(end, port.settings_, description_.noise, kLineOwner));
        }
    }
    schedule();
}

void SimulatedBus::sendToMeters(Transmission sent) {
    if (description_.echo) {
        toMaster_.add(sent);
    }
    toMeters_.add(std::move(sent));
}

void SimulatedBus::cutTransmission(SimulatedPort& port) {
    const Tick now = nowTick();
    WireLine& sending = port.modem_ ? port.modem_->fromDte() : toMeters_;
    sending.cutOwner(port.id_, now);
    toMaster_.cutOwner(port.id_, now);
    port.transmitUntil_ = std::min(port.transmitUntil_, sending.lastEnd(port.id_).value_or(now));
    schedule();
}

void SimulatedBus::run() {
    const Tick now = nowTick();
    modemsHearPorts(now);
    metersHear(now);
    modemsHearBus(now);
    const std::vector<Notice> notices = portsReceive(now);
    forgetPast(now);
    schedule();
    deliver(notices);
}

void SimulatedBus::modemsHearPorts(Tick now) {
    for (SimulatedPort* port : ports_) {
        if (port->modem_) {
            for (Transmission& sent : port->modem_->hearDte(now)) {
                sendToMeters(std::move(sent));
            }
        }
    }
}

void SimulatedBus::modemsHearBus(Tick now) {
    for (SimulatedPort* port : ports_) {
        if (port->modem_) {
            port->modem_->hearBus(toMaster_, now);
        }
    }
}

const WireLine& SimulatedBus::lineToPort(const SimulatedPort& port) const {
    return port.modem_ ? port.modem_->toDte() : toMaster_;
}

void SimulatedBus::metersHear(Tick now) {
    for (Listeners& group : listeners_) {
        for (const ReceivedCharacter& character : group.receiver.receiveUntil(toMeters_, now)) {
            if (group.parity == Parity::Odd) {
                if (const auto request = group.stxAssembler.push(character)) {
                    hearStx(group, *request);
                }
            } else if (const auto frame = group.assembler.push(character)) {
                hearFrame(group, *frame);
            }
        }
    }
}

void SimulatedBus::hearFrame(const Listeners& group, const MasterFrame& frame) {
    for (std::size_t index : group.meters) {
        SimulatedMeter& meter = meters_[index];
        if (auto answer = meter.hear(frame)) {
            toMaster_.add(Transmission(frame.end + ReplyDelay(meter),
                                       MeterFormat(meter.baud(), group.parity), std::move(*answer),
                                       kLineOwner));
        }
    }
}

void SimulatedBus::hearStx(const Listeners& group, const StxRequest& request) {
    for (std::size_t index : group.meters) {
        const SimulatedMeter& meter = meters_[index];
        if (auto answer = meter.hearStx(request)) {
            toMaster_.add(Transmission(request.end + ReplyDelay(meter),
                                       MeterFormat(meter.baud(), group.parity), std::move(*answer),
                                       kLineOwner));
        }
    }
}

std::vector<SimulatedBus::Notice> SimulatedBus::portsReceive(Tick now) {
    std::vector<Notice> notices;
    for (SimulatedPort* port : ports_) {
        if (!port->receiver_) {
            continue;
        }
        const auto characters = port->receiver_->receiveUntil(lineToPort(*port), now);
        if (characters.empty()) {
            continue;
        }
        Notice notice{port->id_, {}};
        for (const ReceivedCharacter& character : characters) {
            const bool kept = port->received_.size() < SimulatedPort::kReceiveBufferBytes;
            if (kept) {
                port->received_.append(static_cast<char>(character.byte));
            }
            if (character.errors != 0 || !kept) {
                notice.lineErrors.push_back(kept ? character.errors : 0);
            }
        }
        notices.push_back(std::move(notice));
    }
    return notices;
}

void SimulatedBus::deliver(const std::vector<Notice>& notices) {
    // A handler may write, close, pump the clock or destroy ports: look each
    // port up again and call copies of its handlers.
    for (const Notice& notice : notices) {
        for (std::uint8_t errors : notice.lineErrors) {
            SimulatedPort* port = portById(notice.port);
            if (port == nullptr || !port->isOpen() || !port->onLineError) {
                break;
            }
            const auto handler = port->onLineError;
            handler(errors);
        }
        SimulatedPort* port = portById(notice.port);
        if (port != nullptr && port->isOpen() && port->onBytesReceived &&
            port->bytesAvailable() > 0) {
            const auto handler = port->onBytesReceived;
            handler(port->bytesAvailable());
        }
    }
}

void SimulatedBus::forgetPast(Tick now) {
    Tick heardUpTo = now;
    for (const Listeners& group : listeners_) {
        heardUpTo = std::min(heardUpTo, group.receiver.position());
    }
    toMeters_.forgetBefore(heardUpTo);
    Tick receivedUpTo = now;
    for (const SimulatedPort* port : ports_) {
        const std::optional<Tick> position =
            port->receiver_ ? std::optional<Tick>(port->receiver_->position()) : std::nullopt;
        if (port->modem_) {
            port->modem_->forgetBefore(position.value_or(now));
            receivedUpTo = std::min(receivedUpTo, port->modem_->busPosition().value_or(now));
        } else if (position) {
            receivedUpTo = std::min(receivedUpTo, *position);
        }
    }
    toMaster_.forgetBefore(receivedUpTo);
}

bool SimulatedBus::faultActive(const FaultDescription& fault, const QString& portName) const {
    const qint64 now = clock_.now();
    return fault.port.compare(portName, Qt::CaseInsensitive) == 0 && now >= fault.atMs &&
           now < fault.atMs + fault.forMs;
}

void SimulatedBus::startFault(std::size_t index) {
    const FaultDescription& fault = description_.faults[index];
    if (fault.kind == FaultKind::WriteFails) {
        return;
    }
    const QString text = fault.kind == FaultKind::Unplug
                             ? QStringLiteral("%1 is gone: the converter was unplugged")
                             : QStringLiteral("%1: connection lost: closed by the gateway");
    std::vector<int> failing;
    for (const SimulatedPort* port : ports_) {
        if (port->isOpen() && port->name_.compare(fault.port, Qt::CaseInsensitive) == 0) {
            failing.push_back(port->id_);
        }
    }
    // A handler may close, open or destroy ports: each is looked up again.
    for (int id : failing) {
        SimulatedPort* port = portById(id);
        if (port == nullptr || !port->isOpen()) {
            continue;
        }
        port->close();
        if (port->onPortFault) {
            const auto handler = port->onPortFault;
            handler(text.arg(port->name_));
        }
    }
}

std::optional<QString> SimulatedBus::openRefusal(const QString& portName) const {
    for (const FaultDescription& fault : description_.faults) {
        if (fault.kind != FaultKind::WriteFails && faultActive(fault, portName)) {
            return fault.kind == FaultKind::Unplug
                       ? QStringLiteral("%1 cannot be opened: the converter is unplugged")
                             .arg(portName)
                       : QStringLiteral("%1 cannot be opened: Connection refused").arg(portName);
        }
    }
    return std::nullopt;
}

bool SimulatedBus::writeRefused(const QString& portName) {
    for (std::size_t i = 0; i < description_.faults.size(); ++i) {
        const FaultDescription& fault = description_.faults[i];
        if (fault.kind != FaultKind::WriteFails ||
            fault.port.compare(portName, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (fault.forMs > 0 && faultActive(fault, portName)) {
            return true;
        }
        if (fault.forMs == 0 && !faultUsed_[i] && clock_.now() >= fault.atMs) {
            faultUsed_[i] = true;
            return true;
        }
    }
    return false;
}

void SimulatedBus::schedule() {
    std::optional<Tick> due;
    const auto consider = [&due](const std::optional<Tick>& next) {
        if (next && (!due || *next < *due)) {
            due = next;
        }
    };
    const auto end = [](const std::optional<ReceivedCharacter>& next) {
        return next ? std::optional<Tick>(next->end) : std::nullopt;
    };
    for (const Listeners& group : listeners_) {
        consider(end(group.receiver.peek(toMeters_)));
    }
    for (const SimulatedPort* port : ports_) {
        if (port->modem_) {
            consider(port->modem_->nextDue(toMaster_));
        }
        if (port->receiver_) {
            consider(end(port->receiver_->peek(lineToPort(*port))));
        }
    }
    if (!due) {
        timer_->stop();
        return;
    }
    timer_->start(std::max<qint64>(0, TickToMsCeil(*due) - clock_.now()));
}

} // namespace quorven::sim
