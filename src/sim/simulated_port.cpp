// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/simulated_port.h"

#include "sim/simulated_bus.h"
#include "sim/simulated_modem.h"

namespace quorven::sim {

SimulatedPort::SimulatedPort(SimulatedBus& bus, QString name, int id)
    : bus_(&bus), name_(std::move(name)), id_(id) {
    bus_->attach(this);
}

SimulatedPort::~SimulatedPort() {
    if (bus_ != nullptr) {
        bus_->detach(this);
    }
}

void SimulatedPort::open() {
    if (bus_ == nullptr) {
        throw PortError(QStringLiteral("%1: the simulated bus is gone").arg(name_));
    }
    if (const auto refusal = bus_->openRefusal(name_); refusal && !isOpen()) {
        throw PortError(*refusal);
    }
    if (!isOpen()) {
        receiver_.emplace(settings_, bus_->nowTick());
        received_.clear();
        tellModemDtr();
    }
}

void SimulatedPort::close() {
    if (isOpen() && bus_ != nullptr) {
        bus_->cutTransmission(*this);
    }
    receiver_.reset();
    received_.clear();
    tellModemDtr();
}

void SimulatedPort::setDtr(bool on) {
    dtr_ = on;
    tellModemDtr();
}

void SimulatedPort::tellModemDtr() {
    if (modem_) {
        modem_->setDtr(isOpen() && dtr_);
    }
}

void SimulatedPort::setLineSettings(const LineSettings& settings) {
    settings_ = settings;
    if (receiver_) {
        receiver_->setFormat(settings);
    }
    if (modem_) {
        modem_->setDteFormat(settings);
    }
}

qint64 SimulatedPort::write(const QByteArray& bytes) {
    if (!isOpen() || bus_ == nullptr || bus_->writeRefused(name_)) {
        return -1;
    }
    if (!bytes.isEmpty()) {
        bus_->transmit(*this, bytes);
    }
    return bytes.size();
}

QByteArray SimulatedPort::read(qint64 maxCount) {
    const qsizetype count = std::clamp<qint64>(maxCount, 0, received_.size());
    QByteArray bytes = received_.left(count);
    received_.remove(0, count);
    return bytes;
}

void SimulatedPort::purgeTransmit() {
    if (isOpen() && bus_ != nullptr) {
        bus_->cutTransmission(*this);
    }
}

} // namespace quorven::sim
