// DirectSound as the game uses it: the device on SDL audio and its primary buffer.
//
// DirectSoundCreate opens the default SDL audio output (44.1 kHz, 16-bit stereo); with no audio
// device it fails with DSERR_NODRIVER, as Windows does. Music played through DirectMusic on this
// device is mixed into its output.
#pragma once

#include "unknwn.h"

#define DS_OK S_OK
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_UNSUPPORTED ((HRESULT)0x80004001)
#define DSERR_NODRIVER ((HRESULT)0x88780078)
#define DSERR_ALLOCATED ((HRESULT)0x8878000A)
#define DSERR_UNINITIALIZED ((HRESULT)0x887800AA)

#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

#define DSSPEAKER_HEADPHONE 1
#define DSSPEAKER_MONO 2
#define DSSPEAKER_QUAD 3
#define DSSPEAKER_STEREO 4
#define DSSPEAKER_SURROUND 5
#define DSSPEAKER_5POINT1 6

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_CTRLVOLUME 0x00000080

typedef struct tWAVEFORMATEX WAVEFORMATEX, *LPWAVEFORMATEX;

typedef struct _DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

struct IDirectSoundBuffer : IUnknown {};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

struct IDirectSound : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc,
                                                        LPDIRECTSOUNDBUFFER* buffer,
                                                        LPUNKNOWN outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD speakerConfig) = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

HRESULT WINAPI DirectSoundCreate(const GUID* device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
