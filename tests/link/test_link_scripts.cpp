// SPDX-License-Identifier: GPL-3.0-or-later
// The link layer's exchanges on a scripted line: every script in scripts/
// (the commands are described in common/link_script.h).
#include "common/link_script.h"

#include <QDir>
#include <QTest>

using namespace quorven;
using namespace quorven::testing;

class TestLinkScripts : public QObject {
    Q_OBJECT
private slots:
    void script_data();
    void script();
};

void TestLinkScripts::script_data() {
    QTest::addColumn<QString>("base");
    const QDir dir(QStringLiteral(QUORVEN_SOURCE_DIR "/tests/link/scripts"));
    const QStringList scripts = dir.entryList({"*.script"}, QDir::Files, QDir::Name);
    QVERIFY(scripts.size() >= 5);
    for (const QString& name : scripts) {
        QTest::newRow(qPrintable(name)) << dir.filePath(name.chopped(7));
    }
}

void TestLinkScripts::script() {
    QFETCH(QString, base);
    CompareLinkScript(base, [](Clock& clock) { return std::make_unique<ScriptedLine>(clock); });
}

QTEST_GUILESS_MAIN(TestLinkScripts)
#include "test_link_scripts.moc"
