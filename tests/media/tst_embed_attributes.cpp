// <bgsound>, <embed> and <object> attributes read as the course's first
// browser and its players read them.

#include "media/embed_attributes.h"

#include <QTest>

using namespace ruzez;
using Kind = EmbedAttributes::Kind;
using Attributes = QHash<QString, QString>;

class TestEmbedAttributes : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<Attributes>("attributes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("autostart");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("loops");
        QTest::addColumn<double>("volume");
        const int always = EmbedAttributes::kForever;
        QTest::newRow("bgsound plays once, unseen, at full volume")
            << "bgsound" << Attributes{{"src", "a.mid"}} << int(Kind::Midi) << true << true << 1 << 1.0;
        QTest::newRow("bgsound loop=infinite") << "BGSOUND" << Attributes{{"src", "a.mid"}, {"loop", "INFINITE"}}
                                               << int(Kind::Midi) << true << true << always << 1.0;
        QTest::newRow("bgsound loop=-1") << "bgsound" << Attributes{{"src", "a.wav"}, {"loop", "-1"}}
                                         << int(Kind::Audio) << true << true << always << 1.0;
        QTest::newRow("bgsound loop=3, -20 dB") << "bgsound" << Attributes{{"src", "a.mid"}, {"loop", "3"}, {"volume", "-2000"}}
                                                << int(Kind::Midi) << true << true << 3 << 0.1;
        QTest::newRow("bgsound ignores autostart and hidden")
            << "bgsound" << Attributes{{"src", "a.mid"}, {"autostart", "false"}, {"hidden", "false"}}
            << int(Kind::Midi) << true << true << 1 << 1.0;
        QTest::newRow("embed starts by itself, shown") << "embed" << Attributes{{"src", "Musique.MID"}}
                                                       << int(Kind::Midi) << true << false << 1 << 1.0;
        QTest::newRow("embed autostart=false hidden=true loop=true")
            << "embed" << Attributes{{"src", "a.mid"}, {"autostart", "false"}, {"hidden", "true"}, {"loop", "true"}}
            << int(Kind::Midi) << false << true << always << 1.0;
        QTest::newRow("embed autostart=0 loop=false") << "embed" << Attributes{{"src", "a.mid"}, {"autostart", "0"}, {"loop", "false"}}
                                                      << int(Kind::Midi) << false << false << 1 << 1.0;
        QTest::newRow("embed Netscape volume=50 is full") << "embed" << Attributes{{"src", "a.wav"}, {"volume", "50"}}
                                                          << int(Kind::Audio) << true << false << 1 << 1.0;
        QTest::newRow("embed volume=-10000 is silent") << "embed" << Attributes{{"src", "a.wav"}, {"volume", "-10000"}}
                                                       << int(Kind::Audio) << true << false << 1 << 0.0;
        QTest::newRow("embed unreadable words keep defaults")
            << "embed" << Attributes{{"src", "a.mp3"}, {"autostart", "peut-être"}, {"loop", "souvent"}, {"volume", "fort"}}
            << int(Kind::Audio) << true << false << 1 << 1.0;
        QTest::newRow("object with params, playcount wins over loop")
            << "object" << Attributes{{"filename", "v.avi"}, {"autostart", "-1"}, {"playcount", "2"}, {"loop", "true"}}
            << int(Kind::Undecodable) << true << false << 2 << 1.0;
        QTest::newRow("object data=, video the engine plays") << "object" << Attributes{{"data", "film.webm"}}
                                                              << int(Kind::Video) << true << false << 1 << 1.0;
        QTest::newRow("type says MIDI, odd name") << "embed" << Attributes{{"src", "son.bin"}, {"type", "audio/midi"}}
                                                  << int(Kind::Midi) << true << false << 1 << 1.0;
        QTest::newRow("query and fragment do not hide the suffix") << "embed" << Attributes{{"src", "x/film.WMV?v=1#t"}}
                                                                   << int(Kind::Undecodable) << true << false << 1 << 1.0;
        QTest::newRow("Flash by class id, no src") << "object" << Attributes{{"classid", "CLSID:D27CDB6E-AE6D-11cf-96B8-444553540000"}}
                                                   << int(Kind::Flash) << true << false << 1 << 1.0;
        QTest::newRow("Flash by movie param") << "object" << Attributes{{"movie", "anim.swf"}}
                                              << int(Kind::Flash) << true << false << 1 << 1.0;
        QTest::newRow("nothing for us: a picture") << "embed" << Attributes{{"src", "plan.gif"}}
                                                   << int(Kind::None) << true << false << 1 << 1.0;
        QTest::newRow("nothing for us: no source") << "embed" << Attributes{{"type", "audio/midi"}}
                                                   << int(Kind::None) << true << false << 1 << 1.0;
    }
    void read()
    {
        QFETCH(QString, tag);
        QFETCH(Attributes, attributes);
        QFETCH(int, kind);
        QFETCH(bool, autostart);
        QFETCH(bool, hidden);
        QFETCH(int, loops);
        QFETCH(double, volume);
        const EmbedAttributes media = EmbedAttributes::read(tag, attributes);
        QCOMPARE(int(media.kind), kind);
        QCOMPARE(media.autostart, autostart);
        QCOMPARE(media.hidden, hidden);
        QCOMPARE(media.loops, loops);
        QVERIFY2(qAbs(media.volume - volume) < 0.001, qPrintable(QString::number(media.volume)));
    }
};

QTEST_GUILESS_MAIN(TestEmbedAttributes)
#include "tst_embed_attributes.moc"
