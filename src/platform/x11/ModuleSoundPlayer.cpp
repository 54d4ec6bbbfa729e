#include "platform/x11/ModuleSoundPlayer.h"

#include <QCoreApplication>
#include <QLibrary>

namespace beamlet::platform::x11 {

ModuleSoundPlayer::ModuleSoundPlayer() = default;
ModuleSoundPlayer::~ModuleSoundPlayer() = default;

void ModuleSoundPlayer::play(const QByteArray& wave)
{
    if (!tried_) {
        tried_ = true;
        // Beside the program in the build tree; in its library folder once
        // installed, wherever the installed tree stands.
        const QString here = QCoreApplication::applicationDirPath();
        const QString candidates[] = {here + QStringLiteral("/" BEAMLET_SOUND_MODULE),
                                      here + QStringLiteral("/../" BEAMLET_MODULE_DIR "/" BEAMLET_SOUND_MODULE)};
        for (const QString& candidate : candidates) {
            QLibrary module(candidate);
            const auto create = reinterpret_cast<BeamletCreateSoundPlayer>(module.resolve(BEAMLET_SOUND_FACTORY));
            if (create) {
                player_.reset(create());
                break;
            }
        }
    }
    if (player_)
        player_->play(wave);
}

void ModuleSoundPlayer::stop()
{
    if (player_)
        player_->stop();
}

}  // namespace beamlet::platform::x11
