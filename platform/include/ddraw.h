// DirectDraw interfaces of the subset; the display objects are declared here and grow with the
// display code.
#pragma once

#include "unknwn.h"

struct IDirectDraw : IUnknown {};
struct IDirectDrawSurface : IUnknown {};
struct IDirectDrawClipper : IUnknown {};
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
