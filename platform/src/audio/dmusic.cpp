// COM and DirectMusic: object creation, the performance, its port, the loader and segments.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "audio/dmusicobjects.h"
#include "kernel/testhooks.h"

namespace Layer {

std::atomic<int> liveSegments{0};

namespace {

int comInitialised = 0;

// The one port there is: a software synthesizer.
DEFINE_GUID(synthPortGuid, 0x51a4f6c1, 0x2d3e, 0x4b7a, 0x9c, 0x11, 0x5e, 0x0b, 0x7a, 0x51, 0x00,
            0x01);

} // namespace

HRESULT STDMETHODCALLTYPE SegmentStateObject::GetSeek(MUSIC_TIME* value) {
    if (value == nullptr)
        return E_POINTER;
    *value = seek;
    return S_OK;
}

SegmentObject::SegmentObject() {
    ++liveSegments;
}
SegmentObject::~SegmentObject() {
    --liveSegments;
}

HRESULT STDMETHODCALLTYPE SegmentObject::GetLength(MUSIC_TIME* length) {
    if (length == nullptr)
        return E_POINTER;
    *length = static_cast<MUSIC_TIME>(std::min<int64_t>(song->length, 0x7FFFFFFF));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SegmentObject::SetRepeats(DWORD count) {
    repeats = count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SegmentObject::SetParam(REFGUID type, DWORD, DWORD, MUSIC_TIME,
                                                  void* param) {
    if (IsEqualGUID(type, GUID_Download) || IsEqualGUID(type, GUID_Unload)) {
        if (param == nullptr)
            return E_POINTER; // the performance to (un)load the instruments for
        return S_OK;
    }
    if (IsEqualGUID(type, GUID_StandardMIDIFile))
        return S_OK;
    return DMUS_E_TYPE_UNSUPPORTED;
}

HRESULT STDMETHODCALLTYPE SegmentObject::SetStartPoint(MUSIC_TIME start) {
    if (start < 0 || start >= song->length)
        return DMUS_E_OUT_OF_RANGE;
    startPoint = start;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SegmentObject::SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) {
    if (start < 0 || start >= end || end > song->length)
        return DMUS_E_OUT_OF_RANGE;
    loopStart = start;
    loopEnd = end;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PortObject::Activate(BOOL on) {
    active = on != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DirectMusicObject::EnumPort(DWORD index, LPDMUS_PORTCAPS caps) {
    if (caps == nullptr || caps->dwSize != sizeof(DMUS_PORTCAPS))
        return E_INVALIDARG;
    if (index > 0)
        return S_FALSE;
    caps->dwFlags = DMUS_PC_DLS | DMUS_PC_SOFTWARESYNTH;
    caps->guidPort = synthPortGuid;
    caps->dwClass = DMUS_PC_OUTPUTCLASS;
    caps->dwType = DMUS_PORT_USER_MODE_SYNTH;
    caps->dwMaxChannelGroups = 1000;
    caps->dwMaxVoices = 128;
    caps->dwMaxAudioChannels = 2;
    const char name[] = "FluidSynth General MIDI Synthesizer";
    for (size_t i = 0; i < sizeof name; ++i)
        caps->wszDescription[i] = static_cast<WCHAR>(name[i]);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DirectMusicObject::CreatePort(REFCLSID requested,
                                                        LPDMUS_PORTPARAMS params,
                                                        IDirectMusicPort** created,
                                                        LPUNKNOWN outer) {
    if (created == nullptr || params == nullptr || outer != nullptr ||
        (params->dwSize != sizeof(DMUS_PORTPARAMS8) &&
         params->dwSize != sizeof(DMUS_PORTPARAMS8) - sizeof(DWORD)))
        return E_INVALIDARG;
    if (!IsEqualGUID(requested, synthPortGuid))
        return E_NOINTERFACE;
    if (ShouldFail("CreatePort"))
        return DMUS_E_DRIVER_FAILED;
    *created = new PortObject();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DirectMusicObject::GetDefaultPort(LPGUID port) {
    if (port == nullptr)
        return E_POINTER;
    *port = synthPortGuid;
    return S_OK;
}

PerformanceObject::~PerformanceObject() {
    Detach();
}

void PerformanceObject::Detach() {
    if (device != nullptr && engine)
        device->Remove(engine.get());
    engine.reset();
    device = nullptr;
    ownDevice.reset();
    if (port != nullptr) {
        port->Release();
        port = nullptr;
    }
    if (directSound != nullptr) {
        directSound->Release();
        directSound = nullptr;
    }
    initialised = false;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::Init(IDirectMusic** directMusic, LPDIRECTSOUND sound,
                                                  HWND) {
    if (initialised)
        return E_FAIL;
    if (ShouldFail("IDirectMusicPerformance::Init"))
        return DMUS_E_DRIVER_FAILED;
    if (sound != nullptr) {
        directSound = static_cast<DirectSoundObject*>(sound);
        directSound->AddRef();
        device = directSound->device.get();
    } else {
        // Without a DirectSound device the performance opens an output of its own.
        ownDevice = AudioDevice::Open();
        if (!ownDevice)
            return DSERR_NODRIVER;
        device = ownDevice.get();
    }
    engine = MusicEngine::Create();
    if (!engine) {
        Detach();
        return DMUS_E_DRIVER_FAILED;
    }
    if (directMusic != nullptr) {
        if (*directMusic != nullptr)
            (*directMusic)->AddRef();
        else
            *directMusic = new DirectMusicObject();
    }
    initialised = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::AddPort(IDirectMusicPort* added) {
    if (!initialised)
        return DMUS_E_NOT_INIT;
    if (ShouldFail("AddPort"))
        return DMUS_E_DRIVER_FAILED;
    if (added != nullptr) {
        added->AddRef();
        if (port != nullptr)
            port->Release();
        port = static_cast<PortObject*>(added);
    }
    device->Add(engine.get());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::AssignPChannelBlock(DWORD, IDirectMusicPort* assigned,
                                                                 DWORD group) {
    if (!initialised)
        return DMUS_E_NOT_INIT;
    return assigned != nullptr && group >= 1 ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::PlaySegment(IDirectMusicSegment* segment, DWORD,
                                                         int64_t,
                                                         IDirectMusicSegmentState** state) {
    if (!initialised)
        return DMUS_E_NOT_INIT;
    if (segment == nullptr)
        return E_POINTER;
    auto* started = new SegmentStateObject();
    device->Lock();
    engine->Play(static_cast<SegmentObject*>(segment), started);
    device->Unlock();
    if (state != nullptr)
        *state = started;
    else
        started->Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::Stop(IDirectMusicSegment* segment,
                                                  IDirectMusicSegmentState*, MUSIC_TIME, DWORD) {
    if (!initialised)
        return DMUS_E_NOT_INIT;
    device->Lock();
    engine->Stop(static_cast<SegmentObject*>(segment));
    device->Unlock();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PerformanceObject::CloseDown() {
    Detach();
    return S_OK;
}

void PerformanceObject::Render(int16_t* out, int frames) {
    memset(out, 0, static_cast<size_t>(frames) * 4);
    if (!initialised)
        return;
    device->Lock();
    engine->MixInto(out, frames);
    device->Unlock();
}

HRESULT STDMETHODCALLTYPE LoaderObject::SetSearchDirectory(REFGUID, WCHAR* path, BOOL) {
    if (path == nullptr)
        return E_POINTER;
    std::string linuxPath = ToLinuxPath(WideToUtf8(path, MAX_PATH).c_str());
    struct stat info {};
    if (stat(linuxPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return DMUS_E_LOADER_BADPATH;
    searchDirectory = linuxPath;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LoaderObject::GetObject(LPDMUS_OBJECTDESC desc, REFIID interfaceId,
                                                  LPVOID* object) {
    if (desc == nullptr || object == nullptr || desc->dwSize != sizeof(DMUS_OBJECTDESC))
        return E_INVALIDARG;
    *object = nullptr;
    if (!IsEqualGUID(interfaceId, IID_IDirectMusicSegment) &&
        !IsEqualGUID(interfaceId, IID_IDirectMusicSegment2))
        return E_NOINTERFACE;
    if (!(desc->dwValidData & DMUS_OBJ_CLASS) ||
        !IsEqualGUID(desc->guidClass, CLSID_DirectMusicSegment))
        return DMUS_E_LOADER_NOCLASSID;
    if (!(desc->dwValidData & DMUS_OBJ_FILENAME))
        return DMUS_E_LOADER_FAILEDOPEN;
    std::string name = ToLinuxPath(WideToUtf8(desc->wszFileName, DMUS_MAX_FILENAME).c_str());
    bool fullPath = (desc->dwValidData & DMUS_OBJ_FULLPATH) || (!name.empty() && name[0] == '/');
    std::string path = fullPath || searchDirectory.empty() ? name : searchDirectory + "/" + name;
    HRESULT result = S_OK;
    SegmentObject* segment = LoadSegment(path, &result);
    *object = static_cast<IDirectMusicSegment*>(segment);
    return result;
}

SegmentObject* LoadSegment(const std::string& path, HRESULT* result) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *result = DMUS_E_LOADER_FAILEDOPEN;
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() <= maxMidiFileSize)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    auto song = std::make_shared<Song>();
    std::string error;
    if (!ParseMidi(bytes.data(), bytes.size(), song.get(), &error)) {
        *result = DMUS_E_UNSUPPORTED_STREAM;
        return nullptr;
    }
    auto* segment = new SegmentObject();
    segment->song = song;
    *result = S_OK;
    return segment;
}

} // namespace Layer

HRESULT WINAPI CoInitialize(LPVOID) {
    if (Layer::ShouldFail("CoInitialize"))
        return RPC_E_CHANGED_MODE; // as when the thread's COM is of the other kind
    return Layer::comInitialised++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize(void) {
    if (Layer::comInitialised > 0)
        --Layer::comInitialised;
}

HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD, REFIID interfaceId,
                                LPVOID* object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (Layer::comInitialised == 0)
        return CO_E_NOTINITIALIZED;
    if (outer != nullptr)
        return static_cast<HRESULT>(0x80040110); // CLASS_E_NOAGGREGATION
    if (Layer::ShouldFail("CoCreateInstance"))
        return E_OUTOFMEMORY;
    if (IsEqualGUID(classId, CLSID_DirectMusicPerformance)) {
        if (!IsEqualGUID(interfaceId, IID_IDirectMusicPerformance) &&
            !IsEqualGUID(interfaceId, IID_IDirectMusicPerformance2))
            return E_NOINTERFACE;
        *object = static_cast<IDirectMusicPerformance*>(new Layer::PerformanceObject());
        return S_OK;
    }
    if (IsEqualGUID(classId, CLSID_DirectMusicLoader)) {
        if (!IsEqualGUID(interfaceId, IID_IDirectMusicLoader))
            return E_NOINTERFACE;
        *object = static_cast<IDirectMusicLoader*>(new Layer::LoaderObject());
        return S_OK;
    }
    return REGDB_E_CLASSNOTREG;
}
