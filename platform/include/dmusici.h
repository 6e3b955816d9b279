// DirectMusic performance, loader, segments and segment states, for standard MIDI files.
//
// Segments are standard MIDI files (format 0 or 1, ticks per quarter note) read by the loader;
// music time counts 768 ticks a quarter note. The performance plays its segments through
// FluidSynth with the General MIDI SoundFont into SDL audio: on the DirectSound device it was
// given, or on an output of its own when given none. A looping segment jumps from its loop end to
// its loop start within one audio block, with no gap.
//
// As in the Windows SDK headers of mingw-w64, the interfaces are the first generation ones;
// IID_IDirectMusicPerformance2 and IID_IDirectMusicSegment2 ask for the same objects, whose first
// methods are these.
#pragma once

#include "dmusicc.h"

#define DMUS_ERRBASE 0x1000
#define MAKE_DMHRESULTERROR(code)                                                                  \
    ((HRESULT)(0x80000000u | (0x878u << 16) | (DMUS_ERRBASE + (code))))
#define DMUS_E_UNSUPPORTED_STREAM MAKE_DMHRESULTERROR(0x0150)
#define DMUS_E_NOT_FOUND MAKE_DMHRESULTERROR(0x0161)
#define DMUS_E_TYPE_UNSUPPORTED MAKE_DMHRESULTERROR(0x0164)
#define DMUS_E_LOADER_NOCLASSID MAKE_DMHRESULTERROR(0x0180)
#define DMUS_E_LOADER_BADPATH MAKE_DMHRESULTERROR(0x0181)
#define DMUS_E_LOADER_FAILEDOPEN MAKE_DMHRESULTERROR(0x0182)
#define DMUS_E_INVALIDFILE MAKE_DMHRESULTERROR(0x0200)
#define DMUS_E_OUT_OF_RANGE MAKE_DMHRESULTERROR(0x0202)

#define DMUS_MAX_NAME 0x40
#define DMUS_MAX_CATEGORY 0x40
#define DMUS_MAX_FILENAME MAX_PATH
#define DMUS_OBJ_OBJECT 0x001
#define DMUS_OBJ_CLASS 0x002
#define DMUS_OBJ_NAME 0x004
#define DMUS_OBJ_CATEGORY 0x008
#define DMUS_OBJ_FILENAME 0x010
#define DMUS_OBJ_FULLPATH 0x020
#define DMUS_SEG_REPEAT_INFINITE 0xFFFFFFFF
#define DMUS_SEGF_DEFAULT 0x004000
#define DMUS_PPQ 768

typedef struct _DMUS_VERSION {
    DWORD dwVersionMS;
    DWORD dwVersionLS;
} DMUS_VERSION;

struct IStream;

typedef struct _DMUS_OBJECTDESC {
    DWORD dwSize;
    DWORD dwValidData;
    GUID guidObject;
    GUID guidClass;
    FILETIME ftDate;
    DMUS_VERSION vVersion;
    WCHAR wszName[DMUS_MAX_NAME];
    WCHAR wszCategory[DMUS_MAX_CATEGORY];
    WCHAR wszFileName[DMUS_MAX_FILENAME];
    int64_t llMemLength;
    LPBYTE pbMemData;
    IStream* pStream;
} DMUS_OBJECTDESC, *LPDMUS_OBJECTDESC;

struct IDirectMusicSegmentState : IUnknown {
    // Music time played since the segment started, loops included.
    virtual HRESULT STDMETHODCALLTYPE GetSeek(MUSIC_TIME* seek) = 0;
};

struct IDirectMusicSegment : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLength(MUSIC_TIME* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRepeats(DWORD repeats) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetParam(REFGUID type, DWORD groupBits, DWORD index,
                                               MUSIC_TIME time, void* param) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStartPoint(MUSIC_TIME start) = 0;
    // DMUS_E_OUT_OF_RANGE unless 0 <= start < end <= the segment's length.
    virtual HRESULT STDMETHODCALLTYPE SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end) = 0;
};

struct IDirectMusicPerformance : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound,
                                           HWND window) = 0;
    virtual HRESULT STDMETHODCALLTYPE PlaySegment(IDirectMusicSegment* segment, DWORD flags,
                                                  int64_t startTime,
                                                  IDirectMusicSegmentState** state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop(IDirectMusicSegment* segment,
                                           IDirectMusicSegmentState* state, MUSIC_TIME time,
                                           DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPort(IDirectMusicPort* port) = 0;
    virtual HRESULT STDMETHODCALLTYPE AssignPChannelBlock(DWORD block, IDirectMusicPort* port,
                                                          DWORD group) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseDown() = 0;
};

struct IDirectMusicLoader : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetObject(LPDMUS_OBJECTDESC desc, REFIID interfaceId,
                                                LPVOID* object) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSearchDirectory(REFGUID classId, WCHAR* path,
                                                         BOOL clear) = 0;
};

DEFINE_GUID(CLSID_DirectMusicLoader, 0xd2ac2892, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93,
            0xb1, 0xbd);
DEFINE_GUID(CLSID_DirectMusicPerformance, 0xd2ac2881, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08,
            0x93, 0xb1, 0xbd);
DEFINE_GUID(CLSID_DirectMusicSegment, 0xd2ac2882, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08,
            0x93, 0xb1, 0xbd);
DEFINE_GUID(IID_IDirectMusicLoader, 0x2ffaaca2, 0x5dca, 0x11d2, 0xaf, 0xa6, 0x00, 0xaa, 0x00, 0x24,
            0xd8, 0xb6);
DEFINE_GUID(IID_IDirectMusicPerformance, 0x07d43d03, 0x6523, 0x11d2, 0x87, 0x1d, 0x00, 0x60, 0x08,
            0x93, 0xb1, 0xbd);
DEFINE_GUID(IID_IDirectMusicPerformance2, 0x6fc2cae0, 0xbc78, 0x11d2, 0xaf, 0xa6, 0x00, 0xaa, 0x00,
            0x24, 0xd8, 0xb6);
DEFINE_GUID(IID_IDirectMusicSegment, 0xf96029a2, 0x4282, 0x11d2, 0x87, 0x17, 0x00, 0x60, 0x08, 0x93,
            0xb1, 0xbd);
DEFINE_GUID(IID_IDirectMusicSegment2, 0xd38894d1, 0xc052, 0x11d2, 0x87, 0x2f, 0x00, 0x60, 0x08,
            0x93, 0xb1, 0xbd);
DEFINE_GUID(GUID_DirectMusicAllTypes, 0xd2ac2893, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08,
            0x93, 0xb1, 0xbd);
DEFINE_GUID(GUID_Download, 0xd2ac28a7, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1,
            0xbd);
DEFINE_GUID(GUID_StandardMIDIFile, 0x06621075, 0xe92e, 0x11d1, 0xa8, 0xc5, 0x00, 0xc0, 0x4f, 0xa3,
            0x72, 0x6e);
DEFINE_GUID(GUID_Unload, 0xd2ac28a8, 0xb39b, 0x11d1, 0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1,
            0xbd);
