// SPDX-License-Identifier: GPL-3.0-or-later
// The link layer against the simulated bus, end to end on virtual time: the
// link scripts in link-scripts/ (commands in common/link_script.h), each on
// the bus of the meters file of its name, or on the demonstration bus. They
// show the FCB of a multi-telegram read, collisions, selection and the
// meter's baud rate.
#include "common/link_script.h"
#include "sim/bus_file.h"
#include "sim/simulated_bus.h"

#include <QDir>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestLinkOnBus : public QObject {
    Q_OBJECT
private slots:
    void script_data();
    void script();
};

void TestLinkOnBus::script_data() {
    QTest::addColumn<QString>("base");
    const QDir dir(QStringLiteral(QUORVEN_SOURCE_DIR "/tests/sim/link-scripts"));
    const QStringList scripts = dir.entryList({"*.script"}, QDir::Files, QDir::Name);
    QVERIFY(scripts.size() >= 4);
    for (const QString& name : scripts) {
        QTest::newRow(qPrintable(name)) << dir.filePath(name.chopped(7));
    }
}

void TestLinkOnBus::script() {
    QFETCH(QString, base);
    sim::BusDescription bus = sim::DemoBusDescription();
    QString error;
    if (QFile::exists(base + ".json")) {
        const auto loaded = sim::LoadBusFile(base + ".json", &error);
        QVERIFY2(loaded, qPrintable(error));
        bus = *loaded;
    }
    CompareLinkScript(
        base, [&bus](Clock& clock) { return std::make_unique<sim::SimulatedBus>(clock, bus); });
}

QTEST_GUILESS_MAIN(TestLinkOnBus)
#include "test_link_on_bus.moc"
