// DirectMusic core: the DirectMusic object and its output ports.
#pragma once

#include "dsound.h"
#include "objbase.h"

typedef LONG MUSIC_TIME;
typedef int64_t REFERENCE_TIME;

#define DMUS_MAX_DESCRIPTION 0x80
#define DMUS_PC_OUTPUTCLASS 0x1
#define DMUS_PC_INPUTCLASS 0x0
#define DMUS_PC_EXTERNAL 0x00000002
#define DMUS_PC_GMINHARDWARE 0x00000010
#define DMUS_PC_GSINHARDWARE 0x00000020
#define DMUS_PC_XGINHARDWARE 0x00000040
#define DMUS_PC_SOFTWARESYNTH 0x80000000
#define DMUS_PC_DLS 0x00000001
#define DMUS_PORT_USER_MODE_SYNTH 1
#define DMUS_PORTPARAMS_CHANNELGROUPS 0x02

#define DMUS_E_NOT_INIT ((HRESULT)0x88781191)
#define DMUS_E_PORT_NOT_CAPTURE ((HRESULT)0x88781148)
#define DMUS_E_DRIVER_FAILED ((HRESULT)0x88781101)
#define DMUS_E_DSOUND_NOT_SET ((HRESULT)0x88781165)

typedef struct _DMUS_PORTCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    GUID guidPort;
    DWORD dwClass;
    DWORD dwType;
    DWORD dwMemorySize;
    DWORD dwMaxChannelGroups;
    DWORD dwMaxVoices;
    DWORD dwMaxAudioChannels;
    DWORD dwEffectFlags;
    WCHAR wszDescription[DMUS_MAX_DESCRIPTION];
} DMUS_PORTCAPS, *LPDMUS_PORTCAPS;

typedef struct _DMUS_PORTPARAMS8 {
    DWORD dwSize;
    DWORD dwValidParams;
    DWORD dwVoices;
    DWORD dwChannelGroups;
    DWORD dwAudioChannels;
    DWORD dwSampleRate;
    DWORD dwEffectFlags;
    BOOL fShare;
    DWORD dwFeatures;
} DMUS_PORTPARAMS8, DMUS_PORTPARAMS, *LPDMUS_PORTPARAMS;

struct IDirectMusicPort : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Activate(BOOL active) = 0;
};

struct IDirectMusic : IUnknown {
    // S_FALSE past the last port.
    virtual HRESULT STDMETHODCALLTYPE EnumPort(DWORD index, LPDMUS_PORTCAPS caps) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePort(REFCLSID port, LPDMUS_PORTPARAMS params,
                                                 IDirectMusicPort** created, LPUNKNOWN outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultPort(LPGUID port) = 0;
};
