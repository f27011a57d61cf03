// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/meter_reading.h"
#include "publish/outgoing_message.h"

#include <QList>
#include <QString>

namespace quorven {

// Home Assistant's discovery: one retained configuration message per numeric
// record of a kind it knows (energy, volume, power, volume flow,
// temperatures), with its device class, state class and unit, so the meter
// appears without any setup. stateTopic is the meter's topic, statusTopic the
// station's "online"/"offline".
QList<OutgoingMessage> DiscoveryMessages(const MeterReading& reading, const QString& stateTopic,
                                         const QString& statusTopic, const QString& site);

} // namespace quorven
