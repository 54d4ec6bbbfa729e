// The desktop services' own rules: where the tone file may go, and a WAV header
// read without trusting its sizes.
#include "platform/Wave.h"
#include "platform/x11/Folders.h"
#include "widgets/Assets.h"

#include <QTest>
#include <QtEndian>

using namespace beamlet;

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    // The sound never goes to a relative or root folder.
    void cacheFolderIsTheUsersOwn_data()
    {
        QTest::addColumn<QString>("xdgCacheHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_CACHE_HOME first") << "/x/cache"
                                              << "/home/u"
                                              << "/x/cache";
        QTest::newRow("relative XDG_CACHE_HOME") << "cache"
                                                 << "/home/u"
                                                 << "/home/u/.cache";
        QTest::newRow("HOME's .cache") << ""
                                       << "/home/u/"
                                       << "/home/u/.cache";
        QTest::newRow("HOME unset: not /.cache") << ""
                                                 << ""
                                                 << "";
        QTest::newRow("both relative") << "c"
                                       << "u"
                                       << "";
    }
    void cacheFolderIsTheUsersOwn()
    {
        QFETCH(QString, xdgCacheHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(platform::x11::userCacheFolder(xdgCacheHome, home), expected);
    }

    // Sizes in the header are checked against the bytes there are; only 16-bit
    // PCM is played. Offset 0 means not playable.
    void waveHeaderIsReadWithoutTrustingIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("size");
        const QByteArray tone = widgets::chimeBytes();
        const auto le32 = [](quint32 v) {
            v = qToLittleEndian(v);
            return QByteArray(reinterpret_cast<const char*>(&v), 4);
        };
        const auto withAt = [](QByteArray b, int at, const QByteArray& part) {
            return b.replace(at, part.size(), part);
        };
        QTest::newRow("the chime") << tone << qsizetype(44) << qsizetype(535552);
        for (int cut : {0, 11, 19, 35, 43, 47})
            QTest::addRow("cut to %d bytes", cut) << tone.left(cut) << qsizetype(0) << qsizetype(0);
        QTest::newRow("cut to whole frames") << tone.left(1001) << qsizetype(44) << qsizetype(956);
        QTest::newRow("data size past the end")
            << withAt(tone.left(1044), 40, le32(0xFFFFFFFFu)) << qsizetype(44) << qsizetype(1000);
        QTest::newRow("fmt size past the end")
            << withAt(tone.left(40), 16, le32(0xFFFFFFF0u)) << qsizetype(0) << qsizetype(0);
        const QByteArray odd = tone.left(12) + "LIST" + le32(3) + "abc" + '\0' + tone.mid(12, 1000);
        QTest::newRow("odd chunk padded") << odd << qsizetype(56) << qsizetype(968);
        QTest::newRow("8-bit") << withAt(tone, 34, QByteArray("\x08\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("compressed") << withAt(tone, 20, QByteArray("\x02\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("no channels") << withAt(tone, 22, QByteArray("\x00\x00", 2)) << qsizetype(0) << qsizetype(0);
        QTest::newRow("data before fmt") << tone.left(12) + tone.mid(36, 8) + tone.mid(12, 24) << qsizetype(0)
                                         << qsizetype(0);
        QTest::newRow("not RIFF") << withAt(tone, 0, "RIFX") << qsizetype(0) << qsizetype(0);
    }
    void waveHeaderIsReadWithoutTrustingIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, size);
        const platform::WaveLayout wave = platform::readWaveLayout(bytes);
        QCOMPARE(wave.playable(), offset != 0);
        if (!wave.playable())
            return;
        QCOMPARE(wave.sampleRate, 44100);
        QCOMPARE(wave.channels, 2);
        QCOMPARE(wave.dataOffset, offset);
        QCOMPARE(wave.dataSize, size);
    }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
