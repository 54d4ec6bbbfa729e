// The desktop services' own rules: where the tone file may go, the chime's rings
// and stops, and a WAV header read without trusting its sizes.
#include "platform/ToneChime.h"
#include "platform/Wave.h"
#include "platform/x11/Folders.h"
#include "widgets/Assets.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace beamlet;

// Plays nothing: records each wave played (as text) and each stop.
struct RecordingPlayer : platform::SoundPlayer {
    QStringList calls;
    void play(const QByteArray& wave) override { calls << QString::fromLatin1(wave); }
    void stop() override { calls << QStringLiteral("stop"); }
};

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

    // What stands in the way (file:, dir: or link: a path), then the rings and
    // stops: where tone.wav is written and what the player is asked, in order.
    // Beside the program first, else the user's cache folder; the chime plays from
    // memory whether written or not, unless a stop came after its ring.
    void chimeWritesThenPlays_data()
    {
        QTest::addColumn<QStringList>("row");  // planted, steps, written in, heard
        QTest::newRow("a ring") << QStringList{"", "ring", "program", "chime"};
        QTest::newRow("a stop silences a late ring") << QStringList{"", "ring stop", "program", "stop"};
        QTest::newRow("a ring after a stop, once") << QStringList{"", "ring stop ring", "program", "stop chime"};
        QTest::newRow("a longer stale file") << QStringList{"file:program/tone.wav", "ring", "program", "chime"};
        QTest::newRow("a symbolic link") << QStringList{"link:program/tone.wav", "ring", "program", "chime"};
        QTest::newRow("tone.wav a folder") << QStringList{"dir:program/tone.wav", "ring", "cache", "chime"};
        QTest::newRow("program folder a file") << QStringList{"file:program", "ring", "cache", "chime"};
        QTest::newRow("nothing writable") << QStringList{"file:program file:cache", "ring", "", "chime"};
    }
    void chimeWritesThenPlays()
    {
        QFETCH(QStringList, row);
        const QString &planted = row[0], &steps = row[1], &writtenIn = row[2], &heard = row[3];
        QTemporaryDir dir;
        const QStringList folders{dir.filePath("program"), dir.filePath("cache/Orvane/beamlet")};
        const QString elsewhere = dir.filePath("elsewhere"), written = folders[writtenIn == "cache"] + "/tone.wav";
        for (const QString& thing : (planted + " file:elsewhere").split(u' ', Qt::SkipEmptyParts)) {
            const QString kind = thing.section(u':', 0, 0), path = dir.filePath(thing.section(u':', 1));
            QFile file(path);
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QVERIFY(kind == "dir"        ? QDir().mkdir(path)
                        : kind == "link" ? QFile::link(elsewhere, path)
                                         : file.open(QIODevice::WriteOnly) && file.write(QByteArray(100000, 's')) > 0);
        }
        const auto contents = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        auto player = std::make_unique<RecordingPlayer>();
        const QStringList& calls = player->calls;
        platform::ToneChime chime([] { return QByteArray("chime"); }, std::move(player),
                                  [&folders] { return folders; });
        for (const QString& step : steps.split(u' '))
            step == "ring" ? chime.ring() : chime.stop();
        if (!writtenIn.isEmpty())
            QTRY_COMPARE(contents(written), QByteArray("chime"));
        QTRY_COMPARE(calls.join(u' '), heard);
        QTest::qWait(100);  // a ring that stays silent has had time to play
        QCOMPARE(calls.join(u' '), heard);
        for (const QString& folder : folders) {
            const QFileInfo tone(folder + "/tone.wav");
            QCOMPARE(tone.isFile() && !tone.isSymLink() && (tone.permissions() & QFile::ReadOther)
                         && contents(tone.filePath()) == "chime",
                     !writtenIn.isEmpty() && tone.filePath() == written);
        }
        QCOMPARE(contents(elsewhere), QByteArray(100000, 's'));
        QCOMPARE(QDir(folders[0]).entryList({".tone-*"}, QDir::Hidden | QDir::Files), QStringList());
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
