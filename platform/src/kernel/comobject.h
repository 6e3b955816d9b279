// Reference counting shared by the layer's COM objects (DirectDraw, DirectSound, DirectMusic).
#pragma once

#include <atomic>

#include "unknwn.h"

namespace Layer {

// A COM object of one interface: QueryInterface finds nothing further, Release deletes at zero.
// The count is atomic because the audio thread may hold music objects too.
template <typename Interface> class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object != nullptr)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    std::atomic<ULONG> references{1};
};

} // namespace Layer
