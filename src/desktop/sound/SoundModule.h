#pragma once
// The sound player lives in a module of its own, loaded at the first sound: the
// multimedia libraries then cost nothing at start or in a silent session.
#include "Platform.h"

extern "C" {
// Exported by the module: a new player streaming to the default audio output.
using BeamletCreateSoundPlayer = beamlet::desktop::SoundPlayer* (*)();
}

#define BEAMLET_SOUND_FACTORY "beamlet_create_sound_player"
