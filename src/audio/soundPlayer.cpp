#include "audio/soundPlayer.h"

#include "audio/soundFile.h"

namespace {

// Block steps fade with distance: full within two cells, a fifth at ten.
constexpr float referenceDistance = 2.0f;
constexpr float rolloffFactor = 1.0f;

ALenum formatOf(const PcmSound& sound) {
    return sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

bool isPlaying(const AlSource& voice) {
    ALint state = AL_STOPPED;
    alGetSourcei(voice.get(), AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace

SoundPlayer::SoundPlayer(const std::string& folder, std::ostream& errors) {
    if (!openDevice(errors)) {
        return;
    }
    for (int kind = 0; kind < soundKindCount; ++kind) {
        effects[std::size_t(kind)] =
            loadBuffer(folder + "/" + soundFileName(SoundKind(kind)), errors);
    }
    musicBuffer = loadBuffer(folder + "/" + musicFileName, errors);
    for (AlSource& voice : voices) {
        voice.create();
    }
    musicVoice.create();
    startMusic();
}

bool SoundPlayer::openDevice(std::ostream& errors) {
    device.reset(alcOpenDevice(nullptr));
    if (device) {
        context.reset(alcCreateContext(device.get(), nullptr));
    }
    if (!context || alcMakeContextCurrent(context.get()) != ALC_TRUE) {
        errors << "sound: no audio device could be opened; playing on without sound" << std::endl;
        context.reset();
        device.reset();
        return false;
    }
    return true;
}

AlBuffer SoundPlayer::loadBuffer(const std::string& path, std::ostream& errors) {
    PcmSound sound;
    std::string reason;
    AlBuffer buffer;
    if (!readSoundFile(path, sound, reason)) {
        errors << "sound: cannot play " << path << ": " << reason << std::endl;
        return buffer;
    }
    if (!buffer.create()) {
        errors << "sound: no buffer for " << path << std::endl;
        return buffer;
    }
    alBufferData(buffer.get(), formatOf(sound), sound.samples.data(),
                 ALsizei(sound.samples.size() * sizeof(std::int16_t)), sound.sampleRate);
    return buffer;
}

// The loop plays at the listener from the start to the end of the run; its
// gain stays 0 until the first frame gives the music's volume.
void SoundPlayer::startMusic() {
    if (!musicBuffer || !musicVoice) {
        return;
    }
    const ALuint voice = musicVoice.get();
    alSourcei(voice, AL_BUFFER, ALint(musicBuffer.get()));
    alSourcei(voice, AL_LOOPING, AL_TRUE);
    alSourcei(voice, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(voice, AL_GAIN, 0.0f);
    alSourcePlay(voice);
}

void SoundPlayer::startCue(const SoundCue& cue, float gain) {
    const AlBuffer& buffer = effects[std::size_t(cue.kind)];
    if (!buffer) {
        return;
    }
    int chosen = nextVoice;
    for (int i = 0; i < effectVoiceCount; ++i) {
        const int candidate = (nextVoice + i) % effectVoiceCount;
        if (!isPlaying(voices[std::size_t(candidate)])) {
            chosen = candidate;
            break;
        }
    }
    nextVoice = (chosen + 1) % effectVoiceCount;
    const ALuint voice = voices[std::size_t(chosen)].get();
    if (voice == 0) {
        return;
    }
    alSourceStop(voice);
    alSourcei(voice, AL_BUFFER, ALint(buffer.get()));
    alSourcef(voice, AL_GAIN, gain);
    alSourcef(voice, AL_REFERENCE_DISTANCE, referenceDistance);
    alSourcef(voice, AL_ROLLOFF_FACTOR, rolloffFactor);
    if (cue.position) {
        alSourcei(voice, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(voice, AL_POSITION, cue.position->x, cue.position->y, cue.position->z);
    } else {
        alSourcei(voice, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(voice, AL_POSITION, 0.0f, 0.0f, 0.0f);
    }
    alSourcePlay(voice);
}

void SoundPlayer::play(const std::vector<SoundCue>& cues, const Camera& listener, Volumes volumes) {
    if (!playing()) {
        return;
    }
    const glm::vec3& at = listener.position;
    alListener3f(AL_POSITION, at.x, at.y, at.z);
    const ALfloat orientation[6] = {listener.front.x, listener.front.y, listener.front.z,
                                    listener.up.x,    listener.up.y,    listener.up.z};
    alListenerfv(AL_ORIENTATION, orientation);
    // Volumes apply at once, also to the effects still sounding (a mute).
    for (const AlSource& voice : voices) {
        alSourcef(voice.get(), AL_GAIN, volumes.effects);
    }
    alSourcef(musicVoice.get(), AL_GAIN, volumes.music);
    for (const SoundCue& cue : cues) {
        startCue(cue, volumes.effects);
    }
}
