// SPDX-License-Identifier: GPL-3.0-or-later
// The windows in English: every text a window shows is an English text of
// the translation (or one of the deliberate exceptions beside this test),
// switching back restores every Hungarian text, the language is kept in the
// settings file, and what the station shows is translated where it is shown.
#include "app/chart_view.h"
#include "app/chart_window.h"
#include "app/ini_file.h"
#include "app/language.h"
#include "app/modem_window.h"
#include "app/shown_texts.h"
#include "app/zoom_window.h"
#include "link/virtual_clock.h"
#include "operations/station.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QXmlStreamReader>

using namespace quorven;
using quorven::testing::WindowFixture;

namespace {

// Where each text is shown ("Form1/Label2:text") and the text.
using Texts = QMap<QString, QString>;

void Add(Texts& texts, const QString& key, const QString& text) {
    if (!text.trimmed().isEmpty()) {
        texts.insert(key, text);
    }
}

void AddWidget(Texts& t, const QString& key, QWidget* w) {
    if (w->isWindow()) {
        Add(t, key + "title", w->windowTitle());
    }
    Add(t, key + "tip", w->toolTip());
    Add(t, key + "status", w->statusTip());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        Add(t, key + "text", b->text());
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        Add(t, key + "text", l->text());
    } else if (auto* m = qobject_cast<QMenu*>(w)) {
        Add(t, key + "text", m->title());
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i) {
            Add(t, key + "item" + QString::number(i), c->itemText(i));
        }
    } else if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model()) {
        for (int s = 0; s < h->count(); ++s) {
            Add(t, key + "section" + QString::number(s),
                h->model()->headerData(s, h->orientation()).toString());
        }
    } else if (auto* v = qobject_cast<QChartView*>(w)) {
        for (QAbstractAxis* axis : v->chart()->axes(Qt::Horizontal)) {
            Add(t, key + "axis", axis->titleText());
        }
    }
}

// An object by its name, or by its class and place among its parent's
// children of that class under its parent's path.
QString PathOf(const QObject* o, const QObject* window) {
    if (o == window || o == nullptr) {
        return QString();
    }
    if (!o->objectName().isEmpty()) {
        return o->objectName();
    }
    int place = 0;
    if (o->parent() != nullptr) {
        for (const QObject* sibling : o->parent()->children()) {
            if (sibling == o) {
                break;
            }
            place += sibling->metaObject() == o->metaObject() ? 1 : 0;
        }
    }
    const QString step =
        QLatin1String(o->metaObject()->className()) + u'#' + QString::number(place);
    const QString above = PathOf(o->parent(), window);
    return above.isEmpty() ? step : above + u'/' + step;
}

// Every text of the windows: titles, captions, hints, menus and their
// items, table headers and the chart's time axes. Not their data: table
// cells, the text area (the trace), edit fields, the chart's lists.
Texts WindowTexts(const QList<QWidget*>& windows) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Texts t;
    for (QWidget* window : windows) {
        QList<QObject*> objects{window};
        objects += window->findChildren<QObject*>();
        for (QObject* o : objects) {
            const QString key = window->objectName() + u'/' + PathOf(o, window) + u':';
            if (auto* w = qobject_cast<QWidget*>(o)) {
                AddWidget(t, key, w);
            } else if (auto* a = qobject_cast<QAction*>(o)) {
                Add(t, key + "text", a->text());
                Add(t, key + "tip", a->toolTip());
                Add(t, key + "status", a->statusTip());
            }
        }
    }
    return t;
}

// Full-match patterns, one a line, from a file ("#" starts a comment line).
QList<QRegularExpression> Patterns(const QString& fileName) {
    QList<QRegularExpression> patterns;
    QFile f(fileName);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (!line.trimmed().isEmpty() && !line.startsWith('#')) {
                patterns << QRegularExpression(
                    QRegularExpression::anchoredPattern(QString::fromUtf8(line.trimmed())));
            }
        }
    }
    return patterns;
}

// Every finished English text of the translation, as a pattern ("%1":
// anything), also as an action's tool tip shows it: without the shortcut's
// "&" and a closing "...".
QList<QRegularExpression> EnglishTexts(const QString& tsFile) {
    QList<QRegularExpression> patterns;
    QFile f(tsFile);
    if (!f.open(QIODevice::ReadOnly)) {
        return patterns;
    }
    static const QRegularExpression kPart(QStringLiteral("\\\\%\\d"));
    QXmlStreamReader xml(&f);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
            const bool unfinished = xml.attributes().hasAttribute(QLatin1String("type"));
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (unfinished) {
                continue;
            }
            QString tip = QString(text).remove(u'&');
            if (tip.endsWith(QLatin1String("..."))) {
                tip.chop(3);
            }
            for (const QString& variant : {text, tip}) {
                QString pattern = QRegularExpression::escape(variant);
                pattern.replace(kPart, QStringLiteral(".*"));
                patterns << QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                               QRegularExpression::DotMatchesEverythingOption);
            }
        } else if (!xml.isStartElement()) {
            xml.readNext();
        }
    }
    return patterns;
}

bool MatchesAny(const QList<QRegularExpression>& patterns, const QString& text) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&text](const QRegularExpression& p) { return p.match(text).hasMatch(); });
}

const QString kHere = QStringLiteral(QUORVEN_SOURCE_DIR "/tests/app");

} // namespace

class TestWindowLanguage : public QObject {
    Q_OBJECT
private slots:
    void everyTextInEnglishAndBack();
    void languageOfTheRun_data();
    void languageOfTheRun();
    void shownTexts_data();
    void shownTexts();
};

// The windows after a read-out and with a chart, in Hungarian, in English
// and in Hungarian again.
void TestWindowLanguage::everyTextInEnglishAndBack() {
    VirtualClock clock;
    WindowFixture f;
    TForm1& w = f.startOneMeter(clock);
    w.MBRead_ButtonClick();
    w.Chart_ButtonClick();
    const QList<QWidget*> windows{&w, w.Form2(), w.Form4(), w.Chart()};
    const Texts hungarian = WindowTexts(windows);
    QCOMPARE(hungarian.value("Form1/MBRead_Button:text"), QString("M-Bus olvasás"));

    w.LanguageEn1->trigger();
    QCOMPARE(w.language(), Language::English);
    const Texts english = WindowTexts(windows);
    QCOMPARE(english.keys(), hungarian.keys());
    const auto known =
        EnglishTexts(QStringLiteral(QUORVEN_SOURCE_DIR "/translations/quorven_en.ts"));
    const auto exceptions = Patterns(kHere + "/data/same-in-every-language.txt");
    QVERIFY(known.size() > 300);
    static const QRegularExpression kLetter(QStringLiteral("\\p{L}"));
    QStringList untranslated;
    for (auto it = english.begin(); it != english.end(); ++it) {
        if (it.value().contains(kLetter) && !MatchesAny(exceptions, it.value()) &&
            !MatchesAny(known, it.value())) {
            untranslated << it.key() + " = " + it.value();
        }
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
    QVERIFY(english.size() > 150);
    QCOMPARE(english.value("Form1/MBRead_Button:text"), QString("Read M-Bus"));
    QCOMPARE(english.value("Form1/Status_StaticText:text"), QString("free"));

    // The telegram check's German line stays in the trace; the status bar
    // says it in English.
    w.trace().append("C-Feld Fehler");
    QCOMPARE(w.trace().lines().last(), QString("C-Feld Fehler"));
    QCOMPARE(w.StatusBar1->currentMessage(), QString("C field error"));

    w.LanguageHu1->trigger();
    const Texts back = WindowTexts(windows);
    QStringList changed;
    for (auto it = hungarian.begin(); it != hungarian.end(); ++it) {
        if (back.value(it.key()) != it.value()) {
            changed << it.key() + " = " + back.value(it.key()) + " (was " + it.value() + ")";
        }
    }
    QVERIFY2(changed.isEmpty() && back.size() == hungarian.size(), qPrintable(changed.join(u'\n')));
    w.LanguageEn1->trigger();
    w.close();
    QCOMPARE(ReadLanguage(IniFile::load(w.settingsPath())), Language::English);
}

void TestWindowLanguage::languageOfTheRun_data() {
    QTest::addColumn<QString>("kept");   // [Window] Language before the run
    QTest::addColumn<QString>("option"); // --language of the run
    QTest::addColumn<QString>("shown");
    QTest::newRow("no choice: Hungarian") << ""
                                          << ""
                                          << "hu";
    QTest::newRow("kept English") << "en"
                                  << ""
                                  << "en";
    QTest::newRow("option wins over the kept one") << "en"
                                                   << "hu"
                                                   << "hu";
    QTest::newRow("option alone") << ""
                                  << "en"
                                  << "en";
    QTest::newRow("a kept value of no language") << "xx"
                                                 << ""
                                                 << "hu";
}

// The option decides for its run only: the kept choice stays as it was.
void TestWindowLanguage::languageOfTheRun() {
    QFETCH(QString, kept);
    QFETCH(QString, option);
    QFETCH(QString, shown);
    WindowFixture f;
    if (!kept.isEmpty()) {
        f.writeFile("quorven.ini", "[Window]\r\nLanguage=" + kept.toUtf8() + "\r\n");
    }
    TForm1& w = f.start({}, nullptr, [&option](StartupConfig& c) { c.language = option; });
    QCOMPARE(CodeOf(w.language()), shown);
    QCOMPARE(w.LanguageEn1->isChecked(), shown == "en");
    w.close();
    const auto after = IniFile::load(w.settingsPath()).value(u"Window", u"Language");
    QCOMPARE(after.value_or(QString()), kept);
}

void TestWindowLanguage::shownTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("english");
    QTest::newRow("box") << "Receive timeout"
                         << "Receive timeout";
    QTest::newRow("with parts") << "7 of 9 slaves read successfully."
                                << "7 of 9 meters read successfully.";
    QTest::newRow("check text with parts") << "Checksummenfehler 1A <> 2B"
                                           << "Checksum error 1A <> 2B";
    QTest::newRow("part holding a placeholder") << "Cannot Create file %2.csv"
                                                << "Cannot create file %2.csv";
    QTest::newRow("several lines") << "Parity error during data receiving!\r\nAnswer collision?"
                                   << "Parity error while receiving data!\nAnswer collision?";
    QTest::newRow("not in the catalogue") << "Row 3: nothing sent"
                                          << "Row 3: nothing sent";
}

void TestWindowLanguage::shownTexts() {
    QFETCH(QString, text);
    QFETCH(QString, english);
    WindowLanguage language;
    QCOMPARE(ShownText(text), text);
    language.Use(Language::English);
    QCOMPARE(ShownText(text), english);
    language.Use(Language::Hungarian);
    QCOMPARE(ShownText(text), text);
}

QTEST_MAIN(TestWindowLanguage)
#include "test_window_language.moc"
