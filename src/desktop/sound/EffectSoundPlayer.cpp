// The module's player: QSoundEffect at half volume, created at the first sound.
#include "SoundModule.h"

#include <QSoundEffect>
#include <QUrl>

namespace {

class EffectSoundPlayer final : public beamlet::desktop::SoundPlayer {
public:
    EffectSoundPlayer()
    {
        effect_.setVolume(0.5f);
        effect_.setLoopCount(1);
    }

    void play(const QString& filePath) override
    {
        // Every arrival rewrites the same bytes, so the samples loaded from this
        // file the first time serve again; only another file is loaded afresh.
        if (source_ != filePath) {
            source_ = filePath;
            effect_.setSource(QUrl::fromLocalFile(filePath));
        }
        effect_.play();
    }

    void stop() override { effect_.stop(); }

private:
    QSoundEffect effect_;
    QString source_;
};

}  // namespace

extern "C" Q_DECL_EXPORT beamlet::desktop::SoundPlayer* beamlet_create_sound_player()
{
    return new EffectSoundPlayer;
}
