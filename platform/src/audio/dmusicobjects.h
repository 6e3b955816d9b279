// The layer's DirectMusic objects: performance, DirectMusic, port, loader, segment and state.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "audio/audiointernal.h"
#include "kernel/comobject.h"

namespace Layer {

// How many segments exist (loaded and not yet released).
extern std::atomic<int> liveSegments;

class SegmentStateObject : public ComObject<IDirectMusicSegmentState> {
public:
    HRESULT STDMETHODCALLTYPE GetSeek(MUSIC_TIME* seek) override;
    std::atomic<MUSIC_TIME> seek{0};
    std::atomic<bool> finished{false};
};

class SegmentObject : public ComObject<IDirectMusicSegment> {
public:
    SegmentObject();
    ~SegmentObject() override;
    HRESULT STDMETHODCALLTYPE GetLength(MUSIC_TIME* length) override;
    HRESULT STDMETHODCALLTYPE SetRepeats(DWORD repeats) override;
    HRESULT STDMETHODCALLTYPE SetParam(REFGUID type, DWORD groupBits, DWORD index, MUSIC_TIME time,
                                       void* param) override;
    HRESULT STDMETHODCALLTYPE SetStartPoint(MUSIC_TIME start) override;
    HRESULT STDMETHODCALLTYPE SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) override;

    std::shared_ptr<const Song> song;
    int64_t startPoint = 0;
    int64_t loopStart = 0;
    int64_t loopEnd = 0; // 0: the segment's end
    uint32_t repeats = 0;
};

class PortObject : public ComObject<IDirectMusicPort> {
public:
    HRESULT STDMETHODCALLTYPE Activate(BOOL active) override;
    bool active = false;
};

class DirectMusicObject : public ComObject<IDirectMusic> {
public:
    HRESULT STDMETHODCALLTYPE EnumPort(DWORD index, LPDMUS_PORTCAPS caps) override;
    HRESULT STDMETHODCALLTYPE CreatePort(REFCLSID port, LPDMUS_PORTPARAMS params,
                                         IDirectMusicPort** created, LPUNKNOWN outer) override;
    HRESULT STDMETHODCALLTYPE GetDefaultPort(LPGUID port) override;
};

class PerformanceObject : public ComObject<IDirectMusicPerformance> {
public:
    ~PerformanceObject() override;
    HRESULT STDMETHODCALLTYPE Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound,
                                   HWND window) override;
    HRESULT STDMETHODCALLTYPE PlaySegment(IDirectMusicSegment* segment, DWORD flags,
                                          int64_t startTime,
                                          IDirectMusicSegmentState** state) override;
    HRESULT STDMETHODCALLTYPE Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* state,
                                   MUSIC_TIME time, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE AddPort(IDirectMusicPort* port) override;
    HRESULT STDMETHODCALLTYPE AssignPChannelBlock(DWORD block, IDirectMusicPort* port,
                                                  DWORD group) override;
    HRESULT STDMETHODCALLTYPE CloseDown() override;

    // Renders the performance's own output (tests): frames of interleaved stereo.
    void Render(int16_t* out, int frames);

private:
    void Detach();
    bool initialised = false;
    DirectSoundObject* directSound = nullptr; // the device it plays on, when given one
    std::unique_ptr<AudioDevice> ownDevice;   // its own output otherwise
    AudioDevice* device = nullptr;
    std::unique_ptr<MusicEngine> engine;
    PortObject* port = nullptr;
};

class LoaderObject : public ComObject<IDirectMusicLoader> {
public:
    HRESULT STDMETHODCALLTYPE GetObject(LPDMUS_OBJECTDESC desc, REFIID interfaceId,
                                        LPVOID* object) override;
    HRESULT STDMETHODCALLTYPE SetSearchDirectory(REFGUID classId, WCHAR* path, BOOL clear) override;
    std::string searchDirectory; // Linux form, empty for the current directory
};

} // namespace Layer
